// velmarctl's field table: names, display texts, the entry rules of the pages, and that every value get
// prints is taken back by set as the same raw value.
#include "core/FieldTable.h"
#include "core/Image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace velmar {
namespace {

const ChannelRef kInA{kKindInput, 0};
const ChannelRef kOut1{kKindOutput, 0};

std::unique_ptr<DeviceImage> TemplateImage() {
    auto image = std::make_unique<DeviceImage>();
    for (auto& in : image->inputs) in = InputTemplate();
    for (auto& out : image->outputs) out = OutputTemplate();
    return image;
}

FieldRef Field(ChannelRef ch, const char* name) {
    std::string error;
    const auto f = FieldTable::ParseField(name, ch, error);
    EXPECT_TRUE(f) << name << ": " << error;
    return f.value_or(FieldRef{});
}

// Parses and applies text; empty when refused at either stage.
std::optional<std::string> Set(DeviceImage& image, ChannelRef ch, const char* field, const std::string& text,
                               bool* changed = nullptr) {
    const FieldRef f = Field(ch, field);
    std::string rule;
    const auto entry = FieldTable::ParseEntry(ch, f, text, rule);
    if (!entry) return std::nullopt;
    bool c = false;
    if (!FieldTable::Apply(image, ch, f, *entry, c, rule)) return std::nullopt;
    if (changed) *changed = c;
    return FieldTable::Read(image, ch, f).text;
}

TEST(FieldTable, channelNamesAreInAToDAndOut1ToOut8InAnyCase) {
    EXPECT_EQ(FieldTable::ParseChannel("inA"), (ChannelRef{kKindInput, 0}));
    EXPECT_EQ(FieldTable::ParseChannel("IND"), (ChannelRef{kKindInput, 3}));
    EXPECT_EQ(FieldTable::ParseChannel("out8"), (ChannelRef{kKindOutput, 7}));
    for (const char* bad : {"inE", "in", "out0", "out9", "out10", "A", ""})
        EXPECT_FALSE(FieldTable::ParseChannel(bad)) << bad;
    EXPECT_EQ(FieldTable::ChannelName({kKindInput, 2}), "inC");
    EXPECT_EQ(FieldTable::ChannelName({kKindOutput, 4}), "out5");
}

TEST(FieldTable, fieldsBelongToTheirKindOfChannelAndCarryTheirParameterIndex) {
    struct Row {
        ChannelRef ch;
        const char* field;
        int index; // 0: refused
    };
    const Row rows[] = {
        {kInA, "gain", 1},
        {kInA, "gate", 1},
        {kInA, "peq1.freq", 2},
        {kInA, "peq10.slope", 11},
        {kInA, "geq1", 12},
        {kInA, "geq31", 42},
        {kInA, "hpf", 0},
        {kInA, "route", 0},
        {kInA, "comp.ratio", 0},
        {kInA, "peq11.freq", 0},
        {kInA, "geq32", 0},
        {kInA, "peq0.gain", 0},
        {kInA, "peq1.width", 0},
        {kInA, "peq01.freq", 0},
        {kOut1, "mute", 1},
        {kOut1, "route", 1},
        {kOut1, "comp.threshold", 2},
        {kOut1, "comp.release", 2},
        {kOut1, "hpf", 3},
        {kOut1, "xover-lp", 3},
        {kOut1, "peq1.q", 4},
        {kOut1, "PEQ10.TYPE", 13},
        {kOut1, "gate", 0},
        {kOut1, "geq1", 0},
        {kOut1, "volume", 0},
    };
    for (const Row& r : rows) {
        std::string error;
        const auto f = FieldTable::ParseField(r.field, r.ch, error);
        if (r.index == 0) {
            EXPECT_FALSE(f) << r.field;
            EXPECT_FALSE(error.empty()) << r.field;
        } else {
            ASSERT_TRUE(f) << r.field << ": " << error;
            EXPECT_EQ(FieldTable::ParamIndex(r.ch, *f), r.index) << r.field;
        }
    }
}

TEST(FieldTable, everyFieldOfAChannelHasANameThatParsesBack) {
    for (ChannelRef ch : {kInA, kOut1}) {
        const auto fields = FieldTable::FieldsOf(ch.kind);
        EXPECT_EQ(fields.size(), ch.kind == kKindInput ? 5u + 50u + 31u : 9u + 50u + 4u);
        for (const FieldRef& f : fields) {
            std::string error;
            EXPECT_EQ(FieldTable::ParseField(FieldTable::FieldName(f), ch, error), f)
                << FieldTable::FieldName(f);
        }
    }
}

TEST(FieldTable, readShowsTheValuesAsThePagesDo) {
    auto image = TemplateImage();
    struct Row {
        ChannelRef ch;
        const char* field;
        const char* text;
    };
    const Row rows[] = {
        {kInA, "gain", "0.0dB"},
        {kInA, "delay", "0.000ms"},
        {kInA, "mute", "on"}, // the template mutes inputs
        {kInA, "polarity", "+"},
        {kInA, "gate", "-80dB"},
        {kInA, "peq1.freq", "30Hz"},
        {kInA, "peq1.q", "28.852"},
        {kInA, "peq1.type", "PEQ"},
        {kInA, "peq1.slope", "6dB"},
        {kInA, "geq5", "0.0dB"},
        {kOut1, "mute", "off"},
        {kOut1, "route", "ABCD"},
        {kOut1, "hpf", "OFF"},
        {kOut1, "lpf", "OFF"},
        {kOut1, "xover-hp", "Lin-Ril 12dB"},
        {kOut1, "comp.threshold", "20dBu"},
        {kOut1, "comp.attack", "3ms"},
        {kOut1, "comp.release", "Atkx2"},
        {kOut1, "comp.ratio", "1:1"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FieldTable::Read(*image, r.ch, Field(r.ch, r.field)).text, r.text) << r.field;

    image->outputs[0].hpfType = 1;
    image->outputs[0].hpfSlope = 3; // no Butterworth 30 dB alignment: from outside only
    image->outputs[0].compRatio = 127;
    image->inputs[0].peq[0].type = 9;
    EXPECT_EQ(FieldTable::Read(*image, kOut1, Field(kOut1, "xover-hp")).text, "type 1 slope 3");
    EXPECT_EQ(FieldTable::Read(*image, kOut1, Field(kOut1, "comp.ratio")).text, "Inf:1");
    EXPECT_FALSE(FieldTable::Read(*image, kOut1, Field(kOut1, "comp.ratio")).number);
    EXPECT_EQ(FieldTable::Read(*image, kInA, Field(kInA, "peq1.type")).text, "type 9");
    const FieldReading hpf = FieldTable::Read(*image, kOut1, Field(kOut1, "hpf"));
    EXPECT_EQ(hpf.number, 20.0);
    EXPECT_EQ(hpf.unit, "Hz");
}

TEST(FieldTable, typedValuesFollowTheScalesEntryRules) {
    struct Row {
        ChannelRef ch;
        const char* field;
        const char* typed;
        const char* shown; // nullptr: refused
    };
    const Row rows[] = {
        {kInA, "gain", "-3.5", "-3.5dB"},
        {kInA, "gain", "12", "12.0dB"},
        {kInA, "gain", "12.05", nullptr},
        {kInA, "gain", "-36.1", nullptr},
        {kInA, "gain", "0.3dB", "0.3dB"},
        {kInA, "gain", " -3.5 dB ", "-3.5dB"},
        {kInA, "gain", "1e1", nullptr},
        {kInA, "gain", "0x10", nullptr},
        {kInA, "gain", "nan", nullptr},
        {kInA, "gain", "", nullptr},
        {kInA, "gain", "3.5ms", nullptr},
        {kInA, "delay", "10", "9.996ms"},
        {kInA, "delay", "10.5", "11ms"},
        {kInA, "delay", "1000ms", "1000ms"},
        {kInA, "delay", "1000.1", nullptr},
        {kInA, "delay", "3.4m", "9.996ms"},
        {kInA, "delay", "340.01m", nullptr},
        {kInA, "delay", "1094.1ft", "1000ms"},
        {kInA, "mute", "OFF", "off"},
        {kInA, "mute", "yes", nullptr},
        {kInA, "polarity", "-", "-"},
        {kInA, "polarity", "inverted", nullptr},
        {kInA, "gate", "-120", "-120dB"},
        {kInA, "gate", "0dB", "0dB"},
        {kInA, "gate", "-80.5", nullptr},
        {kInA, "gate", "1", nullptr},
        {kInA, "peq2.q", "10", "10.301"},
        {kInA, "peq2.q", "1.41", "1.414"},
        {kInA, "peq2.q", "28.852", "28.852"},
        {kInA, "peq2.q", "0.403", nullptr},
        {kInA, "peq2.gain", "-20", "-20.0dB"},
        {kInA, "peq2.gain", "20.1", nullptr},
        {kInA, "peq2.freq", "19", nullptr},
        {kInA, "peq2.freq", "1000.5", nullptr},
        {kInA, "peq2.slope", "12dB", "12dB"},
        {kInA, "peq2.slope", "24dB", nullptr},
        {kInA, "peq2.type", "lo_shf", "Lo_Shf"},
        {kInA, "peq2.type", "Notch", nullptr},
        {kInA, "geq31", "+20", "20.0dB"},
        {kOut1, "route", "ac", "AC"},
        {kOut1, "route", "none", "none"},
        {kOut1, "route", "AE", nullptr},
        {kOut1, "route", "", nullptr},
        {kOut1, "lpf", "5000Hz", "5000Hz"},
        {kOut1, "hpf", "off", "OFF"},
        {kOut1, "hpf", "20", "OFF"},
        {kOut1, "hpf", "20001", nullptr},
        {kOut1, "xover-hp", "ButterW 18dB", "ButterW 18dB"},
        {kOut1, "xover-lp", "bessel24db", "Bessel 24dB"},
        {kOut1, "xover-lp", "ButterW 36dB", nullptr},
        {kOut1, "comp.threshold", "-28", "-28dBu"},
        {kOut1, "comp.threshold", "20.5", nullptr},
        {kOut1, "comp.attack", "50.9", "50ms"},
        {kOut1, "comp.attack", "2.9", nullptr},
        {kOut1, "comp.release", "atkx32", "Atkx32"},
        {kOut1, "comp.release", "Atkx48", nullptr},
        {kOut1, "comp.ratio", "Inf", "Inf:1"},
        {kOut1, "comp.ratio", "127:1", "127:1"},
        {kOut1, "comp.ratio", "4", "4:1"},
        {kOut1, "comp.ratio", "128:1", nullptr},
        {kOut1, "comp.ratio", "0:1", nullptr},
        {kOut1, "peq10.freq", "20000", "20000Hz"},
    };
    for (const Row& r : rows) {
        auto image = TemplateImage();
        const auto shown = Set(*image, r.ch, r.field, r.typed);
        if (r.shown)
            EXPECT_EQ(shown.value_or("(refused)"), r.shown) << r.field << " " << r.typed;
        else
            EXPECT_FALSE(shown) << r.field << " '" << r.typed << "' was taken as " << *shown;
    }
}

TEST(FieldTable, aShelfOnAnInputKeepsWithinItsFrequencyLimitsWhileOutputsTakeEveryFrequency) {
    auto image = TemplateImage();
    image->inputs[0].peq[2].type = 1; // low shelf
    image->inputs[0].peq[3].type = 2; // high shelf
    EXPECT_FALSE(Set(*image, kInA, "peq3.freq", "2500"));
    EXPECT_EQ(Set(*image, kInA, "peq3.freq", "2000"), "2000Hz");
    EXPECT_FALSE(Set(*image, kInA, "peq4.freq", "1000"));
    EXPECT_EQ(Set(*image, kInA, "peq4.freq", "2000"), "2000Hz");
    EXPECT_EQ(Set(*image, kInA, "peq4.freq", "20000"), "20000Hz");

    // A type whose limits exclude the band's frequency is refused on an input: band 10 sits at 15 kHz.
    EXPECT_FALSE(Set(*image, kInA, "peq10.type", "Lo_Shf"));
    EXPECT_EQ(image->inputs[0].peq[9].type, 0);
    EXPECT_EQ(Set(*image, kInA, "peq10.type", "Hi_Shf"), "Hi_Shf");

    image->outputs[0].peq[0].type = 1;
    EXPECT_EQ(Set(*image, kOut1, "peq1.freq", "15000"), "15000Hz");
    EXPECT_EQ(Set(*image, kOut1, "peq10.type", "Lo_Shf"), "Lo_Shf");
}

TEST(FieldTable, theHighPassIsNeverAboveTheLowPass) {
    auto image = TemplateImage();
    ASSERT_EQ(Set(*image, kOut1, "lpf", "500"), "500Hz");
    EXPECT_FALSE(Set(*image, kOut1, "hpf", "1000"));
    EXPECT_EQ(image->outputs[0].hpfFreq, 20);
    EXPECT_EQ(Set(*image, kOut1, "hpf", "500"), "500Hz"); // equal is allowed
    EXPECT_FALSE(Set(*image, kOut1, "lpf", "499"));
    EXPECT_EQ(Set(*image, kOut1, "lpf", "OFF"), "OFF");
    EXPECT_FALSE(Set(*image, kOut1, "hpf", "20001"));
    EXPECT_EQ(Set(*image, kOut1, "hpf", "20000"), "20000Hz");
    EXPECT_FALSE(Set(*image, kOut1, "lpf", "19999")); // OFF at 20 kHz stays, the low-pass cannot go below
}

TEST(FieldTable, aRefusalLeavesTheImageAsItWasAndSaysWhatTheFieldTakes) {
    auto image = TemplateImage();
    const auto before = *image;
    std::string rule;
    EXPECT_FALSE(FieldTable::ParseEntry(kInA, Field(kInA, "gain"), "13", rule));
    EXPECT_EQ(rule, "takes -36 to 12 dB");
    image->outputs[0].lpfFreq = 800;
    const FieldRef hpf = Field(kOut1, "hpf");
    const auto entry = FieldTable::ParseEntry(kOut1, hpf, "900", rule);
    ASSERT_TRUE(entry);
    bool changed = true;
    EXPECT_FALSE(FieldTable::Apply(*image, kOut1, hpf, *entry, changed, rule));
    EXPECT_EQ(rule, "takes OFF or 20 to 800 Hz (never above the low-pass)");
    EXPECT_FALSE(changed);
    image->outputs[0].lpfFreq = 20000;
    EXPECT_EQ(std::memcmp(image.get(), &before, sizeof before), 0);
}

TEST(FieldTable, aValueEqualToTheStoredOneIsNoChange) {
    auto image = TemplateImage();
    bool changed = true;
    EXPECT_EQ(Set(*image, kOut1, "gain", "0", &changed), "0.0dB");
    EXPECT_FALSE(changed);
    EXPECT_EQ(Set(*image, kOut1, "xover-hp", "Lin-Ril 12dB", &changed), "Lin-Ril 12dB");
    EXPECT_FALSE(changed);
    EXPECT_EQ(Set(*image, kOut1, "xover-hp", "Lin-Ril 24dB", &changed), "Lin-Ril 24dB");
    EXPECT_TRUE(changed);
    // 10.5 ms and 11 ms are the same raw delay.
    Set(*image, kInA, "delay", "10.5");
    EXPECT_EQ(Set(*image, kInA, "delay", "11ms", &changed), "11ms");
    EXPECT_FALSE(changed);
}

// Every raw value of a field's scale, shown by get and typed back into set, is the same raw value: get's
// output can always be fed to set, and set of what get showed sends nothing.
TEST(FieldTable, everyValueGetShowsIsTakenBackBySetAsTheSameRawValue) {
    struct Scale {
        ChannelRef ch;
        const char* field;
        int lo, hi;
        std::function<void(DeviceImage&, int)> store;
    };
    const Scale scales[] = {
        {kInA, "gain", 0, 480, [](DeviceImage& m, int v) { m.inputs[0].gain = static_cast<int16_t>(v); }},
        {kOut1, "delay", 0, 1466,
         [](DeviceImage& m, int v) { m.outputs[0].delay = static_cast<int16_t>(v); }},
        {kInA, "gate", 0, 120,
         [](DeviceImage& m, int v) { m.inputs[0].gateThreshold = static_cast<uint8_t>(v); }},
        {kInA, "mute", 0, 1, [](DeviceImage& m, int v) { m.inputs[0].soundOn = static_cast<uint8_t>(v); }},
        {kOut1, "polarity", 0, 1,
         [](DeviceImage& m, int v) { m.outputs[0].polarity = static_cast<uint8_t>(v); }},
        {kOut1, "route", 0, 15,
         [](DeviceImage& m, int v) { m.outputs[0].routeMask = static_cast<uint8_t>(v); }},
        {kOut1, "peq4.q", 0, 295,
         [](DeviceImage& m, int v) { m.outputs[0].peq[3].q = static_cast<int16_t>(v); }},
        {kOut1, "peq4.gain", 0, 400,
         [](DeviceImage& m, int v) { m.outputs[0].peq[3].gain = static_cast<int16_t>(v); }},
        {kOut1, "peq4.freq", 20, 20000,
         [](DeviceImage& m, int v) { m.outputs[0].peq[3].freq = static_cast<int16_t>(v); }},
        {kInA, "peq4.type", 0, 2,
         [](DeviceImage& m, int v) { m.inputs[0].peq[3].type = static_cast<uint8_t>(v); }},
        {kInA, "peq4.slope", 0, 1,
         [](DeviceImage& m, int v) { m.inputs[0].peq[3].shelfSlope = static_cast<uint8_t>(v); }},
        {kInA, "geq17", 0, 400, [](DeviceImage& m, int v) { m.inputs[0].geq[16] = static_cast<int16_t>(v); }},
        {kOut1, "hpf", 20, 20000,
         [](DeviceImage& m, int v) { m.outputs[0].hpfFreq = static_cast<int16_t>(v); }},
        {kOut1, "lpf", 20, 20000,
         [](DeviceImage& m, int v) { m.outputs[0].lpfFreq = static_cast<int16_t>(v); }},
        {kOut1, "xover-lp", 0, 9,
         [](DeviceImage& m, int c) {
             m.outputs[0].lpfType = static_cast<uint8_t>(c < 4 ? 0 : c < 7 ? 1 : 2);
             m.outputs[0].lpfSlope = static_cast<uint8_t>(c < 4 ? c : c < 7 ? c - 4 : c - 7);
         }},
        {kOut1, "comp.threshold", 0, 48,
         [](DeviceImage& m, int v) { m.outputs[0].compThreshold = static_cast<int16_t>(v); }},
        {kOut1, "comp.attack", 0, 97,
         [](DeviceImage& m, int v) { m.outputs[0].compAttack = static_cast<uint8_t>(v); }},
        {kOut1, "comp.release", 0, 5,
         [](DeviceImage& m, int v) { m.outputs[0].compRelease = static_cast<uint8_t>(v); }},
        {kOut1, "comp.ratio", 0, 127,
         [](DeviceImage& m, int v) { m.outputs[0].compRatio = static_cast<uint8_t>(v); }},
    };
    auto image = TemplateImage();
    for (const Scale& s : scales) {
        const FieldRef f = Field(s.ch, s.field);
        for (int raw = s.lo; raw <= s.hi; ++raw) {
            *image = *TemplateImage();
            s.store(*image, raw);
            const auto before = *image;
            const std::string text = FieldTable::Read(*image, s.ch, f).text;
            bool changed = true;
            const auto back = Set(*image, s.ch, s.field, text, &changed);
            ASSERT_TRUE(back) << s.field << " raw " << raw << " shows '" << text << "', which set refuses";
            EXPECT_FALSE(changed) << s.field << " raw " << raw << " shows '" << text
                                  << "', set takes another value";
            EXPECT_EQ(std::memcmp(image.get(), &before, sizeof before), 0) << s.field << " raw " << raw;
        }
    }
}

} // namespace
} // namespace velmar
