// SysSpinButtons: the up-down control beside a numeric entry of the Gain and Delay pages.
#pragma once

#include <QTimer>
#include <QWidget>

namespace velmar {

// Two arrow halves, up on top. A press reports deltaPos(-1) for the up half and deltaPos(+1) for the
// down half - the sign an up-down control's notification carries - and, while held, repeats after
// 400 ms every 60 ms. It keeps no position of its own: the page decides what a step does. Takes no
// focus, so pressing it does not commit the entry beside it. Owned by its page; UI thread only.
class SysSpinButtons : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 16;
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatPeriodMs = 60;

    explicit SysSpinButtons(QWidget* parent = nullptr);

    // What a press of the up (delta -1) or down (delta +1) half does; tests call it.
    void press(int delta);

    QSize sizeHint() const override;

signals:
    void deltaPos(int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int halfAt(int y) const; // -1 up, +1 down
    void repeat();

    QTimer m_repeat;
    int m_pressed = 0; // the half held down, 0 none
    int m_hover = 0;
};

} // namespace velmar
