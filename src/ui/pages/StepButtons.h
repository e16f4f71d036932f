// StepButtons: the up-down control beside a numeric entry of every page; each press steps the value by one
// raw unit.
#pragma once

#include <QTimer>
#include <QWidget>

namespace velmar {

// Two arrow halves, up on top. A press steps once at once; held down it repeats after 400 ms every
// 50 ms, and after two seconds of repeating every 20 ms, so a long way is not a long wait. Each step is
// one raw unit: the control keeps no position of its own and the page decides what a step changes (the
// Gain and Delay pages turn `up` into the negative delta an up-down notification carries). It never
// takes the focus, so an entry being typed in keeps it and is not committed by a press. Owned by its
// page; user-interface thread only.
class StepButtons : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 50;
    static constexpr int kFastRepeatIntervalMs = 20;
    static constexpr int kRepeatsBeforeFast = 40; // two seconds at 50 ms
    static constexpr int kWidth = 15;

    explicit StepButtons(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {kWidth, 22}; }

    // The half a press at `y` lands on.
    bool IsUpHalf(int y) const { return y < height() / 2; }
    bool IsRepeating() const { return m_repeat.isActive(); }
    int RepeatInterval() const { return m_repeat.interval(); }

public slots:
    // One step of the repeat timer while a half is held. Tests call it.
    void RepeatTick();

signals:
    // One step: up raises the value shown, down lowers it.
    void stepped(bool up);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QTimer m_repeat;
    int m_repeats = 0;
    int m_pressed = 0; // 1 up, -1 down, 0 none
    int m_hover = 0;
};

} // namespace velmar
