// Channel and field names, display texts and entry rules of velmarctl's get and set.
#include "core/FieldTable.h"

#include "core/ValueScales.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <initializer_list>

namespace velmar {

namespace {

constexpr int kShelfSplitHz = 2000; // low shelves end and high shelves start here on an input
constexpr int kMinHz = 20;
constexpr int kMaxHz = 20000;
constexpr int kReleaseSteps = 5; // the release steps stop at "Atkx32"; "Atkx48" only arrives from outside
constexpr int kRatioInfinite = 127;

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// Lower case without spaces: list texts match however they were spaced ("Bessel 12dB " = "bessel12db").
std::string Folded(std::string_view text) {
    std::string out;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Format(const char* format, int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// A plain decimal number ("-3.5", "+12", "0.404"), optionally followed by one of the unit suffixes
// (compared without case; "" allows none). No exponents, hex or "inf": a typed value is what a page's
// numeric entry could hold. `integer` refuses a fraction part.
bool ParseNumber(std::string_view text, std::initializer_list<std::string_view> suffixes, bool integer,
                 double& value, std::string* suffix = nullptr) {
    text = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t start = i;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        if (integer) return false;
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + i, v);
    if (ec != std::errc() || end != text.data() + i) return false;
    const std::string rest = Lower(Trim(text.substr(i)));
    if (std::find(suffixes.begin(), suffixes.end(), std::string_view(rest)) == suffixes.end()) return false;
    value = negative ? -v : v;
    if (suffix) *suffix = rest;
    return true;
}

// The number a display text starts with, as the text shows it ("9.996ms" -> 9.996).
std::optional<double> LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.' ||
                               (i == 0 && (text[i] == '-' || text[i] == '+'))))
        ++i;
    double v = 0;
    const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, text.data() + i, v);
    if (ec != std::errc() || end == first) return std::nullopt;
    return v;
}

struct Limits {
    int lo;
    int hi;
    const char* what; // "a low shelf"
};

// The frequency range of a band on an input depends on its own type; outputs take every frequency.
Limits BandLimits(uint8_t kind, int type) {
    if (kind == kKindInput && type == 1) return {kMinHz, kShelfSplitHz, "a low shelf"};
    if (kind == kKindInput && type == 2) return {kShelfSplitHz, kMaxHz, "a high shelf"};
    return {kMinHz, kMaxHz, "a band"};
}

std::string RangeRule(const Limits& l) {
    return "takes " + std::to_string(l.lo) + " to " + std::to_string(l.hi) + " Hz on " + l.what;
}

bool IsInputOnly(FieldId id) {
    return id == FieldId::Gate || id == FieldId::Geq;
}

bool IsOutputOnly(FieldId id) {
    switch (id) {
    case FieldId::Route:
    case FieldId::Hpf:
    case FieldId::Lpf:
    case FieldId::XoverHp:
    case FieldId::XoverLp:
    case FieldId::CompThreshold:
    case FieldId::CompAttack:
    case FieldId::CompRelease:
    case FieldId::CompRatio:
        return true;
    default:
        return false;
    }
}

struct NamedField {
    std::string_view name;
    FieldId id;
};

constexpr std::array<NamedField, 14> kPlainFields = {{
    {"gain", FieldId::Gain},
    {"delay", FieldId::Delay},
    {"mute", FieldId::Mute},
    {"polarity", FieldId::Polarity},
    {"gate", FieldId::Gate},
    {"route", FieldId::Route},
    {"hpf", FieldId::Hpf},
    {"lpf", FieldId::Lpf},
    {"xover-hp", FieldId::XoverHp},
    {"xover-lp", FieldId::XoverLp},
    {"comp.threshold", FieldId::CompThreshold},
    {"comp.attack", FieldId::CompAttack},
    {"comp.release", FieldId::CompRelease},
    {"comp.ratio", FieldId::CompRatio},
}};

constexpr std::array<NamedField, 5> kBandFields = {{
    {"freq", FieldId::PeqFreq},
    {"gain", FieldId::PeqGain},
    {"q", FieldId::PeqQ},
    {"type", FieldId::PeqType},
    {"slope", FieldId::PeqSlope},
}};

// "12" -> 12 when it is a plain number from lo to hi.
std::optional<int> SmallNumber(std::string_view text, int lo, int hi) {
    if (text.empty() || text.size() > 3 || text[0] == '0') return std::nullopt;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return std::nullopt;
    return v;
}

const PeqBand& BandOf(const DeviceImage& image, ChannelRef ch, int band) {
    return ch.kind == kKindInput ? image.inputs[ch.index].peq[band] : image.outputs[ch.index].peq[band];
}
PeqBand& BandOf(DeviceImage& image, ChannelRef ch, int band) {
    return ch.kind == kKindInput ? image.inputs[ch.index].peq[band] : image.outputs[ch.index].peq[band];
}

std::string CrossoverText(int type, int slope) {
    if (const auto combo = CrossoverComboIndex(type, slope))
        return std::string(Trim(CrossoverName(*combo, 0)));
    return "type " + std::to_string(type) + " slope " + std::to_string(slope);
}

std::string CrossoverRule() {
    std::string rule = "takes one of ";
    for (int c = 0; c < kCrossoverChoiceCount; ++c) {
        if (c) rule += c + 1 == kCrossoverChoiceCount ? " or " : ", ";
        rule += Trim(CrossoverName(c, 0));
    }
    return rule;
}

std::string RouteText(int mask) {
    std::string letters;
    for (int i = 0; i < kInputCount; ++i)
        if (mask & (1 << i)) letters += static_cast<char>('A' + i);
    return letters.empty() ? "none" : letters;
}

std::string FrequencyReading(int hz) {
    return Format("%d", hz) + "Hz";
}

FieldReading Numeric(std::string text, std::string unit) {
    FieldReading r;
    r.number = LeadingNumber(text);
    r.text = std::move(text);
    r.unit = std::move(unit);
    return r;
}

FieldReading Listed(std::string text) {
    FieldReading r;
    r.text = std::move(text);
    return r;
}

// Unit-1 fields that inputs and outputs share.
template <typename Block> FieldReading ReadCommon(const Block& b, FieldId id) {
    switch (id) {
    case FieldId::Gain:
        return Numeric(ChannelGainText(b.gain), "dB");
    case FieldId::Delay:
        return Numeric(std::string(Trim(DelayText(b.delay, DelayUnit::Milliseconds))), "ms");
    case FieldId::Mute:
        return Listed(b.soundOn == 0 ? "on" : "off");
    case FieldId::Polarity:
        return Listed(b.polarity == 1 ? "+" : "-");
    default:
        return {};
    }
}

template <typename Block> void ApplyCommon(Block& b, FieldId id, int raw, bool& changed) {
    switch (id) {
    case FieldId::Gain:
        changed = b.gain != raw;
        b.gain = static_cast<int16_t>(raw);
        break;
    case FieldId::Delay:
        changed = b.delay != raw;
        b.delay = static_cast<int16_t>(raw);
        break;
    case FieldId::Mute:
        changed = b.soundOn != raw;
        b.soundOn = static_cast<uint8_t>(raw);
        break;
    case FieldId::Polarity:
        changed = b.polarity != raw;
        b.polarity = static_cast<uint8_t>(raw);
        break;
    default:
        break;
    }
}

} // namespace

std::optional<ChannelRef> FieldTable::ParseChannel(std::string_view text) {
    const std::string t = Lower(text);
    if (t.size() == 3 && t.rfind("in", 0) == 0 && t[2] >= 'a' && t[2] <= 'd')
        return ChannelRef{kKindInput, t[2] - 'a'};
    if (t.size() == 4 && t.rfind("out", 0) == 0 && t[3] >= '1' && t[3] <= '8')
        return ChannelRef{kKindOutput, t[3] - '1'};
    return std::nullopt;
}

std::string FieldTable::ChannelName(ChannelRef channel) {
    if (channel.kind == kKindInput) return std::string("in") + static_cast<char>('A' + channel.index);
    return "out" + std::to_string(channel.index + 1);
}

std::optional<FieldRef> FieldTable::ParseField(std::string_view text, ChannelRef channel,
                                               std::string& error) {
    const std::string t = Lower(text);
    std::optional<FieldRef> field;
    for (const auto& f : kPlainFields)
        if (t == f.name) field = FieldRef{f.id, 0};
    if (!field && t.rfind("peq", 0) == 0) {
        const auto dot = t.find('.');
        const auto band =
            SmallNumber(std::string_view(t).substr(3, dot == std::string::npos ? 0 : dot - 3), 1, kBandCount);
        if (dot == std::string::npos || !band) {
            error = "unknown field '" + std::string(text) + "' (the bands are peq1 to peq10, e.g. peq3.freq)";
            return std::nullopt;
        }
        for (const auto& f : kBandFields)
            if (std::string_view(t).substr(dot + 1) == f.name) field = FieldRef{f.id, *band - 1};
        if (!field) {
            error = "unknown field '" + std::string(text) + "' (a band has freq, gain, q, type and slope)";
            return std::nullopt;
        }
    }
    if (!field && t.rfind("geq", 0) == 0) {
        const auto band = SmallNumber(std::string_view(t).substr(3), 1, kGeqBandCount);
        if (!band) {
            error =
                "unknown field '" + std::string(text) + "' (the graphic-equaliser bands are geq1 to geq31)";
            return std::nullopt;
        }
        field = FieldRef{FieldId::Geq, *band - 1};
    }
    if (!field) {
        error = "unknown field '" + std::string(text) + "'";
        return std::nullopt;
    }
    if (channel.kind == kKindOutput && IsInputOnly(field->id)) {
        error = ChannelName(channel) + " has no field '" + FieldName(*field) + "' (inputs only)";
        return std::nullopt;
    }
    if (channel.kind == kKindInput && IsOutputOnly(field->id)) {
        error = ChannelName(channel) + " has no field '" + FieldName(*field) + "' (outputs only)";
        return std::nullopt;
    }
    return field;
}

std::string FieldTable::FieldName(FieldRef field) {
    for (const auto& f : kPlainFields)
        if (f.id == field.id) return std::string(f.name);
    for (const auto& f : kBandFields)
        if (f.id == field.id) return "peq" + std::to_string(field.band + 1) + "." + std::string(f.name);
    return "geq" + std::to_string(field.band + 1);
}

std::vector<FieldRef> FieldTable::FieldsOf(uint8_t kind) {
    std::vector<FieldRef> fields;
    for (FieldId id : {FieldId::Gain, FieldId::Delay, FieldId::Mute, FieldId::Polarity})
        fields.push_back({id, 0});
    if (kind == kKindInput) {
        fields.push_back({FieldId::Gate, 0});
    } else {
        for (FieldId id : {FieldId::Route, FieldId::Hpf, FieldId::Lpf, FieldId::XoverHp, FieldId::XoverLp})
            fields.push_back({id, 0});
    }
    for (int b = 0; b < kBandCount; ++b)
        for (const auto& f : kBandFields) fields.push_back({f.id, b});
    if (kind == kKindInput) {
        for (int b = 0; b < kGeqBandCount; ++b) fields.push_back({FieldId::Geq, b});
    } else {
        for (FieldId id :
             {FieldId::CompThreshold, FieldId::CompAttack, FieldId::CompRelease, FieldId::CompRatio})
            fields.push_back({id, 0});
    }
    return fields;
}

uint8_t FieldTable::ParamIndex(ChannelRef channel, FieldRef field) {
    switch (field.id) {
    case FieldId::PeqFreq:
    case FieldId::PeqGain:
    case FieldId::PeqQ:
    case FieldId::PeqType:
    case FieldId::PeqSlope:
        return static_cast<uint8_t>(field.band + (channel.kind == kKindInput ? 2 : 4));
    case FieldId::Geq:
        return static_cast<uint8_t>(12 + field.band);
    case FieldId::CompThreshold:
    case FieldId::CompAttack:
    case FieldId::CompRelease:
    case FieldId::CompRatio:
        return 2;
    case FieldId::Hpf:
    case FieldId::Lpf:
    case FieldId::XoverHp:
    case FieldId::XoverLp:
        return 3;
    default:
        return 1; // mute, polarity, gain, delay, gate, route
    }
}

FieldReading FieldTable::Read(const DeviceImage& image, ChannelRef ch, FieldRef field) {
    switch (field.id) {
    case FieldId::Gain:
    case FieldId::Delay:
    case FieldId::Mute:
    case FieldId::Polarity:
        return ch.kind == kKindInput ? ReadCommon(image.inputs[ch.index], field.id)
                                     : ReadCommon(image.outputs[ch.index], field.id);
    case FieldId::PeqFreq:
        return Numeric(FrequencyReading(BandOf(image, ch, field.band).freq), "Hz");
    case FieldId::PeqGain:
        return Numeric(BandGainText(BandOf(image, ch, field.band).gain) + "dB", "dB");
    case FieldId::PeqQ:
        return Numeric(QText(BandOf(image, ch, field.band).q), "");
    case FieldId::PeqType: {
        const int type = BandOf(image, ch, field.band).type;
        const char* name = BandTypeName(type, 0);
        return Listed(*name ? name : "type " + std::to_string(type));
    }
    case FieldId::PeqSlope: {
        const int slope = BandOf(image, ch, field.band).shelfSlope;
        return Listed(slope == 0 ? "6dB" : slope == 1 ? "12dB" : "slope " + std::to_string(slope));
    }
    default:
        break;
    }
    if (ch.kind == kKindInput) {
        const InputBlock& in = image.inputs[ch.index];
        if (field.id == FieldId::Gate) return Numeric(GateThresholdText(in.gateThreshold), "dB");
        if (field.id == FieldId::Geq) return Numeric(BandGainText(in.geq[field.band]) + "dB", "dB");
        return {};
    }
    const OutputBlock& out = image.outputs[ch.index];
    switch (field.id) {
    case FieldId::Route:
        return Listed(RouteText(out.routeMask));
    case FieldId::Hpf: {
        FieldReading r = Numeric(out.hpfFreq == kMinHz ? "OFF" : FrequencyReading(out.hpfFreq), "Hz");
        r.number = out.hpfFreq;
        return r;
    }
    case FieldId::Lpf: {
        FieldReading r = Numeric(out.lpfFreq == kMaxHz ? "OFF" : FrequencyReading(out.lpfFreq), "Hz");
        r.number = out.lpfFreq;
        return r;
    }
    case FieldId::XoverHp:
        return Listed(CrossoverText(out.hpfType, out.hpfSlope));
    case FieldId::XoverLp:
        return Listed(CrossoverText(out.lpfType, out.lpfSlope));
    case FieldId::CompThreshold:
        return Numeric(CompThresholdText(out.compThreshold), "dBu");
    case FieldId::CompAttack:
        return Numeric(CompAttackText(out.compAttack), "ms");
    case FieldId::CompRelease: {
        const char* name = CompReleaseText(out.compRelease, 0);
        return Listed(*name ? name : "release " + std::to_string(out.compRelease));
    }
    case FieldId::CompRatio: {
        FieldReading r = Listed(CompRatioText(out.compRatio));
        if (out.compRatio != kRatioInfinite) r.number = out.compRatio + 1;
        return r;
    }
    default:
        return {};
    }
}

std::optional<FieldEntry> FieldTable::ParseEntry(ChannelRef ch, FieldRef field, std::string_view text,
                                                 std::string& rule) {
    const std::string folded = Folded(text);
    double v = 0;
    std::string suffix;
    auto refuse = [&rule](std::string why) -> std::optional<FieldEntry> {
        rule = std::move(why);
        return std::nullopt;
    };
    auto accept = [](std::optional<int> raw, int raw2 = 0) -> std::optional<FieldEntry> {
        if (!raw) return std::nullopt;
        return FieldEntry{*raw, raw2};
    };
    std::optional<FieldEntry> entry;
    switch (field.id) {
    case FieldId::Gain:
        if (ParseNumber(text, {"", "db"}, false, v)) entry = accept(ChannelGainEntry(v));
        return entry ? entry : refuse("takes -36 to 12 dB");
    case FieldId::Delay:
        if (ParseNumber(text, {"", "ms", "m", "ft"}, false, v, &suffix)) {
            const DelayUnit unit = suffix == "m"    ? DelayUnit::Metres
                                   : suffix == "ft" ? DelayUnit::Feet
                                                    : DelayUnit::Milliseconds;
            entry = accept(DelayEntry(v, unit));
        }
        return entry ? entry : refuse("takes 0 to 1000 ms (or 0 to 340 m, 0 to 1094.1 ft)");
    case FieldId::Mute:
        if (folded == "on") return FieldEntry{0};
        if (folded == "off") return FieldEntry{1};
        return refuse("takes on or off");
    case FieldId::Polarity:
        if (folded == "+") return FieldEntry{1};
        if (folded == "-") return FieldEntry{0};
        return refuse("takes + or -");
    case FieldId::Gate:
        if (ParseNumber(text, {"", "db"}, true, v) && v >= -kGateRawMax && v <= 0)
            return FieldEntry{static_cast<int>(v) + kGateRawMax};
        return refuse("takes -120 to 0 dB in whole dB");
    case FieldId::Route: {
        if (folded == "none") return FieldEntry{0};
        int mask = 0;
        for (char c : folded) {
            if (c < 'a' || c > 'd') return refuse("takes input letters A to D (e.g. AB) or none");
            mask |= 1 << (c - 'a');
        }
        if (mask == 0) return refuse("takes input letters A to D (e.g. AB) or none");
        return FieldEntry{mask};
    }
    case FieldId::Hpf:
    case FieldId::Lpf:
        if (folded == "off") return FieldEntry{field.id == FieldId::Hpf ? kMinHz : kMaxHz};
        if (ParseNumber(text, {"", "hz"}, true, v)) entry = accept(FrequencyEntry(v, kMinHz, kMaxHz));
        return entry ? entry : refuse("takes OFF or 20 to 20000 Hz");
    case FieldId::XoverHp:
    case FieldId::XoverLp:
        for (int c = 0; c < kCrossoverChoiceCount; ++c)
            if (folded == Folded(CrossoverName(c, 0))) {
                const auto choice = CrossoverFromCombo(c);
                return FieldEntry{choice->type, choice->slope};
            }
        return refuse(CrossoverRule());
    case FieldId::PeqFreq:
        if (ParseNumber(text, {"", "hz"}, true, v)) entry = accept(FrequencyEntry(v, kMinHz, kMaxHz));
        return entry ? entry : refuse("takes 20 to 20000 Hz");
    case FieldId::PeqGain:
    case FieldId::Geq:
        if (ParseNumber(text, {"", "db"}, false, v)) entry = accept(BandGainEntry(v));
        return entry ? entry : refuse("takes -20 to 20 dB");
    case FieldId::PeqQ:
        if (ParseNumber(text, {""}, false, v)) entry = accept(QIndexFromValue(v));
        return entry ? entry : refuse("takes a Q from 0.404 to 28.852");
    case FieldId::PeqType:
        for (int t = 0; t < kBandTypeCount; ++t)
            if (folded == Folded(BandTypeName(t, 0))) return FieldEntry{t};
        return refuse("takes PEQ, Lo_Shf or Hi_Shf");
    case FieldId::PeqSlope:
        if (folded == "6db" || folded == "6") return FieldEntry{0};
        if (folded == "12db" || folded == "12") return FieldEntry{1};
        return refuse("takes 6dB or 12dB");
    case FieldId::CompThreshold:
        if (ParseNumber(text, {"", "dbu"}, true, v)) entry = accept(CompThresholdEntry(v));
        return entry ? entry : refuse("takes -28 to 20 dBu in whole dBu");
    case FieldId::CompAttack:
        if (ParseNumber(text, {"", "ms"}, false, v)) entry = accept(CompAttackEntry(v));
        return entry ? entry : refuse("takes 3 to 100 ms");
    case FieldId::CompRelease:
        for (int r = 0; r <= kReleaseSteps; ++r)
            if (folded == Folded(CompReleaseText(r, 0))) return FieldEntry{r};
        return refuse("takes Atkx2, Atkx4, Atkx6, Atkx8, Atkx16 or Atkx32");
    case FieldId::CompRatio: {
        if (folded == "inf" || folded == "inf:1") return FieldEntry{kRatioInfinite};
        std::string_view n = folded;
        if (n.size() > 2 && n.substr(n.size() - 2) == ":1") n.remove_suffix(2);
        if (ParseNumber(n, {""}, true, v) && v >= 1 && v <= kRatioInfinite)
            return FieldEntry{static_cast<int>(v) - 1};
        return refuse("takes 1:1 to 127:1 or Inf:1");
    }
    }
    (void)ch;
    return refuse("cannot be set");
}

// The rules that depend on other values judge a change only: a value equal to the stored one (which may
// have come from outside those rules, from a program file or another application) is no change and is
// accepted, so whatever get shows can be typed back.
bool FieldTable::Apply(DeviceImage& image, ChannelRef ch, FieldRef field, const FieldEntry& e, bool& changed,
                       std::string& rule) {
    changed = false;
    const int raw = e.raw;
    switch (field.id) {
    case FieldId::Gain:
    case FieldId::Delay:
    case FieldId::Mute:
    case FieldId::Polarity:
        if (ch.kind == kKindInput)
            ApplyCommon(image.inputs[ch.index], field.id, raw, changed);
        else
            ApplyCommon(image.outputs[ch.index], field.id, raw, changed);
        return true;
    case FieldId::PeqFreq: {
        PeqBand& b = BandOf(image, ch, field.band);
        const Limits l = BandLimits(ch.kind, b.type);
        if (b.freq != raw && (raw < l.lo || raw > l.hi)) {
            rule = RangeRule(l);
            return false;
        }
        changed = b.freq != raw;
        b.freq = static_cast<int16_t>(raw);
        return true;
    }
    case FieldId::PeqGain: {
        PeqBand& b = BandOf(image, ch, field.band);
        changed = b.gain != raw;
        b.gain = static_cast<int16_t>(raw);
        return true;
    }
    case FieldId::PeqQ: {
        PeqBand& b = BandOf(image, ch, field.band);
        changed = b.q != raw;
        b.q = static_cast<int16_t>(raw);
        return true;
    }
    case FieldId::PeqType: {
        // On an input a band keeps within its type's frequency limits, so a type whose limits exclude
        // the band's frequency is refused rather than leaving a shelf where the page could not put it.
        PeqBand& b = BandOf(image, ch, field.band);
        const Limits l = BandLimits(ch.kind, raw);
        if (b.type != raw && (b.freq < l.lo || b.freq > l.hi)) {
            rule = std::string("takes ") + BandTypeName(raw, 0) + " only on a band from " +
                   std::to_string(l.lo) + " to " + std::to_string(l.hi) + " Hz; the band is at " +
                   std::to_string(b.freq) + " Hz";
            return false;
        }
        changed = b.type != raw;
        b.type = static_cast<uint8_t>(raw);
        return true;
    }
    case FieldId::PeqSlope: {
        PeqBand& b = BandOf(image, ch, field.band);
        changed = b.shelfSlope != raw;
        b.shelfSlope = static_cast<uint8_t>(raw);
        return true;
    }
    default:
        break;
    }
    if (ch.kind == kKindInput) {
        InputBlock& in = image.inputs[ch.index];
        if (field.id == FieldId::Gate) {
            changed = in.gateThreshold != raw;
            in.gateThreshold = static_cast<uint8_t>(raw);
        } else if (field.id == FieldId::Geq) {
            changed = in.geq[field.band] != raw;
            in.geq[field.band] = static_cast<int16_t>(raw);
        }
        return true;
    }
    OutputBlock& out = image.outputs[ch.index];
    switch (field.id) {
    case FieldId::Route:
        changed = out.routeMask != raw;
        out.routeMask = static_cast<uint8_t>(raw);
        break;
    case FieldId::Hpf:
        if (out.hpfFreq != raw && raw > out.lpfFreq) {
            rule = "takes OFF or 20 to " + std::to_string(out.lpfFreq) + " Hz (never above the low-pass)";
            return false;
        }
        changed = out.hpfFreq != raw;
        out.hpfFreq = static_cast<int16_t>(raw);
        break;
    case FieldId::Lpf:
        if (out.lpfFreq != raw && raw < out.hpfFreq) {
            rule = "takes OFF or " + std::to_string(out.hpfFreq) + " to 20000 Hz (never below the high-pass)";
            return false;
        }
        changed = out.lpfFreq != raw;
        out.lpfFreq = static_cast<int16_t>(raw);
        break;
    case FieldId::XoverHp:
        changed = out.hpfType != raw || out.hpfSlope != e.raw2;
        out.hpfType = static_cast<uint8_t>(raw);
        out.hpfSlope = static_cast<uint8_t>(e.raw2);
        break;
    case FieldId::XoverLp:
        changed = out.lpfType != raw || out.lpfSlope != e.raw2;
        out.lpfType = static_cast<uint8_t>(raw);
        out.lpfSlope = static_cast<uint8_t>(e.raw2);
        break;
    case FieldId::CompThreshold:
        changed = out.compThreshold != raw;
        out.compThreshold = static_cast<int16_t>(raw);
        break;
    case FieldId::CompAttack:
        changed = out.compAttack != raw;
        out.compAttack = static_cast<uint8_t>(raw);
        break;
    case FieldId::CompRelease:
        changed = out.compRelease != raw;
        out.compRelease = static_cast<uint8_t>(raw);
        break;
    case FieldId::CompRatio:
        changed = out.compRatio != raw;
        out.compRatio = static_cast<uint8_t>(raw);
        break;
    default:
        break;
    }
    return true;
}

} // namespace velmar
