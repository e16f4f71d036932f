// NumericEntry: the numeric entry of the channel pages; it takes its value when it loses the focus.
#pragma once

#include <QLineEdit>
#include <QStringList>

#include <optional>

namespace velmar {

// A line edit for one value of the image. The page shows the stored value with ShowText; what the user
// types is handed back by `committed` when the entry loses the focus (or on Enter and Escape), and only
// when the user changed the text since it was last shown, so looking at a value never re-enters it.
//
// Typed characters other than the digits, "." and "-" are discarded (Backspace, Delete, the cursor keys
// and the clipboard shortcuts work as usual). The Up and Down arrow keys ask the page for a step.
//
// Owned by its page; user-interface thread only.
class NumericEntry : public QLineEdit {
    Q_OBJECT

public:
    explicit NumericEntry(QWidget* parent = nullptr);

    // Replaces the text with a value from the image; the entry then counts as unchanged.
    void ShowText(const QString& text);

    // Hands a changed text to the page now (as losing the focus would). Returns whether it did.
    bool CommitIfModified();

    // Unit suffixes a typed value may keep after its number ("dB", "ms", ...), compared without case.
    void SetSuffixes(const QStringList& suffixes) { m_suffixes = suffixes; }
    const QStringList& Suffixes() const { return m_suffixes; }

    // The number at the start of `text` (after blanks): an optional "-", digits with at most one ".",
    // then nothing but blanks or one of `suffixes`. Empty for anything else ("", "-", "1.2.3", "5x").
    static std::optional<double> ParseNumber(const QString& text, const QStringList& suffixes = {});
    // Whether a typed character is one a number is written with.
    static bool IsNumberCharacter(QChar c);

signals:
    // The user's text, to be checked, stored and shown again by the page.
    void committed(const QString& text);
    // The Up (true) or Down (false) arrow key was pressed in the entry.
    void stepRequested(bool up);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QStringList m_suffixes;
};

} // namespace velmar
