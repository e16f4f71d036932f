// CKTVEQ: the curve set of one channel: its filters (the bands, then the high-pass, then the low-pass)
// bound to the set's own CurveRecordSet, the summed curve and the channel's colours.
//
// The set owns its filters and its record set; neither moves while the set lives, so the filters' record
// pointers stay valid. Used on the UI thread only.
#pragma once

#include "dsp/CurveRecords.h"
#include "dsp/Filter.h"
#include "dsp/Geometry.h"

#include <array>
#include <memory>

namespace velmar {

class CKTVEQ {
public:
    CKTVEQ() = default;
    CKTVEQ(const CKTVEQ&) = delete;
    CKTVEQ& operator=(const CKTVEQ&) = delete;

    // The records the filters are bound to. A page copies an edited band from the image into them before
    // it recomputes that filter; a drag on the graph writes them and the page copies them back.
    CurveRecordSet& Records() { return records_; }
    const CurveRecordSet& Records() const { return records_; }

    // Creates bandCount (1..31) band filters bound to Records().bands[0..n-1] with band numbers 1..n,
    // then a high-pass and a low-pass bound to Records().crossover; frequencyLocked marks the bands of a
    // graphic equaliser, whose frequencies a drag may not change. Replaces any earlier filters (and
    // keeps the plot size). The only call that allocates.
    void Create(int bandCount, bool frequencyLocked = false);
    // Rebinds every filter to its record, which recomputes all of them. Never allocates.
    void Rebind();

    int Count() const { return count_; }
    int BandCount() const { return count_ > 2 ? count_ - 2 : 0; }
    CFilter& Filter(int i) { return filters_[i]; }
    const CFilter& Filter(int i) const { return filters_[i]; }
    CFilter& HighPass() { return filters_[count_ - 2]; }
    CFilter& LowPass() { return filters_[count_ - 1]; }

    // Stores the plotting area, sets the x coordinates of the summed curve and passes it to every filter.
    void SetPlotSize(const Rect& plot);
    // Fills the y coordinates of the summed curve from the filters' stored responses. Nothing is clipped.
    void ComputeSum();

    const std::array<Point, kGridSize>& SumPoints() const { return sumPoints_; }
    const std::array<PointF, kGridSize>& SumPointsF() const { return sumPointsF_; }
    int PlotWidth() const { return plotWidth_; }
    int PlotHeight() const { return plotHeight_; }

    void SetColour(Rgb c) { colour_ = c; }
    Rgb Colour() const { return colour_; }
    void SetArgbColour(Argb c) { argbColour_ = c; }
    Argb ArgbColour() const { return argbColour_; }

private:
    CurveRecordSet records_{};
    std::unique_ptr<CFilter[]> filters_;
    int count_ = 0;
    std::array<Point, kGridSize> sumPoints_{};
    std::array<PointF, kGridSize> sumPointsF_{};
    int plotHeight_ = 0;
    int plotWidth_ = 0;
    Rect plot_{};
    bool hasPlot_ = false;
    Rgb colour_{};
    Argb argbColour_ = 0xFF000000;
};

} // namespace velmar
