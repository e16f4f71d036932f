// CBitmapSlider: geometry, position rules, mouse, keys, wheel and colour-keyed painting of the fader.
#include "ui/controls/BitmapSlider.h"

#include "ui/artwork/Artwork.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace velmar {

CBitmapSlider::CBitmapSlider(int controlId, QWidget* parent) : QWidget(parent), m_controlId(controlId) {
    setFocusPolicy(Qt::StrongFocus);
    // The widget paints every pixel it owns each time (Qt double-buffers the window), so the thumb never
    // needs the saved-background patch a direct-to-screen fader would keep: the parent shows through
    // wherever the track is keyed out and is repainted underneath on every update.
    m_movingTimer.setInterval(kMovingPeriodMs);
    connect(&m_movingTimer, &QTimer::timeout, this, &CBitmapSlider::movingTick);
}

CBitmapSlider::~CBitmapSlider() = default;

QImage CBitmapSlider::applyColourKey(const QImage& source, QColor keyColour, int keyX, int keyY) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QRgb key = 0;
    if (keyColour.isValid()) {
        key = keyColour.rgba();
    } else if (image.rect().contains(keyX, keyY)) {
        key = image.pixel(keyX, keyY);
    } else {
        // A key pixel outside the image names no colour: nothing is left out.
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) line[x] = 0; // transparent: the destination stays as it was
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool CBitmapSlider::SetChannelBitmaps(int trackId, int activeId, bool transparent, QColor keyColour, int keyX,
                                      int keyY) {
    if (trackId == 0) return SetChannelBitmaps(QImage(), QImage(), transparent, keyColour, keyX, keyY);
    const QImage track = artwork::image(trackId);
    const QImage active = activeId != 0 ? artwork::image(activeId) : QImage();
    if (track.isNull() || (activeId != 0 && active.isNull())) return false;
    return SetChannelBitmaps(track, active, transparent, keyColour, keyX, keyY);
}

bool CBitmapSlider::SetChannelBitmaps(const QImage& track, const QImage& active, bool transparent,
                                      QColor keyColour, int keyX, int keyY) {
    if (track.isNull()) {
        m_track = {};
        m_activeTrack = {};
        m_trackSet = false;
        update();
        return true;
    }
    // A pair of different sizes cannot be split at the thumb; refuse it and keep the images we have.
    if (!active.isNull() && active.size() != track.size()) {
        qWarning("CBitmapSlider %d: active track %dx%d differs from track %dx%d", m_controlId, active.width(),
                 active.height(), track.width(), track.height());
        return false;
    }
    m_track.image = transparent ? applyColourKey(track, keyColour, keyX, keyY) : track;
    m_activeTrack.image =
        active.isNull() ? QImage() : (transparent ? applyColourKey(active, keyColour, keyX, keyY) : active);
    m_trackWidth = track.width();
    m_trackHeight = track.height();
    setFixedSize(track.size());
    m_trackTransparent = transparent;
    m_trackSet = true;
    repaintUnder();
    return true;
}

bool CBitmapSlider::SetThumbBitmaps(int thumbId, int activeId, bool transparent, QColor keyColour, int keyX,
                                    int keyY) {
    if (thumbId == 0) return SetThumbBitmaps(QImage(), QImage(), transparent, keyColour, keyX, keyY);
    const QImage thumb = artwork::image(thumbId);
    const QImage active = activeId != 0 ? artwork::image(activeId) : QImage();
    if (thumb.isNull() || (activeId != 0 && active.isNull())) return false;
    return SetThumbBitmaps(thumb, active, transparent, keyColour, keyX, keyY);
}

bool CBitmapSlider::SetThumbBitmaps(const QImage& thumb, const QImage& active, bool transparent,
                                    QColor keyColour, int keyX, int keyY) {
    if (thumb.isNull()) {
        m_thumb = {};
        m_activeThumb = {};
        m_thumbSet = false;
        return true;
    }
    if (!active.isNull() && active.size() != thumb.size()) {
        qWarning("CBitmapSlider %d: active thumb %dx%d differs from thumb %dx%d", m_controlId, active.width(),
                 active.height(), thumb.width(), thumb.height());
        return false;
    }
    m_thumb.image = transparent ? applyColourKey(thumb, keyColour, keyX, keyY) : thumb;
    m_activeThumb.image =
        active.isNull() ? QImage() : (transparent ? applyColourKey(active, keyColour, keyX, keyY) : active);
    m_thumbWidth = thumb.width();
    m_thumbHeight = thumb.height();
    if (!m_trackSet) {
        m_trackWidth = width();
        m_trackHeight = height();
    }
    Q_ASSERT(m_thumbWidth <= m_trackWidth && m_thumbHeight <= m_trackHeight);
    m_thumbTransparent = transparent;
    m_thumbSet = true;
    return true;
}

void CBitmapSlider::SetMargins(int left, int top, int right, int bottom) {
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
}

void CBitmapSlider::SetVertical(bool vertical) {
    m_vertical = vertical;
}

void CBitmapSlider::SetRange(int min, int max, bool redraw) {
    Q_ASSERT(max > min);
    m_min = min;
    m_max = max;
    if (redraw) update();
    m_pos = min;
}

void CBitmapSlider::SetPos(int pos) {
    m_pos = std::clamp(pos, m_min, std::max(m_min, m_max));
    update();
}

void CBitmapSlider::SetInvertedPos(int value) {
    m_pos = m_max - value;
    update();
}

int CBitmapSlider::GetInvertedPos() {
    const int value = m_max - m_pos;
    m_pos = std::clamp(m_pos, m_min, std::max(m_min, m_max));
    return value;
}

int CBitmapSlider::thumbAxisSize() const {
    return m_vertical ? m_thumbHeight : m_thumbWidth;
}

int CBitmapSlider::travelStart() const {
    return (m_vertical ? m_marginTop : m_marginLeft) + thumbAxisSize() / 2;
}

int CBitmapSlider::travelLength() const {
    return m_vertical ? m_trackHeight - m_marginTop - m_marginBottom - m_thumbHeight
                      : m_trackWidth - m_marginLeft - m_marginRight - m_thumbWidth;
}

int CBitmapSlider::pixelForPosition(int pos) const {
    if (m_max <= m_min) return travelStart();
    const double fraction = double(pos - m_min) / double(m_max - m_min);
    return travelStart() + int(std::trunc(travelLength() * fraction));
}

int CBitmapSlider::positionForPixel(int pixel) const {
    const int length = travelLength();
    if (length <= 0) return m_min;
    const double v = m_min + double(pixel - travelStart()) / double(length) * double(m_max - m_min);
    return int(std::trunc(v));
}

int CBitmapSlider::axisCoordinate(const QPointF& p) const {
    return int(std::floor(m_vertical ? p.y() : p.x()));
}

QSize CBitmapSlider::sizeHint() const {
    if (m_trackSet) return QSize(m_trackWidth, m_trackHeight);
    return QWidget::sizeHint();
}

void CBitmapSlider::repaintUnder() {
    // Repainting a non-opaque child repaints the parent beneath it first, so a keyed track shows the
    // page's own background.
    update();
}

void CBitmapSlider::movingTick() {
    if (!m_changed) return;
    m_changed = false;
    emit sliderMoving(m_controlId, m_pos);
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt grabs the mouse for the pressed widget until release, which is the capture we need.
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;

    const int mouse = axisCoordinate(event->position());
    const int start = travelStart();
    const int end = start + travelLength();
    const int d = mouse - pixelForPosition(m_pos);
    m_grabOffset = std::abs(d) <= thumbAxisSize() / 2 ? d : 0;

    const int p = std::clamp(mouse - m_grabOffset, start, std::max(start, end));
    if (p != pixelForPosition(m_pos)) {
        // A press beside the thumb walks one step toward the mouse and does not start a drag.
        SetPos(m_pos - positionForPixel(p) > 0 ? m_pos - 1 : m_pos + 1);
        m_dragging = false;
        m_changed = true;
    }
    m_movingTimer.start();
    update();
    event->accept();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int start = travelStart();
    const int end = start + travelLength();
    const int p = std::clamp(axisCoordinate(event->position()) - m_grabOffset, start, std::max(start, end));
    if (p != pixelForPosition(m_pos)) {
        SetPos(positionForPixel(p));
        m_changed = true;
    }
    event->accept();
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    update();
    const bool wasDragging = m_dragging;
    // A quick click beside the thumb (a touchpad tap) is released before the first moving tick: its
    // step must still reach the page, or the fader shows a value the processor never got.
    const bool stepUnreported = m_changed;
    m_dragging = false;
    m_changed = false;
    m_movingTimer.stop();
    if (wasDragging || stepUnreported) emit sliderMoved(m_controlId, m_pos);
    event->accept();
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    // Tab and Backtab never arrive here: QWidget::event hands them to the focus chain first, so Tab still
    // moves the focus away from a fader.
    const int up = m_vertical ? -1 : +1;
    switch (event->key()) {
    case Qt::Key_PageUp:
        SetPos(m_pos - m_pageSize);
        break;
    case Qt::Key_PageDown:
        SetPos(m_pos + m_pageSize);
        break;
    case Qt::Key_Home:
        SetPos(m_min);
        break;
    case Qt::Key_End:
        SetPos(m_max);
        break;
    case Qt::Key_Up:
        SetPos(m_pos + up);
        break;
    case Qt::Key_Down:
        SetPos(m_pos - up);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    emit sliderMoved(m_controlId, m_pos);
}

void CBitmapSlider::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    // A wheel turned over a fader the user did not pick (scrolling past it) goes on to the parent.
    if (delta == 0 || !hasFocus()) {
        // A sideways scroll is not a wheel notch of this control.
        event->ignore();
        return;
    }
    // The sum is taken in int and clamped, so a burst of large deltas cannot wrap the 16-bit store.
    m_wheelAccumulator = qint16(std::clamp(int(m_wheelAccumulator) + delta, -120, 120));
    bool stepped = false;
    if (m_wheelAccumulator == 120) {
        SetPos(m_vertical ? m_pos - 1 : m_pos + 1);
        stepped = true;
    } else if (m_wheelAccumulator == -120) {
        SetPos(m_vertical ? m_pos + 1 : m_pos - 1);
        stepped = true;
    }
    if (stepped) m_wheelAccumulator = 0;
    event->accept();
    if (stepped || m_vertical) emit sliderMoved(m_controlId, m_pos);
}

void CBitmapSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    // A keyed track lets the parent show through; otherwise start from the background colour.
    if (!(m_trackSet && m_trackTransparent)) painter.fillRect(area, palette().color(backgroundRole()));

    const int p = pixelForPosition(m_pos);
    if (m_trackSet) {
        if (m_activeTrack.present()) {
            // The active image runs from the start edge to the thumb centre, the normal one beyond it.
            const QRect before = m_vertical ? QRect(0, 0, m_trackWidth, std::clamp(p, 0, m_trackHeight))
                                            : QRect(0, 0, std::clamp(p, 0, m_trackWidth), m_trackHeight);
            const QRect after = m_vertical
                                    ? QRect(0, before.height(), m_trackWidth, m_trackHeight - before.height())
                                    : QRect(before.width(), 0, m_trackWidth - before.width(), m_trackHeight);
            if (!before.isEmpty()) painter.drawImage(before, m_activeTrack.image, before);
            if (!after.isEmpty()) painter.drawImage(after, m_track.image, after);
        } else {
            painter.drawImage(QPoint(0, 0), m_track.image);
        }
    }
    if (m_thumbSet) {
        const QImage& thumb = (m_activeThumb.present() && m_dragging) ? m_activeThumb.image : m_thumb.image;
        const QPoint at = m_vertical ? QPoint(m_marginLeft, p - m_thumbHeight / 2)
                                     : QPoint(p - m_thumbWidth / 2, m_marginTop);
        painter.drawImage(at, thumb);
    }
}

} // namespace velmar
