// A filter's outline, marks (point, handles, label rectangle) and label text, and the summed curve.
#include "dsp/KTVEQ.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

// The graph's plotting area for a 655 x 430 control: 600 x 400 pixels, one decade = 200 pixels.
const Rect kPlot{35, 10, 635, 410};

struct Band {
    PeqBand record;
    CFilter filter;
    Band(int freq, int gain, int q = 95, int type = kPeaking, int shelfSlope = 0, int number = 1)
        : record{static_cast<int16_t>(freq), static_cast<int16_t>(gain), static_cast<int16_t>(q),
                 static_cast<uint8_t>(shelfSlope), static_cast<uint8_t>(type)} {
        filter.SetBandNumber(number);
        filter.SetPlotSize(kPlot);
        filter.BindBand(&record);
    }
};

struct Crossover {
    CrossoverRecord record = kFlatCrossover;
    CFilter high, low;
    Crossover(int hpf, int lpf) {
        record.hpfFreq = static_cast<int16_t>(hpf);
        record.lpfFreq = static_cast<int16_t>(lpf);
        high.SetKind(kHighPass);
        low.SetKind(kLowPass);
        high.SetPlotSize(kPlot);
        low.SetPlotSize(kPlot);
        high.BindCrossover(&record);
        low.BindCrossover(&record);
    }
};

TEST(FilterMarks, aBoostedBandHasItsPointHandlesAndLabelBelow) {
    Band b(1000, 300); // +10 dB, 1 octave
    EXPECT_EQ(b.filter.markerRect, (Rect{366, 102, 382, 118}));
    EXPECT_EQ(b.filter.labelRect, (Rect{266, 137, 482, 203}));
    EXPECT_EQ(b.filter.rightHandle, (Rect{441, 116, 449, 124})); // centred at x(2000 Hz) + 45
    EXPECT_EQ(b.filter.leftHandle, (Rect{300, 116, 308, 124}));  // centred at x(500 Hz) + 25
}

TEST(FilterMarks, aCutBandHasItsLabelAboveAndHandlesAboveThePoint) {
    Band b(1000, 100); // -10 dB
    EXPECT_EQ(b.filter.markerRect, (Rect{366, 302, 382, 318}));
    EXPECT_EQ(b.filter.labelRect, (Rect{266, 252, 482, 352}));
    EXPECT_EQ(b.filter.rightHandle.top, 296); // row = centre - 10
}

TEST(FilterMarks, marksAreHeldAtThePlotEdges) {
    const struct {
        int freq, gain;
        Rect marker, label;
    } cases[] = {
        {20, 200, {27, 202, 43, 218}, {35, 237, 235, 303}},       // left edge: left -8, label from 35
        {10, 200, {27, 202, 43, 218}, {35, 237, 235, 303}},       // below 20 Hz stays at -8
        {20000, 200, {627, 202, 643, 218}, {435, 237, 635, 303}}, // right edge: label ends at w + 35
        {1000, 400, {366, 10, 382, 26}, {266, 45, 482, 111}},     // +20 dB: top held at 0
        {1000, 0, {366, 402, 382, 418}, {266, 352, 482, 452}},    // -20 dB
        {1000, -100, {366, 402, 382, 418}, {266, 352, 482, 452}}, // -30 dB: bottom held at h + 8
    };
    for (const auto& c : cases) {
        Band b(c.freq, c.gain);
        EXPECT_EQ(b.filter.markerRect, c.marker) << c.freq << " Hz, gain " << c.gain;
        EXPECT_EQ(b.filter.labelRect, c.label) << c.freq << " Hz, gain " << c.gain;
    }
}

TEST(FilterMarks, crossoverPointsSitAtMinusTenAndMinusThirteenDb) {
    Crossover x(120, 20000);
    EXPECT_EQ(x.high.markerRect, (Rect{182, 310, 198, 326}));
    EXPECT_EQ(x.high.labelRect, (Rect{182, 335, 248, 351}));
    EXPECT_EQ(x.low.markerRect, (Rect{627, 340, 643, 356}));
    EXPECT_EQ(x.low.labelRect, (Rect{569, 360, 635, 376})); // held inside: 66 wide, ending at w + 35
    Crossover off(20, 20000);
    EXPECT_EQ(off.high.markerRect.left, 27);
}

TEST(FilterOutline, isClosedOnTheZeroDbLine) {
    Band b(1000, 300);
    const auto& p = b.filter.Points();
    EXPECT_EQ(p[0], (Point{35, 210}));
    EXPECT_EQ(p[kCurvePointCount - 1], (Point{635, 210}));
    EXPECT_EQ(p[137], (Point{374, 110})); // grid 136 = 1000 Hz at +10 dB
    EXPECT_EQ(p[1].x, 34);                // 19.7 Hz lies just left of the plot
    EXPECT_EQ(p[241].x, 635);
}

TEST(FilterLabel, readsAsTheGraphShowsIt) {
    const struct {
        int freq, gain, q, type, slope, number;
        const char* label;
    } cases[] = {
        {1000, 165, 95, kPeaking, 0, 3, "EQ3\nF:1000Hz  Q:1.414  G:-3.5dB"},
        {1010, 200, 0, kPeaking, 0, 10, "EQ10\nF:1010Hz  Q:28.852  G:0.0dB"},
        {100, 260, 0, kLowShelf, 1, 1, "EQ1\nLo 100Hz 12dB/Oct  G:6.0dB"},
        {5000, 80, 0, kHighShelf, 0, 2, "EQ2\nHi 5000Hz 6dB/Oct  G:-12.0dB"},
        {100, 260, 0, kLowShelf, 2, 1, "EQ1\nLo 100Hz   G:6.0dB"}, // a slope the clamp would have reset
        {1000, 199, 95, kPeaking, 0, 1, "EQ1\nF:1000Hz  Q:1.414  G:-0.1dB"},
    };
    for (const auto& c : cases) {
        Band b(c.freq, c.gain, c.q, c.type, c.slope, c.number);
        EXPECT_EQ(b.filter.Label(), c.label);
    }
    Crossover x(120, 5000);
    EXPECT_EQ(x.high.Label(), "120Hz ");
    EXPECT_EQ(x.low.Label(), "5000Hz ");
}

TEST(FilterBinding, setKindWritesTheTypeAndRecomputeFollowsTheRecord) {
    Band b(1000, 300);
    b.filter.SetKind(kLowShelf);
    EXPECT_EQ(b.record.type, kLowShelf);
    b.filter.Recompute(true);
    EXPECT_EQ(b.filter.Label().substr(0, 7), "EQ1\nLo ");

    b.record.gain = 100; // a page or a drag changed the record
    b.filter.Recompute(false);
    EXPECT_DOUBLE_EQ(b.filter.GainDb(), 10.0); // the gain is taken only on reload
    b.filter.Recompute(true);
    EXPECT_DOUBLE_EQ(b.filter.GainDb(), -10.0);

    b.record.gain = 200;
    b.filter.Recompute(true);
    EXPECT_TRUE(b.filter.Flat());
}

TEST(FilterBinding, bandsIgnoreCrossoverRecords) {
    Band b(1000, 300);
    CrossoverRecord r = kFlatCrossover;
    b.filter.BindCrossover(&r);
    EXPECT_EQ(b.filter.Crossover(), nullptr);
    EXPECT_EQ(b.filter.Kind(), kPeaking);
}

TEST(FilterBinding, rawValuesConvertBackAsTheDragCodeNeeds) {
    EXPECT_EQ(CFilter::GainRawFromDb(-3.5, false), 165);
    EXPECT_EQ(CFilter::GainRawFromDb(0.0, true), 200);
    EXPECT_EQ(CFilter::GainRawFromDb(19.96, false), 400);
    EXPECT_EQ(CFilter::GainRawFromDb(-20.0, false), 0);
    EXPECT_EQ(CFilter::QRawFromBandwidth(1.0), 95);
    EXPECT_EQ(CFilter::QRawFromBandwidth(0.05), 0);
    EXPECT_EQ(CFilter::QRawFromBandwidth(3.0), 295);
}

// ---------------------------------------------------------------------------------------------------------
// The summed curve

TEST(SummedCurve, isTheSumOfEveryFiltersResponse) {
    CKTVEQ set;
    for (int k = 0; k < 10; ++k)
        set.Records().bands[k] =
            PeqBand{static_cast<int16_t>(100 * (k + 1)), static_cast<int16_t>(150 + 10 * k),
                    static_cast<int16_t>(20 * k), 0, static_cast<uint8_t>(k % 3)};
    set.Records().crossover = CrossoverRecord{80, 1, 1, 9000, 2, 2};
    set.Create(10);
    set.SetPlotSize(kPlot);
    set.ComputeSum();
    ASSERT_EQ(set.Count(), 12);
    EXPECT_EQ(set.HighPass().Kind(), kHighPass);
    EXPECT_EQ(set.LowPass().Kind(), kLowPass);
    for (int i = 0; i < kGridSize; ++i) {
        double sum = 0;
        for (int f = 0; f < set.Count(); ++f) sum += set.Filter(f).Response()[i];
        const double y = 10.0 * (20.0 - sum);
        EXPECT_EQ(set.SumPoints()[i].y, TruncateToInt(y + 0.5) + 10);
        EXPECT_FLOAT_EQ(set.SumPointsF()[i].y, static_cast<float>(y + 10));
        EXPECT_EQ(set.SumPoints()[i].x, set.Filter(0).Points()[i + 1].x);
    }
    EXPECT_FLOAT_EQ(set.SumPointsF()[136].x, static_cast<float>(GraphXFromFreqReal(1000, 600) + 35));
}

TEST(SummedCurve, isNotClippedToThePlot) {
    CKTVEQ set;
    for (int k = 0; k < 10; ++k) set.Records().bands[k] = PeqBand{1000, 400, 0, 0, 0};
    set.Create(10);
    set.SetPlotSize(kPlot);
    set.ComputeSum();
    EXPECT_LT(set.SumPoints()[136].y, 10); // +200 dB lies far above the top of the plot
    EXPECT_NEAR(set.SumPointsF()[136].y, 10.0f * (20.0f - 200.0f) + 10.0f, 0.01f);
}

TEST(SummedCurve, aFlatSetLiesOnTheZeroDbLine) {
    CKTVEQ set;
    for (int k = 0; k < 10; ++k) set.Records().bands[k] = PeqBand{1000, 200, 0, 0, 0};
    set.Create(10);
    set.SetPlotSize(kPlot);
    set.ComputeSum();
    for (int i = 0; i < kGridSize; ++i) EXPECT_EQ(set.SumPoints()[i].y, 210);
    EXPECT_EQ(set.ArgbColour(), 0xFF000000u);
}

} // namespace
} // namespace velmar
