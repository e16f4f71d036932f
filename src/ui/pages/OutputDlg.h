// COutputDlg: the Output page - gain, delay, sound and polarity, the ten-band equaliser with shelves,
// the crossover, the compressor and the meter of one output.
#pragma once

#include "ui/pages/ChannelPage.h"
#include "ui/pages/GraphNotice.h"

class QComboBox;
class QLabel;

namespace velmar {

// Edits output ShownChannel() (0..7 = 1..8), taken from app().currentChannel by RefreshPage; shown in
// the short rectangle above the graph, which shows the output's curve set with the crossover points
// "H" and "L". UI thread only; a child of the main window's tab control.
class COutputDlg : public CChannelPage {
    Q_OBJECT

public:
    // The page's items, the unit of showing and sending: bands 0..9, then these.
    static constexpr int kHighPassItem = 10;
    static constexpr int kLowPassItem = 11;
    static constexpr int kCompressorItem = 12;
    // Parameter indices of the crossover and the compressor units (kind 4).
    static constexpr int kCrossoverParam = 3;
    static constexpr int kCompressorParam = 2;
    static constexpr int kReleaseStepMax = 5; // "Atkx48" only arrives from outside
    static constexpr int kRatioMax = 127;

    enum class Comp { Threshold, Attack, Release, Ratio };

    COutputDlg(AppState& app, QWidget* parent);

    // For an output channel: rebuilds its curve set, gives it to the graph and redraws every control
    // in the current language.
    void RefreshPage() override;

    // The graph changed filter `index` (0..9 a band, 10 high-pass, 11 low-pass) of output `channel`:
    // the record is taken into the image and sent.
    void GraphPointChanged(int index, int channel);
    // The graph's edit of a band ends EQ BYPASS of output `channel`.
    void ClearEqBypass(int channel);
    // The main window's route of a graph notice: the change into the image, the bypass ended.
    void ApplyGraphChange(int index, int channel) override;

    const GraphNotice& lastGraphNotice() const { return m_notice; }

    // Controls, for tests and the screenshot tour. Side 0 high-pass, 1 low-pass.
    NumericEntry* CrossoverEntry(int side) const { return m_xoverEntries[size_t(side)]; }
    StepButtons* CrossoverStep(int side) const { return m_xoverSteps[size_t(side)]; }
    QComboBox* CrossoverList(int side) const { return m_xoverLists[size_t(side)]; }
    NumericEntry* CompressorEntry(Comp c) const { return m_compEntries[size_t(c)]; }
    StepButtons* CompressorStep(Comp c) const { return m_compSteps[size_t(c)]; }
    PagePanel* CrossoverPanel() const { return m_xoverPanel; }
    PagePanel* CompressorPanel() const { return m_compPanel; }

public slots:
    // Lights the segments from the selected output's level; the top segment is the limiter bit.
    void MeterTick() override;

protected:
    int ChannelCount() const override { return kOutputCount; }
    int BandParam(int band) const override { return band + 4; }
    void TypedFreqLimits(const PeqBand& band, int& low, int& high) const override;
    void SteppedFreqLimits(const PeqBand& band, int& low, int& high) const override;
    MetreSuffix MetreText() const override { return MetreSuffix::M; }
    void ShowCurvesOnGraph(int channel) override;
    void OnTypeChosen(int band, int index) override;
    int RightColumnWidth() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildCrossover();
    void buildCompressor();
    void placeRightColumn();
    void setCaptions();
    void fillCrossoverLists();

    // Item 10 or 11 (side 0 or 1) of `channel`: entry and list; with send the unit is queued, the
    // filter recomputed, the graph redrawn and the unit copied to the linked outputs.
    void ShowCrossover(int channel, int side, bool send);
    // Item 12: `fields` 1 threshold, 2 attack, 4 release, 8 ratio.
    void ShowCompressor(int channel, int fields, bool send);

    void onCrossoverCommitted(int side, const QString& text);
    void onCrossoverStepped(int side, bool up);
    void onCrossoverChosen(int side, int index);
    void onThresholdCommitted(const QString& text);
    void onAttackCommitted(const QString& text);
    void onCompressorStepped(Comp c, bool up);

    GraphNotice m_notice;
    PagePanel* m_xoverPanel = nullptr;
    PagePanel* m_compPanel = nullptr;
    std::array<QLabel*, 4> m_xoverCaptions{}; // " Freq", "Type", "HPF", "LPF"
    std::array<NumericEntry*, 2> m_xoverEntries{};
    std::array<StepButtons*, 2> m_xoverSteps{};
    std::array<QComboBox*, 2> m_xoverLists{};
    std::array<QLabel*, 4> m_compCaptions{};
    std::array<NumericEntry*, 4> m_compEntries{};
    std::array<StepButtons*, 4> m_compSteps{};
};

} // namespace velmar
