// A music-like programme level for the demo's inputs: slow swells, a beat with accents, a stereo pair
// on A/B and two quieter sources on C/D, all a function of (seed, input, time).
#pragma once

#include "core/DeviceImage.h"

#include <array>
#include <cstdint>

namespace velmar {

class SimProgramme {
public:
    explicit SimProgramme(uint64_t seed = 1);

    // The level at `input` (0..3) at `seconds` since the start, in dBu. A and B average about -18 dBu
    // and peak near -6 dBu on the accented beats; C (a voice) and D (a playback) sit lower and pause.
    // Deterministic in (seed, input, seconds); never above kPeakDbu, never below kFloorDbu.
    double levelDbu(int input, double seconds) const;

    static constexpr double kPeakDbu = -2.0;
    static constexpr double kFloorDbu = -60.0;

private:
    struct Swell {
        double depth, period, phase;
    };
    uint64_t seed_;
    std::array<Swell, 3> shared_{};                       // A/B: the song's own dynamics
    std::array<std::array<Swell, 2>, kInputCount> own_{}; // each input's small differences
    double tempo_ = 2.0;                                  // beats a second
};

} // namespace velmar
