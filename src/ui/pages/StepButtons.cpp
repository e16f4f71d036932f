// The up-down control: painting, press and auto-repeat.
#include "ui/pages/StepButtons.h"

#include "ui/artwork/Palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace velmar {

StepButtons::StepButtons(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &StepButtons::RepeatTick);
}

void StepButtons::RepeatTick() {
    if (m_pressed == 0) {
        m_repeat.stop();
        return;
    }
    ++m_repeats;
    m_repeat.setInterval(m_repeats >= kRepeatsBeforeFast ? kFastRepeatIntervalMs : kRepeatIntervalMs);
    emit stepped(m_pressed > 0);
}

void StepButtons::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    m_pressed = IsUpHalf(int(event->position().y())) ? 1 : -1;
    m_repeats = 0;
    update();
    m_repeat.start(kRepeatDelayMs);
    emit stepped(m_pressed > 0);
}

void StepButtons::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = 0;
    m_repeat.stop();
    update();
}

void StepButtons::mouseMoveEvent(QMouseEvent* event) {
    const int hover = IsUpHalf(int(event->position().y())) ? 1 : -1;
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void StepButtons::leaveEvent(QEvent*) {
    m_hover = 0;
    update();
}

void StepButtons::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_pressed = 0;
        m_repeat.stop();
    }
    QWidget::changeEvent(event);
}

void StepButtons::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal mid = height() / 2.0;
    for (int half : {1, -1}) {
        const QRectF box = half > 0 ? QRectF(r.left(), r.top(), r.width(), mid - r.top())
                                    : QRectF(r.left(), mid, r.width(), r.bottom() - mid);
        QColor face = palette::kControlFace;
        if (m_pressed == half)
            face = palette::kAccent.darker(160);
        else if (m_hover == half && isEnabled())
            face = palette::kControlFaceHover;
        p.setPen(QPen(palette::kBorder, 1));
        p.setBrush(face);
        p.drawRoundedRect(box, 2, 2);

        const qreal cx = box.center().x(), cy = box.center().y();
        const qreal w = 3.5, h = 2.5;
        QPainterPath arrow;
        if (half > 0) {
            arrow.moveTo(cx - w, cy + h / 2 + 0.5);
            arrow.lineTo(cx + w, cy + h / 2 + 0.5);
            arrow.lineTo(cx, cy - h / 2 - 0.5);
        } else {
            arrow.moveTo(cx - w, cy - h / 2 - 0.5);
            arrow.lineTo(cx + w, cy - h / 2 - 0.5);
            arrow.lineTo(cx, cy + h / 2 + 0.5);
        }
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(isEnabled() ? (m_pressed == half ? palette::kText : palette::kTextDim)
                               : palette::kTextFaint);
        p.drawPath(arrow);
    }
}

} // namespace velmar
