// StepButtons: the up-down control beside a numeric entry; each press steps the value by one raw unit.
#pragma once

#include <QTimer>
#include <QWidget>

namespace velmar {

// Two arrow halves, up on top. A press steps once at once; held down it repeats (after 400 ms, then
// every 50 ms), as the system's up-down control does. It never takes the focus, so an entry being
// typed in keeps it. Owned by its page; user-interface thread only.
class StepButtons : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 50;
    static constexpr int kWidth = 15;

    explicit StepButtons(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {kWidth, 22}; }

    // The half a press at `y` lands on.
    bool IsUpHalf(int y) const { return y < height() / 2; }
    bool IsRepeating() const { return m_repeat.isActive(); }

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
    void repeatStep();

    QTimer m_repeat;
    int m_pressed = 0; // 1 up, -1 down, 0 none
    int m_hover = 0;
};

} // namespace velmar
