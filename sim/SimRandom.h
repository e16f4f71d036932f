// A small seeded random source whose sequence is the same on every platform and standard library.
#pragma once

#include <cstdint>

namespace velmar {

// SplitMix64. std::mt19937 would do, but the standard distributions differ between libraries, and
// the simulator promises the same meters and faults for the same seed everywhere.
class SimRandom {
public:
    explicit SimRandom(uint64_t seed = 0) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [0, n); 0 when n is 0.
    uint32_t below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(next() % n); }
    // True with probability p (never for p <= 0, always for p >= 1).
    bool chance(double p) { return p > 0 && (p >= 1 || unit() < p); }

    // A stateless hash of a few values, for noise that depends only on (seed, channel, step).
    static uint64_t mix(uint64_t a, uint64_t b = 0, uint64_t c = 0) {
        SimRandom r(a ^ (b * 0xD6E8FEB86659FD93ull) ^ (c * 0xA0761D6478BD642Full));
        return r.next();
    }

private:
    uint64_t state_;
};

} // namespace velmar
