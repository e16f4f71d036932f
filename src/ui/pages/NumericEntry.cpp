// The pages' numeric entry: typed characters, commit on focus loss, number parsing.
#include "ui/pages/NumericEntry.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace velmar {

NumericEntry::NumericEntry(QWidget* parent) : NumericEntry(Signs::Minus, Commit::WhenEdited, parent) {}

NumericEntry::NumericEntry(Signs signs, Commit commit, QWidget* parent)
    : QLineEdit(parent), m_signs(signs), m_commit(commit) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the longest value any entry shows ("1094.1Ft", "-20.0", "20000").
    setMaxLength(12);
}

void NumericEntry::ShowText(const QString& text) {
    // setText clears the modified flag: a shown value is never handed back as typed.
    if (text != QLineEdit::text()) setText(text);
    setModified(false);
    setCursorPosition(0);
}

bool NumericEntry::CommitIfModified() {
    if (!isModified()) return false;
    setModified(false);
    emit committed(text());
    return true;
}

bool NumericEntry::IsNumberCharacter(QChar c, Signs signs) {
    if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')) return true;
    if (c == QLatin1Char('-')) return signs != Signs::None;
    return c == QLatin1Char('+') && signs == Signs::PlusAndMinus;
}

std::optional<double> NumericEntry::ParseNumber(const QString& text, const QStringList& suffixes) {
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && t.at(i) == QLatin1Char('-')) ++i;
    const int digitsFrom = i;
    bool point = false;
    int digits = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0 || i == digitsFrom) return std::nullopt;
    const QString rest = t.mid(i).trimmed();
    if (!rest.isEmpty()) {
        bool known = false;
        for (const QString& s : suffixes) known = known || rest.compare(s, Qt::CaseInsensitive) == 0;
        if (!known) return std::nullopt;
    }
    bool ok = false;
    const double value = t.left(i).toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

void NumericEntry::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (m_commit == Commit::EveryLeave) {
            // The window's key filter moves the focus away, and leaving commits: once, not twice.
            event->ignore();
            return;
        }
        // Never a dialog command: the value is taken, as when the focus leaves.
        CommitIfModified();
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit stepRequested(event->key() == Qt::Key_Up);
        event->accept();
        return;
    default:
        break;
    }
    // A key that types printable characters passes only when every one of them is a number's. Editing
    // keys and shortcuts (copy, paste, select all) go on as usual.
    const QString typed = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!shortcut) {
        for (QChar c : typed) {
            if (c.isPrint() && !IsNumberCharacter(c, m_signs)) {
                event->accept(); // discarded, as every character a number is not written with
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void NumericEntry::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the entry itself is not leaving it.
    if (event->reason() == Qt::PopupFocusReason) return;
    if (m_commit == Commit::EveryLeave) {
        setModified(false);
        emit committed(text());
    } else {
        CommitIfModified();
    }
}

} // namespace velmar
