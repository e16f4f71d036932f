// One second-order section and the evaluation of cascades of them at the response grid.
#pragma once

#include "core/ValueScales.h"

#include <array>

namespace velmar {

// Coefficients as designed, before the division by a0. A first-order section has b2 = a2 = 0.
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double a0 = 1.0, a1 = 0.0, a2 = 0.0;

    bool IsIdentity() const {
        return b0 == 1.0 && a0 == 1.0 && b1 == 0.0 && b2 == 0.0 && a1 == 0.0 && a2 == 0.0;
    }
};

// Up to four sections of one filter. Identity sections are not stored: they contribute 0 dB.
struct SectionList {
    std::array<Biquad, 4> sections{};
    int count = 0;

    void Add(const Biquad& s) {
        if (!s.IsIdentity() && count < static_cast<int>(sections.size())) sections[count++] = s;
    }
};

using GridResponse = std::array<double, kGridSize>;

// Level in dB of the cascade at every grid frequency, evaluated at w = 6.2831852 * f / 96000 with the
// coefficients divided by a0. The level is held within +-3000 dB so it stays finite whatever the
// coefficients (a gain raw value of -32768 would otherwise give log10(0)). No allocation.
void EvaluateOnGrid(const SectionList& list, GridResponse& out);

// The angular frequency per sample of grid entry i, as used by the evaluation.
double GridOmega(int index);

} // namespace velmar
