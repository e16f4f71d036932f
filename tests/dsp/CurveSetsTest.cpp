// The global curve sets: built from the image, bound to their own records, refreshed through the core's
// hooks.
#include "dsp/CurveSets.h"
#include "core/Image.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmar {
namespace {

class CurveSetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<CoreState>();
        InitCoreState(*state);
        BuildCurveSets(*state);
    }
    CoreState& s() { return *state; }
    std::unique_ptr<CoreState> state;
};

bool IsFlat(const CFilter& f) {
    for (double v : f.Response())
        if (v != 0.0) return false;
    return true;
}

TEST_F(CurveSetsTest, everyChannelHasItsSetWithBandsThenHighPassThenLowPass) {
    for (int ch = 0; ch < kInputCount; ++ch) {
        EXPECT_EQ(inputEqCurves[ch].Count(), 12);
        EXPECT_EQ(inputGeqCurves[ch].Count(), 33);
    }
    for (int ch = 0; ch < kOutputCount; ++ch) {
        ASSERT_EQ(outputEqCurves[ch].Count(), 12);
        EXPECT_EQ(outputEqCurves[ch].HighPass().Kind(), kHighPass);
        EXPECT_EQ(outputEqCurves[ch].LowPass().Kind(), kLowPass);
        for (int k = 0; k < kBandCount; ++k) EXPECT_EQ(outputEqCurves[ch].Filter(k).BandNumber(), k + 1);
    }
    EXPECT_EQ(inputGeqCurves[0].Filter(30).BandNumber(), 31);
}

TEST_F(CurveSetsTest, coloursFollowTheChannel) {
    const struct {
        const CKTVEQ& set;
        Rgb colour;
    } cases[] = {{inputEqCurves[0], {0, 255, 255}},    {inputEqCurves[1], {223, 18, 123}},
                 {inputEqCurves[3], {255, 255, 0}},    {inputGeqCurves[0], {255, 102, 102}},
                 {inputGeqCurves[3], {255, 153, 204}}, {outputEqCurves[0], {255, 0, 0}},
                 {outputEqCurves[2], {128, 128, 192}}, {outputEqCurves[5], {192, 168, 0}},
                 {outputEqCurves[6], {125, 128, 0}},   {outputEqCurves[7], {0, 0, 255}}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.set.Colour(), c.colour);
        EXPECT_EQ(c.set.ArgbColour(), ArgbFromRgb(c.colour));
    }
    EXPECT_EQ(outputEqCurves[5].ArgbColour(), 0xFFC0A800u);
}

TEST_F(CurveSetsTest, inputAndGraphicSetsHaveAFlatCrossover) {
    s().image.outputs[0].hpfFreq = 500; // outputs only
    RefreshAllCurveSets(s());
    for (CKTVEQ* set : {&inputEqCurves[2], &inputGeqCurves[2]}) {
        EXPECT_EQ(set->Records().crossover.hpfFreq, 20);
        EXPECT_EQ(set->Records().crossover.lpfFreq, 20000);
        EXPECT_TRUE(IsFlat(set->HighPass()));
        EXPECT_TRUE(IsFlat(set->LowPass()));
    }
    EXPECT_FALSE(IsFlat(outputEqCurves[0].HighPass()));
}

TEST_F(CurveSetsTest, graphicBandsAreLockedPeakingBandsAtTheirCentres) {
    s().image.inputs[1].geq[18] = 260;
    RefreshCurveSet(s(), kCurveSetInputGeq, 1);
    const PeqBand& r = inputGeqCurves[1].Records().bands[18];
    EXPECT_EQ(r.freq, 1300);
    EXPECT_EQ(r.gain, 260);
    EXPECT_EQ(r.q, 8);
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.shelfSlope, 0);
    const CFilter& f = inputGeqCurves[1].Filter(18);
    EXPECT_EQ(f.FrequencyLocked(), 1);
    EXPECT_EQ(f.Kind(), kPeaking);
    EXPECT_NEAR(f.Response()[FreqGridIndex(1300)], 6.0, 1e-6);
    EXPECT_EQ(inputEqCurves[1].Filter(0).FrequencyLocked(), 0);
    EXPECT_EQ(outputEqCurves[1].Filter(0).FrequencyLocked(), 0);
}

TEST_F(CurveSetsTest, setsAreBoundToTheirOwnRecordsNotToTheImage) {
    s().image.outputs[1].peq[2].gain = 300;
    EXPECT_TRUE(IsFlat(outputEqCurves[1].Filter(2))); // not yet refreshed

    // A drag changes the record and the curve, never the image.
    s().image.outputs[1].peq[2].gain = 200;
    outputEqCurves[1].Records().bands[2].gain = 100;
    outputEqCurves[1].Filter(2).Recompute(true);
    EXPECT_FALSE(IsFlat(outputEqCurves[1].Filter(2)));
    EXPECT_EQ(s().image.outputs[1].peq[2].gain, 200);
}

TEST_F(CurveSetsTest, refreshOfOneSetCopiesOnlyThatChannel) {
    s().image.outputs[1].peq[2].gain = 300;
    s().image.outputs[2].peq[2].gain = 300;
    s().image.inputs[0].peq[0].type = kLowShelf;
    s().image.inputs[0].peq[0].gain = 300;
    s().image.inputs[0].geq[5] = 300;
    RefreshCurveSet(s(), kCurveSetOutput, 1);
    RefreshCurveSet(s(), kCurveSetInputEq, 0);
    EXPECT_FALSE(IsFlat(outputEqCurves[1].Filter(2)));
    EXPECT_TRUE(IsFlat(outputEqCurves[2].Filter(2)));
    EXPECT_EQ(inputEqCurves[0].Filter(0).Kind(), kLowShelf);
    EXPECT_TRUE(IsFlat(inputGeqCurves[0].Filter(5))); // the graphic set is a set of its own
    // Kinds and channels that name no set are ignored.
    RefreshCurveSet(s(), 3, 0);
    RefreshCurveSet(s(), kCurveSetOutput, 8);
    RefreshCurveSet(s(), kCurveSetInputEq, -1);
    RefreshCurveSet(s(), kCurveSetInputGeq, 4);
}

TEST_F(CurveSetsTest, outputCrossoverComesFromTheImageBytes) {
    OutputBlock& o = s().image.outputs[3];
    o.hpfFreq = 120;
    o.hpfType = 1;
    o.hpfSlope = 2;
    o.lpfFreq = 5000;
    o.lpfType = 2;
    o.lpfSlope = 1;
    RefreshCurveSet(s(), kCurveSetOutput, 3);
    CKTVEQ& set = outputEqCurves[3];
    EXPECT_EQ(set.HighPass().Frequency(), 120);
    EXPECT_EQ(set.HighPass().Family(), 1);
    EXPECT_EQ(set.HighPass().Slope(), 2);
    EXPECT_EQ(set.LowPass().Frequency(), 5000);
    EXPECT_EQ(set.LowPass().Family(), 2);
    EXPECT_EQ(set.LowPass().Slope(), 1);
    EXPECT_EQ(set.HighPass().Label(), "120Hz ");
    EXPECT_EQ(set.HighPass().Sections().count, 2);
}

TEST_F(CurveSetsTest, refreshKeepsThePlotSize) {
    const Rect plot{35, 10, 635, 410};
    outputEqCurves[0].SetPlotSize(plot);
    s().image.outputs[0].peq[5].gain = 300;
    RefreshAllCurveSets(s());
    const CFilter& f = outputEqCurves[0].Filter(5);
    EXPECT_EQ(f.PlotWidth(), 600);
    EXPECT_EQ(f.Points()[137], (Point{374, 110}));
    BuildCurveSets(s()); // a rebuild keeps it too
    EXPECT_EQ(outputEqCurves[0].Filter(5).Points()[137], (Point{374, 110}));
}

TEST_F(CurveSetsTest, installedHooksRefreshAfterAnImageOrAChannelChange) {
    InstallCurveSetHooks(s());
    s().image.outputs[7].peq[9].gain = 0;
    s().hooks.imageReplaced();
    EXPECT_FALSE(IsFlat(outputEqCurves[7].Filter(9)));

    s().image.inputs[2].peq[1].gain = 0;
    s().image.inputs[2].geq[1] = 0;
    s().image.inputs[1].peq[1].gain = 0;
    s().hooks.channelCurvesChanged(kKindInput, 2);
    EXPECT_FALSE(IsFlat(inputEqCurves[2].Filter(1)));
    EXPECT_FALSE(IsFlat(inputGeqCurves[2].Filter(1))); // the join copied the graphic words as well
    EXPECT_TRUE(IsFlat(inputEqCurves[1].Filter(1)));

    s().image.outputs[4].peq[0].gain = 0;
    s().hooks.channelCurvesChanged(kKindOutput, 4);
    EXPECT_FALSE(IsFlat(outputEqCurves[4].Filter(0)));
}

TEST_F(CurveSetsTest, aFamilyTheClampLetsThroughIsDrawnFlat) {
    s().image.outputs[0].hpfFreq = 1000;
    s().image.outputs[0].hpfType = 7;
    s().image.outputs[0].lpfFreq = 1000;
    s().image.outputs[0].lpfType = 9;
    ClampImage(s().image);
    RefreshAllCurveSets(s());
    EXPECT_TRUE(IsFlat(outputEqCurves[0].HighPass()));
    EXPECT_TRUE(IsFlat(outputEqCurves[0].LowPass()));
}

} // namespace
} // namespace velmar
