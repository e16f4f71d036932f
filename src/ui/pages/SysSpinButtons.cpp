// The up-down control of the Gain and Delay pages.
#include "ui/pages/SysSpinButtons.h"

#include "ui/artwork/Palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace velmar {

SysSpinButtons::SysSpinButtons(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    connect(&m_repeat, &QTimer::timeout, this, &SysSpinButtons::repeat);
}

QSize SysSpinButtons::sizeHint() const {
    return {kWidth, 24};
}

void SysSpinButtons::press(int delta) {
    emit deltaPos(delta < 0 ? -1 : 1);
}

int SysSpinButtons::halfAt(int y) const {
    return y < height() / 2 ? -1 : 1;
}

void SysSpinButtons::repeat() {
    if (m_pressed == 0) {
        m_repeat.stop();
        return;
    }
    m_repeat.setInterval(kRepeatPeriodMs);
    press(m_pressed);
}

void SysSpinButtons::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = halfAt(int(event->position().y()));
    update();
    press(m_pressed);
    m_repeat.start(kRepeatDelayMs);
}

void SysSpinButtons::mouseReleaseEvent(QMouseEvent*) {
    m_pressed = 0;
    m_repeat.stop();
    update();
}

void SysSpinButtons::mouseMoveEvent(QMouseEvent* event) {
    const int half = rect().contains(event->position().toPoint()) ? halfAt(int(event->position().y())) : 0;
    if (half != m_hover) {
        m_hover = half;
        update();
    }
}

void SysSpinButtons::leaveEvent(QEvent*) {
    m_hover = 0;
    update();
}

void SysSpinButtons::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath frame;
    frame.addRoundedRect(r, 3, 3);
    p.fillPath(frame, palette::kControlFace);
    const qreal mid = r.center().y();
    for (int half : {-1, 1}) {
        const QRectF h = half < 0 ? QRectF(r.left(), r.top(), r.width(), mid - r.top())
                                  : QRectF(r.left(), mid, r.width(), r.bottom() - mid);
        if (m_pressed == half || m_hover == half) {
            p.save();
            p.setClipPath(frame);
            p.fillRect(h, m_pressed == half ? palette::kAccent.darker(160) : palette::kControlFaceHover);
            p.restore();
        }
        // A small chevron in the middle of the half, pointing up or down.
        const QPointF c = h.center();
        const qreal w = 3.5, rise = half < 0 ? 1.75 : -1.75;
        QPainterPath arrow;
        arrow.moveTo(c.x() - w, c.y() + rise);
        arrow.lineTo(c.x(), c.y() - rise);
        arrow.lineTo(c.x() + w, c.y() + rise);
        p.setPen(QPen(m_pressed == half ? palette::kText : palette::kTextDim, 1.4, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
    }
    p.setPen(QPen(palette::kBorder, 1));
    p.drawLine(QPointF(r.left() + 2, mid), QPointF(r.right() - 2, mid));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);
}

} // namespace velmar
