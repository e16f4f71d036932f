// CFilter: response, outline, marks and label of one filter.
#include "dsp/Filter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmar {

namespace {

constexpr size_t kLabelCapacity = 96;

} // namespace

CFilter::CFilter() {
    label_.reserve(kLabelCapacity);
}

void CFilter::LoadGain(int raw) {
    if (raw == kBandGainRawZero) {
        flat_ = 1;
        gainDb_ = 0.0;
    } else {
        flat_ = 0;
        gainDb_ = raw * 0.1 - 20.0;
    }
}

double CFilter::Bandwidth() {
    if (band_) bandwidth_ = std::clamp<int>(band_->q, 0, kMaxQIndex) * 0.01 + 0.05;
    return bandwidth_;
}

double CFilter::DisplayedQ() {
    return 1.0 / (2.0 * std::sinh(0.34657359 * Bandwidth()));
}

int CFilter::Frequency() const {
    if (kind_ <= kHighShelf && band_) return band_->freq;
    if (kind_ == kHighPass && crossover_) return crossover_->hpfFreq;
    if (kind_ == kLowPass && crossover_) return crossover_->lpfFreq;
    return frequency_;
}

int CFilter::GainRawFromDb(double db, bool flat) {
    return flat ? kBandGainRawZero : TruncateToInt((db + 20.0) * 10.0 + 0.5);
}

int CFilter::QRawFromBandwidth(double octaves) {
    return TruncateToInt((octaves - 0.05) / 0.01 + 0.05);
}

void CFilter::BindBand(PeqBand* band) {
    band_ = band;
    if (band_) {
        frequency_ = band_->freq;
        Bandwidth();
        LoadGain(band_->gain);
        slope_ = band_->shelfSlope;
        kind_ = band_->type <= kHighShelf ? band_->type : kPeaking;
    }
    Recompute(true);
}

void CFilter::BindCrossover(CrossoverRecord* crossover) {
    if (kind_ != kHighPass && kind_ != kLowPass) return;
    crossover_ = crossover;
    Recompute(true);
}

void CFilter::SetKind(int kind) {
    kind_ = kind;
    if (band_ && kind >= kPeaking && kind <= kHighShelf) band_->type = static_cast<uint8_t>(kind);
}

void CFilter::SetPlotSize(const Rect& plot) {
    plotWidth_ = plot.Width();
    plotHeight_ = plot.Height();
    const auto& grid = FrequencyGrid();
    for (int i = 0; i < kGridSize; ++i)
        points_[i + 1].x = PixelFromReal(GraphXFromFreqReal(grid[i], plotWidth_)) + kPlotLeftMargin;
    const int zeroY = plotHeight_ / 2 + kPlotTopMargin;
    points_[0] = {kPlotLeftMargin, zeroY};
    points_[kCurvePointCount - 1] = {plotWidth_ + kPlotLeftMargin, zeroY};
    Recompute(true);
}

void CFilter::Recompute(bool reloadGain) {
    if (kind_ >= kPeaking && kind_ <= kHighShelf) {
        if (band_) {
            if (reloadGain) LoadGain(band_->gain);
            frequency_ = band_->freq;
            slope_ = band_->shelfSlope;
            Bandwidth();
        }
    } else if (crossover_ && (kind_ == kHighPass || kind_ == kLowPass)) {
        const bool hp = kind_ == kHighPass;
        frequency_ = hp ? crossover_->hpfFreq : crossover_->lpfFreq;
        family_ = hp ? crossover_->hpfType : crossover_->lpfType;
        slope_ = hp ? crossover_->hpfSlope : crossover_->lpfSlope;
    }

    ComputeResponse();
    if (kind_ == kHighPass || kind_ == kLowPass) {
        PlaceCrossoverMarks();
    } else {
        PlaceBandMarks();
    }
    const double scale = plotHeight_ / 40.0;
    for (int i = 0; i < kGridSize; ++i)
        points_[i + 1].y = PixelFromReal(scale * (20.0 - response_[i])) + kPlotTopMargin;
}

void CFilter::ComputeResponse() {
    sections_.count = 0;
    switch (kind_) {
    case kPeaking:
        if (!flat_) sections_.Add(PeakingSection(FreqGridIndex(frequency_), gainDb_, bandwidth_));
        break;
    case kLowShelf:
    case kHighShelf:
        if (!flat_) sections_.Add(ShelfSection(kind_, frequency_, slope_, gainDb_));
        break;
    case kHighPass:
        if (frequency_ != 20) sections_ = CrossoverSections(kHighPass, family_, slope_, frequency_);
        break;
    case kLowPass:
        if (frequency_ != 20000) sections_ = CrossoverSections(kLowPass, family_, slope_, frequency_);
        break;
    default:
        break; // no such kind: drawn flat
    }
    EvaluateOnGrid(sections_, response_);
}

void CFilter::PlaceBandMarks() {
    const int w = plotWidth_, h = plotHeight_;
    const double g = GainDb();

    int left = std::max(PixelFromReal(GraphXFromFreqReal(frequency_, w)) - 8, -8);
    int top = std::max(PixelFromReal(GraphYFromDbReal(g, h)) - 8, 0);
    int right = left + 16, bottom = top + 16;
    if (right > w + 8) right = w + 8, left = w - 8;
    if (bottom > h + 8) bottom = h + 8, top = h - 8;
    markerRect = {left + kPlotLeftMargin, top + kPlotTopMargin, right + kPlotLeftMargin,
                  bottom + kPlotTopMargin};

    int labelLeft = markerRect.left - 100, labelRight = markerRect.right + 100;
    if (labelRight > w + kPlotLeftMargin) {
        labelRight = w + kPlotLeftMargin;
        labelLeft = labelRight - 200;
    } else if (labelLeft < kPlotLeftMargin) {
        labelLeft = kPlotLeftMargin;
        labelRight = kPlotLeftMargin + 200;
    }
    const int raw = band_ ? band_->gain : GainRawFromDb(gainDb_, flat_ != 0);
    if (raw >= kBandGainRawZero) { // boost or flat: the label goes below the point
        labelRect = {labelLeft, markerRect.top + 35, labelRight, markerRect.bottom + 85};
    } else {
        labelRect = {labelLeft, markerRect.top - 50, labelRight, markerRect.top + 50};
    }

    const Point c = markerRect.Centre();
    const int row = g >= 0 ? c.y + 10 : c.y - 10;
    const double span = std::exp2(bandwidth_);
    const int rx = PixelFromReal(GraphXFromFreqReal(frequency_ * span, w)) + kPlotLeftMargin + 10;
    const int lx = PixelFromReal(GraphXFromFreqReal(frequency_ / span, w)) + kPlotLeftMargin - 10;
    rightHandle = {rx - 4, row - 4, rx + 4, row + 4};
    leftHandle = {lx - 4, row - 4, lx + 4, row + 4};
}

void CFilter::PlaceCrossoverMarks() {
    const int w = plotWidth_, h = plotHeight_;
    const bool hp = kind_ == kHighPass;

    int left = std::max(PixelFromReal(GraphXFromFreqReal(frequency_, w)) - 8, -8);
    const int top = PixelFromReal(GraphYFromDbReal(hp ? -10.0 : -13.0, h));
    int right = left + 16;
    if (right > w + 8) right = w + 8, left = w - 8;
    const int bottom = top + 16;
    markerRect = {left + kPlotLeftMargin, top + kPlotTopMargin, right + kPlotLeftMargin,
                  bottom + kPlotTopMargin};

    int labelLeft = markerRect.left, labelRight = markerRect.right + 50;
    if (labelRight > w + kPlotLeftMargin) {
        labelRight = w + kPlotLeftMargin;
        labelLeft = labelRight - 66;
    }
    const int drop = hp ? 25 : 20;
    labelRect = {labelLeft, markerRect.top + drop, labelRight, markerRect.bottom + drop};
    leftHandle = rightHandle = Rect{};
}

const std::string& CFilter::Label() {
    char text[kLabelCapacity];
    char gain[32];
    if (flat_) {
        std::snprintf(gain, sizeof gain, "0.0");
    } else {
        std::snprintf(gain, sizeof gain, "%.1f", GainDb());
    }
    int n = 0;
    switch (kind_) {
    case kPeaking:
        n = std::snprintf(text, sizeof text, "EQ%d\nF:%dHz  Q:%.3f  G:%sdB", bandNumber_, Frequency(),
                          DisplayedQ(), gain);
        break;
    case kLowShelf:
    case kHighShelf:
        n = std::snprintf(text, sizeof text, "EQ%d\n%s %dHz %s  G:%sdB", bandNumber_,
                          kind_ == kLowShelf ? "Lo" : "Hi", Frequency(), ShelfShapeFor(kind_, slope_).text,
                          gain);
        break;
    case kHighPass:
    case kLowPass:
        n = std::snprintf(text, sizeof text, "%dHz ", Frequency());
        break;
    default:
        break;
    }
    label_.assign(text, static_cast<size_t>(std::clamp<int>(n, 0, static_cast<int>(sizeof text) - 1)));
    return label_;
}

} // namespace velmar
