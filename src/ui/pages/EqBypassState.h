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

    // Everything flat (0 dB) and nothing bypassed, as at start.
    EqBypassState();

    // The gains a band's Bypass or an EQ BYPASS would restore for a channel (kind 1 or 4).
    int16_t* SavedGains(uint8_t kind, int channel);
    bool Bypassed(uint8_t kind, int channel) const;
    void ClearBypass(uint8_t kind, int channel);

    // A page refresh takes the shown channel's band gains as the values to restore, except while that
    // channel's EQ BYPASS is in force (they are then the bypassed 0 dB) and for bands whose Bypass is in
    // force (gain 0 dB), whose saved gain is what releasing the Bypass has to restore.
    void TakeGainsOnRefresh(const CoreState& s, uint8_t kind, int channel);

    // EQ BYPASS on a channel: the first press puts the band gains (and an input's graphic-equaliser
    // words) aside and sets them to 0 dB, the second restores them. Then the channel's block is queued and
    // copied to its linked channels. Frequency, Q, type and slope are never touched. Curves and controls
    // are the caller's.
    void ToggleEqBypass(CoreState& s, uint8_t kind, int channel);
    // EQ RESET: the ten bands to their start values (an input's graphic equaliser flat as well), the
    // bypass dropped (what it had put aside is never restored), the block queued and linked.
    void ResetEq(CoreState& s, uint8_t kind, int channel);
};

} // namespace velmar
