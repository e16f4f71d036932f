// The editor's bitmaps drawn with QPainter: faders, meters, switches, matrix letters, link lamps, Home.
#include "ui/artwork/Artwork.h"

#include "ui/artwork/HomeLayout.h"
#include "ui/artwork/Palette.h"

#include <QFontMetrics>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace velmar::artwork {

using namespace velmar::palette;

namespace {

QImage blank(int w, int h, QColor fill = Qt::transparent) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QColor mix(QColor a, QColor b, double t) {
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// A rounded face with a vertical gradient, a dark outline and a light top edge: the common body of
// every button and cap, so they all catch the light the same way.
void drawFace(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom, QColor outline,
              QColor highlight) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(outline, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (highlight.alpha() > 0) {
        p.setPen(QPen(highlight, 1));
        p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
    }
    p.restore();
}

void drawCentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font, QColor colour) {
    p.save();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    p.restore();
}

// ---------------------------------------------------------------------------------------------------
// Fader tracks

struct Tick {
    int raw;       // image value the tick stands for
    bool major;    // longer and brighter (0 dB, the ends)
    QString label; // drawn only on tracks with a scale column
};

struct TrackPlan {
    int width, height;
    int marginLeft, marginTop, marginBottom;
    int thumbWidth, thumbHeight;
    int maximum;   // range 0..maximum, written inverted: raw maximum at the top
    QColor accent; // colour of the major ticks' notch
    QList<Tick> ticks;
    int scaleRight = 0; // labels end here (0: no labels)
};

int trackPixel(const TrackPlan& t, int raw) {
    const int start = t.marginTop + t.thumbHeight / 2;
    const int length = t.height - t.marginTop - t.marginBottom - t.thumbHeight;
    const double fraction = double(t.maximum - raw) / double(t.maximum);
    return start + int(std::trunc(length * fraction));
}

QImage drawTrack(const TrackPlan& t) {
    QImage image = blank(t.width, t.height);
    QPainter p(&image);
    const int centre = t.marginLeft + t.thumbWidth / 2; // boundary between the two middle columns
    const int start = t.marginTop + t.thumbHeight / 2;
    const int end = t.height - t.marginBottom - (t.thumbHeight - t.thumbHeight / 2);

    // Ticks across the thumb's path on both sides of the slot, so they show above and below the cap.
    // Minor ticks span the cap's width, major ticks (0 dB, the ends) reach past it in the accent tint.
    for (const Tick& tick : t.ticks) {
        const int y = trackPixel(t, tick.raw);
        const QColor c = tick.major ? mix(kTextDim, t.accent, 0.6) : kTextFaint;
        const int half = tick.major ? t.thumbWidth / 2 + 3 : t.thumbWidth / 2 - 1;
        int left = std::max(0, centre - 2 - half);
        if (t.scaleRight > 0) left = t.scaleRight + 2;
        const int right = std::min(t.width - 1, centre + 1 + half);
        p.fillRect(QRect(left, y, centre - 3 - left, 1), c);        // ends one pixel short of the slot
        p.fillRect(QRect(centre + 3, y, right - centre - 2, 1), c); // and starts one pixel after it
        if (t.scaleRight > 0 && !tick.label.isEmpty()) {
            p.setFont(condensedFont(8));
            p.setPen(tick.major ? kText : kTextDim);
            const QRect box(0, y - 6, t.scaleRight, 12);
            p.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, tick.label);
        }
    }

    // The slot: a recessed groove 4 pixels wide, a little longer than the thumb centre's travel.
    const QRect slot(centre - 2, start - 3, 4, end - start + 6);
    p.fillRect(slot, kWell);
    p.fillRect(QRect(slot.left(), slot.top(), slot.width(), 1), kShadow);
    p.fillRect(QRect(slot.left(), slot.top(), 1, slot.height()), kShadow);
    p.fillRect(QRect(slot.right(), slot.top() + 1, 1, slot.height() - 1), kBorder);
    p.fillRect(QRect(slot.left() + 1, slot.bottom(), slot.width() - 1, 1), kBorder);
    p.end();
    // The colour key of every fader is the top-left pixel; it must be the empty background.
    Q_ASSERT(image.pixel(0, 0) == 0);
    return image;
}

QList<Tick> gainTicks(bool labels) {
    // Channel gain: raw = 360 + 10 dB, +12 dB at the top to -36 dB at the bottom, every 6 dB.
    QList<Tick> ticks;
    for (int db = 12; db >= -36; db -= 6) {
        const QString label =
            labels ? (db > 0 ? QStringLiteral("+%1").arg(db) : QString::number(db)) : QString();
        ticks.append({360 + 10 * db, db == 0 || db == 12 || db == -36, label});
    }
    return ticks;
}

QList<Tick> delayTicks() {
    // Delay: raw 0..476 is 0..10 ms, raw r > 476 is r - 466 ms. Ticks at 0, 10, 100, 250, 500, 750, 1000 ms.
    return {{0, true, {}},          {476, false, {}},       {100 + 466, false, {}}, {250 + 466, false, {}},
            {500 + 466, false, {}}, {750 + 466, false, {}}, {1466, true, {}}};
}

QList<Tick> geqTicks() {
    // Graphic EQ: raw = 200 + 10 dB, +20 dB at the top, 0 dB in the middle, every 5 dB.
    QList<Tick> ticks;
    for (int db = 20; db >= -20; db -= 5) ticks.append({200 + 10 * db, db == 0, {}});
    return ticks;
}

// ---------------------------------------------------------------------------------------------------
// Fader thumbs (caps)

QImage drawThumb(int w, int h, QColor indicator, bool active) {
    QImage image = blank(w, h);
    QPainter p(&image);
    const QColor top = active ? QColor(112, 122, 138) : QColor(86, 94, 107);
    const QColor bottom = active ? QColor(66, 73, 85) : QColor(46, 51, 60);
    drawFace(p, QRectF(0, 0, w, h), 2.5, top, bottom, kShadow, QColor(255, 255, 255, active ? 70 : 45));

    // Grip ridges above and below the centre line.
    const int centreRow = h / 2; // the thumb is drawn at P - h/2, so this row is the fader position
    for (int y = 3; y < h - 3; y += 3) {
        if (std::abs(y - centreRow) < 3) continue;
        p.fillRect(QRect(3, y, w - 6, 1), QColor(0, 0, 0, 70));
        p.fillRect(QRect(3, y + 1, w - 6, 1), QColor(255, 255, 255, 22));
    }
    // The position line across the cap; two rows on even heights, centred on the thumb.
    const int rows = (h % 2 == 0) ? 2 : 1;
    const int firstRow = (h % 2 == 0) ? centreRow - 1 : centreRow;
    p.fillRect(QRect(1, firstRow, w - 2, rows), active ? indicator.lighter(125) : indicator);
    if (active) {
        p.fillRect(QRect(1, firstRow - 1, w - 2, 1),
                   QColor(indicator.red(), indicator.green(), indicator.blue(), 90));
        p.fillRect(QRect(1, firstRow + rows, w - 2, 1),
                   QColor(indicator.red(), indicator.green(), indicator.blue(), 90));
    }
    p.end();
    Q_ASSERT(image.pixel(0, 0) == 0);
    return image;
}

// ---------------------------------------------------------------------------------------------------
// Meter segments

QImage drawMeterSegment(QColor colour, bool lit) {
    QImage image = blank(21, 13);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF body(1.5, 1.5, 18, 10);
    if (lit) {
        QLinearGradient g(body.topLeft(), body.bottomLeft());
        g.setColorAt(0, colour.lighter(135));
        g.setColorAt(0.45, colour);
        g.setColorAt(1, colour.darker(125));
        p.setPen(QPen(colour.darker(170), 1));
        p.setBrush(g);
        p.drawRoundedRect(body, 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 80));
        p.drawRoundedRect(QRectF(3, 2.5, 15, 2.5), 1, 1);
    } else {
        const QColor dim = mix(kWell, colour, 0.22);
        p.setPen(QPen(mix(kWell, colour, 0.35), 1));
        p.setBrush(dim);
        p.drawRoundedRect(body, 1.5, 1.5);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------------
// Sound and polarity switches

QPainterPath speakerPath(QPointF origin, qreal size) {
    // A speaker: magnet block and cone, `size` pixels tall, left edge at origin.x, centred on origin.y.
    const qreal s = size / 12.0;
    QPainterPath path;
    path.moveTo(origin + QPointF(0, -2.5 * s));
    path.lineTo(origin + QPointF(3 * s, -2.5 * s));
    path.lineTo(origin + QPointF(7 * s, -6 * s));
    path.lineTo(origin + QPointF(7 * s, 6 * s));
    path.lineTo(origin + QPointF(3 * s, 2.5 * s));
    path.lineTo(origin + QPointF(0, 2.5 * s));
    path.closeSubpath();
    return path;
}

QImage drawSoundButton(bool sounding) {
    QImage image = blank(60, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face(0, 0, 60, 25);
    if (sounding) {
        drawFace(p, face, 3, kControlFace, kPanelRaised, kShadow, QColor(255, 255, 255, 40));
        const QPointF o(8, 12.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kSignalOn);
        p.drawPath(speakerPath(o, 13));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kSignalOn, 1.4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 2; ++i) {
            const qreal r = 4.0 + 3.5 * i;
            p.drawArc(QRectF(o.x() + 7.5 - r, o.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
        }
        drawCentredText(p, QRectF(27, 0, 30, 25), QStringLiteral("ON"), uiFont(11, true), kSignalOn);
    } else {
        drawFace(p, face, 3, kDanger.lighter(112), kDanger.darker(150), kShadow, QColor(255, 255, 255, 70));
        const QPointF o(6, 12.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(speakerPath(o, 13));
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 9), QPointF(22, 16));
        p.drawLine(QPointF(22, 9), QPointF(16, 16));
        drawCentredText(p, QRectF(24, 0, 35, 25), QStringLiteral("MUTE"), uiFont(10, true), Qt::white);
    }
    return image;
}

QImage drawPolarityButton(bool inverted) {
    QImage image = blank(60, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face(0, 0, 60, 25);
    // Inverted polarity is the state that needs attention: the switch lights amber, as on a console.
    const QColor ink = inverted ? kTextOnLight : kText;
    if (inverted)
        drawFace(p, face, 3, kCaution.lighter(108), kCaution.darker(135), kShadow, QColor(255, 255, 255, 90));
    else
        drawFace(p, face, 3, kControlFace, kPanelRaised, kShadow, QColor(255, 255, 255, 40));

    // The polarity symbol: a circle with a slash.
    const QPointF c(17, 12.5);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 5.5, 5.5);
    p.drawLine(c + QPointF(-5, 7), c + QPointF(5, -7));
    // The sign: minus when inverted, plus when normal.
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::FlatCap));
    const QPointF s(38, 12.5);
    p.drawLine(s + QPointF(-5, 0), s + QPointF(5, 0));
    if (!inverted) p.drawLine(s + QPointF(0, -5), s + QPointF(0, 5));
    return image;
}

// ---------------------------------------------------------------------------------------------------
// Matrix letters

QImage drawMatrixLetter(QChar letter, bool routed) {
    QImage image = blank(19, 19);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF disc(1, 1, 17, 17);
    if (routed) {
        QRadialGradient g(QPointF(7.5, 6.5), 11);
        g.setColorAt(0, kSignalOn.lighter(130));
        g.setColorAt(1, kSignalOn.darker(115));
        p.setPen(QPen(kSignalOn.darker(190), 1));
        p.setBrush(g);
        p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        drawCentredText(p, disc.translated(0, 0.5), QString(letter), uiFont(11, true), kTextOnLight);
    } else {
        p.setPen(QPen(kOff, 1));
        p.setBrush(kWell);
        p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        drawCentredText(p, disc.translated(0, 0.5), QString(letter), uiFont(11, true),
                        mix(kTextFaint, kTextDim, 0.5));
    }
    return image;
}

// ---------------------------------------------------------------------------------------------------
// Link lamps

void drawLamp(QPainter& p, QPointF centre, bool on) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (on) {
        QRadialGradient glow(centre, 7);
        glow.setColorAt(0, QColor(kSignalOn.red(), kSignalOn.green(), kSignalOn.blue(), 120));
        glow.setColorAt(1, Qt::transparent);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 7, 7);
        QRadialGradient g(centre - QPointF(1, 1), 4.5);
        g.setColorAt(0, kSignalOn.lighter(150));
        g.setColorAt(1, kSignalOn);
        p.setBrush(g);
        p.setPen(QPen(kSignalOn.darker(160), 1));
    } else {
        p.setBrush(kOff.darker(140));
        p.setPen(QPen(kShadow, 1));
    }
    p.drawEllipse(centre, 3.5, 3.5);
    p.restore();
}

QImage drawLinkIndicator(const QString& name, bool on) {
    QImage image = blank(66, 22);
    QPainter p(&image);
    drawFace(p, QRectF(0, 0, 66, 22), 3, on ? kControlFaceHover : kControlFace,
             on ? kControlFace : kPanelRaised, kShadow, QColor(255, 255, 255, on ? 55 : 35));
    drawLamp(p, QPointF(11.5, 11), on);
    drawCentredText(p, QRectF(20, 0, 44, 22), name, uiFont(11, true), on ? kText : kTextDim);
    return image;
}

QImage drawConnectButton(bool connected) {
    QImage image = blank(66, 22);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    drawFace(p, QRectF(0, 0, 66, 22), 3, connected ? kControlFaceHover : kControlFace,
             connected ? kControlFace : kPanelRaised, kShadow, QColor(255, 255, 255, 40));
    drawLamp(p, QPointF(11.5, 11), connected);
    // A plug and a socket: together when connected, apart when not.
    const QColor ink = connected ? kText : kTextDim;
    const qreal gap = connected ? 0 : 6;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal y = 11;
    // Plug body with two pins pointing right.
    p.drawRoundedRect(QRectF(24, y - 4.5, 9, 9), 1.5, 1.5);
    p.drawRect(QRectF(33, y - 3, 4, 1.6));
    p.drawRect(QRectF(33, y + 1.4, 4, 1.6));
    p.drawRect(QRectF(20, y - 1, 4, 2)); // cable
    // Socket body facing left.
    const qreal sx = 37 + gap;
    p.drawRoundedRect(QRectF(sx, y - 5, 9, 10), 1.5, 1.5);
    p.drawRect(QRectF(sx + 9, y - 1, 5, 2)); // cable
    if (!connected) {
        p.setBrush(kTextDim);
        p.drawRect(QRectF(sx - 0.1, y - 2.6, 1.2, 1.2));
    }
    return image;
}

// ---------------------------------------------------------------------------------------------------
// Home backgrounds

using Stage = HomeLayout::InputStage;
using OutStage = HomeLayout::OutputStage;
using Section = HomeLayout::Section;

void drawArrowHead(QPainter& p, QPointF tip, QColor colour) {
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip + QPointF(-5, -3.5));
    head.lineTo(tip + QPointF(-5, 3.5));
    head.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(head, colour);
    p.restore();
}

// A horizontal wire from x0 ending in an arrow whose tip touches x1.
void drawFlow(QPainter& p, int x0, int x1, int y, QColor colour) {
    if (x1 - 5 > x0) p.fillRect(QRect(x0, y - 1, x1 - 5 - x0, 2), colour);
    drawArrowHead(p, QPointF(x1, y), colour);
}

// A block's place in the chain: a recessed socket under the page's button with a one-pixel rim, so
// the diagram reads as blocks even where a button is hidden.
void drawSocket(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kBorder, 1));
    p.setBrush(kWell);
    p.drawRoundedRect(QRectF(r).adjusted(-0.5, -0.5, 0.5, 0.5), 3, 3);
    p.restore();
}

// An XLR-style connector: a ring with three pins.
void drawConnector(QPainter& p, QPointF c, bool input) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kWire, 1.3));
    p.setBrush(kWell);
    p.drawEllipse(c, 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(input ? kTextDim : kAccent);
    const qreal r = 1.3;
    p.drawEllipse(c + QPointF(-3, -1.5), r, r);
    p.drawEllipse(c + QPointF(3, -1.5), r, r);
    p.drawEllipse(c + QPointF(0, 3), r, r);
    p.restore();
}

void drawPanel(QPainter& p, const QRect& r, const QString& title) {
    p.fillRect(r, kPanel);
    // Border: light top-left, dark bottom-right, so the panel reads as a raised plate.
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), kBorderLight);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), kBorder);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), kShadow);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), kShadow);
    const QRect t(r.left() + 1, r.top() + 1, r.width() - 2, 24);
    QLinearGradient g(t.topLeft(), t.bottomLeft());
    g.setColorAt(0, kPanelRaised);
    g.setColorAt(1, kPanel);
    p.fillRect(t, g);
    p.fillRect(QRect(t.left(), t.bottom() + 1, t.width(), 1), kBorder);
    p.setFont(uiFont(11, true));
    p.setPen(kTextDim);
    p.drawText(t.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, title);
}

void drawHead(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kBorder, 1));
    p.setBrush(kPanelRaised);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.restore();
}

QImage drawHome(int deviceConfig) {
    const int inputs = HomeLayout::inputCount(deviceConfig);
    const int outputs = HomeLayout::outputCount(deviceConfig);
    QImage image = blank(HomeLayout::kPageSize.width(), HomeLayout::kPageSize.height(), kPage);
    QPainter p(&image);

    drawPanel(p, HomeLayout::section(Section::Inputs), QStringLiteral("INPUT  输入"));
    drawPanel(p, HomeLayout::section(Section::Matrix), QStringLiteral("MATRIX  矩阵"));
    drawPanel(p, HomeLayout::section(Section::Outputs), QStringLiteral("OUTPUT  输出"));

    const int lastRowY = HomeLayout::outputRowY(outputs - 1);
    const int firstRowY = HomeLayout::outputRowY(0);

    // Matrix buses: one vertical line per input, broken where another input's feed crosses it (a
    // crossing without a dot is no connection).
    for (int t = 0; t < inputs; ++t) {
        const int x = HomeLayout::matrixColumnX(t);
        const int top = std::min(firstRowY, HomeLayout::inputRowY(t)) - 14;
        int y = top;
        for (int other = t + 1; other < inputs; ++other) {
            const int cross = HomeLayout::inputRowY(other);
            if (cross <= y || cross >= lastRowY) continue;
            p.fillRect(QRect(x - 1, y, 2, cross - 4 - y), kWire);
            y = cross + 4;
        }
        p.fillRect(QRect(x - 1, y, 2, lastRowY + 1 - y), kWire);
        // The bus's letter above it.
        p.setFont(uiFont(11, true));
        p.setPen(kTextDim);
        p.drawText(QRect(x - 10, top - 18, 20, 16), Qt::AlignCenter, QString(QChar('A' + t)));
    }

    // Output lines: from the first bus to the output chain, through every crosspoint.
    const int matrixLeft = HomeLayout::matrixColumnX(0) - 10;
    for (int r = 0; r < outputs; ++r) {
        const int y = HomeLayout::outputRowY(r);
        const QRect first = HomeLayout::outputBlock(r, OutStage::Gain);
        p.fillRect(QRect(matrixLeft, y - 1, HomeLayout::matrixColumnX(inputs - 1) - matrixLeft, 2), kWireDim);
        drawFlow(p, HomeLayout::matrixColumnX(inputs - 1), first.left() - 1, y, kWire);
        for (int t = 0; t < inputs; ++t) {
            // A ring around each crosspoint: the button sits inside it.
            const QRect b = HomeLayout::matrixButton(r, t);
            p.save();
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(kBorder, 1));
            p.setBrush(kWell);
            p.drawEllipse(QRectF(b).adjusted(-2, -2, 2, 2));
            p.restore();
        }
    }

    // Input rows: connector, head (caption and link list), then Mute, Gain, PEQ, Delay into the bus.
    for (int k = 0; k < inputs; ++k) {
        const int y = HomeLayout::inputRowY(k);
        const QRect head = HomeLayout::inputHead(k);
        drawHead(p, head);
        drawConnector(p, QPointF(head.left() + 12, y), true);
        const Stage stages[] = {Stage::Mute, Stage::Gain, Stage::Peq, Stage::Delay};
        int x = head.right() + 1;
        for (Stage s : stages) {
            const QRect b = HomeLayout::inputBlock(k, s);
            drawFlow(p, x, b.left() - 1, y, kWire);
            drawSocket(p, b);
            x = b.right() + 2;
        }
        // Into the bus of this input, with a junction dot.
        const int busX = HomeLayout::matrixColumnX(k);
        p.fillRect(QRect(x, y - 1, busX - x, 2), kWire);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kWire);
        p.drawEllipse(QPointF(busX, y), 4, 4);
        p.restore();
    }

    // Output rows: Gain, X-Over, PEQ, Comp., Delay, Mute, then the head and the output connector.
    for (int r = 0; r < outputs; ++r) {
        const int y = HomeLayout::outputRowY(r);
        const OutStage stages[] = {OutStage::Gain, OutStage::XOver, OutStage::Peq,
                                   OutStage::Comp, OutStage::Delay, OutStage::Mute};
        QRect previous;
        for (OutStage s : stages) {
            const QRect b = HomeLayout::outputBlock(r, s);
            if (!previous.isNull()) drawFlow(p, previous.right() + 2, b.left() - 1, y, kWire);
            drawSocket(p, b);
            previous = b;
        }
        const QRect head = HomeLayout::outputHead(r);
        drawFlow(p, previous.right() + 2, head.left() - 1, y, kWire);
        drawHead(p, head);
        drawConnector(p, QPointF(head.right() - 8, y), false);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------------
// The table of bitmap numbers.

using Maker = QImage (*)();

const QHash<int, Maker>& makers() {
    static const QHash<int, Maker> table = {
        {130, &channelDelayTrack130},
        {300, &delayPageTrack300},
        {315, &connectOn315},
        {316, &connectOff316},
        {419, &soundMuted419},
        {420, &soundOn420},
        {421, &polarityInverted421},
        {422, &polarityNormal422},
        {425, &matrixGreyA425},
        {426, &matrixGreyB426},
        {427, &matrixGreyC427},
        {428, &matrixGreyD428},
        {429, &matrixGreenA429},
        {430, &matrixGreenB430},
        {431, &matrixGreenC431},
        {432, &matrixGreenD432},
        {433, &homeBackground2In4Out433},
        {434, &homeBackground2In6Out434},
        {435, &homeBackground3In6Out435},
        {437, &smallDelayThumb437},
        {438, &smallDelayThumbActive438},
        {439, &smallThumb439},
        {440, &smallThumbActive440},
        {441, &meterGreenLit441},
        {442, &meterRedLit442},
        {443, &meterYellowLit443},
        {444, &serialOff444},
        {445, &serialOn445},
        {446, &usbOff446},
        {447, &usbOn447},
        {448, &tcpOff448},
        {449, &tcpOn449},
        {450, &channelGainTrack450},
        {451, &gainPageTrack451},
        {452, &gainPageThumb452},
        {453, &gainPageThumbActive453},
        {454, &delayPageThumb454},
        {455, &delayPageThumbActive455},
        {456, &meterGreenUnlit456},
        {457, &meterYellowUnlit457},
        {458, &meterRedUnlit458},
        {464, &geqTrack464},
        {467, &homeBackground4In6Out467},
        {468, &homeBackground4In8Out468},
    };
    return table;
}

} // namespace

// Each function draws once; later calls share the cached image.
#define VELMAR_CACHED(expr)                                                                                  \
    static const QImage cached = (expr);                                                                     \
    return cached

QImage channelDelayTrack130() {
    VELMAR_CACHED(drawTrack({20, 168, 3, 0, 1, 14, 21, 1466, kDelayColour, delayTicks()}));
}
QImage delayPageTrack300() {
    VELMAR_CACHED(drawTrack({18, 215, 1, 0, 1, 16, 24, 1466, kDelayColour, delayTicks()}));
}
QImage delayPageTrack(int height) {
    if (height <= 215) return delayPageTrack300();
    // Only the last height is kept: a page asks again only when its size changes.
    static QImage last;
    if (last.height() != height)
        last = drawTrack({18, height, 1, 0, 1, 16, 24, 1466, kDelayColour, delayTicks()});
    return last;
}
QImage channelGainTrack450() {
    VELMAR_CACHED(drawTrack({25, 168, 8, 0, 1, 14, 21, 480, kGainColour, gainTicks(false)}));
}
QImage gainPageTrack451() {
    TrackPlan plan{39, 255, 22, 0, 1, 16, 24, 480, kGainColour, gainTicks(true)};
    plan.scaleRight = 16;
    VELMAR_CACHED(drawTrack(plan));
}
QImage gainPageTrack(int height) {
    if (height <= 255) return gainPageTrack451();
    static QImage last;
    if (last.height() != height) {
        TrackPlan plan{39, height, 22, 0, 1, 16, 24, 480, kGainColour, gainTicks(true)};
        plan.scaleRight = 16;
        last = drawTrack(plan);
    }
    return last;
}
QImage geqTrack464() {
    VELMAR_CACHED(drawTrack({30, 264, 8, 0, 1, 14, 21, 400, kGainColour, geqTicks()}));
}

QImage smallDelayThumb437() {
    VELMAR_CACHED(drawThumb(14, 21, kDelayColour, false));
}
QImage smallDelayThumbActive438() {
    VELMAR_CACHED(drawThumb(14, 21, kDelayColour, true));
}
QImage smallThumb439() {
    VELMAR_CACHED(drawThumb(14, 21, kText, false));
}
QImage smallThumbActive440() {
    VELMAR_CACHED(drawThumb(14, 21, kAccent, true));
}
QImage gainPageThumb452() {
    VELMAR_CACHED(drawThumb(16, 24, kText, false));
}
QImage gainPageThumbActive453() {
    VELMAR_CACHED(drawThumb(16, 24, kAccent, true));
}
QImage delayPageThumb454() {
    VELMAR_CACHED(drawThumb(16, 24, kDelayColour, false));
}
QImage delayPageThumbActive455() {
    VELMAR_CACHED(drawThumb(16, 24, kDelayColour, true));
}

QImage meterGreenLit441() {
    VELMAR_CACHED(drawMeterSegment(kSignalOn, true));
}
QImage meterRedLit442() {
    VELMAR_CACHED(drawMeterSegment(kDanger, true));
}
QImage meterYellowLit443() {
    VELMAR_CACHED(drawMeterSegment(kCaution, true));
}
QImage meterGreenUnlit456() {
    VELMAR_CACHED(drawMeterSegment(kSignalOn, false));
}
QImage meterYellowUnlit457() {
    VELMAR_CACHED(drawMeterSegment(kCaution, false));
}
QImage meterRedUnlit458() {
    VELMAR_CACHED(drawMeterSegment(kDanger, false));
}

QImage soundMuted419() {
    VELMAR_CACHED(drawSoundButton(false));
}
QImage soundOn420() {
    VELMAR_CACHED(drawSoundButton(true));
}
QImage polarityInverted421() {
    VELMAR_CACHED(drawPolarityButton(true));
}
QImage polarityNormal422() {
    VELMAR_CACHED(drawPolarityButton(false));
}

QImage matrixGreyA425() {
    VELMAR_CACHED(drawMatrixLetter('A', false));
}
QImage matrixGreyB426() {
    VELMAR_CACHED(drawMatrixLetter('B', false));
}
QImage matrixGreyC427() {
    VELMAR_CACHED(drawMatrixLetter('C', false));
}
QImage matrixGreyD428() {
    VELMAR_CACHED(drawMatrixLetter('D', false));
}
QImage matrixGreenA429() {
    VELMAR_CACHED(drawMatrixLetter('A', true));
}
QImage matrixGreenB430() {
    VELMAR_CACHED(drawMatrixLetter('B', true));
}
QImage matrixGreenC431() {
    VELMAR_CACHED(drawMatrixLetter('C', true));
}
QImage matrixGreenD432() {
    VELMAR_CACHED(drawMatrixLetter('D', true));
}

QImage connectOn315() {
    VELMAR_CACHED(drawConnectButton(true));
}
QImage connectOff316() {
    VELMAR_CACHED(drawConnectButton(false));
}
QImage serialOff444() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("RS232"), false));
}
QImage serialOn445() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("RS232"), true));
}
QImage usbOff446() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("USB"), false));
}
QImage usbOn447() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("USB"), true));
}
QImage tcpOff448() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("TCP"), false));
}
QImage tcpOn449() {
    VELMAR_CACHED(drawLinkIndicator(QStringLiteral("TCP"), true));
}

QImage homeBackground2In4Out433() {
    VELMAR_CACHED(drawHome(3));
}
QImage homeBackground2In6Out434() {
    VELMAR_CACHED(drawHome(4));
}
QImage homeBackground3In6Out435() {
    VELMAR_CACHED(drawHome(5));
}
QImage homeBackground4In6Out467() {
    VELMAR_CACHED(drawHome(6));
}
QImage homeBackground4In8Out468() {
    VELMAR_CACHED(drawHome(7));
}

#undef VELMAR_CACHED

QImage image(int bitmapId) {
    const auto it = makers().constFind(bitmapId);
    return it == makers().constEnd() ? QImage() : (*it)();
}

QPixmap pixmap(int bitmapId) {
    // Converted pixmaps live in Qt's pixmap cache, which bounds their memory and may drop the large
    // backgrounds; a dropped one is converted again from the cached image.
    const QString key = QStringLiteral("velmar-artwork-%1").arg(bitmapId);
    QPixmap p;
    if (QPixmapCache::find(key, &p)) return p;
    const QImage i = image(bitmapId);
    if (i.isNull()) return QPixmap();
    p = QPixmap::fromImage(i);
    QPixmapCache::insert(key, p);
    return p;
}

QList<int> bitmapIds() {
    QList<int> ids = makers().keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

int matrixBitmapId(int input, bool routed) {
    if (input < 0 || input > 3) return 0;
    return (routed ? 429 : 425) + input;
}

int homeBackgroundId(int deviceConfig) {
    switch (deviceConfig) {
    case 3:
        return 433;
    case 4:
        return 434;
    case 5:
        return 435;
    case 6:
        return 467;
    case 7:
        return 468;
    default:
        return 0;
    }
}

} // namespace velmar::artwork
