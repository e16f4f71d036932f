// CMemorySave: the processor's program save dialog (a stand-in until the dialog is built).
#pragma once

#include "ui/dialogs/PlaceholderDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal from its menu. UI thread only.
class CMemorySave : public PlaceholderDialog {
    Q_OBJECT

public:
    CMemorySave(AppState& app, QWidget* parent);
};

} // namespace velmar
