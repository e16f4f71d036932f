// The filter responses checked against an independent evaluation of H(e^jw) and against the physical
// behaviour of each alignment.
#include "dsp/Filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace velmar {
namespace {

// ---------------------------------------------------------------------------------------------------------
// The reference: the processor's design formulas written out again here, evaluated with std::complex.

struct Coeffs {
    double b0, b1, b2, a0, a1, a2;
};
using Cascade = std::vector<Coeffs>;

double ReferenceDb(const Cascade& sections, double f) {
    const double w = 6.2831852 * f / 96000;
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2 * w);
    std::complex<double> h = 1.0;
    for (const Coeffs& c : sections) h *= (c.b0 + c.b1 * z1 + c.b2 * z2) / (c.a0 + c.a1 * z1 + c.a2 * z2);
    return 20 * std::log10(std::abs(h));
}

constexpr double kW = 6.544985e-05;

Cascade ReferencePeaking(int freq, int gainRaw, int q) {
    const double f0 = FrequencyGrid()[FreqGridIndex(freq)];
    const double g = gainRaw * 0.1 - 20, b = q * 0.01 + 0.05, a = std::pow(10, g / 40), w0 = f0 * kW;
    const double alpha = std::sin(w0) * std::sinh(0.69314718 * b * w0 / std::sin(w0));
    return {
        {1 + alpha * a, -2 * std::cos(w0), 1 - alpha * a, 1 + alpha / a, -2 * std::cos(w0), 1 - alpha / a}};
}

Cascade ReferenceShelf(int kind, int freq, int slope, int gainRaw) {
    const double k = kind == 1 ? (slope ? 1.2727272727 : 2.0) : (slope ? 0.76923076923 : 0.4545454546);
    const double s = slope ? 1.05 : 0.5;
    const double a = std::pow(10, (gainRaw * 0.1 - 20) / 40), w0 = freq * kW * k, c = std::cos(w0);
    const double alpha = std::sin(w0) / 2 * std::sqrt((a + 1 / a) * (1 / s - 1) + 2),
                 be = 2 * std::sqrt(a) * alpha;
    if (kind == 1)
        return {{a * ((a + 1) - (a - 1) * c + be), 2 * a * ((a - 1) - (a + 1) * c),
                 a * ((a + 1) - (a - 1) * c - be), (a + 1) + (a - 1) * c + be, -2 * ((a - 1) + (a + 1) * c),
                 (a + 1) + (a - 1) * c - be}};
    return {{a * ((a + 1) + (a - 1) * c + be), -2 * a * ((a - 1) + (a + 1) * c),
             a * ((a + 1) + (a - 1) * c - be), (a + 1) - (a - 1) * c + be, 2 * ((a - 1) - (a + 1) * c),
             (a + 1) - (a - 1) * c - be}};
}

// One crossover side. `first` marks a first-order first section; d of 0 ends the list.
struct RefAlignment {
    bool first;
    double d[4];
    double divisor;
};
const RefAlignment kRefAlignments[3][4] = {
    {{false, {1.0}, 1},
     {false, {0.70422535211, 0.70422535211}, 1},
     {false, {1.0, 0.5, 0.5}, 1},
     {false, {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}, 1}},
    {{false, {0.70422535}, 1},
     {true, {1.0, 0.5}, 1},
     {false, {0.92592593, 0.38167939}, 1},
     {true, {1.0, 0.8064616129, 0.3086417953}, 1}},
    {{false, {0.70422535}, 1.2683112435},
     {true, {0.756, 0.72463768}, 1.2854981442},
     {false, {0.96153846, 0.61728395}, 1.5006420029},
     {true, {0.6656, 0.8928571428, 0.54347826}, 1.3854981442}},
};
struct RefBessel {
    double pv[3], qv[3], divisor;
};
const RefBessel kRefBesselLowPass[4] = {
    {{1.0}, {0.3333333333}, 1.3616541287},
    {{0.5693712514, 0.430628846}, {0.154812441, 0}, 1.75567236868},
    {{0.369, 0.6278294896}, {0.087858766, 0.109408}, 2.1139176749},
    {{0.6656, 1.1402, 0.6216}, {0, 0.4128, 0.3245}, 1.0},
};

Cascade ReferenceCrossover(bool highPass, int family, int slope, int freq) {
    Cascade out;
    if (!highPass && family == 2) {
        const RefBessel& b = kRefBesselLowPass[slope];
        const double k = std::tan(freq / b.divisor * kW / 2);
        for (int n = 0; n < 3; ++n)
            if (b.pv[n] != 0)
                out.push_back({k * k, 2 * k * k, k * k, b.pv[n] * k + k * k + b.qv[n],
                               2 * k * k - 2 * b.qv[n], k * k - b.pv[n] * k + b.qv[n]});
        return out;
    }
    const RefAlignment& al = kRefAlignments[family][slope];
    const double w0 = freq / al.divisor * kW, c = std::cos(w0), s = std::sin(w0), t = std::tan(w0 / 2);
    for (int n = 0; n < 4 && al.d[n] != 0; ++n) {
        const double d = al.d[n];
        if (n == 0 && al.first) {
            out.push_back(highPass ? Coeffs{1, -1, 0, d * t + 1, d * t - 1, 0}
                                   : Coeffs{t, t, 0, t + d, t - d, 0});
        } else if (highPass) {
            out.push_back({(1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + s * d, -2 * c, 1 - s * d});
        } else {
            out.push_back({(1 - c) / 2, 1 - c, (1 - c) / 2, 1 + s * d, -2 * c, 1 - s * d});
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------------
// Filters under test, each bound to its own record.

struct BandFilter {
    PeqBand band;
    CFilter filter;
    BandFilter(int freq, int gain, int q, int type, int shelfSlope = 0)
        : band{static_cast<int16_t>(freq), static_cast<int16_t>(gain), static_cast<int16_t>(q),
               static_cast<uint8_t>(shelfSlope), static_cast<uint8_t>(type)} {
        filter.SetBandNumber(1);
        filter.BindBand(&band);
    }
};

struct CrossoverFilter {
    CrossoverRecord record = kFlatCrossover;
    CFilter filter;
    CrossoverFilter(bool highPass, int family, int slope, int freq) {
        if (highPass) {
            record.hpfFreq = static_cast<int16_t>(freq);
            record.hpfType = static_cast<uint8_t>(family);
            record.hpfSlope = static_cast<uint8_t>(slope);
        } else {
            record.lpfFreq = static_cast<int16_t>(freq);
            record.lpfType = static_cast<uint8_t>(family);
            record.lpfSlope = static_cast<uint8_t>(slope);
        }
        filter.SetKind(highPass ? kHighPass : kLowPass);
        filter.BindCrossover(&record);
    }
};

void ExpectMatchesReference(const CFilter& f, const Cascade& reference, const std::string& what) {
    const auto& grid = FrequencyGrid();
    for (int i = 0; i < kGridSize; ++i)
        ASSERT_NEAR(f.Response()[i], ReferenceDb(reference, grid[i]), 1e-6)
            << what << " at " << grid[i] << " Hz";
}

TEST(FilterResponse, peakingBandsMatchTheIndependentEvaluation) {
    const struct {
        int freq, gain, q;
    } cases[] = {{20, 400, 0},     {30, 0, 295},      {1000, 165, 95}, {1010, 260, 40}, {5000, 380, 8},
                 {19000, 10, 150}, {20000, 400, 295}, {180, 201, 200}, {25000, 300, 10}};
    for (const auto& c : cases) {
        BandFilter b(c.freq, c.gain, c.q, kPeaking);
        ExpectMatchesReference(b.filter, ReferencePeaking(c.freq, c.gain, c.q),
                               "peaking " + std::to_string(c.freq) + " Hz gain " + std::to_string(c.gain));
    }
}

TEST(FilterResponse, shelvesMatchTheIndependentEvaluation) {
    for (int kind : {kLowShelf, kHighShelf})
        for (int slope : {0, 1})
            for (int freq : {20, 100, 1010, 2000, 20000})
                for (int gain : {0, 140, 260, 400}) {
                    BandFilter b(freq, gain, 0, kind, slope);
                    ExpectMatchesReference(b.filter, ReferenceShelf(kind, freq, slope, gain),
                                           "shelf kind " + std::to_string(kind) + " slope " +
                                               std::to_string(slope) + " at " + std::to_string(freq));
                }
}

TEST(FilterResponse, everyCrossoverAlignmentMatchesTheIndependentEvaluation) {
    for (bool hp : {true, false})
        for (int family = 0; family < 3; ++family)
            for (int slope = 0; slope < 4; ++slope)
                for (int freq : {21, 120, 1000, 7000, 19999}) {
                    CrossoverFilter x(hp, family, slope, freq);
                    ExpectMatchesReference(x.filter, ReferenceCrossover(hp, family, slope, freq),
                                           std::string(hp ? "high-pass" : "low-pass") + " family " +
                                               std::to_string(family) + " slope " + std::to_string(slope) +
                                               " at " + std::to_string(freq));
                }
}

// ---------------------------------------------------------------------------------------------------------
// Physical facts at 96 kHz, corners at 1000 Hz (grid 136) with two octaves of grid on both sides.

constexpr int kCorner = 136;                            // 1000 Hz
constexpr int kOctaveBelow2 = 88, kOctaveBelow3 = 64;   // 250 Hz, 125 Hz
constexpr int kOctaveAbove2 = 184, kOctaveAbove3 = 208; // 4000 Hz, 8000 Hz

TEST(CrossoverAlignments, levelsAtTheCornerAreTheAlignments) {
    const struct {
        int family, slope;
        double db;
    } cases[] = {{1, 0, -3.0}, {0, 0, -6.0}, {0, 1, -6.0}, {0, 3, -5.6}};
    for (const auto& c : cases)
        for (bool hp : {true, false}) {
            CrossoverFilter x(hp, c.family, c.slope, 1000);
            EXPECT_NEAR(x.filter.Response()[kCorner], c.db, 0.1)
                << (hp ? "high-pass" : "low-pass") << " family " << c.family << " slope " << c.slope;
        }
}

TEST(CrossoverAlignments, slopeTwoToThreeOctavesPastTheCornerIsSixDbPerOrder) {
    const int order[3][4] = {{2, 4, 6, 8}, {2, 3, 4, 5}, {2, 3, 4, 5}};
    for (int family = 0; family < 3; ++family)
        for (int slope = 0; slope < 4; ++slope) {
            const double expected = 6.0 * order[family][slope];
            CrossoverFilter hp(true, family, slope, 1000);
            CrossoverFilter lp(false, family, slope, 1000);
            EXPECT_NEAR(hp.filter.Response()[kOctaveBelow2] - hp.filter.Response()[kOctaveBelow3], expected,
                        1.5)
                << "high-pass family " << family << " slope " << slope;
            EXPECT_NEAR(lp.filter.Response()[kOctaveAbove2] - lp.filter.Response()[kOctaveAbove3], expected,
                        1.5)
                << "low-pass family " << family << " slope " << slope;
        }
}

TEST(CrossoverAlignments, passbandIsFlatFarFromTheCorner) {
    for (int family = 0; family < 3; ++family)
        for (int slope = 0; slope < 4; ++slope) {
            CrossoverFilter hp(true, family, slope, 100);
            CrossoverFilter lp(false, family, slope, 10000);
            EXPECT_NEAR(hp.filter.Response()[kCorner], 0.0, 0.1) << family << "/" << slope;
            EXPECT_NEAR(lp.filter.Response()[kCorner], 0.0, 0.1) << family << "/" << slope;
        }
}

TEST(Shelves, reachHalfTheirGainAtTheScaledCornerAndAllOfItFarAway) {
    // Corners chosen so that corner x factor lands on a grid frequency.
    const struct {
        int kind, slope, freq, cornerIndex, farIndex;
    } cases[] = {{kLowShelf, 0, 500, 136, 0},      // x 2 -> 1000 Hz
                 {kLowShelf, 1, 1980, 168, 40},    // x 14/11 -> 2520 Hz
                 {kHighShelf, 0, 2200, 136, 240},  // x 5/11 -> 1000 Hz
                 {kHighShelf, 1, 2600, 160, 240}}; // x 10/13 -> 2000 Hz
    for (const auto& c : cases)
        for (int gain : {80, 260, 400}) {
            BandFilter b(c.freq, gain, 0, c.kind, c.slope);
            const double g = gain * 0.1 - 20;
            EXPECT_NEAR(b.filter.Response()[c.cornerIndex], g / 2, 1e-3)
                << c.kind << "/" << c.slope << " " << gain;
            EXPECT_NEAR(b.filter.Response()[c.farIndex], g, 0.15) << c.kind << "/" << c.slope << " " << gain;
        }
}

TEST(PeakingBands, reachTheirGainAtTheirGridFrequency) {
    for (int gain : {0, 165, 260, 400})
        for (int q : {0, 95, 295}) {
            BandFilter b(1000, gain, q, kPeaking);
            EXPECT_NEAR(b.filter.Response()[kCorner], gain * 0.1 - 20, 1e-6) << gain << " q " << q;
            for (int i = 0; i < kGridSize; ++i)
                EXPECT_LE(std::abs(b.filter.Response()[i]), std::abs(gain * 0.1 - 20) + 1e-9);
        }
}

// ---------------------------------------------------------------------------------------------------------
// Edge cases

TEST(FilterEdges, aBandAtRaw200IsFlatOnTheZeroDbLine) {
    for (int type : {kPeaking, kLowShelf, kHighShelf}) {
        BandFilter b(1000, 200, 50, type);
        b.filter.SetPlotSize({35, 10, 635, 410});
        EXPECT_TRUE(b.filter.Flat());
        for (int i = 0; i < kGridSize; ++i) {
            EXPECT_EQ(b.filter.Response()[i], 0.0);
            EXPECT_EQ(b.filter.Points()[i + 1].y, 210);
        }
        EXPECT_NE(b.filter.Label().find("G:0.0dB"), std::string::npos) << b.filter.Label();
    }
}

TEST(FilterEdges, crossoverAtTwentyAndTwentyThousandIsOffWhateverTheAlignment) {
    for (int family = 0; family < 3; ++family)
        for (int slope = 0; slope < 4; ++slope) {
            CrossoverFilter hp(true, family, slope, 20);
            CrossoverFilter lp(false, family, slope, 20000);
            EXPECT_EQ(hp.filter.Sections().count, 0);
            EXPECT_EQ(lp.filter.Sections().count, 0);
            for (int i = 0; i < kGridSize; ++i) {
                EXPECT_EQ(hp.filter.Response()[i], 0.0);
                EXPECT_EQ(lp.filter.Response()[i], 0.0);
            }
        }
}

TEST(FilterEdges, aFamilyAboveTwoIsDrawnFlat) {
    for (int family : {3, 7, 9}) {
        CrossoverFilter hp(true, family, 1, 1000);
        CrossoverFilter lp(false, family, 3, 1000);
        for (int i = 0; i < kGridSize; ++i) {
            EXPECT_EQ(hp.filter.Response()[i], 0.0);
            EXPECT_EQ(lp.filter.Response()[i], 0.0);
        }
    }
}

TEST(FilterEdges, peakingCentresSnapToTheNearestGridFrequencyTiesGoingUp) {
    const struct { int freq, same; } cases[] = {{1010, 1000}, {180, 179}, {1015, 1030}, {25000, 20000}};
    for (const auto& c : cases) {
        BandFilter a(c.freq, 300, 20, kPeaking), b(c.same, 300, 20, kPeaking);
        EXPECT_EQ(a.filter.Response(), b.filter.Response()) << c.freq << " vs " << c.same;
    }
    BandFilter at1010(1010, 300, 20, kPeaking);
    EXPECT_EQ(at1010.filter.Frequency(), 1010); // the record keeps its frequency
}

TEST(FilterEdges, shelfCornersAreNotSnappedButScaled) {
    BandFilter at1010(1010, 300, 0, kLowShelf), at1000(1000, 300, 0, kLowShelf);
    EXPECT_NE(at1010.filter.Response(), at1000.filter.Response());
    // A +6 dB low shelf at 100 Hz: corner 200 Hz with S 0.5, or 127.3 Hz with S 1.05.
    BandFilter gentle(100, 260, 0, kLowShelf), steep(100, 260, 0, kLowShelf, 1);
    ExpectMatchesReference(gentle.filter, ReferenceShelf(kLowShelf, 100, 0, 260), "gentle");
    ExpectMatchesReference(steep.filter, ReferenceShelf(kLowShelf, 100, 1, 260), "steep");
    // Half the gain where the scaled corner lies: 200 Hz is grid 81 (204 Hz) and 80 (198 Hz).
    EXPECT_NEAR(gentle.filter.Response()[80], 3.0, 0.1);
}

TEST(FilterEdges, bandwidthAndDisplayedQAtTheEndsOfTheQRange) {
    BandFilter narrow(1000, 300, 0, kPeaking), wide(1000, 300, 295, kPeaking);
    EXPECT_DOUBLE_EQ(narrow.filter.Bandwidth(), 0.05);
    EXPECT_NEAR(narrow.filter.DisplayedQ(), 28.852, 5e-4);
    EXPECT_NE(narrow.filter.Label().find("Q:28.852"), std::string::npos) << narrow.filter.Label();
    EXPECT_DOUBLE_EQ(wide.filter.Bandwidth(), 3.0);
    EXPECT_NEAR(wide.filter.DisplayedQ(), 0.404, 5e-4);
    EXPECT_NE(wide.filter.Label().find("Q:0.404"), std::string::npos) << wide.filter.Label();
}

TEST(FilterEdges, aNegativeQIndexIsBoundedToTheNarrowestBand) {
    BandFilter negative(1000, 300, -40, kPeaking), narrowest(1000, 300, 0, kPeaking);
    EXPECT_DOUBLE_EQ(negative.filter.Bandwidth(), 0.05);
    EXPECT_EQ(negative.filter.Response(), narrowest.filter.Response());
}

TEST(FilterEdges, extremeRawGainsGiveFiniteCurves) {
    for (int gain : {-32768, -1, 32767})
        for (int type : {kPeaking, kLowShelf, kHighShelf}) {
            BandFilter b(1000, gain, 50, type);
            b.filter.SetPlotSize({35, 10, 635, 410});
            for (int i = 0; i < kGridSize; ++i) ASSERT_TRUE(std::isfinite(b.filter.Response()[i])) << gain;
            EXPECT_LE(std::abs(b.filter.Points()[100].y), 1'000'000);
        }
}

TEST(FilterEdges, theA0GuardReplacesOnlyAnExactZero) {
    EXPECT_EQ(GuardA0(0.0), 1e-10);
    EXPECT_EQ(GuardA0(-0.0), 1e-10);
    EXPECT_EQ(GuardA0(1e-300), 1e-300);
    EXPECT_EQ(GuardA0(-2.0), -2.0);
}

TEST(FilterEdges, crossoverSidesUseTheirSectionCounts) {
    const struct {
        bool hp;
        int family, slope, count;
    } cases[] = {{true, 0, 0, 1},  {true, 0, 1, 2},  {true, 0, 2, 3},  {true, 0, 3, 4},  {true, 1, 1, 2},
                 {false, 1, 3, 3}, {false, 2, 0, 1}, {false, 2, 1, 2}, {false, 2, 3, 3}, {true, 2, 3, 3}};
    for (const auto& c : cases) {
        CrossoverFilter x(c.hp, c.family, c.slope, 1000);
        EXPECT_EQ(x.filter.Sections().count, c.count) << c.hp << " " << c.family << "/" << c.slope;
    }
    // "ButterW 18dB": a first-order section, then a second-order one.
    CrossoverFilter bw18(true, 1, 1, 1000);
    EXPECT_EQ(bw18.filter.Sections().sections[0].a2, 0.0);
    EXPECT_NE(bw18.filter.Sections().sections[1].a2, 0.0);
}

TEST(FilterEdges, besselTwelveIsDesignedBelowItsCornerOnEachSide) {
    // High-pass at fc / 1.2683112435 with the d table, low-pass at fc / 1.3616541287 with its prototype.
    CrossoverFilter hp(true, 2, 0, 1000), lp(false, 2, 0, 1000);
    const double w0 = 1000 / 1.2683112435 * kW;
    EXPECT_DOUBLE_EQ(hp.filter.Sections().sections[0].a1, -2 * std::cos(w0));
    const double k = std::tan(1000 / 1.3616541287 * kW / 2);
    EXPECT_DOUBLE_EQ(lp.filter.Sections().sections[0].b0, k * k);
}

} // namespace
} // namespace velmar
