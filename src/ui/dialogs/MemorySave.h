// CMemorySave: the Program menu's Save dialog - stores the processor's settings as one of its twelve
// programs, and renames programs by a double click.
#pragma once

#include "ui/dialogs/SysProgramDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal. OK while not connected says so and closes;
// OK with row n queues the program store, sets the current program number to n, asks the main window
// to refresh, says it succeeded and closes; OK with no row asks for one and stays open.
//
// A double click opens the rename dialog (CSaveDlg, run through app.ui.runModal) for the chosen row.
// A confirmed name is put into the row and into programNames, becomes the current program, and is
// sent at once (16 bytes, the last always zero), whether or not a link is open. UI thread only.
class CMemorySave : public SysProgramDialog {
    Q_OBJECT

public:
    CMemorySave(AppState& app, QWidget* parent);

    void OnOK() override;
    void OnListDoubleClicked();
};

} // namespace velmar
