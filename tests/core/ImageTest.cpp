// Layout, templates, clamping and start-up tables of the parameter image.
#include "core/Image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace velmar;

namespace {

std::vector<uint8_t> Unit(const void* block, int unit) {
    const auto* p = static_cast<const uint8_t*>(block) + 8 * unit;
    return {p, p + 8};
}

CoreState& FreshState() {
    static CoreState s;
    InitCoreState(s);
    return s;
}

} // namespace

TEST(Image, resetGivesTheTemplateUnitsByteForByte) {
    CoreState& s = FreshState();
    EXPECT_EQ(Unit(&s.image.inputs[0], 1), (std::vector<uint8_t>{0x00, 0x01, 0x68, 0x01, 0x00, 0x00, 0x28, 0x00}));
    EXPECT_EQ(Unit(&s.image.outputs[0], 1), (std::vector<uint8_t>{0x01, 0x01, 0x68, 0x01, 0x00, 0x00, 0x0F, 0x00}));
    for (int c = 0; c < kInputCount; ++c)
        EXPECT_EQ(0, std::memcmp(&s.image.inputs[c], &InputTemplate(), sizeof(InputBlock)));
    for (int c = 0; c < kOutputCount; ++c)
        EXPECT_EQ(0, std::memcmp(&s.image.outputs[c], &OutputTemplate(), sizeof(OutputBlock)));
    const OutputBlock& o = s.image.outputs[7];
    EXPECT_EQ(o.peq[9].freq, 15000);
    EXPECT_EQ(o.spareBand[0], 20);
    EXPECT_EQ(o.spareBand[1], 200);
    EXPECT_EQ(s.image.inputs[3].geq[31], 200);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.image.inputs[2].name), 8), "        ");
}

TEST(Image, clampReplacesOutOfRangeValuesAsTheProcessorExpects) {
    DeviceImage img{};
    for (auto& in : img.inputs) in = InputTemplate();
    for (auto& out : img.outputs) out = OutputTemplate();
    img.inputs[0].peq[0].gain = 401;
    img.outputs[0].peq[0].gain = 401;
    img.inputs[1].gain = 481;
    img.inputs[1].delay = 2000;
    img.outputs[2].routeMask = 0xF5;
    img.inputs[2].peq[3].freq = -1;
    img.inputs[2].peq[4].gain = -1;
    img.outputs[3].hpfType = 7;
    img.outputs[3].lpfType = 12;
    img.outputs[3].hpfSlope = 4;
    img.outputs[4].compRelease = 6;
    img.outputs[4].compRatio = 200;
    img.inputs[3].polarity = 2;
    img.inputs[3].soundOn = 9;
    img.inputs[3].gateThreshold = 200;
    img.inputs[3].peq[0].q = 296;
    img.inputs[3].peq[1].type = 3;
    img.inputs[3].geq[5] = 999;
    img.outputs[5].lpfFreq = 30000;
    img.outputs[5].compThreshold = 401;
    img.outputs[5].compAttack = 98;

    ClampImage(img);

    EXPECT_EQ(img.inputs[0].peq[0].gain, 200);
    EXPECT_EQ(img.outputs[0].peq[0].gain, 400);
    EXPECT_EQ(img.inputs[1].gain, 360);
    EXPECT_EQ(img.inputs[1].delay, 1466);
    EXPECT_EQ(img.outputs[2].routeMask, 0x05);
    EXPECT_EQ(img.inputs[2].peq[3].freq, 20);
    EXPECT_EQ(img.inputs[2].peq[4].gain, -1) << "only the upper limit is tested";
    EXPECT_EQ(img.outputs[3].hpfType, 7) << "3..9 pass the clamp";
    EXPECT_EQ(img.outputs[3].lpfType, 9);
    EXPECT_EQ(img.outputs[3].hpfSlope, 3);
    EXPECT_EQ(img.outputs[4].compRelease, 5);
    EXPECT_EQ(img.outputs[4].compRatio, 200) << "the ratio is not clamped";
    EXPECT_EQ(img.inputs[3].polarity, 0);
    EXPECT_EQ(img.inputs[3].soundOn, 1);
    EXPECT_EQ(img.inputs[3].gateThreshold, 120);
    EXPECT_EQ(img.inputs[3].peq[0].q, 0);
    EXPECT_EQ(img.inputs[3].peq[1].type, 0);
    EXPECT_EQ(img.inputs[3].geq[5], 999) << "graphic-equaliser words are not clamped";
    EXPECT_EQ(img.outputs[5].lpfFreq, 20000);
    EXPECT_EQ(img.outputs[5].compThreshold, 400);
    EXPECT_EQ(img.outputs[5].compAttack, 97);
}

TEST(Image, startTablesHoldTheStartTextsAndNoLinks) {
    CoreState& s = FreshState();
    EXPECT_STREQ(s.programNames[0], " SYSTEM DEFAULT ");
    EXPECT_STREQ(s.programNames[1], "     USER 1     ");
    EXPECT_STREQ(s.programNames[10], "     USER 10    ");
    EXPECT_STREQ(s.programNames[39], "     USER 39    ");
    for (int i = 17; i < kProgramNameSize; ++i) EXPECT_EQ(s.programNames[5][i], 0);
    for (int i = 0; i < kInputCount; ++i) EXPECT_EQ(s.inputLinkGroup[i], i);
    for (int o = 0; o < kOutputCount; ++o) EXPECT_EQ(s.outputLinkGroup[o], o);
    EXPECT_EQ(s.linkConfirmed, 0);
    EXPECT_EQ(s.scheduler.state, SchedState::Off);
}
