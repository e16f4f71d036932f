// The Graphic EQ page.
#include "ui/pages/GEQDlg.h"

namespace velmar {

CGEQDlg::CGEQDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void CGEQDlg::RefreshPage() {
    if (app().graph && app().currentChannel < kInputCount) app().graph->ShowGeqCurves(app().currentChannel);
    update();
}

void CGEQDlg::TakeBandFromGraph(int band, int channel) {
    m_notice = {band, channel, m_notice.count + 1};
}

void CGEQDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Graphic EQ %1").arg(QChar(char16_t(u'A' + app().currentChannel))), tr("31 bands"));
}

} // namespace velmar
