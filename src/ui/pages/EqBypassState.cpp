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

void EqBypassState::TakeGainsOnRefresh(const CoreState& s, uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel) || Bypassed(kind, channel)) return;
    int16_t* saved = SavedGains(kind, channel);
    const PeqBand* bands = kind == kKindInput ? s.image.inputs[channel].peq : s.image.outputs[channel].peq;
    for (int r = 0; r < kBandCount; ++r)
        if (bands[r].gain != kBandGainRawZero) saved[r] = bands[r].gain;
}

void EqBypassState::ToggleEqBypass(CoreState& s, uint8_t kind, int channel) {
    if (!ValidChannel(kind, channel)) return;
    uint8_t& flag = kind == kKindInput ? inputEqBypassed[channel] : outputEqBypassed[channel];
    int16_t* saved = SavedGains(kind, channel);
    PeqBand* bands = Bands(s, kind, channel);
    if (flag) {
        flag = 0;
        for (int r = 0; r < kBandCount; ++r) bands[r].gain = saved[r];
        if (kind == kKindInput)
            for (int w = 0; w < kGeqWordCount; ++w)
                s.image.inputs[channel].geq[w] = savedGeqWords[channel][w];
    } else {
        flag = 1;
        for (int r = 0; r < kBandCount; ++r) {
            saved[r] = bands[r].gain;
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
    ClearBypass(kind, channel);
    QueueBlockWrite(s, kind, static_cast<uint8_t>(channel));
    LinkBlock(s, kind, channel);
}

} // namespace velmar
