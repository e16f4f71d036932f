// The demonstration programs of the simulated processor, typed entry by entry.
#include "sim/SimDemoSetup.h"

#include "core/FieldTable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace velmar {

namespace {

// A graphic-equaliser curve: dB for each of the 31 bands (20 Hz .. 18 kHz), in half-dB steps so
// every value is one the pages can show.
using GeqCurve = std::array<double, kGeqBandCount>;

// A gentle house curve: a little low end, a dip in the low mids, a soft air lift.
constexpr GeqCurve kGentleCurve = {1.5,  1.5,  1.0,  1.0,  0.5, 0,   0,   0,   0,  0, -0.5,
                                   -1.0, -1.5, -1.0, -0.5, 0,   0,   0,   0,   0,  0, -0.5,
                                   -1.0, -0.5, 0,    0.5,  1.0, 1.5, 2.0, 2.0, 1.5};
// Speech: the rumble below the voice cut, its intelligibility range lifted.
constexpr GeqCurve kSpeechCurve = {-6.0, -6.0, -5.0, -4.0, -3.0, -2.0, -1.0, -0.5, 0,   0,   0,
                                   -0.5, -1.0, -1.0, -0.5, 0,    0,    0.5,  1.0,  1.5, 2.0, 2.5,
                                   2.5,  2.0,  1.5,  1.0,  0.5,  0,    -0.5, -1.0, -1.5};
// A live band: a fuller smile than the house curve.
constexpr GeqCurve kBandCurve = {3.0,  3.0,  2.5,  2.5,  2.0,  1.5, 1.0, 0.5, 0,  0, -0.5,
                                 -1.0, -1.5, -1.5, -1.0, -0.5, 0,   0,   0,   0,  0, -0.5,
                                 -0.5, 0,    0.5,  1.0,  1.5,  2.0, 2.5, 2.5, 2.0};
// Background music at low level: a loudness contour.
constexpr GeqCurve kLoudnessCurve = {4.0, 4.0, 3.5, 3.0, 2.5, 2.0, 1.5, 1.0, 0.5, 0, 0,
                                     0,   0,   0,   0,   0,   0,   0,   0,   0,   0, 0,
                                     0,   0,   0.5, 1.0, 1.5, 2.0, 2.5, 2.5, 2.0};

std::string Number(double v, const char* unit) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%s", v, unit);
    return text;
}

class Entries {
public:
    void set(const std::string& channel, const std::string& field, const std::string& text) {
        list_.push_back({channel, field, text});
    }
    // A parametric band: frequency first (on an input a shelf's type is judged against it), then type.
    void band(const std::string& channel, int band, int hz, double dB, const char* q,
              const char* type = "PEQ") {
        const std::string b = "peq" + std::to_string(band) + ".";
        set(channel, b + "freq", std::to_string(hz) + "Hz");
        set(channel, b + "type", type);
        set(channel, b + "gain", Number(dB, "dB"));
        set(channel, b + "q", q);
    }
    void geq(const std::string& channel, const GeqCurve& curve) {
        for (int b = 0; b < kGeqBandCount; ++b)
            set(channel, "geq" + std::to_string(b + 1), Number(curve[static_cast<size_t>(b)], "dB"));
    }
    // Both filters of a crossover; "OFF" leaves a side open. The high-pass goes in first while the
    // low-pass still sits at the top, so neither entry is ever refused for crossing the other.
    void crossover(const std::string& channel, const char* hp, const char* hpType, const char* lp,
                   const char* lpType) {
        set(channel, "lpf", "OFF");
        set(channel, "hpf", hp);
        set(channel, "xover-hp", hpType);
        set(channel, "lpf", lp);
        set(channel, "xover-lp", lpType);
    }
    // The compressor as a brick-wall limiter at `threshold` dBu.
    void limiter(const std::string& channel, int threshold) {
        set(channel, "comp.threshold", std::to_string(threshold) + "dBu");
        set(channel, "comp.attack", "5ms");
        set(channel, "comp.release", "Atkx8");
        set(channel, "comp.ratio", "Inf:1");
    }
    std::vector<SimDemoEntry> take() { return std::move(list_); }

private:
    std::vector<SimDemoEntry> list_;
};

// Program 1, which the others start from: inputs A/B a stereo pair, C and D two quieter sources;
// outputs 1/2 the high boxes, 3/4 the low boxes, 5/6 front fills, 7 a sub, 8 a delay line.
void TwoWayMain(Entries& e) {
    for (const char* in : {"inA", "inB"}) {
        e.set(in, "mute", "off");
        e.set(in, "gain", "0.0dB");
        e.band(in, 1, 80, 2.0, "0.7", "Lo_Shf");
        e.set(in, "peq1.slope", "12dB");
        e.band(in, 4, 250, -1.5, "1.0");
        e.band(in, 9, 10000, -1.0, "0.7", "Hi_Shf"); // the house curve lifts the air; this tames it
        e.geq(in, kGentleCurve);
    }
    for (const char* in : {"inC", "inD"}) {
        e.set(in, "mute", "off");
        e.set(in, "gain", "-6.0dB");
    }
    const std::array<const char*, 2> route = {"A", "B"};
    for (int side = 0; side < 2; ++side) {
        const std::string high = "out" + std::to_string(1 + side);
        e.set(high, "route", route[side]);
        e.crossover(high, "1200", "Lin-Ril 24dB", "OFF", "Lin-Ril 24dB");
        e.set(high, "gain", "-3.0dB");
        e.set(high, "delay", "2.016ms");    // the horn's acoustic centre sits behind the woofer's
        e.band(high, 8, 3150, -2.5, "2.0"); // a presence dip
        e.band(high, 10, 12000, 1.5, "0.7", "Hi_Shf");
        e.limiter(high, -13);

        const std::string low = "out" + std::to_string(3 + side);
        e.set(low, "route", route[side]);
        e.crossover(low, "40", "Lin-Ril 24dB", "1200", "Lin-Ril 24dB");
        e.set(low, "gain", "0.0dB");
        e.band(low, 2, 63, -4.0, "4.0");  // the room's first axial mode
        e.band(low, 3, 125, -2.5, "2.0"); // and its second
        e.limiter(low, -10);

        const std::string fill = "out" + std::to_string(5 + side);
        e.set(fill, "route", route[side]);
        e.crossover(fill, "100", "ButterW 12dB", "12000", "ButterW 12dB");
        e.set(fill, "gain", "-6.0dB");
        e.set(fill, "delay", "12ms");
        e.band(fill, 6, 800, -2.0, "1.4");
        e.limiter(fill, -16);
    }
    e.set("out7", "route", "AB");
    e.crossover("out7", "25", "ButterW 24dB", "90", "Lin-Ril 24dB");
    e.set("out7", "gain", "2.0dB");
    e.band("out7", 1, 45, -3.0, "2.0");
    e.limiter("out7", -6);

    e.set("out8", "route", "AB");
    e.crossover("out8", "120", "Lin-Ril 24dB", "14000", "ButterW 12dB");
    e.set("out8", "gain", "-8.0dB");
    e.set("out8", "delay", "25ms");
    e.limiter("out8", -16);
}

// Speech: the microphone on C reaches every box, the sub is off, the lows start higher.
void Speech(Entries& e) {
    for (const char* in : {"inA", "inB"}) e.geq(in, kSpeechCurve);
    e.set("inC", "gain", "0.0dB");
    e.geq("inC", kSpeechCurve);
    for (const char* out : {"out1", "out3", "out5"}) e.set(out, "route", "AC");
    for (const char* out : {"out2", "out4", "out6"}) e.set(out, "route", "BC");
    for (const char* out : {"out1", "out2"}) e.band(out, 8, 3150, 1.5, "1.4"); // presence lifted
    for (const char* out : {"out3", "out4"}) e.crossover(out, "90", "ButterW 18dB", "1200", "Lin-Ril 24dB");
    e.set("out7", "mute", "on");
    e.set("out8", "route", "ABC");
}

// A live band: more low end, the limiters higher, the second pair of inputs in the fills.
void BandLive(Entries& e) {
    for (const char* in : {"inA", "inB"}) e.geq(in, kBandCurve);
    e.set("inC", "gain", "0.0dB");
    e.set("inD", "gain", "0.0dB");
    for (const char* out : {"out3", "out4"}) {
        e.crossover(out, "35", "Lin-Ril 24dB", "1200", "Lin-Ril 24dB");
        e.band(out, 2, 63, -2.0, "4.0");
    }
    e.set("out5", "route", "AC");
    e.set("out6", "route", "BD");
    e.set("out7", "gain", "4.0dB");
    for (const char* out : {"out1", "out2"}) e.limiter(out, -6);
    for (const char* out : {"out3", "out4"}) e.limiter(out, -2);
    e.limiter("out7", 0);
}

// Background music: everything well down, no sub and no delay line, a loudness contour.
void Background(Entries& e) {
    for (const char* in : {"inA", "inB"}) {
        e.set(in, "gain", "-10.0dB");
        e.geq(in, kLoudnessCurve);
    }
    for (const char* out : {"out1", "out2", "out3", "out4"}) e.limiter(out, -16);
    for (const char* out : {"out5", "out6"}) e.set(out, "gain", "-12.0dB");
    e.set("out7", "mute", "on");
    e.set("out8", "mute", "on");
}

constexpr std::array<const char*, kSimDemoProgramCount> kNames = {"Two-way main", "Speech", "Band live",
                                                                  "Background"};

} // namespace

std::vector<SimDemoEntry> SimDemoEntries(int program) {
    if (program < 1 || program > kSimDemoProgramCount) return {};
    Entries e;
    TwoWayMain(e);
    switch (program) {
    case 2:
        Speech(e);
        break;
    case 3:
        BandLive(e);
        break;
    case 4:
        Background(e);
        break;
    default:
        break;
    }
    return e.take();
}

std::string SimDemoProgramName(int program) {
    if (program < 1 || program > kSimDemoProgramCount) return {};
    return kNames[static_cast<size_t>(program - 1)];
}

bool SimDemoImage(int program, DeviceImage& image, std::string& error) {
    const std::vector<SimDemoEntry> entries = SimDemoEntries(program);
    if (entries.empty()) {
        error = "no demo program " + std::to_string(program);
        return false;
    }
    alignas(int16_t) DeviceImage built{};
    for (auto& in : built.inputs) in = InputTemplate();
    for (auto& out : built.outputs) out = OutputTemplate();
    ClampImage(built);
    for (const SimDemoEntry& entry : entries) {
        const std::string where = entry.channel + " " + entry.field + " " + entry.text + ": ";
        const auto channel = FieldTable::ParseChannel(entry.channel);
        if (!channel) {
            error = where + "no such channel";
            return false;
        }
        std::string rule;
        const auto field = FieldTable::ParseField(entry.field, *channel, rule);
        const auto value = field ? FieldTable::ParseEntry(*channel, *field, entry.text, rule) : std::nullopt;
        bool changed = false;
        if (!value || !FieldTable::Apply(built, *channel, *field, *value, changed, rule)) {
            error = where + rule;
            return false;
        }
    }
    image = built;
    return true;
}

bool ApplySimDemoSetup(SimDeviceState& state, std::string& error) {
    std::array<DeviceImage, kSimDemoProgramCount> images{};
    for (int p = 1; p <= kSimDemoProgramCount; ++p)
        if (!SimDemoImage(p, images[static_cast<size_t>(p - 1)], error)) return false;
    for (int p = 1; p <= kSimDemoProgramCount; ++p) {
        state.programs[static_cast<size_t>(p - 1)] = images[static_cast<size_t>(p - 1)];
        // Centred in the 16 characters, as the processor's own names are.
        auto& name = state.names[static_cast<size_t>(p)];
        const std::string text = SimDemoProgramName(p);
        name.fill(' ');
        const size_t length = std::min<size_t>(text.size(), kSimNameSize);
        std::memcpy(name.data() + (kSimNameSize - length) / 2, text.data(), length);
    }
    state.image = images[0];
    state.currentProgram = 1;
    return true;
}

} // namespace velmar
