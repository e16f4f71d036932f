// The channels and fields of the image by name, as velmarctl, the compare of two images and the window
// name them: their display texts and the entry rules of the editing pages (each field's scale, a shelf
// band's frequency limits on an input, a high-pass never above the low-pass).
#pragma once

#include "core/DeviceImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar {

// A channel of the image: an input (kind 1, index 0..3 = A..D) or an output (kind 4, index 0..7).
struct ChannelRef {
    uint8_t kind = kKindInput;
    int index = 0;
    bool operator==(const ChannelRef&) const = default;
};

enum class FieldId : uint8_t {
    Gain,
    Delay,
    Mute,
    Polarity,
    Gate,  // inputs
    Route, // outputs
    Hpf,   // outputs, from here to CompRatio unless said otherwise
    Lpf,
    XoverHp,
    XoverLp,
    PeqFreq, // both kinds
    PeqGain,
    PeqQ,
    PeqType,
    PeqSlope,
    Geq, // inputs
    CompThreshold,
    CompAttack,
    CompRelease,
    CompRatio,
};

struct FieldRef {
    FieldId id = FieldId::Gain;
    int band = 0; // parametric band 0..9, or graphic-equaliser band 0..30
    bool operator==(const FieldRef&) const = default;
};

// A field as shown: the display text and, for numeric fields, the number in the field's unit as the
// text shows it.
struct FieldReading {
    std::string text;             // "-3.5dB", "9.996ms", "OFF", "Lin-Ril 24dB", "on"
    std::optional<double> number; // -3.5, 9.996, 20 (an "OFF" high-pass), none for list fields
    std::string unit;             // "dB", "ms", "Hz", "dBu", "" for unitless and list fields
};

// The raw value an accepted entry stands for; a crossover alignment carries a family and a slope.
struct FieldEntry {
    int raw = 0;
    int raw2 = 0;
};

// Pure functions of their arguments; any thread.
class FieldTable {
public:
    // "inA".."inD", "out1".."out8" (letters in any case).
    static std::optional<ChannelRef> ParseChannel(std::string_view text);
    static std::string ChannelName(ChannelRef channel);

    // "gain", "peq3.freq", "geq31", ... Empty, with the reason in `error`, for an unknown field or one the
    // channel's kind does not have.
    static std::optional<FieldRef> ParseField(std::string_view text, ChannelRef channel, std::string& error);
    static std::string FieldName(FieldRef field);
    // Every field of a kind of channel, in the order of the help text.
    static std::vector<FieldRef> FieldsOf(uint8_t kind);

    // The parameter index of the unit that carries the field (kind 1: 1..43, kind 4: 1..13).
    static uint8_t ParamIndex(ChannelRef channel, FieldRef field);

    // The field's value in the image, shown as the pages show it (padding spaces trimmed, units added
    // where the page puts them beside the number). Raw values outside a list read as e.g. "type 7".
    static FieldReading Read(const DeviceImage& image, ChannelRef channel, FieldRef field);

    // First half of an entry: the typed text against the field's own scale, independent of the image.
    // The text `Read` gives for a value inside the scale is accepted and stands for that raw value. Empty
    // when the text is refused; `rule` then says what the field takes ("takes -36 to 12 dB").
    static std::optional<FieldEntry> ParseEntry(ChannelRef channel, FieldRef field, std::string_view text,
                                                std::string& rule);
    // Second half: the rules that depend on the channel's other values (the band type's frequency limits
    // on an input, the crossover order), then the raw value is written into the image. A value equal to
    // the stored one is no change and always accepted. False, with the rule in `rule` and the image
    // untouched, when refused. `changed` says whether the stored value differed.
    static bool Apply(DeviceImage& image, ChannelRef channel, FieldRef field, const FieldEntry& entry,
                      bool& changed, std::string& rule);
};

} // namespace velmar
