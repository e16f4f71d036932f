// The key pre-filter of the main window and the dialogs.
#include "ui/app/KeyboardFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace velmar {

KeyboardFilter::KeyboardFilter(QWidget* window) : QObject(window), m_window(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool KeyboardFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !m_window || widget->window() != m_window) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        m_window->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

} // namespace velmar
