// Tests of the value scales: tables, display formats, entry rules, graph coordinates and name lists.
#include "core/ValueScales.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace velmar {
namespace {

// What a page does with a typed text: the number at its start, the unit text ignored.
double Typed(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// Q table

TEST(QTable, holdsTheBandwidthQsRoundedToThreeDecimals) {
    const struct {
        int index;
        double q;
    } cases[] = {{0, 28.852}, {9, 10.301},  {10, 9.614},  {30, 4.112},
                 {95, 1.414}, {133, 1.007}, {134, 0.999}, {295, 0.404}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(QFromIndex(c.index), c.q) << "index " << c.index;
    for (int i = 1; i < kQTableSize; ++i) EXPECT_LT(QTable()[i], QTable()[i - 1]) << "index " << i;
}

TEST(QTable, textShowsThreeDecimalsAndBoundsRawValuesTheClampLetsThrough) {
    EXPECT_EQ(QText(0), "28.852");
    EXPECT_EQ(QText(295), "0.404");
    EXPECT_EQ(QText(-1), "28.852"); // a negative q is bounded before the look-up
    EXPECT_EQ(QText(-32768), "28.852");
    EXPECT_EQ(QText(4000), "0.404");
}

TEST(QEntry, selectsTheEntryOrTheNextLargerQ) {
    const struct {
        double typed;
        std::optional<int> index;
    } cases[] = {{28.852, 0}, {0.404, 295}, {10.0, 9},         {10.301, 9},  {10.302, 8},
                 {1.414, 95}, {1.0, 133},   {0.4041, 294},     {28.853, {}}, {0.4039, {}},
                 {0.0, {}},   {-1.0, {}},   {std::nan(""), {}}};
    for (const auto& c : cases) EXPECT_EQ(QIndexFromValue(c.typed), c.index) << "typed " << c.typed;
}

TEST(QEntry, everyDisplayedQGivesItsIndexBack) {
    for (int i = 0; i < kQTableSize; ++i) EXPECT_EQ(QIndexFromValue(Typed(QText(i))), i) << "index " << i;
}

// ---------------------------------------------------------------------------------------------------------
// Frequency grid

TEST(FrequencyGrid, runsFrom19Point7HzTo20kHzStrictlyRising) {
    const auto& g = FrequencyGrid();
    EXPECT_DOUBLE_EQ(g.front(), 19.7);
    EXPECT_DOUBLE_EQ(g.back(), 20000);
    EXPECT_DOUBLE_EQ(g[136], 1000);
    EXPECT_DOUBLE_EQ(g[76], 179);
    EXPECT_DOUBLE_EQ(g[77], 182);
    for (int i = 1; i < kGridSize; ++i) EXPECT_GT(g[i], g[i - 1]) << "index " << i;
    EXPECT_DOUBLE_EQ(GridFrequency(-5), 19.7);
    EXPECT_DOUBLE_EQ(GridFrequency(300), 20000);
}

TEST(FreqGridIndex, picksTheNearestGridFrequencyTiesGoingUp) {
    const struct {
        double f;
        int index;
    } cases[] = {{1000, 136}, {10, 0},     {-5, 0},   {0, 0},      {19.7, 0},    {25000, 240}, {20000, 240},
                 {1015, 137}, {1010, 136}, {180, 76}, {180.5, 77}, {19585, 239}, {19793, 240}, {19792, 239}};
    for (const auto& c : cases) EXPECT_EQ(FreqGridIndex(c.f), c.index) << "f " << c.f;
    for (int i = 0; i < kGridSize; ++i) EXPECT_EQ(FreqGridIndex(FrequencyGrid()[i]), i);
}

TEST(GeqCentres, areTheProcessorsThirtyOneBands) {
    const auto& c = GeqCentreFrequencies();
    EXPECT_EQ(c.front(), 20);
    EXPECT_EQ(c[17], 1000);
    EXPECT_EQ(c[18], 1300);
    EXPECT_EQ(c[22], 3100);
    EXPECT_EQ(c[28], 13000);
    EXPECT_EQ(c.back(), 18000);
    for (int i = 1; i < kGeqCentreCount; ++i) EXPECT_GT(c[i], c[i - 1]);
    EXPECT_EQ(GeqCentreFrequency(-1), 20);
    EXPECT_EQ(GeqCentreFrequency(31), 18000);
}

// ---------------------------------------------------------------------------------------------------------
// Graph coordinates

TEST(GraphCoordinates, frequencyAxisSpansThreeDecadesOfWidthDivThree) {
    for (int w : {300, 600, 903, 3}) {
        EXPECT_EQ(GraphFreqFromX(0, w), 20) << w;
        EXPECT_EQ(GraphFreqFromX(w, w), 20000) << w;
        EXPECT_EQ(GraphXFromFreq(20, w), 0) << w;
        EXPECT_EQ(GraphXFromFreq(20000, w), w / 3 * 3) << w;
    }
    EXPECT_EQ(GraphXFromFreq(200, 300), 100);
    EXPECT_EQ(GraphXFromFreq(2000, 301), 200); // 301 div 3 = 100
    EXPECT_NEAR(GraphXFromFreqReal(19.7, 300), -0.6564, 1e-4);
    EXPECT_EQ(GraphXFromFreq(19.7, 300), 0); // truncated towards zero
    EXPECT_EQ(GraphFreqFromX(-50, 300), 20);
    EXPECT_EQ(GraphFreqFromX(400, 300), 20000);
    EXPECT_EQ(GraphFreqFromX(100, 300), 200);
    EXPECT_EQ(GraphFreqFromX(10, 2), 20); // no axis at all
}

TEST(GraphCoordinates, levelAxisSpansPlusToMinusTwentyDb) {
    EXPECT_EQ(GraphYFromDb(20, 400), 0);
    EXPECT_EQ(GraphYFromDb(0, 400), 200);
    EXPECT_EQ(GraphYFromDb(-20, 400), 400);
    EXPECT_EQ(GraphYFromDb(0, 401), 201); // 200.5 + 0.5
    EXPECT_DOUBLE_EQ(GraphYFromDbReal(0, 401), 200.5);
    EXPECT_DOUBLE_EQ(GraphYFromDbReal(30, 400), -100);
}

TEST(GraphCoordinates, dbFromYAddsOneAboveZeroAndTakesHalfBelow) {
    const struct {
        double y;
        double db;
    } cases[] = {{0, 21.0}, {100, 11.0}, {199, 1.1}, {200, -0.5}, {300, -10.5}, {400, -20.5}};
    for (const auto& c : cases) EXPECT_NEAR(GraphDbFromY(c.y, 400), c.db, 1e-12) << "y " << c.y;
    EXPECT_EQ(GraphDbFromY(10, 0), 0.0);
}

TEST(TruncateToInt, truncatesTowardsZeroAndSaturates) {
    EXPECT_EQ(TruncateToInt(-3.7), -3);
    EXPECT_EQ(TruncateToInt(3.7), 3);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncateToInt(-INFINITY), INT_MIN);
}

// ---------------------------------------------------------------------------------------------------------
// Gains

TEST(ChannelGain, showsDbWithOneDecimal) {
    EXPECT_EQ(ChannelGainText(360), "0.0dB");
    EXPECT_EQ(ChannelGainText(0), "-36.0dB");
    EXPECT_EQ(ChannelGainText(480), "12.0dB");
    EXPECT_EQ(ChannelGainText(355), "-0.5dB");
    EXPECT_EQ(ChannelGainText(-10), "-37.0dB"); // shown by the formula
}

TEST(ChannelGain, entryTruncatesAndRefusesValuesOutsideTheScale) {
    const struct {
        double db;
        std::optional<int> raw;
    } cases[] = {{12, 480},    {-36, 0},    {0, 360},     {0.3, 363}, {0.35, 363},
                 {-0.05, 359}, {12.05, {}}, {-36.01, {}}, {100, {}},  {std::nan(""), {}}};
    for (const auto& c : cases) EXPECT_EQ(ChannelGainEntry(c.db), c.raw) << "dB " << c.db;
}

TEST(ChannelGain, everyDisplayedValueTypedBackGivesTheSameRaw) {
    for (int raw = 0; raw <= kChannelGainRawMax; ++raw)
        EXPECT_EQ(ChannelGainEntry(Typed(ChannelGainText(raw))), raw) << ChannelGainText(raw);
}

TEST(BandGain, showsAndTakesDbAroundRaw200) {
    EXPECT_EQ(BandGainText(200), "0.0");
    EXPECT_EQ(BandGainText(0), "-20.0");
    EXPECT_EQ(BandGainText(400), "20.0");
    EXPECT_EQ(BandGainEntry(-20), 0);
    EXPECT_EQ(BandGainEntry(20), 400);
    EXPECT_EQ(BandGainEntry(20.01), std::nullopt);
    EXPECT_EQ(BandGainEntry(-20.01), std::nullopt);
    for (int raw = 0; raw <= kBandGainRawMax; ++raw)
        EXPECT_EQ(BandGainEntry(Typed(BandGainText(raw))), raw) << BandGainText(raw);
}

// ---------------------------------------------------------------------------------------------------------
// Delay

TEST(DelayScale, displaysFineUpTo476AndCoarseFrom477) {
    using U = DelayUnit;
    const struct {
        int raw;
        U unit;
        MetreSuffix suffix;
        const char* text;
    } cases[] = {
        {0, U::Milliseconds, MetreSuffix::Mt, "0.000ms"},
        {476, U::Milliseconds, MetreSuffix::Mt, "9.996ms"},
        {477, U::Milliseconds, MetreSuffix::Mt, "11ms"},
        {1466, U::Milliseconds, MetreSuffix::Mt, "1000ms"},
        {476, U::Metres, MetreSuffix::Mt, " 3.399Mt"},
        {476, U::Metres, MetreSuffix::M, " 3.399M"},
        {477, U::Metres, MetreSuffix::Mt, "  3.74Mt"},
        {1466, U::Metres, MetreSuffix::Mt, "340.00Mt"},
        {1466, U::Metres, MetreSuffix::M, "340.00M"},
        {476, U::Feet, MetreSuffix::Mt, "10.937Ft"},
        {477, U::Feet, MetreSuffix::Mt, " 12.04Ft"},
        {1379, U::Feet, MetreSuffix::Mt, "998.93Ft"},
        {1380, U::Feet, MetreSuffix::Mt, "1000.0Ft"},
        {1466, U::Feet, MetreSuffix::Mt, "1094.1Ft"},
        {-1, U::Milliseconds, MetreSuffix::Mt, "-0.021ms"},
    };
    for (const auto& c : cases) EXPECT_EQ(DelayText(c.raw, c.unit, c.suffix), c.text) << "raw " << c.raw;
    EXPECT_NEAR(DelayValue(1466, U::Feet), 1094.12, 1e-9);
}

TEST(DelayEntry, searchesWithTheBoundaryAt476) {
    using U = DelayUnit;
    const struct {
        double typed;
        U unit;
        std::optional<int> raw;
    } cases[] = {
        {10, U::Milliseconds, 476},    {10.5, U::Milliseconds, 477}, {1000, U::Milliseconds, 1466},
        {999, U::Milliseconds, 1465},  {0, U::Milliseconds, 0},      {9.975, U::Milliseconds, 475},
        {9.996, U::Milliseconds, 476}, {0.01, U::Milliseconds, 1},   {-0.1, U::Milliseconds, {}},
        {1000.1, U::Milliseconds, {}}, {340, U::Metres, 1466},       {340.1, U::Metres, {}},
        {3.4, U::Metres, 476},         {1094.1, U::Feet, 1466},      {1094.2, U::Feet, {}},
        {std::nan(""), U::Feet, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(DelayEntry(c.typed, c.unit), c.raw) << "typed " << c.typed;
}

TEST(DelayEntry, everyDisplayedMillisecondValueGivesItsRawBack) {
    for (int raw = 0; raw <= kDelayRawMax; ++raw) {
        const std::string text = DelayText(raw, DelayUnit::Milliseconds);
        EXPECT_EQ(DelayEntry(Typed(text), DelayUnit::Milliseconds), raw) << text;
    }
}

TEST(DelayEntry, everyDisplayedCoarseDistanceGivesItsRawBack) {
    for (int raw = 477; raw <= kDelayRawMax; ++raw)
        EXPECT_EQ(DelayEntry(Typed(DelayText(raw, DelayUnit::Metres)), DelayUnit::Metres), raw) << raw;
}

// ---------------------------------------------------------------------------------------------------------
// Compressor and gate

TEST(Compressor, formatsThresholdAttackRatioAndRelease) {
    EXPECT_EQ(CompRatioText(0), "1:1");
    EXPECT_EQ(CompRatioText(126), "127:1");
    EXPECT_EQ(CompRatioText(127), "Inf:1");
    EXPECT_EQ(CompThresholdText(48), "20dBu");
    EXPECT_EQ(CompThresholdText(0), "-28dBu");
    EXPECT_EQ(CompAttackText(0), "3ms");
    EXPECT_EQ(CompAttackText(97), "100ms");
    EXPECT_STREQ(CompReleaseText(0, 0), "Atkx2");
    EXPECT_STREQ(CompReleaseText(4, 1), "Atkx16");
    EXPECT_STREQ(CompReleaseText(6, 0), "Atkx48");
    EXPECT_STREQ(CompReleaseText(7, 0), "");
    EXPECT_STREQ(CompReleaseText(-1, 0), "");
}

TEST(Compressor, entriesTakeTheirRanges) {
    EXPECT_EQ(CompThresholdEntry(-28), 0);
    EXPECT_EQ(CompThresholdEntry(20), 48);
    EXPECT_EQ(CompThresholdEntry(0), 28);
    EXPECT_EQ(CompThresholdEntry(20.5), std::nullopt);
    EXPECT_EQ(CompThresholdEntry(-29), std::nullopt);
    EXPECT_EQ(CompAttackEntry(3), 0);
    EXPECT_EQ(CompAttackEntry(100), 97);
    EXPECT_EQ(CompAttackEntry(3.9), 0);
    EXPECT_EQ(CompAttackEntry(2.9), std::nullopt);
    EXPECT_EQ(CompAttackEntry(100.5), std::nullopt);
}

TEST(GateList, itemKReadsMinusKDbAndMapsToRaw120MinusK) {
    EXPECT_EQ(GateChoiceText(0), "0dB");
    EXPECT_EQ(GateChoiceText(1), "-1dB");
    EXPECT_EQ(GateChoiceText(120), "-120dB");
    EXPECT_EQ(GateChoiceText(121), "");
    EXPECT_EQ(GateChoiceFromRaw(40), 80);
    EXPECT_EQ(GateChoiceText(GateChoiceFromRaw(40)), "-80dB");
    EXPECT_EQ(GateThresholdText(40), "-80dB");
    EXPECT_EQ(GateRawFromChoice(0), 120);
    EXPECT_EQ(GateRawFromChoice(120), 0);
    EXPECT_EQ(GateChoiceFromRaw(200), 0); // bounded before it selects an item
}

TEST(FrequencyEntry, truncatesWithinTheControlsLimits) {
    EXPECT_EQ(FrequencyEntry(1000.7, 20, 20000), 1000);
    EXPECT_EQ(FrequencyEntry(20, 20, 20000), 20);
    EXPECT_EQ(FrequencyEntry(19, 20, 20000), std::nullopt);
    EXPECT_EQ(FrequencyEntry(2001, 20, 2000), std::nullopt);
    EXPECT_EQ(FrequencyText(1000), "1000");
}

// ---------------------------------------------------------------------------------------------------------
// Name lists

TEST(CrossoverList, namesKeepTheirTrailingSpaces) {
    EXPECT_STREQ(CrossoverName(0, 0), "Lin-Ril 12dB");
    EXPECT_STREQ(CrossoverName(3, 0), "Lin-Ril 48dB");
    EXPECT_STREQ(CrossoverName(5, 0), "ButterW 18dB");
    EXPECT_STREQ(CrossoverName(7, 0), "Bessel 12dB ");
    EXPECT_STREQ(CrossoverName(9, 0), "Bessel 24dB ");
    EXPECT_STREQ(CrossoverName(0, 1), "宁克 12dB   ");
    EXPECT_STREQ(CrossoverName(6, 1), "巴特沃斯 24dB");
    EXPECT_STREQ(CrossoverName(8, 1), "贝塞尔 18dB ");
    EXPECT_STREQ(CrossoverName(10, 0), "");
    EXPECT_STREQ(CrossoverName(-1, 1), "");
}

TEST(CrossoverList, comboItemsMapToTypeAndSlopeAndBack) {
    const CrossoverChoice expected[kCrossoverChoiceCount] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0},
                                                             {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
    for (int c = 0; c < kCrossoverChoiceCount; ++c) {
        ASSERT_EQ(CrossoverFromCombo(c), expected[c]) << c;
        EXPECT_EQ(CrossoverComboIndex(expected[c].type, expected[c].slope), c);
    }
    EXPECT_EQ(CrossoverFromCombo(10), std::nullopt);
    EXPECT_EQ(CrossoverComboIndex(1, 3), std::nullopt);
    EXPECT_EQ(CrossoverComboIndex(2, 3), std::nullopt);
    EXPECT_EQ(CrossoverComboIndex(7, 0), std::nullopt); // a family the clamp lets through
    EXPECT_EQ(CrossoverComboIndex(0, 4), std::nullopt);
}

TEST(NameLists, bandTypesAndTheRangeMessageInBothLanguages) {
    EXPECT_STREQ(BandTypeName(0, 0), "PEQ");
    EXPECT_STREQ(BandTypeName(1, 0), "Lo_Shf");
    EXPECT_STREQ(BandTypeName(2, 0), "Hi_Shf");
    EXPECT_STREQ(BandTypeName(0, 1), "参量");
    EXPECT_STREQ(BandTypeName(1, 1), "低架");
    EXPECT_STREQ(BandTypeName(2, 1), "高架");
    EXPECT_STREQ(BandTypeName(3, 0), "");
    EXPECT_STREQ(DataOutOfRangeText(0), "Data out of range");
    EXPECT_STREQ(DataOutOfRangeText(1), "数据超出范围");
}

} // namespace
} // namespace velmar
