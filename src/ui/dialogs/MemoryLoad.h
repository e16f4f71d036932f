// CMemoryLoad: the processor's program load dialog (a stand-in until the dialog is built).
#pragma once

#include "ui/dialogs/PlaceholderDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal from its menu. UI thread only.
class CMemoryLoad : public PlaceholderDialog {
    Q_OBJECT

public:
    CMemoryLoad(AppState& app, QWidget* parent);
};

} // namespace velmar
