// EnTabCtrl: colour rules, gradient bands, tab contents and borders of the custom tab look.
#include "ui/controls/EnTabCtrl.h"

#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace velmar {

namespace {
unsigned s_customLook = 0; // shared by every instance; user-interface thread only

int scaleUp(int channel, double factor) {
    return std::min(255, int(channel * factor));
}
int scaleDown(int channel, double factor) {
    return std::clamp(int(channel * factor), 0, 255);
}

// Win32-style edges: right and bottom are one past the last pixel.
struct Edges {
    int left, top, right, bottom;
    explicit Edges(const QRect& r)
        : left(r.left()), top(r.top()), right(r.left() + r.width()), bottom(r.top() + r.height()) {}
};

void fill(QPainter& p, int left, int top, int right, int bottom, QColor c) {
    if (right > left && bottom > top) p.fillRect(QRect(left, top, right - left, bottom - top), c);
}
} // namespace

EnTabCtrl::EnTabCtrl(QWidget* parent) : BaseTabCtrl(parent) {}

void EnTabCtrl::SetCustomLook(bool enable, unsigned flags) {
    s_customLook = enable ? flags : 0;
}
unsigned EnTabCtrl::GetCustomLook() {
    return s_customLook;
}

QColor EnTabCtrl::Light(QColor c, double factor) {
    return QColor(scaleUp(c.red(), factor), scaleUp(c.green(), factor), scaleUp(c.blue(), factor));
}

QColor EnTabCtrl::Dark(QColor c, double factor) {
    return QColor(scaleDown(c.red(), factor), scaleDown(c.green(), factor), scaleDown(c.blue(), factor));
}

QColor EnTabCtrl::GradientBand(QColor from, QColor to, int line, int height) {
    if (height <= 0) return from;
    auto blend = [line, height](int a, int b) { return a + (line * (b - a)) / height; };
    return QColor(blend(from.red(), to.red()), blend(from.green(), to.green()),
                  blend(from.blue(), to.blue()));
}

QColor EnTabCtrl::backgroundOrFace() const {
    return hasBackgroundColor() ? GetBackgroundColor() : buttonFace();
}

QColor EnTabCtrl::GetTabColor(bool selected) const {
    const unsigned look = s_customLook;
    if (selected) {
        if (look & Selection)
            return (look & Color) ? Light(QColor(0xE6, 0xE6, 0xE6), 1.9) : Light(buttonFace(), 1.4);
        return buttonFace();
    }
    if ((look & BackTabs) || !(look & Flat)) {
        return ((look & Color) && hasBackgroundColor()) ? Dark(GetBackgroundColor(), 0.9)
                                                        : Dark(buttonFace(), 0.9);
    }
    return backgroundOrFace();
}

QColor EnTabCtrl::GetTabTextColor(bool selected) const {
    const unsigned look = s_customLook;
    if (selected) return windowText();
    if (!(look & Color) && !(look & Flat)) return Dark(buttonFace(), 0.5);
    return Dark(backgroundOrFace(), 0.1);
}

QColor EnTabCtrl::GradientEndColor(bool selected) const {
    return selected ? buttonFace() : Dark(backgroundOrFace(), 0.7);
}

int EnTabCtrl::displayDepth() const {
    const QScreen* s = screen();
    return s ? s->depth() : 32;
}

void EnTabCtrl::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
    Edges e(rect);
    e.bottom += selected ? -1 : 2;
    const QColor from = GetTabColor(selected);
    if ((s_customLook & Gradient) && displayDepth() > 15) {
        const QColor to = GradientEndColor(selected);
        const int height = e.bottom - e.top;
        for (int line = 0; line < height; line += 2) {
            fill(painter, e.left, e.top + line, e.right, std::min(e.bottom, e.top + line + 2),
                 GradientBand(from, to, line, height));
        }
    } else {
        fill(painter, e.left, e.top, e.right, e.bottom, from);
    }

    e.left += 3;
    e.top += selected ? 4 : 3;
    const QPixmap image = itemImage(index);
    if (!image.isNull()) {
        painter.drawPixmap(QPoint(e.left, e.top), image);
        e.left += 19;
    }
    e.right -= 3;
    const QRect textRect(e.left, e.top, std::max(0, e.right - e.left), std::max(0, e.bottom - e.top));
    const QString text = item(index).text.left(99);
    painter.setFont(font());
    painter.setPen(GetTabTextColor(selected));
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

void EnTabCtrl::DrawItemBorder(QPainter& painter, int, const QRect& rect, bool selected) {
    const QColor tab = GetTabColor(selected);
    const QColor light = Light(tab, 1.5);
    const QColor dark = Dark(tab, 0.75);
    Edges e(rect);
    if (selected || (s_customLook & BackTabs)) {
        e.bottom += selected ? -1 : 1;
        fill(painter, e.left, e.top, e.left + 1, e.bottom, light);
        fill(painter, e.left, e.top, e.right, e.top + 1, light);
        fill(painter, e.right - 1, e.top, e.right, e.bottom, dark);
    } else {
        fill(painter, e.left - 1, e.top, e.left, e.bottom, dark);
        fill(painter, e.right - 1, e.top, e.right, e.bottom, dark);
    }
}

void EnTabCtrl::DrawMainBorder(QPainter& painter, const QRect& rect) {
    const QColor tab = GetTabColor(false);
    const QColor topLeft = Light(tab, 1.5);
    const QColor bottomRight = Dark(tab, 0.75);
    const Edges e(rect);
    fill(painter, e.left, e.top, e.right - 1, e.top + 1, topLeft);
    fill(painter, e.left, e.top, e.left + 1, e.bottom - 1, topLeft);
    fill(painter, e.right - 1, e.top, e.right, e.bottom, bottomRight);
    fill(painter, e.left, e.bottom - 1, e.right, e.bottom, bottomRight);
}

} // namespace velmar
