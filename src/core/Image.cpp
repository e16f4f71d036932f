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

// The blocks are packed, so their 16-bit fields may sit at odd addresses: the rules work on values and
// the fields are assigned back, never bound to references.
int16_t ClampedFreq(int16_t f) {
    if (f < 20) return 20;
    if (f > 20000) return 20000;
    return f;
}

// Inputs put a band gain above the limit back to 200, outputs to 400.
void ClampBand(PeqBand& b, int16_t bandGainReplacement) {
    b.freq = ClampedFreq(b.freq);
    if (b.gain > 400) b.gain = bandGainReplacement;
    if (b.q > 295) b.q = 0;
    if (b.shelfSlope > 1) b.shelfSlope = 0;
    if (b.type > 2) b.type = 0;
}

template <typename Block> void ClampCommon(Block& b) {
    if (b.soundOn > 1) b.soundOn = 1;
    if (b.polarity > 1) b.polarity = 0;
    if (b.gain > 480) b.gain = 360;
    if (b.delay > 1466) b.delay = 1466;
}

} // namespace

const InputBlock& InputTemplate() { return kInputTemplate; }
const OutputBlock& OutputTemplate() { return kOutputTemplate; }

void ClampImage(DeviceImage& image) {
    for (auto& in : image.inputs) {
        for (auto& b : in.peq) ClampBand(b, 200);
        ClampCommon(in);
        if (in.gateThreshold > 120) in.gateThreshold = 120;
    }
    for (auto& out : image.outputs) {
        for (auto& b : out.peq) ClampBand(b, 400);
        ClampCommon(out);
        out.routeMask &= 0x0F;
        out.hpfFreq = ClampedFreq(out.hpfFreq);
        out.lpfFreq = ClampedFreq(out.lpfFreq);
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
