// Default templates, the clamping rule and the start state of the side tables.
#include "core/Image.h"

#include <cstdio>
#include <cstring>

namespace velmar {

namespace {

constexpr int16_t kDefaultBandFreq[kBandCount] = {30, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 15000};

constexpr PeqBand DefaultBand(int k) { return PeqBand{kDefaultBandFreq[k], 200, 0, 0, 0}; }

constexpr InputBlock MakeInputTemplate() {
    InputBlock b{};
    for (auto& c : b.name) c = ' ';
    b.soundOn = 0;
    b.polarity = 1;
    b.gain = 360;
    b.delay = 0;
    b.gateThreshold = 40;
    b.spare = 0;
    for (int k = 0; k < kBandCount; ++k) b.peq[k] = DefaultBand(k);
    for (auto& w : b.geq) w = 200;
    return b;
}

constexpr OutputBlock MakeOutputTemplate() {
    OutputBlock b{};
    for (auto& c : b.name) c = ' ';
    b.soundOn = 1;
    b.polarity = 1;
    b.gain = 360;
    b.delay = 0;
    b.routeMask = 0x0F;
    b.compThreshold = 48;
    b.hpfFreq = 20;
    b.lpfFreq = 20000;
    for (int k = 0; k < kBandCount; ++k) b.peq[k] = DefaultBand(k);
    b.spareBand[0] = 20;
    b.spareBand[1] = 200;
    return b;
}

constexpr InputBlock kInputTemplate = MakeInputTemplate();
constexpr OutputBlock kOutputTemplate = MakeOutputTemplate();

void ClampFreq(int16_t& f) {
    if (f < 20) f = 20;
    if (f > 20000) f = 20000;
}

// bandGainLimitValue: inputs put 200 back, outputs 400.
void ClampBand(PeqBand& b, int16_t bandGainReplacement) {
    ClampFreq(b.freq);
    if (b.gain > 400) b.gain = bandGainReplacement;
    if (b.q > 295) b.q = 0;
    if (b.shelfSlope > 1) b.shelfSlope = 0;
    if (b.type > 2) b.type = 0;
}

void ClampCommon(uint8_t& soundOn, uint8_t& polarity, int16_t& gain, int16_t& delay) {
    if (soundOn > 1) soundOn = 1;
    if (polarity > 1) polarity = 0;
    if (gain > 480) gain = 360;
    if (delay > 1466) delay = 1466;
}

} // namespace

const InputBlock& InputTemplate() { return kInputTemplate; }
const OutputBlock& OutputTemplate() { return kOutputTemplate; }

void ClampImage(DeviceImage& image) {
    for (auto& in : image.inputs) {
        for (auto& b : in.peq) ClampBand(b, 200);
        ClampCommon(in.soundOn, in.polarity, in.gain, in.delay);
        if (in.gateThreshold > 120) in.gateThreshold = 120;
    }
    for (auto& out : image.outputs) {
        for (auto& b : out.peq) ClampBand(b, 400);
        ClampCommon(out.soundOn, out.polarity, out.gain, out.delay);
        out.routeMask &= 0x0F;
        ClampFreq(out.hpfFreq);
        ClampFreq(out.lpfFreq);
        if (out.hpfType > 9) out.hpfType = 9;
        if (out.lpfType > 9) out.lpfType = 9;
        if (out.hpfSlope > 3) out.hpfSlope = 3;
        if (out.lpfSlope > 3) out.lpfSlope = 3;
        if (out.compThreshold > 400) out.compThreshold = 400;
        if (out.compAttack > 97) out.compAttack = 97;
        if (out.compRelease > 5) out.compRelease = 5;
    }
}

void ResetImage(CoreState& s) {
    for (auto& in : s.image.inputs) in = kInputTemplate;
    for (auto& out : s.image.outputs) out = kOutputTemplate;
    ClampImage(s.image);
}

void ResetProgramNames(CoreState& s) {
    std::memset(s.programNames, 0, sizeof s.programNames);
    std::memcpy(s.programNames[0], " SYSTEM DEFAULT ", kProgramNameChars);
    for (int n = 1; n < kProgramNameCount; ++n) {
        // "     USER n" padded with spaces to 16 characters; the rest of the entry stays zero.
        char text[32];
        const int len = std::snprintf(text, sizeof text, "     USER %d", n);
        std::memset(s.programNames[n], ' ', kProgramNameChars);
        std::memcpy(s.programNames[n], text, static_cast<size_t>(len));
    }
}

void ResetLinkGroups(CoreState& s) {
    for (int i = 0; i < kInputCount; ++i) s.inputLinkGroup[i] = static_cast<uint8_t>(i);
    for (int o = 0; o < kOutputCount; ++o) s.outputLinkGroup[o] = static_cast<uint8_t>(o);
}

void InitCoreState(CoreState& s) {
    CoreHooks hooks = std::move(s.hooks);
    s = CoreState{};
    s.hooks = std::move(hooks);
    ResetImage(s);
    ResetLinkGroups(s);
    ResetProgramNames(s);
}

} // namespace velmar
