// The Home page.
#include "ui/pages/HomeDlg.h"

namespace velmar {

CHomeDlg::CHomeDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void CHomeDlg::RefreshPage() {
    update();
}

void CHomeDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Home"), tr("Configuration %1").arg(app().core.deviceConfig));
}

} // namespace velmar
