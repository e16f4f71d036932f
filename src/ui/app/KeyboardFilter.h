// KeyboardFilter: the main window's key pre-filter, so Enter and Escape never close or trigger anything.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace velmar {

// Installed on the application; looks only at key presses meant for a widget of `window` (not its
// dialogs, menus or pop-up lists). Enter and Escape move the focus to the window, which makes a
// numeric entry that had it take its value, and go no further. Tab and Backtab do not move the focus
// between controls. Every other key goes on as usual. UI thread only.
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
