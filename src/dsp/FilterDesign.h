// Section coefficients of the processor's filters: peaking bands, shelves and the crossover alignments.
#pragma once

#include "dsp/Biquad.h"

namespace velmar {

// Radians per sample per Hz at 96 kHz, as the processor designs its filters.
inline constexpr double kDesignOmegaPerHz = 6.544985e-05;

// Filter kinds of a CFilter.
inline constexpr int kPeaking = 0;
inline constexpr int kLowShelf = 1;
inline constexpr int kHighShelf = 2;
inline constexpr int kHighPass = 3;
inline constexpr int kLowPass = 4;

// Frequency factor, slope S and label text of a shelf of `kind` (1 low, 2 high) and shelfSlope (0, 1).
// A shelfSlope above 1 is computed as 0 and has no label text.
struct ShelfShape {
    double factor;
    double s;
    const char* text;
};
ShelfShape ShelfShapeFor(int kind, int shelfSlope);

// Peaking band centred on grid entry `gridIndex`: the centre is always a grid frequency, so its
// trigonometry comes from a table.
Biquad PeakingSection(int gridIndex, double gainDb, double bandwidthOctaves);

// Shelf with its corner at `freq` scaled by the shape's factor; an identity section when the gain is 0.
Biquad ShelfSection(int kind, double freq, int shelfSlope, double gainDb);

// One crossover side (kind 3 high-pass, 4 low-pass) of `family` (0 Linkwitz-Riley, 1 Butterworth,
// 2 Bessel) and `slope` (0..3) at corner `corner` Hz. A family or slope without an alignment gives no
// sections: that side is drawn flat.
SectionList CrossoverSections(int kind, int family, int slope, double corner);

// The a0 guard of the crossover sections: a0 of exactly 0 becomes 1e-10.
inline double GuardA0(double a0) {
    return a0 == 0.0 ? 1e-10 : a0;
}

} // namespace velmar
