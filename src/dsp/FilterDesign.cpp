// Coefficient formulas and alignment tables. The alignment constants are the processor's and stand as
// given, even where they differ from textbook values (Linkwitz-Riley 48 dB is about -5.6 dB at its corner).
#include "dsp/FilterDesign.h"

#include <cmath>

namespace velmar {

namespace {

// A crossover alignment: up to four d = 1/(2Q) values of second-order sections; with firstOrder set,
// d[0] is a first-order section instead. divisor scales the corner (Bessel high-pass only).
struct Alignment {
    int count;
    bool firstOrder;
    double d[4];
    double divisor;
};

constexpr Alignment kAlignments[3][4] = {
    // Linkwitz-Riley 12, 24, 36, 48 dB
    {{1, false, {1.0}, 1.0},
     {2, false, {0.70422535211, 0.70422535211}, 1.0},
     {3, false, {1.0, 0.5, 0.5}, 1.0},
     {4, false, {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}, 1.0}},
    // Butterworth 12, 18, 24 dB and the slope without a combo item
    {{1, false, {0.70422535}, 1.0},
     {2, true, {1.0, 0.5}, 1.0},
     {2, false, {0.92592593, 0.38167939}, 1.0},
     {3, true, {1.0, 0.8064616129, 0.3086417953}, 1.0}},
    // Bessel high-pass 12, 18, 24 dB and the slope without a combo item
    {{1, false, {0.70422535}, 1.2683112435},
     {2, true, {0.756, 0.72463768}, 1.2854981442},
     {2, false, {0.96153846, 0.61728395}, 1.5006420029},
     {3, true, {0.6656, 0.8928571428, 0.54347826}, 1.3854981442}},
};

// The Bessel low-pass: analogue prototype sections 1 / (qv s^2 + pv s + 1) and a corner divisor.
struct BesselLowPass {
    int count;
    double pv[3];
    double qv[3];
    double divisor;
};

constexpr BesselLowPass kBesselLowPass[4] = {
    {1, {1.0}, {0.3333333333}, 1.3616541287},
    {2, {0.5693712514, 0.430628846}, {0.154812441, 0.0}, 1.75567236868},
    {2, {0.369, 0.6278294896}, {0.087858766, 0.109408}, 2.1139176749},
    {3, {0.6656, 1.1402, 0.6216}, {0.0, 0.4128, 0.3245}, 1.0},
};

// Trigonometry of the peaking bands, whose centres are grid frequencies.
struct PeakTrig {
    double sinw0[kGridSize];
    double cosw0[kGridSize];
    double w0OverSin[kGridSize];
    PeakTrig() {
        for (int i = 0; i < kGridSize; ++i) {
            const double w0 = GridFrequency(i) * kDesignOmegaPerHz;
            sinw0[i] = std::sin(w0);
            cosw0[i] = std::cos(w0);
            w0OverSin[i] = w0 / sinw0[i];
        }
    }
};

const PeakTrig& Peak() {
    static const PeakTrig trig;
    return trig;
}

Biquad HighPassSecondOrder(double d, double c, double s) {
    const double alpha = s * d;
    return {(1 + c) / 2, -(1 + c), (1 + c) / 2, GuardA0(1 + alpha), -2 * c, 1 - alpha};
}

Biquad HighPassFirstOrder(double d, double t) {
    return {1, -1, 0, GuardA0(d * t + 1), d * t - 1, 0};
}

Biquad LowPassSecondOrder(double d, double c, double s) {
    const double alpha = s * d;
    return {(1 - c) / 2, 1 - c, (1 - c) / 2, GuardA0(1 + alpha), -2 * c, 1 - alpha};
}

Biquad LowPassFirstOrder(double d, double t) {
    return {t, t, 0, GuardA0(t + d), t - d, 0};
}

Biquad BesselLowPassSection(double pv, double qv, double k) {
    const double k2 = k * k;
    return {k2, 2 * k2, k2, pv * k + k2 + qv, 2 * k2 - 2 * qv, k2 - pv * k + qv};
}

} // namespace

ShelfShape ShelfShapeFor(int kind, int shelfSlope) {
    const bool steep = shelfSlope == 1;
    const char* text = shelfSlope == 0 ? "6dB/Oct" : shelfSlope == 1 ? "12dB/Oct" : "";
    if (kind == kLowShelf) return steep ? ShelfShape{1.2727272727, 1.05, text} : ShelfShape{2.0, 0.5, text};
    return steep ? ShelfShape{0.76923076923, 1.05, text} : ShelfShape{0.4545454546, 0.5, text};
}

Biquad PeakingSection(int gridIndex, double gainDb, double bandwidthOctaves) {
    const PeakTrig& p = Peak();
    const int i = gridIndex < 0 ? 0 : gridIndex > kMaxGridIndex ? kMaxGridIndex : gridIndex;
    const double a = std::pow(10.0, gainDb / 40.0);
    const double alpha = p.sinw0[i] * std::sinh(0.69314718 * bandwidthOctaves * p.w0OverSin[i]);
    const double c2 = -2 * p.cosw0[i];
    return {1 + alpha * a, c2, 1 - alpha * a, 1 + alpha / a, c2, 1 - alpha / a};
}

Biquad ShelfSection(int kind, double freq, int shelfSlope, double gainDb) {
    if (gainDb == 0.0) return {};
    const ShelfShape shape = ShelfShapeFor(kind, shelfSlope);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = freq * kDesignOmegaPerHz * shape.factor;
    const double c = std::cos(w0);
    const double alpha = std::sin(w0) / 2 * std::sqrt((a + 1 / a) * (1 / shape.s - 1) + 2);
    const double beta = 2 * std::sqrt(a) * alpha;
    if (kind == kLowShelf) {
        return {a * ((a + 1) - (a - 1) * c + beta), 2 * a * ((a - 1) - (a + 1) * c),
                a * ((a + 1) - (a - 1) * c - beta), (a + 1) + (a - 1) * c + beta,
                -2 * ((a - 1) + (a + 1) * c),       (a + 1) + (a - 1) * c - beta};
    }
    return {a * ((a + 1) + (a - 1) * c + beta), -2 * a * ((a - 1) + (a + 1) * c),
            a * ((a + 1) + (a - 1) * c - beta), (a + 1) - (a - 1) * c + beta,
            2 * ((a - 1) - (a + 1) * c),        (a + 1) - (a - 1) * c - beta};
}

SectionList CrossoverSections(int kind, int family, int slope, double corner) {
    SectionList list;
    if (family < 0 || family > 2 || slope < 0 || slope > 3) return list;
    if (kind == kLowPass && family == 2) {
        const BesselLowPass& b = kBesselLowPass[slope];
        const double k = std::tan(corner / b.divisor * kDesignOmegaPerHz / 2);
        for (int n = 0; n < b.count; ++n)
            if (b.pv[n] != 0.0) list.Add(BesselLowPassSection(b.pv[n], b.qv[n], k));
        return list;
    }
    const Alignment& al = kAlignments[family][slope];
    const double w0 = corner / al.divisor * kDesignOmegaPerHz;
    const double c = std::cos(w0), s = std::sin(w0), t = std::tan(w0 / 2);
    for (int n = 0; n < al.count; ++n) {
        const double d = al.d[n];
        if (n == 0 && al.firstOrder) {
            list.Add(kind == kHighPass ? HighPassFirstOrder(d, t) : LowPassFirstOrder(d, t));
        } else {
            list.Add(kind == kHighPass ? HighPassSecondOrder(d, c, s) : LowPassSecondOrder(d, c, s));
        }
    }
    return list;
}

} // namespace velmar
