// SysDialogKeyFilter: the key pre-filter of the program and system dialogs.
#pragma once

#include <QObject>
#include <QPointer>

class QDialog;

namespace velmar {

// Installed on the application for the life of one dialog (it is the dialog's child). It looks only at
// key presses meant for a widget of that dialog: Enter and Escape move the focus to the dialog itself
// and go no further, so neither closes the dialog nor presses a button; Tab and Backtab do not move
// between controls. Every other key goes on as usual. UI thread only.
class SysDialogKeyFilter : public QObject {
    Q_OBJECT

public:
    explicit SysDialogKeyFilter(QDialog* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QDialog> m_dialog;
};

} // namespace velmar
