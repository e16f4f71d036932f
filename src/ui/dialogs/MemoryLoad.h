// CMemoryLoad: the Program menu's Load dialog - makes the processor load one of its twelve programs.
#pragma once

#include "ui/dialogs/SysProgramDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal. OK while not connected says so and closes;
// OK with no row chosen asks for one and stays open; OK with row n sets the current program number
// (system block byte 15) to n, queues the program load and waits. The processor's whole-image answer
// replaces the image and refreshes the pages; then the dialog says it succeeded and closes. No answer
// (LoadFailed, a lost link, the backstop) says "Load failed", puts the program number back and keeps
// the dialog open with its selection. UI thread only.
class CMemoryLoad : public SysProgramDialog {
    Q_OBJECT

public:
    CMemoryLoad(AppState& app, QWidget* parent);

    void OnOK() override;

protected:
    void waitEnded(uint8_t program, bool ok) override;

private:
    uint8_t m_previousProgram = 0;
};

} // namespace velmar
