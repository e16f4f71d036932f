// CFilter: one filter of a curve set (a parametric band, a shelf or one crossover side), its response at
// the 241 grid frequencies, the outline the graph draws, its marks and its label.
//
// A filter reads the record it is bound to (a band of a CurveRecordSet, or its crossover record); the
// record must outlive the binding. Used on the UI thread only. Only the constructor touches the heap
// (the label's buffer); Recompute, SetPlotSize and Label never do.
#pragma once

#include "core/DeviceImage.h"
#include "dsp/Biquad.h"
#include "dsp/CurveRecords.h"
#include "dsp/FilterDesign.h"
#include "dsp/Geometry.h"

#include <array>
#include <string>

namespace velmar {

inline constexpr int kCurvePointCount = kGridSize + 2; // start point, 241 curve points, end point
inline constexpr int kPlotLeftMargin = 35;             // plot origin inside the graph control
inline constexpr int kPlotTopMargin = 10;

class CFilter {
public:
    CFilter();
    CFilter(const CFilter&) = delete;
    CFilter& operator=(const CFilter&) = delete;

    // Binds a peaking or shelf filter to `band` (kept, not owned): takes its frequency, bandwidth, gain,
    // shelf slope and type (as the kind), then recomputes.
    void BindBand(PeqBand* band);
    // Binds a high-pass (kind 3) or low-pass (kind 4) to `crossover` (kept, not owned), takes that side's
    // corner, family and slope, then recomputes. Other kinds ignore the call.
    void BindCrossover(CrossoverRecord* crossover);
    // Sets the kind; a bound band record also gets it as its type (kinds 0..2).
    void SetKind(int kind);
    // Recomputes the response, the outline and the marks from the bound record; with reloadGain the gain
    // (and the flat flag) is taken from the record first. Never allocates.
    void Recompute(bool reloadGain);
    // Size of the plotting area: sets the x coordinates of the outline, then recomputes.
    void SetPlotSize(const Rect& plot);

    // "EQ3\nF:1000Hz  Q:1.414  G:-3.5dB", "EQ1\nLo 100Hz 12dB/Oct  G:6.0dB" or "120Hz ".
    const std::string& Label();

    // 0 when flat, else the band gain in dB.
    double GainDb() const { return flat_ ? 0.0 : gainDb_; }
    // Bandwidth in octaves from the record's q (bounded to 0..295): q * 0.01 + 0.05. Also stored.
    double Bandwidth();
    // The Q shown in the label: 1 / (2 sinh(0.34657359 * B)).
    double DisplayedQ();

    int Kind() const { return kind_; }
    int BandNumber() const { return bandNumber_; }
    void SetBandNumber(int n) { bandNumber_ = n; }
    int FrequencyLocked() const { return frequencyLocked_; }
    void SetFrequencyLocked(int locked) { frequencyLocked_ = locked; }
    // Frequency of the bound record: freq, hpfFreq or lpfFreq; the stored copy when nothing is bound.
    int Frequency() const;
    bool Flat() const { return flat_ != 0; }
    int Family() const { return family_; }
    int Slope() const { return slope_; }
    PeqBand* Band() const { return band_; }
    CrossoverRecord* Crossover() const { return crossover_; }
    int PlotWidth() const { return plotWidth_; }
    int PlotHeight() const { return plotHeight_; }

    const GridResponse& Response() const { return response_; }
    const std::array<Point, kCurvePointCount>& Points() const { return points_; }
    // The sections of the last Recompute (identity sections left out).
    const SectionList& Sections() const { return sections_; }

    // Conversions between the band record and the filter's values.
    static int GainRawFromDb(double db, bool flat); // 200 when flat, else trunc((dB + 20) * 10 + 0.5)
    static int QRawFromBandwidth(double octaves);   // trunc((B - 0.05) / 0.01 + 0.05)

    // The graph's per-filter state (control coordinates); the marks are placed by Recompute.
    Point grabOffset;
    Rect markerRect;
    Rect leftHandle;
    Rect rightHandle;
    Rect labelRect;
    int hoverPoint = 0;
    int hoverLeft = 0;
    int hoverRight = 0;
    int dragPoint = 0;
    int dragLeft = 0;
    int dragRight = 0;

private:
    void LoadGain(int raw);
    void ComputeResponse();
    void PlaceBandMarks();
    void PlaceCrossoverMarks();

    GridResponse response_{};
    int kind_ = kPeaking;
    int frequency_ = 20000;
    double gainDb_ = 0.0;
    int flat_ = 1;
    double bandwidth_ = 0.3;
    PeqBand* band_ = nullptr;
    CrossoverRecord* crossover_ = nullptr;
    int family_ = 0;
    int slope_ = 0;
    int bandNumber_ = 0;
    int plotWidth_ = 0;
    int plotHeight_ = 0;
    int frequencyLocked_ = 0;
    std::array<Point, kCurvePointCount> points_{};
    SectionList sections_;
    std::string label_;
};

} // namespace velmar
