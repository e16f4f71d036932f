// xSkinButton: face selection, mask shape, edges, caption and check handling of the skinned button.
#include "ui/controls/xSkinButton.h"

#include "ui/artwork/Artwork.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>

namespace velmar {

xSkinButton::xSkinButton(QWidget* parent, Kind kind) : QAbstractButton(parent) {
    init(kind);
}

xSkinButton::xSkinButton(const QString& caption, QWidget* parent, Kind kind) : QAbstractButton(parent) {
    init(kind);
    setText(caption);
}

void xSkinButton::init(Kind kind) {
    // Text colours as stored colour values 0x0000FF (red) and 0xFF0000 (blue).
    m_textColour = QColor(255, 0, 0);
    m_hoverTextColour = QColor(0, 0, 255);
    // A 22-pixel character cell of Arial is about a 19-pixel em.
    m_captionFont.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    m_captionFont.setPixelSize(19);
    m_captionFont.setWeight(QFont::Normal);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    SetKind(kind);
}

void xSkinButton::SetKind(Kind kind) {
    m_kind = kind;
    setCheckable(kind != Kind::Push);
    setAutoExclusive(kind == Kind::Radio);
    if (kind == Kind::Push) setChecked(false);
    update();
}

bool xSkinButton::SetSkin(int normal, int down, int over, int disabled, int focus, int mask, int drawMode,
                          int border, int margin) {
    bool allFound = true;
    auto load = [&allFound](int id) {
        if (id == 0) return QPixmap();
        QPixmap p = artwork::pixmap(id);
        if (p.isNull()) allFound = false;
        return p;
    };
    const QPixmap n = load(normal), d = load(down), o = load(over), x = load(disabled), f = load(focus);
    QImage m;
    if (mask != 0) {
        m = artwork::image(mask);
        if (m.isNull()) allFound = false;
    }
    SetSkin(n, d, o, x, f, m, drawMode, border, margin);
    return allFound;
}

void xSkinButton::SetSkin(const QPixmap& normal, const QPixmap& down, const QPixmap& over,
                          const QPixmap& disabled, const QPixmap& focus, const QImage& mask, int drawMode,
                          int border, int margin) {
    m_normal = normal;
    m_down = down;
    m_over = over;
    m_disabled = disabled;
    m_focus = focus;
    m_drawMode = std::clamp(drawMode, 0, 2);
    m_border = border;
    m_focusMargin = margin;
    if (!mask.isNull()) {
        // The shape is every pixel of the mask that is not white, gathered row by row in runs.
        const QImage m = mask.convertToFormat(QImage::Format_RGB32);
        const QRgb white = qRgb(255, 255, 255);
        QRegion shape;
        for (int y = 0; y < m.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(m.constScanLine(y));
            for (int x = 0; x < m.width();) {
                if ((line[x] | 0xFF000000u) == white) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < m.width() && (line[x] | 0xFF000000u) != white) ++x;
                shape += QRect(start, y, x - start, 1);
            }
        }
        m_shape = shape;
        setMask(m_shape);
    } else if (!m_shape.isEmpty()) {
        m_shape = QRegion();
        clearMask();
    }
    updateGeometry();
    update();
}

void xSkinButton::SetCheck(bool checked) {
    if (m_kind == Kind::Push) {
        qWarning("xSkinButton: a push button cannot be checked");
        return;
    }
    setChecked(checked);
}

void xSkinButton::SetTextColors(QColor normal, QColor hover) {
    m_textColour = normal;
    m_hoverTextColour = hover;
    update();
}

void xSkinButton::SetCaptionFont(const QFont& font) {
    m_captionFont = font;
    update();
}

QSize xSkinButton::sizeHint() const {
    if (!m_normal.isNull()) return m_normal.deviceIndependentSize().toSize();
    return QSize(60, 25);
}

void xSkinButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void xSkinButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void xSkinButton::drawFace(QPainter& painter, const QPixmap& face) const {
    if (face.isNull()) return;
    const QRect r = rect();
    if (!m_shape.isEmpty()) painter.setClipRegion(m_shape);
    switch (m_drawMode) {
    case Stretch:
        painter.drawPixmap(r, face);
        break;
    case Tile:
        painter.drawTiledPixmap(r, face);
        break;
    default:
        painter.drawPixmap(QPoint(0, 0), face, QRect(QPoint(0, 0), r.size()));
        break;
    }
    painter.setClipping(false);
}

void xSkinButton::drawCaption(QPainter& painter, QPoint offset, QColor colour) const {
    const QString caption = text();
    if (caption.isEmpty()) return;
    painter.setFont(m_captionFont);
    painter.setPen(colour);
    painter.drawText(rect().translated(offset), Qt::AlignCenter | Qt::TextSingleLine, caption);
}

void xSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    const QPalette& pal = palette();

    if (!isEnabled()) {
        drawFace(painter, m_disabled.isNull() ? m_normal : m_disabled);
        if (m_border) qDrawShadePanel(&painter, r, pal, false, 1);
        // Engraved caption: highlight one pixel down-right, then grey on top.
        drawCaption(painter, QPoint(1, 1), pal.color(QPalette::Light));
        drawCaption(painter, QPoint(0, 0), pal.color(QPalette::Disabled, QPalette::ButtonText));
        return;
    }

    if (isDown() || isChecked()) {
        const QPixmap& face = m_down.isNull() ? m_normal : m_down;
        if (face.isNull())
            painter.fillRect(r, pal.color(QPalette::Button));
        else
            drawFace(painter, face);
        if (m_border) qDrawShadePanel(&painter, r, pal, true, 1);
        drawCaption(painter, QPoint(1, 1), m_hover ? m_hoverTextColour : m_textColour);
        return;
    }

    if (m_hover && !m_over.isNull())
        drawFace(painter, m_over);
    else if (hasFocus() && !m_focus.isNull())
        drawFace(painter, m_focus);
    else
        drawFace(painter, m_normal);
    if (m_border) qDrawShadePanel(&painter, r, pal, false, 1);
    if (hasFocus() && m_focusMargin > 0) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = r.adjusted(m_focusMargin, m_focusMargin, -m_focusMargin, -m_focusMargin);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    drawCaption(painter, QPoint(0, 0), m_hover ? m_hoverTextColour : m_textColour);
}

} // namespace velmar
