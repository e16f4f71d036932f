// SysBlockButton: a block of the Home page's diagram (Mute, Gain, PEQ, ...) that opens its page.
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace velmar {

// Drawn to sit in the block's place on the Home background: a dark rounded block with its name and a
// short accent bar that tells the kind of block (gain, delay, equaliser, ...) at a glance; lighter
// under the mouse, darker while pressed. Takes no focus (Enter and Space never trigger it).
// Owned by the Home page; UI thread only.
class SysBlockButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit SysBlockButton(QWidget* parent = nullptr);

    void setAccent(QColor accent);
    QColor accent() const { return m_accent; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor m_accent;
    bool m_hover = false;
};

} // namespace velmar
