// The Output page.
#include "ui/pages/OutputDlg.h"

namespace velmar {

COutputDlg::COutputDlg(AppState& app, QWidget* parent) : PageBase(app, parent) {}

void COutputDlg::RefreshPage() {
    if (app().graph && app().currentChannel < kOutputCount)
        app().graph->ShowOutputCurves(app().currentChannel);
    update();
}

void COutputDlg::GraphPointChanged(int index, int channel) {
    m_notice = {index, channel, m_notice.count + 1};
}

void COutputDlg::ClearEqBypass(int channel) {
    if (channel >= 0 && channel < kOutputCount) app().eqBypass.outputEqBypassed[channel] = 0;
}

void COutputDlg::paintEvent(QPaintEvent*) {
    paintPlaceholder(tr("Output %1").arg(app().currentChannel + 1),
                     tr("Gain, delay, crossover, equaliser and compressor"));
}

} // namespace velmar
