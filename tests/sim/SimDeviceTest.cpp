// The simulated processor: every command applied and answered, programs, addresses and meters.
#include "sim/SimDevice.h"

#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace velmar;
using simtest::Bench;
using simtest::BytesOf;
using simtest::Hex;

namespace {

std::string Text(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

std::vector<uint8_t> Slice(const void* base, size_t from, size_t count) {
    const auto* p = static_cast<const uint8_t*>(base) + from;
    return {p, p + count};
}

DeviceImage Templates() {
    DeviceImage image{};
    for (auto& in : image.inputs) in = InputTemplate();
    for (auto& out : image.outputs) out = OutputTemplate();
    return image;
}

} // namespace

TEST(SimDevice, handshakeAnswersTheSystemBlockAndTwentyOneNames) {
    Bench b;
    const auto reply = b.askOne(simtest::kHandshake);
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 12),
              Hex("5A 5A 5A | 01 53 | A2 | 06 00 00 00 | A0 01")); // 416 bytes
    const auto p = simtest::PayloadOf(reply);
    EXPECT_EQ(p[10], 1); // device address
    EXPECT_EQ(p[15], 0); // current program
    EXPECT_EQ(Text(p, 64, 16), std::string("VMP4x8  V1.20.4\0", 16));
    EXPECT_EQ(Text(p, 72, 7), "V1.20.4");
    EXPECT_EQ(Text(p, 80, 16), " SYSTEM DEFAULT ");
    EXPECT_EQ(Text(p, 96, 16), "     USER 1     ");
    EXPECT_EQ(Text(p, 80 + 16 * 12, 16), "     USER 12    ");
    EXPECT_EQ(Text(p, 80 + 16 * 20, 16), "     USER 20    ");
}

TEST(SimDevice, modelDigitsAtBytes67And69FollowTheModel) {
    const struct {
        SimModel model;
        char in, out;
    } cases[] = {{SimModel::In2Out4, '2', '4'},
                 {SimModel::In2Out6, '2', '6'},
                 {SimModel::In3Out6, '3', '6'},
                 {SimModel::In4Out6, '4', '6'},
                 {SimModel::In4Out8, '4', '8'}};
    for (const auto& c : cases) {
        SimDevice device({c.model, 1, 1});
        const auto block = device.systemBlock();
        EXPECT_EQ(block[67], c.in) << ModelInfo(c.model).name;
        EXPECT_EQ(block[69], c.out) << ModelInfo(c.model).name;
    }
}

TEST(SimDevice, itsAddressIsInTheSystemBlockAndInEveryReply) {
    Bench b({SimModel::In4Out8, 250, 1});
    const auto reply = b.askOne(Hex("5A 5A 5A | FA 53 | A2 | 06 00 00 00 | 00 00 | 57 AA"));
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(reply[3], 0xFA);
    EXPECT_EQ(simtest::PayloadOf(reply)[10], 250);
}

TEST(SimDevice, framesForAnotherAddressAreIgnored) {
    Bench b; // address 1
    EXPECT_TRUE(b.ask(Hex("5A 5A 5A | 02 53 | A9 | 00 00 00 00 | 00 00 | A2 AA")).empty());
    EXPECT_TRUE(b.ask(Hex("5A 5A 5A | FA 53 | A9 | 00 00 00 00 | 00 00 | 5A AA")).empty());
    EXPECT_TRUE(b.ask(Hex("5A 5A 5A | 00 53 | A9 | 00 00 00 00 | 00 00 | A0 AA")).empty());
    // A write to unit 2 of the bus leaves this unit's memory alone.
    EXPECT_TRUE(
        b.ask(simtest::Close(Hex("5A 5A 5A | 02 53 | A1 | 04 00 02 01 | 08 00 | 00 01 68 01 00 00 0F 00")))
            .empty());
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 1);

    Bench second({SimModel::In4Out8, 2, 1});
    EXPECT_EQ(second.ask(Hex("5A 5A 5A | 02 53 | A9 | 00 00 00 00 | 00 00 | A2 AA")).size(), 1u);
}

TEST(SimDevice, readImageReturnsTheWholeMemoryStartingFromTheTemplates) {
    Bench b;
    const auto reply = b.askOne(simtest::kReadImage);
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 12),
              Hex("5A 5A 5A | 01 53 | A6 | 00 00 00 00 | 40 06")); // 1600 bytes
    const auto p = simtest::PayloadOf(reply);
    EXPECT_EQ(p, BytesOf(Templates()));
    EXPECT_EQ(std::vector<uint8_t>(p.begin() + 8, p.begin() + 16), Hex("00 01 68 01 00 00 28 00"));
    EXPECT_EQ(std::vector<uint8_t>(p.begin() + 640 + 8, p.begin() + 640 + 16),
              Hex("01 01 68 01 00 00 0F 00"));
}

TEST(SimDevice, parameterWritesAreAppliedAndAcknowledgedWithAA) {
    const struct {
        const char* name;
        const char* frame;
        const char* ack;
        size_t imageOffset; // where the payload lands in the image
    } cases[] = {
        {"input A unit 1", "5A 5A 5A | 01 53 | A1 | 01 00 00 01 | 08 00 | 01 01 68 01 00 00 28 00 | E0 AA",
         "5A 5A 5A | 01 53 | AA | 01 00 00 01 | 00 00 | A2 AA", 0 * 160 + 8},
        {"output 3 unit 1", "5A 5A 5A | 01 53 | A1 | 04 00 02 01 | 08 00 | 00 01 68 01 00 00 0F 00 | C1 AA",
         "5A 5A 5A | 01 53 | AA | 04 00 02 01 | 00 00 | A5 AA", 640 + 2 * 120 + 8},
        {"output 1 compressor",
         "5A 5A 5A | 01 53 | A1 | 04 00 00 02 | 08 00 | 0A 00 05 01 03 00 00 00 | AA AA",
         "5A 5A 5A | 01 53 | AA | 04 00 00 02 | 00 00 | A4 AA", 640 + 16},
        {"output 8 crossover",
         "5A 5A 5A | 01 53 | A1 | 04 00 07 03 | 08 00 | 50 00 01 02 B8 0B 00 01 | 40 AA",
         "5A 5A 5A | 01 53 | AA | 04 00 07 03 | 00 00 | A2 AA", 640 + 7 * 120 + 24},
        {"input B geq band 1", "5A 5A 5A | 01 53 | A1 | 01 00 01 0C | 02 00 | FA 00 | 5D AA",
         "5A 5A 5A | 01 53 | AA | 01 00 01 0C | 00 00 | AE AA", 1 * 160 + 96},
        {"input D geq word 31", "5A 5A 5A | 01 53 | A1 | 01 00 03 2B | 02 00 | 2C 01 | AF AA",
         "5A 5A 5A | 01 53 | AA | 01 00 03 2B | 00 00 | 8B AA", 3 * 160 + 96 + 62},
    };
    for (const auto& c : cases) {
        Bench b;
        const auto frame = Hex(c.frame);
        EXPECT_EQ(b.askOne(frame), Hex(c.ack)) << c.name;
        const DeviceImage image = b.device.image();
        const auto payload = simtest::PayloadOf(frame);
        EXPECT_EQ(Slice(&image, c.imageOffset, payload.size()), payload) << c.name;
    }
}

TEST(SimDevice, programNameWriteKeepsTheNameUpToItsTerminatorAndShowsItAtTheNextHandshake) {
    Bench b;
    const auto ack = b.askOne(Hex("5A 5A 5A | 01 53 | A1 | 05 03 00 00 | 10 00 | 48 41 4C 4C 20 41 00 67 61 "
                                  "72 62 61 67 65 21 00 | 83 AA"));
    EXPECT_EQ(ack, Hex("5A 5A 5A | 01 53 | AA | 05 03 00 00 | 00 00 | A4 AA"));
    const auto name = b.device.programName(3);
    EXPECT_EQ(std::string(name.begin(), name.end()), std::string("HALL A\0\0\0\0\0\0\0\0\0\0", 16));
    const auto p = simtest::PayloadOf(b.askOne(simtest::kHandshake));
    EXPECT_EQ(Text(p, 80 + 16 * 3, 16), std::string("HALL A\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(Text(p, 80 + 16 * 4, 16), "     USER 4     ");
}

TEST(SimDevice, blockWritesReplaceTheWholeChannelAndAreAnsweredWithA3) {
    Bench b;
    OutputBlock out = OutputTemplate();
    std::memcpy(out.name, "SUB L   ", 8);
    out.gain = 400;
    out.routeMask = 0x03;
    out.hpfFreq = 35;
    const auto reply = b.askOne(
        simtest::Close(simtest::Concat(Hex("5A 5A 5A | 01 53 | A3 | 04 00 05 00 | 78 00"), BytesOf(out))));
    EXPECT_EQ(reply, Hex("5A 5A 5A | 01 53 | A3 | 04 00 05 00 | 00 00 | AA AA"));
    EXPECT_EQ(BytesOf(b.device.image().outputs[5]), BytesOf(out));

    InputBlock in = InputTemplate();
    in.soundOn = 1;
    in.geq[30] = 123;
    const auto reply2 = b.askOne(
        simtest::Close(simtest::Concat(Hex("5A 5A 5A | 01 53 | A3 | 01 00 02 00 | A0 00"), BytesOf(in))));
    EXPECT_EQ(reply2, Hex("5A 5A 5A | 01 53 | A3 | 01 00 02 00 | 00 00 | A8 AA"));
    EXPECT_EQ(BytesOf(b.device.image().inputs[2]), BytesOf(in));
}

TEST(SimDevice, imageWriteIsAppliedClampedAndAnsweredWithA4) {
    Bench b;
    DeviceImage image = Templates();
    image.inputs[0].peq[0].gain = 401; // clamps to 200
    image.outputs[3].routeMask = 0xF5; // clamps to 0x05
    image.outputs[7].gain = 300;
    const auto reply = b.askOne(
        simtest::Close(simtest::Concat(Hex("5A 5A 5A | 01 53 | A7 | 00 00 00 00 | 40 06"), BytesOf(image))));
    EXPECT_EQ(reply, Hex("5A 5A 5A | 01 53 | A4 | 00 00 00 00 | 00 00 | AC AA"));
    const DeviceImage now = b.device.image();
    EXPECT_EQ(now.inputs[0].peq[0].gain, 200);
    EXPECT_EQ(now.outputs[3].routeMask, 0x05);
    EXPECT_EQ(now.outputs[7].gain, 300);
}

TEST(SimDevice, storeThenLoadRoundTripsAProgramAndSetsTheCurrentProgram) {
    Bench b;
    const auto muteOut3 =
        Hex("5A 5A 5A | 01 53 | A1 | 04 00 02 01 | 08 00 | 00 01 68 01 00 00 0F 00 | C1 AA");
    const auto unmuteOut3 =
        simtest::Close(Hex("5A 5A 5A | 01 53 | A1 | 04 00 02 01 | 08 00 | 01 01 68 01 00 00 0F 00"));
    ASSERT_EQ(b.ask(muteOut3).size(), 1u);
    EXPECT_EQ(b.askOne(Hex("5A 5A 5A | 01 53 | A5 | 00 03 00 00 | 00 00 | AE AA")),
              Hex("5A 5A 5A | 01 53 | A5 | 00 03 00 00 | 00 00 | AE AA"));
    EXPECT_EQ(b.device.currentProgram(), 3);
    EXPECT_EQ(b.device.storedProgram(3).outputs[2].soundOn, 0);
    EXPECT_EQ(b.device.storedProgram(4).outputs[2].soundOn, 1);

    ASSERT_EQ(b.ask(unmuteOut3).size(), 1u);
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 1);

    const auto reply = b.askOne(Hex("5A 5A 5A | 01 53 | A6 | 00 03 00 00 | 00 00 | AD AA"));
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 12),
              Hex("5A 5A 5A | 01 53 | A6 | 00 03 00 00 | 40 06"));
    DeviceImage loaded;
    std::memcpy(&loaded, simtest::PayloadOf(reply).data(), sizeof loaded);
    EXPECT_EQ(loaded.outputs[2].soundOn, 0);
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 0);
    EXPECT_EQ(simtest::PayloadOf(b.askOne(simtest::kHandshake))[15], 3);

    // Program 0 reads the memory as it stands and leaves the current program alone.
    ASSERT_EQ(b.ask(simtest::kReadImage).size(), 1u);
    EXPECT_EQ(b.device.currentProgram(), 3);
}

TEST(SimDevice, commandsThatDoNotFitAreIgnoredWithoutReplyOrChange) {
    const char* frames[] = {
        "5A 5A 5A | 01 53 | A1 | 04 00 00 0E | 08 00 | 00 00 00 00 00 00 00 00", // output unit 14
        "5A 5A 5A | 01 53 | A1 | 04 00 00 00 | 08 00 | 00 00 00 00 00 00 00 00", // output unit 0
                                                                                 // (name)
        "5A 5A 5A | 01 53 | A1 | 01 00 00 2C | 02 00 | 00 00",                   // input index 44
        "5A 5A 5A | 01 53 | A1 | 01 00 04 01 | 08 00 | 00 00 00 00 00 00 00 00", // input E
        "5A 5A 5A | 01 53 | A1 | 04 00 08 01 | 08 00 | 00 00 00 00 00 00 00 00", // output 9
        "5A 5A 5A | 01 53 | A1 | 01 00 00 01 | 02 00 | 00 00",                   // unit with 2 bytes
        "5A 5A 5A | 01 53 | A1 | 02 00 00 01 | 02 00 | 00 00",                   // kind 2 never travels
        "5A 5A 5A | 01 53 | A1 | 05 0D 00 00 | 10 00 | 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 "
        "00", // program
              // 13
        "5A 5A 5A | 01 53 | A2 | 07 00 00 00 | 00 00",
        "5A 5A 5A | 01 53 | A3 | 04 00 00 00 | 02 00 | 00 00",
        "5A 5A 5A | 01 53 | A5 | 00 00 00 00 | 00 00", // store program 0
        "5A 5A 5A | 01 53 | A5 | 00 0D 00 00 | 00 00",
        "5A 5A 5A | 01 53 | A6 | 00 0D 00 00 | 00 00",
        "5A 5A 5A | 01 53 | A7 | 00 00 00 00 | 02 00 | 00 00",
        "5A 5A 5A | 01 53 | A9 | 00 00 00 00 | 01 00 | 00",
        "5A 5A 5A | 01 53 | AA | 00 00 00 00 | 00 00", // a reply is not a command
        "5A 5A 5A | 01 53 | B0 | 00 00 00 00 | 00 00",
    };
    for (const char* text : frames) {
        Bench b;
        const auto before = b.device.state();
        EXPECT_TRUE(b.ask(simtest::Close(Hex(text))).empty()) << text;
        const auto after = b.device.state();
        EXPECT_EQ(BytesOf(after.image), BytesOf(before.image)) << text;
        EXPECT_EQ(after.names, before.names) << text;
        EXPECT_EQ(after.currentProgram, before.currentProgram) << text;
    }
}

TEST(SimDevice, theProgramNamesRequestAnswersNamesOneToNineteen) {
    Bench b;
    const auto reply = b.askOne(Hex("5A 5A 5A | 01 53 | A2 | 05 00 00 00 | 00 00 | AF AA"));
    ASSERT_TRUE(simtest::IsFrame(reply));
    const auto p = simtest::PayloadOf(reply);
    ASSERT_EQ(p.size(), 320u);
    EXPECT_EQ(Text(p, 16, 16), std::string("     USER 1    \0", 16));
    EXPECT_EQ(Text(p, 16 * 19, 16), std::string("     USER 19   \0", 16));
}

// --- meters ---

namespace {

// A unit whose input A is switched on and fixed at -10 dBu, the other inputs silent.
struct MeterBench : Bench {
    explicit MeterBench(SimModel model = SimModel::In4Out8) : Bench({model, 1, 1}) {
        DeviceImage image = device.image();
        image.inputs[0].soundOn = 1;
        device.setImage(image);
        for (int i = 1; i < kInputCount; ++i) device.setProgrammeLevel(i, -200.0);
        device.setProgrammeLevel(0, -10.0);
    }
};

template <typename F> void Edit(SimDevice& d, F change) {
    DeviceImage image = d.image();
    change(image);
    d.setImage(image);
}

} // namespace

TEST(SimDevice, heartbeatAnswersSixteenMeterBytes) {
    MeterBench b;
    const auto reply = b.askOne(simtest::kHeartbeat);
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 12),
              Hex("5A 5A 5A | 01 53 | A9 | 00 00 00 00 | 10 00"));
    // -10 dBu reads 90 on input A and on every output it is routed to; the trailing four bytes are 0.
    EXPECT_EQ(simtest::PayloadOf(reply), Hex("5A 00 00 00 | 5A 5A 5A 5A 5A 5A 5A 5A | 00 00 00 00"));
    EXPECT_EQ(b.device.heartbeatCount(), 1u);
}

TEST(SimDevice, outputMetersFollowMuteRoutingGainAndInputs) {
    const struct {
        const char* what;
        void (*change)(DeviceImage&);
        uint8_t input0, output0, output1;
    } cases[] = {
        {"as set up", [](DeviceImage&) {}, 90, 90, 90},
        {"input gain +12 dB", [](DeviceImage& i) { i.inputs[0].gain = 480; }, 102, 102, 102},
        {"output gain -6 dB", [](DeviceImage& i) { i.outputs[0].gain = 300; }, 90, 84, 90},
        {"output muted", [](DeviceImage& i) { i.outputs[0].soundOn = 0; }, 90, 0, 90},
        {"input muted: its meter still reads", [](DeviceImage& i) { i.inputs[0].soundOn = 0; }, 90, 0, 0},
        {"routed from input B only", [](DeviceImage& i) { i.outputs[0].routeMask = 0x02; }, 90, 0, 90},
        {"routed from A only", [](DeviceImage& i) { i.outputs[0].routeMask = 0x01; }, 90, 90, 90},
    };
    for (const auto& c : cases) {
        MeterBench b;
        Edit(b.device, c.change);
        const auto levels = b.device.meterLevels();
        EXPECT_EQ(levels.input[0], c.input0) << c.what;
        EXPECT_EQ(levels.output[0], c.output0) << c.what;
        EXPECT_EQ(levels.output[1], c.output1) << c.what;
    }
}

TEST(SimDevice, routedInputsAddUpByPower) {
    MeterBench b;
    b.device.setProgrammeLevel(1, -10.0);
    Edit(b.device, [](DeviceImage& i) {
        i.inputs[1].soundOn = 1;
        i.outputs[0].routeMask = 0x03;
        i.outputs[1].routeMask = 0x02;
    });
    const auto levels = b.device.meterLevels();
    EXPECT_EQ(levels.output[0], 93); // -10 dBu twice: -6.99 dBu
    EXPECT_EQ(levels.output[1], 90);
}

TEST(SimDevice, theCompressorThresholdLimitsTheOutputAndSetsBit7) {
    const struct {
        int16_t threshold;
        uint8_t ratio;
        uint8_t expected;
    } cases[] = {
        {48, 0, 110},          // +20 dBu threshold: +10 dBu passes
        {38, 0, 110},          // +10 dBu exactly: not above it
        {28, 3, 0x80 | 103},   // 0 dBu, 4:1: 0 + 10/4 = +2.5 dBu
        {28, 0, 0x80 | 110},   // 1:1 still reports the level above the threshold
        {28, 127, 0x80 | 100}, // Inf:1 holds the threshold
        {0, 127, 0x80 | 72},   // -28 dBu
    };
    for (const auto& c : cases) {
        MeterBench b;
        b.device.setProgrammeLevel(0, 10.0);
        Edit(b.device, [&](DeviceImage& i) {
            i.outputs[0].compThreshold = c.threshold;
            i.outputs[0].compRatio = c.ratio;
        });
        EXPECT_EQ(b.device.meterLevels().output[0], c.expected) << c.threshold << " " << int(c.ratio);
    }
}

TEST(SimDevice, meterBytesComeInTheModelsOrderAndAbsentChannelsReadZero) {
    // Outputs 1..8 get levels 90 - k by their gains, so every position is recognisable.
    auto run = [](SimModel model) {
        MeterBench b(model);
        Edit(b.device, [](DeviceImage& i) {
            for (int o = 0; o < kOutputCount; ++o) i.outputs[o].gain = static_cast<int16_t>(360 - 10 * o);
        });
        return simtest::PayloadOf(b.askOne(simtest::kHeartbeat));
    };
    EXPECT_EQ(run(SimModel::In4Out8), Hex("5A 00 00 00 | 5A 59 58 57 56 55 54 53 | 00 00 00 00"));
    EXPECT_EQ(run(SimModel::In3Out6), Hex("5A 00 00 00 | 5A 59 58 57 56 55 00 00 | 00 00 00 00"));
    // Bytes 4 and 5 carry outputs 7 and 8 (absent here), bytes 6..11 outputs 1..6.
    EXPECT_EQ(run(SimModel::In4Out6), Hex("5A 00 00 00 | 00 00 | 5A 59 58 57 56 55 | 00 00 00 00"));
    EXPECT_EQ(run(SimModel::In2Out6), Hex("5A 00 00 00 | 00 00 | 5A 59 58 57 56 55 | 00 00 00 00"));
    EXPECT_EQ(run(SimModel::In2Out4), Hex("5A 00 00 00 | 00 00 | 5A 59 58 57 00 00 | 00 00 00 00"));
}

TEST(SimDevice, programmeLevelsVarySlowlyAndAreTheSameForTheSameSeed) {
    SimDevice a({SimModel::In4Out8, 1, 42}), same({SimModel::In4Out8, 1, 42}),
        other({SimModel::In4Out8, 1, 43});
    int lo = 255, hi = 0, differ = 0;
    uint8_t previous = 0;
    for (uint32_t step = 0; step < 300; ++step) {
        const auto la = a.meterLevels();
        EXPECT_EQ(la.input, same.meterLevels().input);
        differ += la.input != other.meterLevels().input;
        lo = std::min<int>(lo, la.input[0]);
        hi = std::max<int>(hi, la.input[0]);
        if (step > 0) {
            EXPECT_LE(std::abs(la.input[0] - previous), 6) << step;
        }
        previous = la.input[0];
        // Step all three on by one heartbeat.
        for (SimDevice* d : {&a, &same, &other}) {
            SimFrame hb;
            hb.address = 1;
            hb.command = 0xA9;
            d->handle(hb);
        }
    }
    EXPECT_GT(hi - lo, 10); // it moves through several meter segments ...
    EXPECT_GE(lo, 60);      // ... within the meter's range
    EXPECT_LE(hi, 116);
    EXPECT_GT(differ, 250); // another seed is another programme
}
