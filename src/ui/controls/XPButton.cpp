// XPButton: face choice, sizing and cursor of the two-state bitmap button.
#include "ui/controls/XPButton.h"

#include "ui/artwork/Artwork.h"

#include <QPainter>

namespace velmar {

XPButton::XPButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    SetHandCursor(true);
}

bool XPButton::SetBitmaps(int onNormal, int onHover, int onPressed, int offNormal, int offHover,
                          int offPressed) {
    bool allFound = true;
    auto load = [&allFound](int id) {
        if (id == 0) return QPixmap();
        QPixmap p = artwork::pixmap(id);
        if (p.isNull()) allFound = false;
        return p;
    };
    SetBitmaps(load(onNormal), load(onHover), load(onPressed), load(offNormal), load(offHover),
               load(offPressed));
    return allFound;
}

void XPButton::SetBitmaps(const QPixmap& onNormal, const QPixmap& onHover, const QPixmap& onPressed,
                          const QPixmap& offNormal, const QPixmap& offHover, const QPixmap& offPressed) {
    m_onFaces[0] = onNormal;
    m_onFaces[1] = onHover;
    m_onFaces[2] = onPressed;
    m_offFaces[0] = offNormal;
    m_offFaces[1] = offHover;
    m_offFaces[2] = offPressed;
    fitToFace();
    update();
}

void XPButton::SetOn(bool on) {
    if (on == m_on) return;
    m_on = on;
    fitToFace();
    update();
}

void XPButton::SetHandCursor(bool hand) {
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        setCursor(Qt::ArrowCursor);
}

const QPixmap& XPButton::currentFace() const {
    const QPixmap* set = m_on ? m_onFaces : m_offFaces;
    if (m_hover && isDown()) return set[2];
    if (m_hover) return set[1];
    return set[0];
}

void XPButton::fitToFace() {
    const QPixmap& face = currentFace();
    if (face.isNull()) return;
    const QSize size = face.deviceIndependentSize().toSize();
    if (size != this->size()) {
        resize(size);
        updateGeometry();
    }
}

QSize XPButton::sizeHint() const {
    const QPixmap& face = currentFace();
    if (!face.isNull()) return face.deviceIndependentSize().toSize();
    return QSize(21, 13);
}

void XPButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    fitToFace();
    update();
    QAbstractButton::enterEvent(event);
}

void XPButton::leaveEvent(QEvent* event) {
    m_hover = false;
    fitToFace();
    update();
    QAbstractButton::leaveEvent(event);
}

void XPButton::paintEvent(QPaintEvent*) {
    const QPixmap& face = currentFace();
    if (face.isNull()) return;
    QPainter painter(this);
    // A layout may give the button another size than its face; the face is scaled to it.
    painter.drawPixmap(rect(), face);
}

} // namespace velmar
