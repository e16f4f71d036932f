// CMemoryLoad: the Program menu's Load dialog - makes the processor load one of its twelve programs.
#pragma once

#include "ui/dialogs/SysProgramDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal. OK while not connected says so and closes;
// OK with no row chosen asks for one and stays open; OK with row n sets the current program number
// (system block byte 15) to n, queues the program load, says it succeeded and closes. The processor's
// whole-image answer then replaces the image and refreshes the pages. UI thread only.
class CMemoryLoad : public SysProgramDialog {
    Q_OBJECT

public:
    CMemoryLoad(AppState& app, QWidget* parent);

    void OnOK() override;
};

} // namespace velmar
