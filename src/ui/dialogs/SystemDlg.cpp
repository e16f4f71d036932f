// The Configure dialog.
#include "ui/dialogs/SystemDlg.h"

namespace velmar {

CSystemDlg::CSystemDlg(AppState& app, QWidget* parent) : PlaceholderDialog(app, parent) {
    setBody(tr("Configure"), tr("Configure"));
}

} // namespace velmar
