// The Input page.
#include "ui/pages/InputDlg.h"

namespace velmar {

CInputDlg::CInputDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void CInputDlg::RefreshPage() {
    if (app().graph && app().currentChannel < kInputCount) app().graph->ShowInputCurves(app().currentChannel);
    update();
}

void CInputDlg::GraphPointChanged(int index, int channel) {
    m_notice = {index, channel, m_notice.count + 1};
}

void CInputDlg::ClearEqBypass(int channel) {
    if (channel >= 0 && channel < kInputCount) app().eqBypass.inputEqBypassed[channel] = 0;
}

void CInputDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Input %1").arg(QChar(char16_t(u'A' + app().currentChannel))),
                     tr("Gain, delay, polarity and the ten-band equaliser"));
}

} // namespace velmar
