// Cascade evaluation at the response grid; the trigonometry of the grid is computed once.
#include "dsp/Biquad.h"

#include <cmath>

namespace velmar {

namespace {

struct GridTrig {
    double cosw[kGridSize];
    double sinw[kGridSize];
    GridTrig() {
        for (int i = 0; i < kGridSize; ++i) {
            const double w = GridOmega(i);
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

constexpr double kMinPowerRatio = 1e-300; // -3000 dB
constexpr double kMaxPowerRatio = 1e300;

} // namespace

double GridOmega(int index) {
    return 6.2831852 * GridFrequency(index) / 96000.0;
}

void EvaluateOnGrid(const SectionList& list, GridResponse& out) {
    const GridTrig& t = Trig();
    if (list.count == 0) {
        out.fill(0.0);
        return;
    }
    Prepared p[4];
    for (int k = 0; k < list.count; ++k) p[k] = Prepare(list.sections[k]);
    for (int i = 0; i < kGridSize; ++i) {
        const double c = t.cosw[i], s = t.sinw[i];
        double num = 1.0, den = 1.0;
        for (int k = 0; k < list.count; ++k) {
            const double nr = p[k].numCos * c + p[k].numConst, ni = p[k].numSin * s;
            const double dr = p[k].denCos * c + p[k].denConst, di = p[k].denSin * s;
            num *= nr * nr + ni * ni;
            den *= dr * dr + di * di;
        }
        double ratio = num / den;
        if (!(ratio >= kMinPowerRatio)) ratio = kMinPowerRatio; // also NaN
        if (ratio > kMaxPowerRatio) ratio = kMaxPowerRatio;
        out[i] = 10.0 * std::log10(ratio);
    }
}

} // namespace velmar
