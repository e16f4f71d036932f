// SysNumericEntry: the numeric entry of the Gain and Delay pages - takes effect when it loses the focus.
#pragma once

#include <QLineEdit>
#include <QString>

namespace velmar {

// A centred, bordered line edit that
// - accepts only the digits, "." and Backspace as typed characters, and "+" and "-" when signs are
//   allowed; every other character (control characters included) is discarded;
// - reports committed() when it loses the focus, whatever the user did with the text (the page then
//   reads text() and decides), except when the focus only went to its own context menu;
// - steps with the Up and Down arrow keys like the arrow keys of its spin control: stepped(-1) for Up,
//   stepped(+1) for Down, the sign the up-down notification carries;
// - never reacts to Enter or Escape itself (the main window's key filter moves the focus away, which
//   commits the entry).
// setDisplayText() rewrites the text without any notification. Owned by its page; UI thread only.
class SysNumericEntry : public QLineEdit {
    Q_OBJECT

public:
    explicit SysNumericEntry(bool allowSigns, QWidget* parent = nullptr);

    void setDisplayText(const QString& text);
    bool allowsSigns() const { return m_allowSigns; }

    // Whether a typed character is kept.
    static bool accepts(QChar c, bool allowSigns);

signals:
    void committed();
    void stepped(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_allowSigns;
};

} // namespace velmar
