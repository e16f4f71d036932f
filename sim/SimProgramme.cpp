// The demo's programme levels.
#include "sim/SimProgramme.h"

#include "sim/SimRandom.h"

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Sine(double depth, double period, double phase, double t) {
    return depth * std::sin(2 * kPi * t / period + phase);
}

} // namespace

SimProgramme::SimProgramme(uint64_t seed) : seed_(seed) {
    SimRandom r(SimRandom::mix(seed, 0x70726F6772616Dull));
    // Verse and chorus over half a minute, phrases of a few seconds, a bar-length wobble.
    const std::array<double, 3> depth = {3.5, 2.0, 1.0};
    const std::array<double, 3> period = {28.0, 7.0, 2.0};
    for (size_t k = 0; k < shared_.size(); ++k)
        shared_[k] = {depth[k], period[k] * (0.8 + 0.4 * r.unit()), 2 * kPi * r.unit()};
    for (auto& input : own_)
        for (auto& s : input) s = {0.5 + 1.0 * r.unit(), 3.0 + 9.0 * r.unit(), 2 * kPi * r.unit()};
    tempo_ = 1.8 + 0.5 * r.unit(); // 108 to 138 beats a minute
}

double SimProgramme::levelDbu(int input, double seconds) const {
    if (input < 0 || input >= kInputCount) return kFloorDbu;
    const double t = std::max(0.0, seconds);
    const auto& own = own_[static_cast<size_t>(input)];
    double level = Sine(own[0].depth, own[0].period, own[0].phase, t) +
                   Sine(own[1].depth, own[1].period, own[1].phase, t);
    if (input <= 1) {
        // The stereo pair shares the song and its beat; each beat's accent is drawn once, so a kick
        // lifts both sides together, the right a little less or more than the left.
        level += -18.0;
        for (const Swell& s : shared_) level += Sine(s.depth, s.period, s.phase, t);
        const double beats = t * tempo_;
        const double beat = std::floor(beats);
        SimRandom accent(SimRandom::mix(seed_, 0x62656174ull, static_cast<uint64_t>(beat)));
        const double strength = 2.0 + 5.0 * accent.unit() + (input == 1 ? accent.unit() - 0.5 : 0.0);
        const double since = (beats - beat) / tempo_; // seconds since the beat
        level += strength * std::exp(-since / 0.09) - 1.5;
    } else if (input == 2) {
        // A voice: syllables a few times a second, and a pause of a second or so every few seconds.
        level += -26.0 + 4.0 * std::sin(2 * kPi * t * 3.7) + 2.0 * std::sin(2 * kPi * t * 1.3);
        const double sentence = std::fmod(t, 6.5);
        if (sentence > 5.2) level -= 25.0;
    } else {
        // Playback at a steady low level with a slow swell.
        level += -30.0 + Sine(3.0, 19.0, 0.7, t) + 1.5 * std::sin(2 * kPi * t * 0.83) +
                 1.0 * std::sin(2 * kPi * t * 2.9);
    }
    return std::clamp(level, kFloorDbu, kPeakDbu);
}

} // namespace velmar
