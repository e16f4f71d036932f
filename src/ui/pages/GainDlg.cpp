// The Gain page.
#include "ui/pages/GainDlg.h"

namespace velmar {

CGainDlg::CGainDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void CGainDlg::RefreshPage() {
    update();
}

void CGainDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Gain"), tr("Configuration %1").arg(app().core.deviceConfig));
}

} // namespace velmar
