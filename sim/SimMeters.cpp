// Level meter simulation.
#include "sim/SimMeters.h"

#include "sim/SimRandom.h"

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSilence = -200.0; // dBu, reads 0 on a meter

uint8_t MeterByte(double dBu) {
    const double v = std::round(dBu + 100.0);
    return static_cast<uint8_t>(std::clamp(v, 0.0, 127.0));
}

// Channel gain: raw 360 = 0 dB, 0.1 dB a step; values outside 0..480 are taken at the nearest end.
double GainDb(int16_t raw) {
    return (std::clamp<int>(raw, 0, 480) - 360) / 10.0;
}

} // namespace

SimMeters::SimMeters(uint64_t seed) : seed_(seed) {
    SimRandom r(SimRandom::mix(seed, 0x6D6574657273ull));
    for (auto& s : sources_) {
        s.base = -12.0 + 6.0 * r.unit();
        s.depth1 = 8.0 + 3.0 * r.unit();
        s.period1 = 60.0 + 80.0 * r.unit(); // 6 to 14 s at one heartbeat every 100 ms
        s.phase1 = 2 * kPi * r.unit();
        s.depth2 = 2.0 + 2.0 * r.unit();
        s.period2 = 13.0 + 20.0 * r.unit();
        s.phase2 = 2 * kPi * r.unit();
    }
}

double SimMeters::programmeDbu(int input, uint32_t step) const {
    if (input < 0 || input >= kInputCount) return kSilence;
    if (fixed_[input]) return *fixed_[input];
    if (demo_) return demo_->levelDbu(input, step * kHeartbeatSeconds);
    const Source& s = sources_[input];
    const double t = static_cast<double>(step);
    SimRandom noise(SimRandom::mix(seed_, static_cast<uint64_t>(input) + 1, step));
    return s.base + s.depth1 * std::sin(2 * kPi * t / s.period1 + s.phase1) +
           s.depth2 * std::sin(2 * kPi * t / s.period2 + s.phase2) + (noise.unit() * 2.0 - 1.0);
}

void SimMeters::useDemoProgramme() {
    demo_.emplace(seed_);
}

void SimMeters::setProgramme(int input, std::optional<double> dBu) {
    if (input >= 0 && input < kInputCount) fixed_[input] = dBu;
}

SimMeters::Levels SimMeters::compute(const DeviceImage& image, SimModel model, uint32_t step) const {
    const SimModelInfo& info = ModelInfo(model);
    Levels levels;
    std::array<double, kInputCount> atInput{};
    for (int i = 0; i < kInputCount; ++i) {
        atInput[i] = i < info.inputs ? programmeDbu(i, step) + GainDb(image.inputs[i].gain) : kSilence;
        levels.input[i] = i < info.inputs ? MeterByte(atInput[i]) : 0;
    }
    for (int o = 0; o < info.outputs; ++o) {
        const OutputBlock& out = image.outputs[o];
        if (out.soundOn != 1) continue;
        double power = 0;
        for (int i = 0; i < info.inputs; ++i) {
            if ((out.routeMask & (1u << i)) == 0 || image.inputs[i].soundOn != 1) continue;
            power += std::pow(10.0, atInput[i] / 10.0);
        }
        if (power <= 0) continue;
        double level = 10.0 * std::log10(power) + GainDb(out.gain);
        const double threshold = std::clamp<int>(out.compThreshold, 0, 48) - 28.0;
        bool limiting = false;
        if (level > threshold) {
            limiting = true;
            level =
                out.compRatio >= 127 ? threshold : threshold + (level - threshold) / (out.compRatio + 1.0);
        }
        levels.output[o] = static_cast<uint8_t>(MeterByte(level) | (limiting ? 0x80 : 0));
    }
    return levels;
}

std::array<uint8_t, 16> SimMeters::payload(const Levels& levels, SimModel model) {
    std::array<uint8_t, 16> p{};
    std::copy(levels.input.begin(), levels.input.end(), p.begin());
    if (ModelInfo(model).outputsSevenEightFirst) {
        p[4] = levels.output[6];
        p[5] = levels.output[7];
        for (int o = 0; o < 6; ++o) p[6 + o] = levels.output[o];
    } else {
        std::copy(levels.output.begin(), levels.output.end(), p.begin() + 4);
    }
    return p;
}

} // namespace velmar
