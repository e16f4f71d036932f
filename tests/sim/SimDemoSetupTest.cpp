// The demo setup and programme: every typed value stands as the pages show it, the four programs are
// named and differ, the meters move like music and repeat for a seed, and the option is opt-in.
#include "SimTestClient.h"
#include "SimTestDevice.h"

#include "core/FieldTable.h"
#include "sim/SimDemoSetup.h"
#include "sim/SimDevice.h"
#include "sim/SimOptions.h"
#include "sim/SimProgramme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>

using namespace velmar;

namespace {

bool Same(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

DeviceImage Built(int program) {
    alignas(int16_t) DeviceImage image{};
    std::string error;
    EXPECT_TRUE(SimDemoImage(program, image, error)) << error;
    return image;
}

std::string Trimmed(const std::array<uint8_t, kSimNameSize>& name) {
    std::string s(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// The number an entry text starts with ("-2.5dB" -> -2.5), for comparison with the field's reading.
std::optional<double> Leading(const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? std::nullopt : std::optional<double>(v);
}

SimDeviceState DemoState() {
    SimDevice device;
    SimDeviceState state = device.state();
    std::string error;
    EXPECT_TRUE(ApplySimDemoSetup(state, error)) << error;
    return state;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The programs' images

TEST(SimDemoSetup, everyProgramIsBuiltAndTheClampChangesNothing) {
    for (int p = 1; p <= kSimDemoProgramCount; ++p) {
        const DeviceImage image = Built(p);
        alignas(int16_t) DeviceImage clamped = image;
        ClampImage(clamped);
        EXPECT_TRUE(Same(image, clamped)) << "program " << p;
    }
    DeviceImage unused{};
    std::string error;
    EXPECT_FALSE(SimDemoImage(0, unused, error));
    EXPECT_FALSE(SimDemoImage(kSimDemoProgramCount + 1, unused, error));
}

// The last value typed into each field is what the field table reads back: its text parses to the same
// raw value as the entry, and its number is the typed one within one step of the field's scale.
TEST(SimDemoSetup, everyFieldReadsBackThroughTheFieldTableAsTyped) {
    for (int p = 1; p <= kSimDemoProgramCount; ++p) {
        const DeviceImage image = Built(p);
        std::map<std::pair<std::string, std::string>, std::string> last;
        for (const SimDemoEntry& e : SimDemoEntries(p)) last[{e.channel, e.field}] = e.text;
        ASSERT_GT(last.size(), 200u) << "program " << p;
        for (const auto& [where, text] : last) {
            const auto channel = FieldTable::ParseChannel(where.first);
            ASSERT_TRUE(channel) << where.first;
            std::string rule;
            const auto field = FieldTable::ParseField(where.second, *channel, rule);
            ASSERT_TRUE(field) << where.second << ": " << rule;
            const auto typed = FieldTable::ParseEntry(*channel, *field, text, rule);
            ASSERT_TRUE(typed) << where.first << " " << where.second << " " << text << ": " << rule;
            const FieldReading reading = FieldTable::Read(image, *channel, *field);
            const auto shown = FieldTable::ParseEntry(*channel, *field, reading.text, rule);
            const std::string what = "program " + std::to_string(p) + " " + where.first + " " + where.second +
                                     " typed " + text + " reads " + reading.text;
            ASSERT_TRUE(shown) << what;
            EXPECT_EQ(shown->raw, typed->raw) << what;
            EXPECT_EQ(shown->raw2, typed->raw2) << what;
            const auto number = Leading(text);
            if (reading.number && number && text != "OFF") {
                // Q is a table of steps about 2.5 % apart; everything else is within a step of 0.1.
                const double tolerance = field->id == FieldId::PeqQ ? 0.05 * *number : 0.051;
                EXPECT_NEAR(*reading.number, *number, tolerance) << what;
            }
        }
    }
}

TEST(SimDemoSetup, theMainProgramIsATwoWaySystemWithLimitersAndOpenInputs) {
    const DeviceImage image = Built(1);
    for (int side = 0; side < 2; ++side) {
        const OutputBlock& high = image.outputs[side];
        const OutputBlock& low = image.outputs[2 + side];
        EXPECT_EQ(high.routeMask, 1 << side);
        EXPECT_EQ(low.routeMask, 1 << side);
        // One crossover point, both sides Linkwitz-Riley 24 dB.
        EXPECT_EQ(high.hpfFreq, 1200);
        EXPECT_EQ(low.lpfFreq, 1200);
        EXPECT_EQ(high.hpfType, low.lpfType);
        EXPECT_EQ(high.hpfSlope, low.lpfSlope);
        EXPECT_EQ(high.lpfFreq, 20000);
        EXPECT_EQ(low.hpfFreq, 40);
        EXPECT_GT(high.delay, 0);
        EXPECT_EQ(low.delay, 0);
    }
    for (const OutputBlock& out : image.outputs) {
        EXPECT_EQ(out.soundOn, 1);
        EXPECT_LT(out.compThreshold, 48) << "a limiter below the top of the scale";
        EXPECT_EQ(out.compRatio, 127);
        EXPECT_LE(out.hpfFreq, out.lpfFreq);
    }
    for (const InputBlock& in : image.inputs) EXPECT_EQ(in.soundOn, 1);
    // A and B carry the same gentle curve, which is not flat.
    EXPECT_EQ(std::memcmp(image.inputs[0].geq, image.inputs[1].geq, sizeof image.inputs[0].geq), 0);
    const auto [lo, hi] = std::minmax_element(std::begin(image.inputs[0].geq), std::end(image.inputs[0].geq));
    EXPECT_LT(*lo, 200);
    EXPECT_GT(*hi, 200);
    EXPECT_GE(*lo, 200 - 60);
    EXPECT_LE(*hi, 200 + 60);
}

// ---------------------------------------------------------------------------------------------------
// Stored programs and names

TEST(SimDemoSetup, programsOneToFourAreNamedAndDifferAndTheRestStayDefault) {
    const SimDevice fresh;
    const SimDeviceState before = fresh.state();
    const SimDeviceState state = DemoState();
    const std::array<const char*, 4> names = {"Two-way main", "Speech", "Band live", "Background"};
    for (int p = 1; p <= kSimDemoProgramCount; ++p) {
        EXPECT_EQ(Trimmed(state.names[p]), names[p - 1]);
        for (int q = p + 1; q <= kSimDemoProgramCount; ++q)
            EXPECT_FALSE(Same(state.programs[p - 1], state.programs[q - 1])) << p << " and " << q;
    }
    for (int p = kSimDemoProgramCount + 1; p <= kSimProgramCount; ++p) {
        EXPECT_EQ(state.names[p], before.names[p]) << p;
        EXPECT_TRUE(Same(state.programs[p - 1], before.programs[p - 1])) << p;
    }
    EXPECT_EQ(state.names[0], before.names[0]);
    EXPECT_EQ(state.currentProgram, 1);
    EXPECT_TRUE(Same(state.image, state.programs[0]));
}

TEST(SimDemoSetup, loadingAStoredProgramChangesTheCurvesAndNamesTravelInTheHandshake) {
    SimDevice device;
    device.setState(DemoState());
    SimFrame load;
    load.address = 1;
    load.command = simcmd::kLoadProgram;
    load.p2 = 2;
    const auto outcome = device.handle(load);
    ASSERT_TRUE(outcome.reply);
    EXPECT_EQ(device.currentProgram(), 2);
    const DeviceImage speech = device.image();
    EXPECT_TRUE(Same(speech, Built(2)));
    EXPECT_NE(speech.outputs[2].hpfFreq, Built(1).outputs[2].hpfFreq);
    EXPECT_EQ(speech.outputs[6].soundOn, 0); // the sub is off for speech

    SimFrame ask;
    ask.address = 1;
    ask.command = simcmd::kHandshake;
    ask.p1 = 6;
    const auto hello = device.handle(ask);
    ASSERT_TRUE(hello.reply);
    const auto& p = hello.reply->payload;
    ASSERT_EQ(p.size(), size_t(kSimHandshakePayload));
    const std::string first(p.begin() + kSimSystemBlockSize + kSimNameSize,
                            p.begin() + kSimSystemBlockSize + 2 * kSimNameSize);
    EXPECT_NE(first.find("Two-way main"), std::string::npos) << first;
}

// ---------------------------------------------------------------------------------------------------
// The programme and the meters it drives

TEST(SimProgramme, isTheSameForASeedAndDiffersForAnother) {
    const SimProgramme a(7), b(7), c(8);
    int differ = 0;
    for (int step = 0; step < 400; ++step) {
        const double t = step * 0.05;
        for (int i = 0; i < kInputCount; ++i) {
            EXPECT_EQ(a.levelDbu(i, t), b.levelDbu(i, t));
            differ += a.levelDbu(i, t) != c.levelDbu(i, t);
        }
    }
    EXPECT_GT(differ, 1000);
}

// Two minutes at the demo's 50 ms: A and B swing around -18 dBu with peaks near -6, move from one
// update to the next, rarely touch the ceiling and follow each other; C and D are quieter.
TEST(SimProgramme, movesLikeMusicAroundMinusEighteenDbuWithoutSticking) {
    const SimProgramme programme(1);
    constexpr int kSteps = 2400;
    std::array<std::vector<double>, kInputCount> level;
    for (int step = 0; step < kSteps; ++step)
        for (int i = 0; i < kInputCount; ++i) level[i].push_back(programme.levelDbu(i, step * 0.05));
    const auto mean = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    };
    for (int i = 0; i < kInputCount; ++i) {
        const auto [lo, hi] = std::minmax_element(level[i].begin(), level[i].end());
        EXPECT_GE(*lo, SimProgramme::kFloorDbu);
        EXPECT_LE(*hi, SimProgramme::kPeakDbu);
        int moved = 0, atCeiling = 0;
        for (int s = 1; s < kSteps; ++s) moved += std::fabs(level[i][s] - level[i][s - 1]) > 0.05;
        for (double v : level[i]) atCeiling += v >= SimProgramme::kPeakDbu;
        EXPECT_GT(moved, kSteps * 8 / 10) << "input " << i;
        EXPECT_LT(atCeiling, kSteps / 50) << "input " << i;
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(mean(level[i]), -18.0, 3.0) << i;
        const double peak = *std::max_element(level[i].begin(), level[i].end());
        EXPECT_GT(peak, -9.0) << i;
        double var = 0;
        for (double v : level[i]) var += (v - mean(level[i])) * (v - mean(level[i]));
        EXPECT_GT(std::sqrt(var / kSteps), 2.0) << "not a steady tone";
    }
    EXPECT_LT(mean(level[2]), mean(level[0]) - 5.0);
    EXPECT_LT(mean(level[3]), mean(level[0]) - 5.0);
    // A stereo pair: the correlation of A and B is high.
    const double ma = mean(level[0]), mb = mean(level[1]);
    double sab = 0, saa = 0, sbb = 0;
    for (int s = 0; s < kSteps; ++s) {
        sab += (level[0][s] - ma) * (level[1][s] - mb);
        saa += (level[0][s] - ma) * (level[0][s] - ma);
        sbb += (level[1][s] - mb) * (level[1][s] - mb);
    }
    EXPECT_GT(sab / std::sqrt(saa * sbb), 0.7);
}

// The programme through the main program's routing, gains and limiters: every output moves, none is
// pinned at the top of the meter, and the limit indication comes on on some peaks, not all the time.
TEST(SimProgramme, drivesEveryOutputOfTheDemoThroughItsLimiters) {
    SimDevice device;
    device.setState(DemoState());
    const SimProgramme programme(1);
    std::array<std::vector<int>, kOutputCount> levels;
    std::array<int, kOutputCount> limited{};
    constexpr int kSteps = 1200;
    for (int step = 0; step < kSteps; ++step) {
        for (int i = 0; i < kInputCount; ++i) device.setProgrammeLevel(i, programme.levelDbu(i, step * 0.05));
        const SimMeters::Levels m = device.meterLevels();
        for (int o = 0; o < kOutputCount; ++o) {
            levels[o].push_back(m.output[o] & 0x7F);
            limited[o] += (m.output[o] & 0x80) != 0;
        }
    }
    int limitedOutputs = 0;
    for (int o = 0; o < kOutputCount; ++o) {
        const auto [lo, hi] = std::minmax_element(levels[o].begin(), levels[o].end());
        EXPECT_GT(*lo, 0) << "output " << o + 1 << " is fed";
        EXPECT_GE(*hi - *lo, 6) << "output " << o + 1 << " moves";
        EXPECT_LT(*hi, 116) << "output " << o + 1 << " is not pinned at the top";
        EXPECT_LT(limited[o], kSteps / 2) << "output " << o + 1;
        limitedOutputs += limited[o] > 0;
    }
    EXPECT_GE(limitedOutputs, 1);
}

// velmar-sim's own meters with the option: each heartbeat steps the programme a tenth of a second, and
// a unit without it keeps its old sweep.
TEST(SimProgramme, theDevicesMetersFollowItHeartbeatByHeartbeatOnlyWhenAsked) {
    const SimProgramme programme(5);
    SimDevice demo({SimModel::In4Out8, 1, 5});
    demo.setState(DemoState());
    demo.useDemoProgramme();
    SimDevice plain({SimModel::In4Out8, 1, 5});
    plain.setState(DemoState());
    int differ = 0;
    for (uint32_t step = 0; step < 50; ++step) {
        const SimMeters::Levels d = demo.meterLevels();
        const SimMeters::Levels p = plain.meterLevels();
        // Input A's gain is 0 dB, so its meter reads the programme itself.
        const double expected = programme.levelDbu(0, step * SimMeters::kHeartbeatSeconds);
        EXPECT_NEAR(d.input[0], 100 + expected, 0.5 + 1e-9) << step;
        differ += d.input[0] != p.input[0];
        SimFrame beat;
        beat.address = 1;
        beat.command = simcmd::kHeartbeat;
        ASSERT_TRUE(demo.handle(beat).reply);
        ASSERT_TRUE(plain.handle(beat).reply);
    }
    EXPECT_GT(differ, 25);
}

// ---------------------------------------------------------------------------------------------------
// The option

TEST(SimDemoSetup, theOptionIsAFlagAndOffByDefault) {
    SimOptions plain;
    const char* const plainArgs[] = {"velmar-sim", "--tcp", "0"};
    ASSERT_TRUE(plain.parse(3, plainArgs).ok);
    EXPECT_FALSE(plain.demoSetup);

    SimOptions demo;
    const char* const demoArgs[] = {"velmar-sim", "--tcp", "0", "--demo-setup"};
    ASSERT_TRUE(demo.parse(4, demoArgs).ok);
    EXPECT_TRUE(demo.demoSetup);

    SimOptions wrong;
    const char* const wrongArgs[] = {"velmar-sim", "--tcp", "0", "--demo-setup=1"};
    const auto r = wrong.parse(4, wrongArgs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "--demo-setup takes no value");
    EXPECT_NE(SimOptions::usage().find("--demo-setup"), std::string::npos);
}

// The binary with the option answers the handshake with the demo's current program and names; without
// it, with the flat start names and program 0.
TEST(SimDemoSetup, theBinaryStartsFlatUnlessAsked) {
    for (const bool asked : {false, true}) {
        std::vector<std::string> args = {"--tcp", "0"};
        if (asked) args.push_back("--demo-setup");
        simtest::SimProcess sim(args);
        uint16_t port = 0;
        for (std::string line = sim.readLine(); line != "ready"; line = sim.readLine()) {
            ASSERT_FALSE(line.empty());
            if (line.rfind("tcp 127.0.0.1:", 0) == 0)
                port = static_cast<uint16_t>(std::stoi(line.substr(14)));
        }
        const int fd = simtest::ConnectLoopback(port);
        ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake));
        const auto p = simtest::PayloadOf(simtest::ReadFrame(fd));
        ASSERT_EQ(p.size(), size_t(kSimHandshakePayload));
        const std::string name1(p.begin() + kSimSystemBlockSize + kSimNameSize,
                                p.begin() + kSimSystemBlockSize + 2 * kSimNameSize);
        EXPECT_EQ(p[15], asked ? 1 : 0);
        EXPECT_EQ(name1.find("Two-way main") != std::string::npos, asked) << name1;
        EXPECT_EQ(name1.find("USER 1") != std::string::npos, !asked) << name1;
        ::close(fd);
        sim.signal(SIGTERM);
        EXPECT_EQ(sim.wait(), 0);
    }
}
