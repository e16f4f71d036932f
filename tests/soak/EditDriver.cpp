// EditDriver: the page-like edits of the soak.
#include "EditDriver.h"

#include "core/ChannelLink.h"
#include "core/Image.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "dsp/CurveSets.h"

#include <algorithm>
#include <cstring>

namespace velmar::soak {

namespace {

// The mix of edits: mostly parameters, as on site, with every other kind now and then.
constexpr int kWeights[EditDriver::KindCount] = {
    30, // InputUnit
    14, // GeqBand
    30, // OutputUnit
    5,  // Routing
    6,  // Crossover
    3,  // EqReset
    3,  // EqBypass
    2,  // GeqReset
    2,  // JoinGroup
    1,  // CopyChannel
    1,  // ProgramStore
    1,  // ProgramLoad
    1,  // Import
};

} // namespace

EditDriver::EditDriver(CoreState& s, uint64_t seed) : s_(s), rng_(seed) {}

const char* EditDriver::Name(Kind kind) {
    static const char* const kNames[KindCount] = {
        "input-unit", "geq-band",   "output-unit", "routing", "crossover", "eq-reset", "eq-bypass",
        "geq-reset",  "join-group", "copy",        "store",   "load",      "import"};
    return kind >= 0 && kind < KindCount ? kNames[kind] : "?";
}

std::string EditDriver::summary() const {
    std::string out;
    for (int k = 0; k < KindCount; ++k) {
        if (!out.empty()) out += ", ";
        out += std::string(Name(static_cast<Kind>(k))) + " " + std::to_string(counts_[k]);
    }
    return out;
}

int EditDriver::nextDelayMs() {
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < userPauseShare_) return uniform(300, 1200); // a user looking, then clicking
    if (r < userPauseShare_ + (1 - userPauseShare_) * 0.45)
        return 0;            // typing, a preset: several before a tick
    return uniform(20, 150); // a fader or a point being dragged
}

PeqBand EditDriver::randomBand() {
    PeqBand b{};
    b.freq = static_cast<int16_t>(uniform(20, 20000));
    b.gain = static_cast<int16_t>(uniform(0, kBandGainRawMax));
    b.q = static_cast<int16_t>(uniform(0, kMaxQIndex));
    b.shelfSlope = static_cast<uint8_t>(uniform(0, 1));
    b.type = static_cast<uint8_t>(uniform(0, 2));
    return b;
}

void EditDriver::afterParam(uint8_t kind, int ch, int index) {
    QueueParamWrite(s_, kind == kKindGeqWord ? kKindInput : kind, static_cast<uint8_t>(ch),
                    static_cast<uint8_t>(kind == kKindGeqWord ? 12 + index : index));
    LinkParam(s_, kind, ch, index);
    RefreshCurveSet(s_, kind, ch);
}

void EditDriver::afterBlock(uint8_t kind, int ch) {
    QueueBlockWrite(s_, kind, static_cast<uint8_t>(ch));
    LinkBlock(s_, kind, ch);
    RefreshCurveSet(s_, kind, ch);
    if (kind == kKindInput) RefreshCurveSet(s_, kKindGeqWord, ch);
}

void EditDriver::inputUnit(int ch, int unit) {
    InputBlock& in = s_.image.inputs[ch];
    if (unit == 1) {
        switch (uniform(0, 4)) {
        case 0:
            in.soundOn = static_cast<uint8_t>(in.soundOn ? 0 : 1);
            break;
        case 1:
            in.polarity = static_cast<uint8_t>(in.polarity ? 0 : 1);
            break;
        case 2:
            in.gain = static_cast<int16_t>(uniform(0, kChannelGainRawMax));
            break;
        case 3:
            in.delay = static_cast<int16_t>(uniform(0, kDelayRawMax));
            break;
        default:
            in.gateThreshold = static_cast<uint8_t>(uniform(0, kGateRawMax));
            break;
        }
    } else {
        PeqBand& b = in.peq[unit - 2];
        if (uniform(0, 2) == 0)
            b = randomBand();
        else
            b.gain = static_cast<int16_t>(uniform(0, kBandGainRawMax)); // a drag changes the gain
    }
    afterParam(kKindInput, ch, unit);
}

void EditDriver::outputUnit(int ch, int unit) {
    OutputBlock& out = s_.image.outputs[ch];
    switch (unit) {
    case 1:
        switch (uniform(0, 3)) {
        case 0:
            out.soundOn = static_cast<uint8_t>(out.soundOn ? 0 : 1);
            break;
        case 1:
            out.polarity = static_cast<uint8_t>(out.polarity ? 0 : 1);
            break;
        case 2:
            out.gain = static_cast<int16_t>(uniform(0, kChannelGainRawMax));
            break;
        default:
            out.delay = static_cast<int16_t>(uniform(0, kDelayRawMax));
            break;
        }
        break;
    case 2:
        out.compThreshold = static_cast<int16_t>(uniform(0, 48));
        out.compAttack = static_cast<uint8_t>(uniform(0, 97));
        // The page's release steps stop at "Atkx32" (5); the last list entry only arrives from outside.
        out.compRelease = static_cast<uint8_t>(uniform(0, kReleaseChoiceCount - 2));
        out.compRatio = static_cast<uint8_t>(uniform(0, 1) ? uniform(0, 31) : 127);
        break;
    case 3: {
        const CrossoverChoice hp = *CrossoverFromCombo(uniform(0, kCrossoverChoiceCount - 1));
        const CrossoverChoice lp = *CrossoverFromCombo(uniform(0, kCrossoverChoiceCount - 1));
        out.hpfFreq = static_cast<int16_t>(uniform(20, 2000));
        out.hpfType = hp.type;
        out.hpfSlope = hp.slope;
        out.lpfFreq = static_cast<int16_t>(uniform(2000, 20000));
        out.lpfType = lp.type;
        out.lpfSlope = lp.slope;
        break;
    }
    default: {
        PeqBand& b = out.peq[unit - 4];
        if (uniform(0, 2) == 0)
            b = randomBand();
        else
            b.gain = static_cast<int16_t>(uniform(0, kBandGainRawMax));
        break;
    }
    }
    afterParam(kKindOutput, ch, unit);
}

EditDriver::Kind EditDriver::edit() {
    int total = 0;
    for (int w : kWeights) total += w;
    int r = uniform(0, total - 1);
    int k = 0;
    while (r >= kWeights[k]) r -= kWeights[k++];
    const Kind kind = static_cast<Kind>(k);
    edit(kind);
    return kind;
}

std::string EditDriver::recent() const {
    std::string out;
    const int n = static_cast<int>(recent_.size());
    for (int k = std::max(0, total_ - n); k < total_; ++k) {
        if (!out.empty()) out += " ";
        out += Name(static_cast<Kind>(recent_[k % n]));
    }
    return out;
}

void EditDriver::edit(Kind kind) {
    recent_[total_ % recent_.size()] = kind;
    ++counts_[kind];
    ++total_;
    switch (kind) {
    case InputUnit:
        inputUnit(uniform(0, kInputCount - 1), uniform(1, 11));
        break;
    case GeqBand: {
        const int ch = uniform(0, kInputCount - 1);
        const int band = uniform(0, kGeqBandCount - 1);
        s_.image.inputs[ch].geq[band] = static_cast<int16_t>(uniform(80, 320));
        afterParam(kKindGeqWord, ch, band);
        break;
    }
    case OutputUnit:
        outputUnit(uniform(0, kOutputCount - 1), uniform(1, 13));
        break;
    case Routing: {
        // The output's own routing: the unit-1 write, which a link copies without the routing itself.
        const int ch = uniform(0, kOutputCount - 1);
        s_.image.outputs[ch].routeMask =
            static_cast<uint8_t>(s_.image.outputs[ch].routeMask ^ (1 << uniform(0, 3)));
        afterParam(kKindOutput, ch, 1);
        break;
    }
    case Crossover:
        outputUnit(uniform(0, kOutputCount - 1), 3);
        break;
    case EqReset: {
        if (uniform(0, 1) == 0) {
            const int ch = uniform(0, kInputCount - 1);
            for (auto& b : s_.image.inputs[ch].peq) b.gain = kBandGainRawZero;
            afterBlock(kKindInput, ch);
        } else {
            const int ch = uniform(0, kOutputCount - 1);
            for (auto& b : s_.image.outputs[ch].peq) b.gain = kBandGainRawZero;
            outputBypassed_[ch] = false;
            afterBlock(kKindOutput, ch);
        }
        break;
    }
    case EqBypass: {
        // Bypass saves the band gains outside the image and flattens them; a second bypass puts them back.
        const int ch = uniform(0, kOutputCount - 1);
        OutputBlock& out = s_.image.outputs[ch];
        if (!outputBypassed_[ch]) {
            for (int k = 0; k < kBandCount; ++k) {
                savedOutputGains_[ch][k] = out.peq[k].gain;
                out.peq[k].gain = kBandGainRawZero;
            }
        } else {
            for (int k = 0; k < kBandCount; ++k) out.peq[k].gain = savedOutputGains_[ch][k];
        }
        outputBypassed_[ch] = !outputBypassed_[ch];
        afterBlock(kKindOutput, ch);
        break;
    }
    case GeqReset: {
        const int ch = uniform(0, kInputCount - 1);
        for (auto& w : s_.image.inputs[ch].geq) w = kBandGainRawZero;
        afterBlock(kKindInput, ch);
        break;
    }
    case JoinGroup:
        if (uniform(0, 1) == 0) {
            const int ch = uniform(0, kInputCount - 1);
            JoinLinkGroup(s_, kKindInput, ch, uniform(0, 2) == 0 ? ch : uniform(0, kInputCount - 1));
        } else {
            const int ch = uniform(0, kOutputCount - 1);
            JoinLinkGroup(s_, kKindOutput, ch, uniform(0, 2) == 0 ? ch : uniform(0, kOutputCount - 1));
        }
        break;
    case CopyChannel:
        if (uniform(0, 1) == 0)
            velmar::CopyChannel(s_, kKindInput, uniform(0, kInputCount - 1), uniform(0, kInputCount - 1));
        else
            velmar::CopyChannel(s_, kKindOutput, uniform(0, kOutputCount - 1), uniform(0, kOutputCount - 1));
        break;
    case ProgramStore:
        QueueProgramStore(s_, static_cast<uint8_t>(uniform(1, 12)));
        break;
    case ProgramLoad:
        QueueProgramLoad(s_, static_cast<uint8_t>(uniform(1, 12)));
        break;
    case Import: {
        // An in-range program file: the current image with a few bands and gains changed.
        DeviceImage file = s_.image;
        for (int n = 0; n < 12; ++n) {
            if (uniform(0, 1) == 0)
                file.inputs[uniform(0, kInputCount - 1)].peq[uniform(0, kBandCount - 1)] = randomBand();
            else
                file.outputs[uniform(0, kOutputCount - 1)].gain =
                    static_cast<int16_t>(uniform(0, kChannelGainRawMax));
        }
        std::memcpy(&s_.importImage, &file, kImageSize);
        std::memcpy(&s_.image, &file, kImageSize);
        ClampImage(s_.image);
        RefreshAllCurveSets(s_);
        QueueImageWrite(s_, 0);
        break;
    }
    case KindCount:
        break;
    }
}

} // namespace velmar::soak
