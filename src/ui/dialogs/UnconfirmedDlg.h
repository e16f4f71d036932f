// CUnconfirmedDlg: the list of fields the processor has not taken after every round of repair, with
// the processor's value beside the screen's.
#pragma once

#include "ui/app/AppState.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace velmar {

// Modal, opened by a click on the status line's "N not confirmed"; the main window runs it through
// app.ui.runModal. One row per field: the page that edits it, the channel, the field's name, the value
// the processor held at the last verify read and the value on this computer. OK closes it. The list is
// taken when the dialog is made. UI thread only.
class CUnconfirmedDlg : public QDialog {
    Q_OBJECT

public:
    CUnconfirmedDlg(AppState& app, QWidget* parent);

    QTableWidget* table() const { return m_table; }

    // One line per field not confirmed: "out2 peq3.gain: processor -3.0dB, this computer +2.0dB", in
    // the current language (the Save dialog's detail text).
    static QStringList fieldLines(const CoreState& s);
    QPushButton* okButton() const { return m_ok; }

private:
    QTableWidget* m_table = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace velmar
