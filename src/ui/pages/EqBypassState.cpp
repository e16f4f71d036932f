// The EQ-bypass state and the image side of EQ RESET and EQ BYPASS.
#include "ui/pages/EqBypassState.h"

#include "core/ChannelLink.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"

namespace velmar {

namespace {

bool ValidChannel(uint8_t kind, int channel) {
    if (kind == kKindInput) return channel >= 0 && channel < kInputCount;
    if (kind == kKindOutput) return channel >= 0 && channel < kOutputCount;
    return false;
}

int SlotOf(uint8_t kind, int channel) {
    return kind == kKindInput ? channel : kInputCount + channel;
}

PeqBand* Bands(CoreState& s, uint8_t kind, int channel) {
    return kind == kKindInput ? s.image.inputs[channel].peq : s.image.outputs[channel].peq;
}

} // namespace

EqBypassState::EqBypassState() {
    for (auto& channel : savedBandGains)
        for (int16_t& g : channel) g = kBandGainRawZero;
    for (auto& channel : savedOutputBandGains)
        for (int16_t& g : channel) g = kBandGainRawZero;
    for (auto& channel : savedGeqWords)
        for (int16_t& w : channel) w = kBandGainRawZero;
}

int16_t* EqBypassState::SavedGains(uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return nullptr;
    return kind == kKindInput ? savedBandGains[channel] : savedOutputBandGains[channel];
}

bool EqBypassState::Bypassed(uint8_t kind, int channel) const {
    if (!ValidChannel(kind, channel)) return false;
    return (kind == kKindInput ? inputEqBypassed[channel] : outputEqBypassed[channel]) != 0;
}

void EqBypassState::ClearBypass(uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return;
    (kind == kKindInput ? inputEqBypassed[channel] : outputEqBypassed[channel]) = 0;
}

void EqBypassState::Forget(uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return;
    ClearBypass(kind, channel);
    for (uint8_t& f : bandSaved[SlotOf(kind, channel)]) f = 0;
}

void EqBypassState::ForgetAll() {
    for (int c = 0; c < kInputCount; ++c) Forget(kKindInput, c);
    for (int c = 0; c < kOutputCount; ++c) Forget(kKindOutput, c);
}

bool EqBypassState::ToggleBandBypass(CoreState& s, uint8_t kind, int channel, int band, bool on) {
    if (!ValidChannel(kind, channel) || band < 0 || band >= kBandCount) return false;
    PeqBand& b = Bands(s, kind, channel)[band];
    int16_t& saved = SavedGains(kind, channel)[band];
    uint8_t& held = bandSaved[SlotOf(kind, channel)][band];
    if (on) {
        if (!held) saved = b.gain;
        held = 1;
        if (b.gain == kBandGainRawZero) return false;
        b.gain = kBandGainRawZero;
        return true;
    }
    if (!held) return false;
    held = 0;
    if (b.gain == saved) return false;
    b.gain = saved;
    return true;
}

void EqBypassState::ToggleEqBypass(CoreState& s, uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return;
    uint8_t& flag = kind == kKindInput ? inputEqBypassed[channel] : outputEqBypassed[channel];
    int16_t* saved = SavedGains(kind, channel);
    uint8_t* held = bandSaved[SlotOf(kind, channel)];
    PeqBand* bands = Bands(s, kind, channel);
    if (flag) {
        flag = 0;
        for (int r = 0; r < kBandCount; ++r)
            if (held[r]) {
                bands[r].gain = saved[r];
                held[r] = 0;
            }
        if (kind == kKindInput)
            for (int w = 0; w < kGeqWordCount; ++w)
                s.image.inputs[channel].geq[w] = savedGeqWords[channel][w];
    } else {
        flag = 1;
        for (int r = 0; r < kBandCount; ++r) {
            if (!held[r]) saved[r] = bands[r].gain;
            held[r] = 1;
            bands[r].gain = kBandGainRawZero;
        }
        if (kind == kKindInput)
            for (int w = 0; w < kGeqWordCount; ++w) {
                savedGeqWords[channel][w] = s.image.inputs[channel].geq[w];
                s.image.inputs[channel].geq[w] = kBandGainRawZero;
            }
    }
    QueueBlockWrite(s, kind, static_cast<uint8_t>(channel));
    LinkBlock(s, kind, channel);
}

void EqBypassState::ResetEq(CoreState& s, uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return;
    PeqBand* bands = Bands(s, kind, channel);
    const PeqBand* defaults = kind == kKindInput ? InputTemplate().peq : OutputTemplate().peq;
    for (int r = 0; r < kBandCount; ++r) bands[r] = defaults[r];
    if (kind == kKindInput)
        for (int w = 0; w < kGeqWordCount; ++w) s.image.inputs[channel].geq[w] = kBandGainRawZero;
    // Nothing put aside before the reset comes back, neither by EQ BYPASS nor by a band's Bypass.
    int16_t* saved = SavedGains(kind, channel);
    for (int r = 0; r < kBandCount; ++r) saved[r] = kBandGainRawZero;
    if (kind == kKindInput)
        for (int16_t& w : savedGeqWords[channel]) w = kBandGainRawZero;
    Forget(kind, channel);
    QueueBlockWrite(s, kind, static_cast<uint8_t>(channel));
    LinkBlock(s, kind, channel);
}

} // namespace velmar
