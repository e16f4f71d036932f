// The Input page.
#include "ui/pages/InputDlg.h"

#include "dsp/CurveSets.h"
#include "ui/pages/EqBandTable.h"

#include <QPushButton>

namespace velmar {

CInputDlg::CInputDlg(AppState& app, QWidget* parent) : CChannelPage(app, parent, kKindInput) {
    BandTable()->SetTypeListsEnabled(false);
    setCaptions();
}

void CInputDlg::TypedFreqLimits(const PeqBand& band, int& low, int& high) const {
    // A shelf keeps to its side of 2 kHz.
    switch (band.type) {
    case 1:
        low = 20, high = 2000;
        break;
    case 2:
        low = 2000, high = 20000;
        break;
    default:
        low = 20, high = 20000;
        break;
    }
}

void CInputDlg::SteppedFreqLimits(const PeqBand& band, int& low, int& high) const {
    TypedFreqLimits(band, low, high);
}

void CInputDlg::ShowCurvesOnGraph(int channel) {
    if (app().graph) app().graph->ShowInputCurves(channel);
}

void CInputDlg::setCaptions() {
    SetSharedCaptions(tr("GAIN / POL"), tr("DELAY"), tr("EQ"),
                      {tr("Freq"), tr("Q"), tr("Gain"), tr("Type"), tr("Bypass")}, tr("Bypass"),
                      tr("EQ RESET"), tr("EQ BYPASS"));
    BandTable()->SetToolTips(tr("Bypass: the band at 0 dB; press again to restore its gain"),
                             tr("Band type, as the processor or a program file set it"));
    EqResetButton()->setToolTip(tr("All ten bands to their start values and the graphic EQ flat"));
    EqBypassButton()->setToolTip(
        tr("Flattens the ten bands and the graphic EQ; press again to restore them"));
}

void CInputDlg::RefreshPage() {
    if (!TakeCurrentChannel()) return;
    const int ch = ShownChannel();
    // A drag's last step still on its way to the image is taken first, or the reload would undo it.
    TakeGraphChanges(ch);
    RefreshCurveSet(app().core, kCurveSetInputEq, ch);
    ShowCurvesOnGraph(ch);
    RefreshShared({tr("PEQ"), tr("Lo_Shf"), tr("Hi_Shf")});
    setCaptions();
}

void CInputDlg::GraphPointChanged(int index, int channel) {
    m_notice = {index, channel, m_notice.count + 1};
    if (index >= 0 && index < kBandCount) TakeBandFromCurves(channel, index);
}

void CInputDlg::ApplyGraphChange(int index, int channel) {
    GraphPointChanged(index, channel);
    ClearEqBypass(channel); // an edited point ends the bypass of its channel
}

void CInputDlg::ClearEqBypass(int channel) {
    app().eqBypass.ClearBypass(kKindInput, channel);
    if (Shows(channel)) UpdateEqBypassButton();
}

void CInputDlg::MeterTick() {
    const CoreState& s = app().core;
    const uint8_t level = s.linkConnected == 1 ? s.meterLevels.inputLevel[ShownChannel()] : 0;
    ShowMeter(level, level > 116);
}

} // namespace velmar
