// CMemorySave: the Program menu's Save dialog - stores the processor's settings as one of its twelve
// programs, and renames programs by a double click.
#pragma once

#include "ui/dialogs/SysProgramDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal. OK while not connected says so and closes;
// OK with no row asks for one and stays open; OK with row n queues the program store and waits: the
// core stores once the processor agrees with the screen. Answered (StoreDone): the current program
// number becomes n, the main window refreshes, "Save successful", closed. Not made (StoreFailed, a lost
// link, the backstop): "Save failed", with the fields the processor has not confirmed as its detail, a
// store still waiting in the core withdrawn, and the dialog stays open with its selection.
//
// A double click opens the rename dialog (CSaveDlg, run through app.ui.runModal) for the chosen row.
// A confirmed name is put into the row and into programNames, becomes the current program, and is
// sent at once (16 bytes, the last always zero), whether or not a link is open; with a link the core
// then reads the names back to confirm it (the main window says when it was not). UI thread only.
class CMemorySave : public SysProgramDialog {
    Q_OBJECT

public:
    CMemorySave(AppState& app, QWidget* parent);

    void OnOK() override;
    void OnListDoubleClicked();

protected:
    void waitEnded(uint8_t program, bool ok) override;
};

} // namespace velmar
