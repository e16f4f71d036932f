// CKTVEQ: a channel's filters, their summed curve and its colours.
#include "dsp/KTVEQ.h"

#include <algorithm>

namespace velmar {

void CKTVEQ::Create(int bandCount, bool frequencyLocked) {
    bandCount = std::clamp(bandCount, 1, kMaxCurveBands);
    count_ = 0;
    filters_ = std::make_unique<CFilter[]>(static_cast<size_t>(bandCount + 2));
    count_ = bandCount + 2;
    for (int i = 0; i < bandCount; ++i) {
        CFilter& f = filters_[i];
        f.SetBandNumber(i + 1);
        f.SetFrequencyLocked(frequencyLocked ? 1 : 0);
        if (hasPlot_) f.SetPlotSize(plot_);
        f.BindBand(&records_.bands[i]);
    }
    HighPass().SetKind(kHighPass);
    LowPass().SetKind(kLowPass);
    for (CFilter* f : {&HighPass(), &LowPass()}) {
        if (hasPlot_) f->SetPlotSize(plot_);
        f->BindCrossover(&records_.crossover);
    }
}

void CKTVEQ::Rebind() {
    const int bands = BandCount();
    for (int i = 0; i < bands; ++i) filters_[i].BindBand(&records_.bands[i]);
    if (count_ >= 2) {
        HighPass().BindCrossover(&records_.crossover);
        LowPass().BindCrossover(&records_.crossover);
    }
}

void CKTVEQ::SetPlotSize(const Rect& plot) {
    plot_ = plot;
    hasPlot_ = true;
    plotWidth_ = plot.Width();
    plotHeight_ = plot.Height();
    const auto& grid = FrequencyGrid();
    for (int i = 0; i < kGridSize; ++i) {
        const double x = GraphXFromFreqReal(grid[i], plotWidth_);
        sumPoints_[i].x = PixelFromReal(x) + kPlotLeftMargin;
        sumPointsF_[i].x = static_cast<float>(x + kPlotLeftMargin);
    }
    for (int i = 0; i < count_; ++i) filters_[i].SetPlotSize(plot);
}

void CKTVEQ::ComputeSum() {
    std::array<double, kGridSize> sum{};
    for (int f = 0; f < count_; ++f) {
        const CFilter& filter = filters_[f];
        if (filter.Sections().count == 0) continue; // flat: its response is 0 dB everywhere
        const GridResponse& r = filter.Response();
        for (int i = 0; i < kGridSize; ++i) sum[i] += r[i];
    }
    const double scale = plotHeight_ / 40.0;
    for (int i = 0; i < kGridSize; ++i) {
        const double y = scale * (20.0 - sum[i]);
        sumPoints_[i].y = PixelFromReal(y + 0.5) + kPlotTopMargin;
        sumPointsF_[i].y = static_cast<float>(y + kPlotTopMargin);
    }
}

} // namespace velmar
