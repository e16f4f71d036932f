// The key pre-filter of the program and system dialogs.
#include "ui/dialogs/SysDialogKeyFilter.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>

namespace velmar {

SysDialogKeyFilter::SysDialogKeyFilter(QDialog* dialog) : QObject(dialog), m_dialog(dialog) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool SysDialogKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !m_dialog || widget->window() != m_dialog) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        m_dialog->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

} // namespace velmar
