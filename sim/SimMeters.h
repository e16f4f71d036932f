// The simulated signal path behind the level meters: a programme on every input, routed, gained,
// muted and compressed to the outputs as the parameter memory says.
#pragma once

#include "core/DeviceImage.h"
#include "sim/SimModel.h"
#include "sim/SimProgramme.h"

#include <array>
#include <cstdint>
#include <optional>

namespace velmar {

// Meter bytes read 100 + level in dBu (0 dBu = 100, one step a dB, 0..127), which is what the pages'
// nine segments expect: 64 lights the "-36" segment, 106 the "6" one and above 116 the top one.
// Output bytes carry the limit indication in bit 7.
class SimMeters {
public:
    struct Levels {
        std::array<uint8_t, kInputCount> input{};
        std::array<uint8_t, kOutputCount> output{}; // bit 7: level above the compressor threshold
    };

    explicit SimMeters(uint64_t seed = 1);

    // The programme at an input at heartbeat `step`, in dBu: two slow sweeps with a little noise,
    // roughly -27 to +9 dBu, each input with its own rate and phase. Deterministic in (seed, step).
    double programmeDbu(int input, uint32_t step) const;

    // The music-like programme of the demo (SimProgramme with this seed) in place of the two sweeps,
    // one heartbeat taken as kHeartbeatSeconds.
    void useDemoProgramme();
    static constexpr double kHeartbeatSeconds = 0.1;

    // Fixes an input's programme at a level (tests), or gives it back to the simulation (nullopt).
    void setProgramme(int input, std::optional<double> dBu);

    // Levels at `step` for the parameters in `image`:
    // - input meter: programme + input gain; it reads the signal even while the input is muted;
    // - output: power sum of the inputs selected by routeMask that exist on the model and are not
    //   muted (soundOn 1), + output gain; a muted output reads 0; above the compressor threshold
    //   (compThreshold - 28 dBu) bit 7 is set and the excess is divided by the ratio (r + 1, 127 = hold
    //   at the threshold). Channels the model does not have read 0.
    Levels compute(const DeviceImage& image, SimModel model, uint32_t step) const;

    // The 16 heartbeat payload bytes in the model's order (four trailing bytes 0).
    static std::array<uint8_t, 16> payload(const Levels& levels, SimModel model);

private:
    struct Source {
        double base, depth1, period1, phase1, depth2, period2, phase2;
    };
    uint64_t seed_;
    std::array<Source, kInputCount> sources_{};
    std::array<std::optional<double>, kInputCount> fixed_{};
    std::optional<SimProgramme> demo_;
};

} // namespace velmar
