// Cascade evaluation at the response grid; the trigonometry of the grid is computed once.
#include "dsp/Biquad.h"

#include <cmath>

namespace velmar {

namespace {

// The grid padded to a multiple of four, so that the loops below have a trip count the compiler can
// vectorise without a remainder. The padding repeats the last frequency and is never read out.
constexpr int kLanes = (kGridSize + 3) / 4 * 4;

struct GridTrig {
    alignas(32) double cosw[kLanes];
    alignas(32) double sinw[kLanes];
    GridTrig() {
        for (int i = 0; i < kLanes; ++i) {
            const double w = GridOmega(i < kGridSize ? i : kMaxGridIndex);
            cosw[i] = std::cos(w);
            sinw[i] = std::sin(w);
        }
    }
};

const GridTrig& Trig() {
    static const GridTrig trig;
    return trig;
}

// |H|^2 = |m0 e^jw + m1 + m2 e^-jw|^2 / |e^jw + n1 + n2 e^-jw|^2, gathered so that a grid point costs
// four multiplications per side.
struct Prepared {
    double numCos, numConst, numSin; // (m0 + m2), m1, (m0 - m2)
    double denCos, denConst, denSin; // (1 + n2), n1, (1 - n2)
};

Prepared Prepare(const Biquad& s) {
    const double m0 = s.b0 / s.a0, m1 = s.b1 / s.a0, m2 = s.b2 / s.a0;
    const double n1 = s.a1 / s.a0, n2 = s.a2 / s.a0;
    return {m0 + m2, m1, m0 - m2, 1.0 + n2, n1, 1.0 - n2};
}

// Multiplies num and den by the section's squared magnitudes (or sets them, for the first section).
template <bool First> void Accumulate(const Prepared& p, const GridTrig& t, double* num, double* den) {
    for (int i = 0; i < kLanes; ++i) {
        const double c = t.cosw[i], s = t.sinw[i];
        const double nr = p.numCos * c + p.numConst, ni = p.numSin * s;
        const double dr = p.denCos * c + p.denConst, di = p.denSin * s;
        const double n2 = nr * nr + ni * ni, d2 = dr * dr + di * di;
        if constexpr (First) {
            num[i] = n2;
            den[i] = d2;
        } else {
            num[i] *= n2;
            den[i] *= d2;
        }
    }
}

constexpr double kMinPowerRatio = 1e-300; // -3000 dB
constexpr double kMaxPowerRatio = 1e300;
// 10 log10(r) as (10 / ln 10) ln r: the natural logarithm costs half as much as log10 here, and the two
// agree to far better than the 1e-6 dB the curves are held to.
constexpr double kDbPerNeper = 4.342944819032518;

} // namespace

double GridOmega(int index) {
    return 6.2831852 * GridFrequency(index) / 96000.0;
}

void EvaluateOnGrid(const SectionList& list, GridResponse& out) {
    if (list.count == 0) {
        out.fill(0.0);
        return;
    }
    // Section by section over the whole grid, then one logarithm per grid point.
    const GridTrig& t = Trig();
    alignas(32) double num[kLanes];
    alignas(32) double den[kLanes];
    Accumulate<true>(Prepare(list.sections[0]), t, num, den);
    for (int k = 1; k < list.count; ++k) Accumulate<false>(Prepare(list.sections[k]), t, num, den);
    // The divisions and limits in a loop of their own, which vectorises, so that the logarithm calls
    // below do not wait on a division each.
    for (int i = 0; i < kLanes; ++i) {
        const double ratio = num[i] / den[i];
        num[i] =
            ratio >= kMinPowerRatio ? (ratio <= kMaxPowerRatio ? ratio : kMaxPowerRatio) : kMinPowerRatio;
    }
    for (int i = 0; i < kGridSize; ++i) out[i] = kDbPerNeper * std::log(num[i]);
}

} // namespace velmar
