// NumericEntry: the numeric entry of every page; it takes its value when it loses the focus.
#pragma once

#include <QLineEdit>
#include <QStringList>

#include <optional>

namespace velmar {

// A line edit for one value of the image. The page shows the stored value with ShowText; what the user
// typed is handed back by `committed` when the entry loses the focus (a context menu of its own is not
// leaving it). Two rules tell the pages apart:
//
// - Commit::WhenEdited (the Input, Output and Graphic EQ pages): only a text the user changed since it
//   was last shown is handed back, so looking at a value never re-enters it; Enter and Escape hand it
//   back at once.
// - Commit::EveryLeave (the Gain and Delay pages): every leave hands the text back, whatever the user
//   did, and the page decides; Enter and Escape are left to the window (its key filter moves the focus
//   away, which commits the entry), so one press never checks the value twice.
//
// Typed characters are the ASCII digits and "." plus the signs the rules allow; every other printable
// character is discarded (Backspace, Delete, the cursor keys and the clipboard shortcuts work as usual,
// and what a paste brings in is judged by the page). The Up and Down arrow keys ask the page for a step.
//
// Owned by its page; user-interface thread only.
class NumericEntry : public QLineEdit {
    Q_OBJECT

public:
    enum class Signs { None, Minus, PlusAndMinus };
    enum class Commit { WhenEdited, EveryLeave };

    // The channel pages' entry: a minus sign, handed back when edited, right-aligned.
    explicit NumericEntry(QWidget* parent = nullptr);
    NumericEntry(Signs signs, Commit commit, QWidget* parent = nullptr);

    // Replaces the text with a value from the image; the entry then counts as unchanged.
    void ShowText(const QString& text);

    // Hands a changed text to the page now (as losing the focus would). Returns whether it did.
    bool CommitIfModified();

    Signs AllowedSigns() const { return m_signs; }
    Commit CommitRule() const { return m_commit; }

    // Unit suffixes a typed value may keep after its number ("dB", "ms", ...), compared without case.
    void SetSuffixes(const QStringList& suffixes) { m_suffixes = suffixes; }
    const QStringList& Suffixes() const { return m_suffixes; }

    // The number at the start of `text` (after blanks): an optional "-", digits with at most one ".",
    // then nothing but blanks or one of `suffixes`. Empty for anything else ("", "-", "1.2.3", "5x").
    static std::optional<double> ParseNumber(const QString& text, const QStringList& suffixes = {});
    // Whether a typed character is one a number is written with, under `signs`.
    static bool IsNumberCharacter(QChar c, Signs signs = Signs::Minus);

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
    Signs m_signs;
    Commit m_commit;
};

} // namespace velmar
