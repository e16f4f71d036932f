// A block button of the Home page's diagram.
#include "ui/pages/SysBlockButton.h"

#include "ui/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace velmar {

SysBlockButton::SysBlockButton(QWidget* parent) : QAbstractButton(parent), m_accent(palette::kAccent) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFont(palette::condensedFont(12, true));
}

void SysBlockButton::setAccent(QColor accent) {
    m_accent = accent;
    update();
}

QSize SysBlockButton::sizeHint() const {
    return {48, 26};
}

void SysBlockButton::enterEvent(QEnterEvent*) {
    m_hover = true;
    update();
}

void SysBlockButton::leaveEvent(QEvent*) {
    m_hover = false;
    update();
}

void SysBlockButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath body;
    body.addRoundedRect(r, 3, 3);
    const bool down = isDown();
    QColor face = down ? palette::kWell : m_hover ? palette::kControlFace : palette::kPanelRaised;
    p.fillPath(body, face);
    // The accent bar along the bottom edge.
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(r.left(), r.bottom() - 2, r.width(), 2.5),
               m_hover || down ? m_accent : m_accent.darker(150));
    p.restore();
    p.setPen(QPen(m_hover ? m_accent : palette::kBorderLight.darker(130), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(m_hover || down ? palette::kText : palette::kText.darker(112));
    p.setFont(font());
    p.drawText(rect().adjusted(1, down ? 0 : -1, -1, down ? -1 : -2), Qt::AlignCenter, text());
}

} // namespace velmar
