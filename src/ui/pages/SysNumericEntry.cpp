// The Gain and Delay pages' numeric entry.
#include "ui/pages/SysNumericEntry.h"

#include "ui/artwork/Palette.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace velmar {

SysNumericEntry::SysNumericEntry(bool allowSigns, QWidget* parent)
    : QLineEdit(parent), m_allowSigns(allowSigns) {
    setAlignment(Qt::AlignCenter);
    setFrame(true);
    setFont(palette::condensedFont(12));
    // The text is the page's format ("-36.0dB", "9.996ms"), never longer than a few characters.
    setMaxLength(16);
}

void SysNumericEntry::setDisplayText(const QString& text) {
    if (this->text() != text) setText(text);
    setCursorPosition(0);
}

bool SysNumericEntry::accepts(QChar c, bool allowSigns) {
    if (c.isDigit() && c.unicode() < 0x80) return true;
    if (c == QLatin1Char('.') || c == QChar(0x08)) return true;
    return allowSigns && (c == QLatin1Char('+') || c == QLatin1Char('-'));
}

void SysNumericEntry::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        emit stepped(-1);
        return;
    case Qt::Key_Down:
        emit stepped(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        return;
    case Qt::Key_Backspace:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    // A key that types printable characters passes only when every one of them is accepted. Editing
    // keys (arrows, Home, End, Delete) and shortcuts (copy, paste, select all) go on as usual: what a
    // paste brings in is judged by the page when the entry is left.
    const QString text = event->text();
    bool printable = !text.isEmpty();
    for (QChar c : text) printable = printable && c.isPrint();
    if (printable) {
        for (QChar c : text)
            if (!accepts(c, m_allowSigns)) return;
    }
    QLineEdit::keyPressEvent(event);
}

void SysNumericEntry::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit committed();
}

} // namespace velmar
