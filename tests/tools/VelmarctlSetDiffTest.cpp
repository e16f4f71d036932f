// velmarctl set with several fields confirmed by a read-back, and diff against a program file, end to
// end against velmar-sim over TCP on 127.0.0.1 (clean and lossy lines).
#include "ToolTestSupport.h"

#include "sim/SimStateFile.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

namespace velmar::tooltest {
namespace {

SimDeviceState StateOf(const std::string& path) {
    SimDeviceState state;
    std::string error;
    EXPECT_EQ(SimStateFile::load(path, state, error), SimStateFile::LoadResult::Loaded) << error;
    return state;
}

class VelmarctlSetDiff : public ::testing::Test {
protected:
    CtlResult ctl(std::vector<std::string> args) {
        args.insert(args.begin(), {"--tcp", sim->tcpArg()});
        return RunCtl(args);
    }
    std::string dump(const std::string& name) {
        const std::string path = dir + "/" + name;
        const CtlResult r = ctl({"dump", path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return path;
    }

    std::string dir = TempDir();
    std::string statePath = dir + "/unit.state";
    std::unique_ptr<Sim> sim = std::make_unique<Sim>(std::vector<std::string>{"--state", statePath});
};

TEST_F(VelmarctlSetDiff, severalFieldsAreWrittenOverOneConnectionAndConfirmedByAReadBack) {
    // The high-pass is judged against the low-pass set just before it, not the processor's 20 kHz.
    const CtlResult r = ctl({"--trace", "set", "out2", "peq3.gain", "+3", "inA", "gain", "-6", "out2", "lpf",
                             "500", "out2", "hpf", "400", "out4", "gain", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "out2 peq3.gain 3.0dB\ninA gain -6.0dB\nout2 lpf 500Hz\nout2 hpf 400Hz\n"
                     "out4 gain 0.0dB (unchanged, nothing sent)\n");
    const auto sent = SentCommands(r.err);
    EXPECT_EQ(CountOf(sent, 0xA2), 1) << "one connection";
    EXPECT_GE(CountOf(sent, 0xA1), 3) << "peq3, inA's channel unit, out2's crossover unit";
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), 0xA6) << "the run ends on the read-back";

    ASSERT_EQ(sim->stop(), 0);
    const SimDeviceState state = StateOf(statePath);
    EXPECT_EQ(state.image.outputs[1].peq[2].gain, 230);
    EXPECT_EQ(state.image.inputs[0].gain, 300);
    EXPECT_EQ(state.image.outputs[1].lpfFreq, 500);
    EXPECT_EQ(state.image.outputs[1].hpfFreq, 400);
}

TEST_F(VelmarctlSetDiff, oneRefusedFieldAmongSeveralLeavesEverythingUnsent) {
    // Refused by its scale: before any link.
    const CtlResult scale = ctl({"--trace", "set", "out2", "gain", "3", "inA", "gain", "13"});
    EXPECT_EQ(scale.exitCode, 2);
    EXPECT_EQ(scale.err, "velmarctl: Data out of range: inA gain takes -36 to 12 dB, got '13'\n");

    // Refused by the entry rules, read against the processor's values: the image is read, nothing written.
    const CtlResult rule =
        ctl({"--trace", "set", "out2", "gain", "3", "out2", "lpf", "500", "out2", "hpf", "1000"});
    EXPECT_EQ(rule.exitCode, 2);
    EXPECT_TRUE(Contains(rule.err, "velmarctl: Data out of range: out2 hpf takes OFF or 20 to 500 Hz (never "
                                   "above the low-pass), got '1000'\n"))
        << rule.err;
    EXPECT_EQ(SentCommands(rule.err), (std::vector<uint8_t>{0xA2, 0xA6}));

    const CtlResult usage = ctl({"set", "out2", "gain", "3", "inA", "gain"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(Contains(usage.err, "usage: set CHANNEL FIELD VALUE [CHANNEL FIELD VALUE ...]")) << usage.err;

    ASSERT_EQ(sim->stop(), 0);
    const SimDeviceState state = StateOf(statePath);
    EXPECT_EQ(state.image.outputs[1].gain, 360) << "out2 gain untouched (0 dB)";
    EXPECT_EQ(state.image.outputs[1].lpfFreq, 20000);
}

// Lost frames, lost and corrupted replies: the writes are repeated until acknowledged and the read-back
// until it arrives; every run ends confirmed, with the processor holding the values.
TEST(VelmarctlSetLossy, severalFieldsAreConfirmedOverALossyLink) {
    for (int seed : {2, 5, 11}) {
        const std::string state = TempDir() + "/unit.state";
        Sim sim({"--drop-frames", "0.1", "--drop-replies", "0.1", "--corrupt-replies", "0.02", "--seed",
                 std::to_string(seed), "--state", state});
        const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "set", "out5", "gain", "-3", "inC", "geq7", "4.5",
                                    "out1", "comp.ratio", "Inf", "inB", "mute", "off"},
                                   40000);
        ASSERT_EQ(r.exitCode, 0) << "seed " << seed << "\n" << r.err;
        EXPECT_EQ(r.out, "out5 gain -3.0dB\ninC geq7 4.5dB\nout1 comp.ratio Inf:1\ninB mute off\n");
        ASSERT_EQ(sim.stop(), 0);
        const SimDeviceState s = StateOf(state);
        EXPECT_EQ(s.image.outputs[4].gain, 330) << seed;
        EXPECT_EQ(s.image.inputs[2].geq[6], 245) << seed;
        EXPECT_EQ(s.image.inputs[1].soundOn, 1) << seed;
    }
}

TEST_F(VelmarctlSetDiff, diffListsTheFieldsInWhichTheProcessorDiffersFromTheFile) {
    const std::string before = dump("before.vq");
    const CtlResult same = ctl({"diff", before});
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(ctl({"--json", "diff", before}).out, "[]\n");

    ASSERT_EQ(
        ctl({"set", "out2", "peq3.gain", "+3", "inB", "delay", "3.4m", "out8", "route", "none"}).exitCode, 0);
    const CtlResult text = ctl({"diff", before});
    EXPECT_EQ(text.exitCode, 1) << text.err;
    EXPECT_EQ(text.out, "inB delay 9.996ms file 0.000ms\n"
                        "out2 peq3.gain 3.0dB file 0.0dB\n"
                        "out8 route none file ABCD\n");
    const CtlResult json = ctl({"--json", "diff", before});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.out, R"([{"channel":"inB","field":"delay","device":"9.996ms","file":"0.000ms"},)"
                        R"({"channel":"out2","field":"peq3.gain","device":"3.0dB","file":"0.0dB"},)"
                        R"({"channel":"out8","field":"route","device":"none","file":"ABCD"}])"
                        "\n");

    // The file is read as load sends it: a value out of its scale compares as the processor keeps it.
    DeviceImage image = ImageFromBytes(ReadFileBytes(dump("after.vq")));
    image.inputs[3].peq[0].gain = 999;
    WriteFileBytes(dir + "/over.vq", &image, sizeof image);
    EXPECT_EQ(ctl({"diff", dir + "/over.vq"}).exitCode, 0);
}

TEST_F(VelmarctlSetDiff, diffSaysTwoForAFileItCannotReadAndThreeWhenItCannotCompare) {
    const std::vector<uint8_t> half(800, 0);
    WriteFileBytes(dir + "/short.vq", half.data(), half.size());
    const CtlResult shortFile = ctl({"--trace", "diff", dir + "/short.vq"});
    EXPECT_EQ(shortFile.exitCode, 2);
    EXPECT_TRUE(Contains(shortFile.err, "the file holds 800 bytes")) << shortFile.err;
    EXPECT_TRUE(SentCommands(shortFile.err).empty());
    EXPECT_EQ(ctl({"diff", dir + "/none.vq"}).exitCode, 2);
    EXPECT_EQ(ctl({"diff"}).exitCode, 2);

    const std::string file = dump("unit.vq");
    // Nothing listens on a port that was free a moment ago.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    const CtlResult refused =
        RunCtl({"--tcp", "127.0.0.1:" + std::to_string(ntohs(a.sin_port)), "diff", file});
    EXPECT_EQ(refused.exitCode, 3) << refused.err;
    EXPECT_TRUE(refused.out.empty());

    // A processor that answers the handshake but never sends its image.
    Sim silent({"--silent-after", "1"});
    const CtlResult noImage = RunCtl({"--tcp", silent.tcpArg(), "diff", file}, 20000);
    EXPECT_EQ(noImage.exitCode, 3);
    EXPECT_TRUE(Contains(noImage.err, "did not send the whole image")) << noImage.err;
}

} // namespace
} // namespace velmar::tooltest
