// KeyboardFilter: the key pre-filter of the main window and of the program and system dialogs, so Enter
// and Escape never close or trigger anything.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace velmar {

// Installs itself on the application for the life of `window` (it is the window's child) and looks only
// at key presses meant for a widget of that window - not its dialogs, menus or pop-up lists, which have
// their own window. Enter and Escape move the focus to the window itself, which makes a numeric entry
// that had it take its value, and go no further: neither closes a dialog nor presses a button. Tab and
// Backtab do not move the focus between controls. Every other key goes on as usual. UI thread only.
class KeyboardFilter : public QObject {
    Q_OBJECT

public:
    explicit KeyboardFilter(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace velmar
