// velmarctl curve: a channel's response from a program file as CSV, offline.
#include "ToolTestSupport.h"

#include "core/Image.h"
#include "ctl/CurveReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

namespace velmar::tooltest {
namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
    return fields;
}

class CurveCommand : public ::testing::Test {
protected:
    CurveCommand() {
        for (auto& in : image.inputs) in = InputTemplate();
        for (auto& out : image.outputs) out = OutputTemplate();
        image.outputs[0].peq[5].gain = 260; // band 6 at 1000 Hz, +6 dB
        image.outputs[0].hpfFreq = 80;
        image.outputs[0].hpfSlope = 1; // Linkwitz-Riley 24 dB
        image.inputs[1].geq[17] = 140; // the 1000 Hz band of input B's graphic equaliser, -6 dB
        file = TempDir() + "/curve.vq";
        WriteFileBytes(file, &image, sizeof image);
    }
    DeviceImage image{};
    std::string file;
};

TEST_F(CurveCommand, printsTheSummedCurveAtEveryGridFrequencyWithSixDecimals) {
    const CtlResult r = RunCtl({"curve", file, "out1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 241u);
    const std::regex format(R"([0-9]+(\.[0-9]+)?,-?[0-9]+\.[0-9]{6})");
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, format)) << line;
    EXPECT_EQ(Split(lines.front())[0], "19.7");
    EXPECT_EQ(Split(lines[136])[0], "1000");
    EXPECT_EQ(Split(lines.back())[0], "20000");
    EXPECT_NEAR(std::stod(Split(lines[136])[1]), 6.0, 0.01);
    EXPECT_LT(std::stod(Split(lines.front())[1]), -20.0) << "an 80 Hz 24 dB high-pass at 19.7 Hz";
}

TEST_F(CurveCommand, filtersAddOneColumnPerFilterBandsThenHighPassThenLowPassThatSumToTheCurve) {
    struct Row {
        const char* channel;
        size_t columns; // frequency, sum, filters
    };
    for (const Row row : {Row{"out1", 2 + 12}, Row{"inA", 2 + 12}, Row{"geq-inB", 2 + 33}}) {
        const CtlResult r = RunCtl({"curve", file, row.channel, "--filters"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 241u) << row.channel;
        for (const std::string& line : lines) {
            const auto fields = Split(line);
            ASSERT_EQ(fields.size(), row.columns) << row.channel << ": " << line;
            double sum = 0;
            for (size_t i = 2; i < fields.size(); ++i) sum += std::stod(fields[i]);
            EXPECT_NEAR(sum, std::stod(fields[1]), 1e-5 * static_cast<double>(fields.size())) << line;
        }
    }
    const auto out1 = Split(Lines(RunCtl({"curve", file, "out1", "--filters"}).out)[136]);
    EXPECT_NEAR(std::stod(out1[2 + 5]), 6.0, 0.01) << "band 6 is the seventh column";
    EXPECT_LT(std::stod(Split(Lines(RunCtl({"curve", file, "out1", "--filters"}).out)[0])[2 + 10]), -20.0)
        << "the high-pass follows the ten bands";
    const auto geq = Split(Lines(RunCtl({"curve", file, "geq-inB", "--filters"}).out)[136]);
    EXPECT_NEAR(std::stod(geq[1]), -6.0, 0.1);
    EXPECT_NEAR(std::stod(geq[2 + 17]), -6.0, 0.01);
}

TEST_F(CurveCommand, aFlatChannelIsZeroEverywhereNeverMinusZero) {
    const std::string csv = ctl::CurveReport::Csv(image, {1, 0}, true);
    for (const std::string& line : Lines(csv)) {
        const auto fields = Split(line);
        for (size_t i = 1; i < fields.size(); ++i) EXPECT_EQ(fields[i], "0.000000") << line;
    }
}

TEST_F(CurveCommand, aMissingFileIsAnErrorAndAnUnknownChannelAUsageError) {
    const CtlResult missing = RunCtl({"curve", file + ".gone", "out1"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "velmarctl: MusicFile read Error: ")) << missing.err;
    EXPECT_TRUE(missing.out.empty());
    for (const char* bad : {"out9", "geq-out1", "inQ"}) {
        const CtlResult r = RunCtl({"curve", file, bad});
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(Contains(r.err, "unknown channel")) << r.err;
    }
}

} // namespace
} // namespace velmar::tooltest
