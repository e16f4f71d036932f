// CBitmapSlider: the fader of every page, drawn from a track and a thumb image with optional colour key.
#pragma once

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace velmar {

// A fader that holds an integer position in [minimum, maximum] and reports changes to its page.
//
// Geometry along the axis (y when vertical): the thumb centre travels from the start pixel S to S + L,
// with S = margin-start + thumb-size / 2 and L = track-size - margin-start - margin-end - thumb-size.
// Position minimum is at the top (or left). Pages that want the largest value at the top write with
// SetInvertedPos and read with GetInvertedPos.
//
// Notifications are Qt signals named after their routes:
//   sliderMoving(id, pos)  (0x28D1) on the 50 ms moving tick while the button is down, if the position
//                          changed since the last tick;
//   sliderMoved(id, pos)   (0x28D2) on release after a thumb drag or after a press beside the thumb
//                          whose step no moving tick reported yet, after each of the eight navigation
//                          keys, after a wheel step (and, vertical only, after every wheel event).
// The wheel acts only while the fader has the focus; otherwise the event goes on to the parent.
// `id` is controlId(), `pos` the raw position at the time of the signal. The signals are emitted
// directly; a page that wants them delivered after the current event (as a posted message would be)
// connects with Qt::QueuedConnection and reads GetInvertedPos() when its slot runs.
//
// Owned by its parent widget; user-interface thread only.
class CBitmapSlider : public QWidget {
    Q_OBJECT

public:
    // Message numbers of the two routes, kept for logs and for pages that dispatch on them.
    static constexpr int kSliderMovingMessage = 0x28D1;
    static constexpr int kSliderMovedMessage = 0x28D2;
    // Timer number of the moving tick, and its period.
    static constexpr int kMovingTimerId = 5;
    static constexpr int kMovingPeriodMs = 50;

    explicit CBitmapSlider(int controlId = 0, QWidget* parent = nullptr);
    ~CBitmapSlider() override;

    int controlId() const { return m_controlId; }
    void setControlId(int id) { m_controlId = id; }

    // Track images by bitmap number (see ui/artwork/Artwork.h). trackId 0 discards the track, the active
    // track and both masks and returns true. activeId 0 means no active track. With transparent set,
    // every pixel of the key colour is left out; an invalid keyColour (the default) takes the key from
    // the image's own pixel at (keyX, keyY). On success the control is resized to the track size and
    // the parent repaints the area under it. Returns false, changing nothing, when an image is missing.
    bool SetChannelBitmaps(int trackId, int activeId, bool transparent, QColor keyColour = QColor(),
                           int keyX = 0, int keyY = 0);
    // The same with images; a null track discards, a null active image means none.
    bool SetChannelBitmaps(const QImage& track, const QImage& active, bool transparent,
                           QColor keyColour = QColor(), int keyX = 0, int keyY = 0);

    // Thumb images; thumbId 0 (or a null image) discards the thumb and the active thumb. Without a
    // track the control keeps its current size as the track size. Does not redraw.
    bool SetThumbBitmaps(int thumbId, int activeId, bool transparent, QColor keyColour = QColor(),
                         int keyX = 0, int keyY = 0);
    bool SetThumbBitmaps(const QImage& thumb, const QImage& active, bool transparent,
                         QColor keyColour = QColor(), int keyX = 0, int keyY = 0);

    void SetMargins(int left, int top, int right, int bottom);
    void SetVertical(bool vertical);
    // Minimum, then maximum (redraws only with redraw set), then the position becomes min unclamped.
    void SetRange(int min, int max, bool redraw = false);
    // Position := pos clamped to the range; redraws.
    void SetPos(int pos);
    // Position := maximum - value without clamping (so a value below the range parks the thumb past the
    // end until the next read); redraws.
    void SetInvertedPos(int value);
    // Returns maximum - position as it stood, then clamps the stored position into the range.
    int GetInvertedPos();

    int GetPos() const { return m_pos; }
    int GetRangeMin() const { return m_min; }
    int GetRangeMax() const { return m_max; }
    int GetPageSize() const { return m_pageSize; }
    bool IsVertical() const { return m_vertical; }
    bool IsDragging() const { return m_dragging; }
    bool IsMovingTimerActive() const { return m_movingTimer.isActive(); }

    // Axis geometry: the start pixel S, the travel length L and the thumb centre for a position.
    int travelStart() const;
    int travelLength() const;
    int pixelForPosition(int pos) const;
    int positionForPixel(int pixel) const;

    QSize sizeHint() const override;

public slots:
    // The 50 ms moving tick (timer 5): reports a changed position as sliderMoving. Tests call it.
    void movingTick();

signals:
    void sliderMoving(int id, int pos); // route 0x28D1
    void sliderMoved(int id, int pos);  // route 0x28D2

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct KeyedImage {
        QImage image; // keyed pixels already made transparent when loaded with transparent set
        bool present() const { return !image.isNull(); }
    };

    static QImage applyColourKey(const QImage& source, QColor keyColour, int keyX, int keyY);
    int axisCoordinate(const QPointF& p) const;
    int thumbAxisSize() const;
    void repaintUnder();

    int m_controlId = 0;
    int m_max = 100;
    int m_min = 0;
    int m_pos = 0;
    int m_pageSize = 20;
    int m_trackWidth = 0;
    int m_trackHeight = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    int m_grabOffset = 0;
    bool m_changed = false;
    bool m_vertical = true;
    bool m_trackTransparent = false;
    bool m_thumbTransparent = false;
    bool m_thumbSet = false;
    bool m_trackSet = false;
    bool m_dragging = false;
    KeyedImage m_track;
    KeyedImage m_activeTrack;
    KeyedImage m_thumb;
    KeyedImage m_activeThumb;
    qint16 m_wheelAccumulator = 0;
    QTimer m_movingTimer;
};

} // namespace velmar
