// CSystemDlg: the system configuration dialog (a stand-in until the dialog is built).
#pragma once

#include "ui/dialogs/PlaceholderDialog.h"

namespace velmar {

// Modal; the main window runs it through app.ui.runModal from its menu. UI thread only.
class CSystemDlg : public PlaceholderDialog {
    Q_OBJECT

public:
    CSystemDlg(AppState& app, QWidget* parent);
};

} // namespace velmar
