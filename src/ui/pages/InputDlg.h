// CInputDlg: the Input page - gain, delay, sound and polarity, the ten-band equaliser and the meter of
// one input.
#pragma once

#include "ui/pages/ChannelPage.h"
#include "ui/pages/GraphNotice.h"

namespace velmar {

// Edits input ShownChannel() (0..3 = A..D), which RefreshPage takes from app().currentChannel; shown in
// the short rectangle above the graph. The band type lists only show the type (a shelf reaches an input
// from a read-back, a program file or a channel copy); the shelf-slope lists set the slope. EQ RESET and
// EQ BYPASS also reset and bypass the input's graphic equaliser. UI thread only; a child of the main
// window's tab control.
class CInputDlg : public CChannelPage {
    Q_OBJECT

public:
    CInputDlg(AppState& app, QWidget* parent);

    // For an input channel: rebuilds its curve set, gives it to the graph and redraws every control in
    // the current language.
    void RefreshPage() override;

    // The graph changed point `index` (band 0..9) of input `channel`'s equaliser curves: the band is
    // taken from the curve record into the image and sent. `channel` is the channel the edit was made
    // on, which is the shown one unless the pages moved on meanwhile. Other indices are ignored.
    void GraphPointChanged(int index, int channel);
    // The graph's edit ends EQ BYPASS of input `channel`.
    void ClearEqBypass(int channel);
    // The main window's route of a graph notice: the change into the image, the bypass ended.
    void ApplyGraphChange(int index, int channel) override;

    const GraphNotice& lastGraphNotice() const { return m_notice; }

public slots:
    // Lights the segments from the input's level (all off without a link).
    void MeterTick() override;

protected:
    int ChannelCount() const override { return kInputCount; }
    int BandParam(int band) const override { return band + 2; }
    void TypedFreqLimits(const PeqBand& band, int& low, int& high) const override;
    void SteppedFreqLimits(const PeqBand& band, int& low, int& high) const override;
    MetreSuffix MetreText() const override { return MetreSuffix::Mt; }
    void ShowCurvesOnGraph(int channel) override;

private:
    void setCaptions();

    GraphNotice m_notice;
};

} // namespace velmar
