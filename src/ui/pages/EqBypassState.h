// EqBypassState: the EQ-bypass state kept outside the image, shared by the Input, Output and Graphic EQ
// pages, and the image side of EQ RESET and EQ BYPASS.
#pragma once

#include "core/CoreState.h"

#include <cstdint>

namespace velmar {

// Owned by AppState for the whole run; UI thread only. The main window clears a channel's flag when the
// response graph reports an edited point of that channel's curves.
//
// The gains put aside are kept per channel: releasing the bypass of one input never restores values
// that came from another input, and showing or refreshing another channel in between changes nothing.
// The Input page and the Graphic EQ page use the same per-input copies.
struct EqBypassState {
    uint8_t inputEqBypassed[kInputCount]{};   // EQ BYPASS in force on input A..D
    uint8_t outputEqBypassed[kOutputCount]{}; // EQ BYPASS in force on output 1..8
    // Band gains put aside by a band's Bypass and by EQ BYPASS, restored when they are released.
    int16_t savedBandGains[kInputCount][kBandCount];
    int16_t savedOutputBandGains[kOutputCount][kBandCount];
    // An input's 32 graphic-equaliser words put aside by EQ BYPASS.
    int16_t savedGeqWords[kInputCount][kGeqWordCount];
    // Whether a band's saved gain was put aside (by its Bypass or by EQ BYPASS) from the image as it
    // stands: only such a gain is ever restored. Inputs 0..3, then outputs 0..7.
    uint8_t bandSaved[kInputCount + kOutputCount][kBandCount]{};

    // Everything flat (0 dB) and nothing bypassed, as at start.
    EqBypassState();

    // The gains a band's Bypass or an EQ BYPASS would restore for a channel (kind 1 or 4).
    int16_t* SavedGains(uint8_t kind, int channel);
    bool Bypassed(uint8_t kind, int channel) const;
    void ClearBypass(uint8_t kind, int channel);

    // The channel's parameters were replaced (a program load, the read at connection, an import, a
    // channel copy, a link join, values taken from the processor): nothing put aside before is restored
    // any more, and no bypass is in force. Forget covers one channel, ForgetAll every channel.
    void Forget(uint8_t kind, int channel);
    void ForgetAll();

    // A band's Bypass pressed (on) or released: on puts the gain aside and sets 0 dB; released restores
    // the gain put aside, if there is one from the image as it stands, and otherwise changes nothing.
    // False when nothing changed. The write, the links and the curve are the caller's.
    bool ToggleBandBypass(CoreState& s, uint8_t kind, int channel, int band, bool on);

    // EQ BYPASS on a channel: the first press puts the band gains (and an input's graphic-equaliser
    // words) aside and sets them to 0 dB, the second restores them (a band bypassed on its own before
    // keeps the gain its Bypass put aside, and is released too). Then the channel's block is queued and
    // copied to its linked channels. Frequency, Q, type and slope are never touched. Curves and controls
    // are the caller's.
    void ToggleEqBypass(CoreState& s, uint8_t kind, int channel);
    // EQ RESET: the ten bands to their start values (an input's graphic equaliser flat as well), the
    // bypass dropped (what it had put aside is never restored), the block queued and linked.
    void ResetEq(CoreState& s, uint8_t kind, int channel);
};

} // namespace velmar
