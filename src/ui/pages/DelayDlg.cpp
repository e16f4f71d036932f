// The Delay page.
#include "ui/pages/DelayDlg.h"

namespace velmar {

CDelayDlg::CDelayDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void CDelayDlg::RefreshPage() {
    update();
}

void CDelayDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Delay"), tr("Configuration %1").arg(app().core.deviceConfig));
}

} // namespace velmar
