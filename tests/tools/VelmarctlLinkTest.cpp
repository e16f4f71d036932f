// velmarctl over the simulator's pseudo-terminal, over a lossy link, and when a reply without a retry
// never comes: the link supervision ends the run with exit 1 and a clear message, never a hang.
#include "ToolTestSupport.h"

#include "sim/SimStateFile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar::tooltest {
namespace {

// Frames lost on the way in and replies lost on the way out (10% each), replies split into chunks,
// late by 20 to 60 ms and led by noise. Seeded: a fresh simulator with the same seed loses the same
// frames of a run, so each case below picks a seed that makes its retry happen. (If the simulator's
// fault streams change, pick new seeds: the assertions on the send counts say which.)
std::vector<std::string> Lossy(int seed, const std::string& statePath) {
    return {"--drop-frames",   "0.1",    "--drop-replies", "0.1",
            "--split-replies", "0.5",    "--split-gap",    "5",
            "--delay",         "20",     "--delay-jitter", "40",
            "--noise",         "0.1",    "--seed",         std::to_string(seed),
            "--state",         statePath};
}

SimDeviceState StateOf(const std::string& path) {
    SimDeviceState state;
    std::string error;
    EXPECT_EQ(SimStateFile::load(path, state, error), SimStateFile::LoadResult::Loaded) << error;
    return state;
}

TEST(VelmarctlSerial, aPseudoTerminalLinkReadsTheProcessorAndWritesItsFields) {
    Sim sim({"--pty"}); // replies paced as on a 19200 bit/s line
    ASSERT_FALSE(sim.pty().empty());
    const CtlResult info = RunCtl({"--serial", sim.pty(), "--json", "info"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object();
    EXPECT_EQ(json["model"].toString(), "VMP4x8  V1.20.4");

    for (const auto& [channel, field, value, shown] :
         std::vector<std::array<std::string, 4>>{{"out5", "xover-hp", "Lin-Ril 48dB", "Lin-Ril 48dB"},
                                                 {"inC", "geq18", "-7.5", "-7.5dB"},
                                                 {"out6", "delay", "2.5", "2.520ms"}}) {
        const CtlResult set = RunCtl({"--serial", sim.pty(), "set", channel, field, value});
        ASSERT_EQ(set.exitCode, 0) << set.err;
        const CtlResult get = RunCtl({"--serial", sim.pty(), "get", channel, field});
        ASSERT_EQ(get.exitCode, 0) << get.err;
        EXPECT_EQ(get.out, shown + "\n") << channel << " " << field;
    }
    const CtlResult missing = RunCtl({"--serial", "/dev/velmar-no-such-port", "info"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "velmarctl: Unable to open COM-port /dev/velmar-no-such-port: No such file or directory\n");
}

TEST(VelmarctlSerial, aPortWithoutPermissionNamesTheGroupToJoin) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens every port";
    const std::string path = TempDir() + "/ttyLocked";
    { std::ofstream(path).put('\0'); }
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const CtlResult r = RunCtl({"--serial", path, "info"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "velmarctl: Unable to open COM-port " + path +
                         ": Permission denied (serial ports belong to the group dialout: sudo usermod -aG "
                         "dialout $USER, then log out and in again)\n");
}

TEST(VelmarctlLossyLink, anUnansweredHandshakeIsSentAgainAndTheCommandCompletes) {
    const std::string state = TempDir() + "/unit.state";
    Sim sim(Lossy(8, state));
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--trace", "set", "out2", "gain", "3.0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(CountOf(SentCommands(r.err), 0xA2), 2) << "seed 8 loses the first handshake\n" << r.err;
    ASSERT_EQ(sim.stop(), 0);
    EXPECT_EQ(StateOf(state).image.outputs[1].gain, 390);
}

TEST(VelmarctlLossyLink, theParameterWriteIsRepeatedUntilTheProcessorAcknowledgesIt) {
    const std::string state = TempDir() + "/unit.state";
    Sim sim(Lossy(3, state));
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--trace", "set", "out2", "gain", "3.0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "out2 gain 3.0dB\n");
    EXPECT_GE(CountOf(SentCommands(r.err), 0xA1), 2) << "seed 3 loses the first write\n" << r.err;
    ASSERT_EQ(sim.stop(), 0);
    EXPECT_EQ(StateOf(state).image.outputs[1].gain, 390);
}

TEST(VelmarctlLossyLink, theWholeImageWriteIsSentAgainUntilTheProcessorAnswers) {
    const std::string dir = TempDir();
    DeviceImage image{};
    {
        Sim clean({});
        ASSERT_EQ(RunCtl({"--tcp", clean.tcpArg(), "dump", dir + "/start.vq"}).exitCode, 0);
        image = ImageFromBytes(ReadFileBytes(dir + "/start.vq"));
    }
    image.outputs[6].gain = 250;
    image.inputs[0].peq[7].q = 95;
    WriteFileBytes(dir + "/new.vq", &image, sizeof image);

    Sim sim(Lossy(49, dir + "/unit.state"));
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--trace", "load", dir + "/new.vq"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(CountOf(SentCommands(r.err), 0xA7), 2) << "seed 49 loses the first image write\n" << r.err;
    ASSERT_EQ(sim.stop(), 0);
    const SimDeviceState state = StateOf(dir + "/unit.state");
    EXPECT_EQ(std::memcmp(&state.image, &image, kImageSize), 0);
}

TEST(VelmarctlLossyLink, aLostProgramNameIsSentAgainByVelmarctlUntilAcknowledged) {
    // The protocol has no retry for the name write; velmarctl repeats it, as it is idempotent.
    const std::string state = TempDir() + "/unit.state";
    Sim sim(Lossy(49, state));
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--trace", "program", "rename", "3", "Stage"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "program 3 \"Stage\"\n");
    EXPECT_GE(CountOf(SentCommands(r.err), 0xA1), 2) << "seed 49 loses the first name write\n" << r.err;
    ASSERT_EQ(sim.stop(), 0);
    const auto name = StateOf(state).names[3];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name.data()), 6), std::string("Stage\0", 6));
}

// The replies below have no retry: the scheduler waits without sending, the processor says nothing, and
// about 6 s of silence close the link. Bounded: the run must end well before the test's own time-out.
struct Unanswered {
    std::vector<std::string> simArgs;
    bool serial;
    std::vector<std::string> command;
    const char* linkMessage;
    const char* waitingFor;
};

void ExpectLinkLoss(const Unanswered& u) {
    Sim sim(u.simArgs);
    std::vector<std::string> args = u.serial ? std::vector<std::string>{"--serial", sim.pty()}
                                             : std::vector<std::string>{"--tcp", sim.tcpArg()};
    args.insert(args.end(), u.command.begin(), u.command.end());
    const CtlResult r = RunCtl(args, 15000);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err,
              std::string("velmarctl: ") + u.linkMessage +
                  "\nvelmarctl: link lost: nothing received from the processor for 6 seconds while waiting "
                  "for " +
                  u.waitingFor + "\n");
    EXPECT_GT(r.seconds, 5.5);
    EXPECT_LT(r.seconds, 10.0);
}

// At connection the core's own retries decide, not the supervision: velmarctl asks for the image twice,
// four sends each, then names what did not come.
TEST(VelmarctlLinkLoss, anImageReadThatIsNeverAnsweredEndsAfterEightSends) {
    Sim sim({"--silent-after", "1"}); // the handshake is answered, the image read that follows is not
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--trace", "dump", TempDir() + "/x.vq"}, 20000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "velmarctl: the processor did not send the whole image (asked 8 times)\n"))
        << r.err;
    EXPECT_EQ(CountOf(SentCommands(r.err), 0xA6), 8);
    EXPECT_GT(r.seconds, 7.5);
    EXPECT_LT(r.seconds, 12.0);
}

TEST(VelmarctlLinkLoss, aProgramStoreThatIsNeverAnsweredEndsThroughTheLinkSupervisionOnASerialLink) {
    ExpectLinkLoss({{"--pty", "--silent-after", "2"},
                    true,
                    {"program", "store", "2"},
                    "COM connect error",
                    "the answer to the store of program 2"});
}

// A load has its own timeout and four sends in the core: it is given up before the link falls silent.
TEST(VelmarctlLinkLoss, aProgramLoadThatIsNeverAnsweredEndsWhenTheCoreGivesItUp) {
    Sim sim({"--silent-after", "2"});
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "program", "load", "4"}, 15000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "velmarctl: the processor did not acknowledge the load of program 4 (sent 4 times)\n");
    EXPECT_GT(r.seconds, 3.5);
    EXPECT_LT(r.seconds, 8.0);
}

// A processor that answers nothing: the handshake goes out six times, 1.6 s apart, before velmarctl
// gives up; the link supervision's six silent seconds do not cut that short.
TEST(VelmarctlLinkLoss, anUnansweredHandshakeIsSentSixTimesBeforeVelmarctlGivesUp) {
    Sim sim({"--silent-after", "0", "--address", "9"});
    const CtlResult r = RunCtl({"--tcp", sim.tcpArg(), "--address", "9", "--trace", "info"}, 20000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err,
                         "velmarctl: the processor did not answer the handshake (sent 6 times to device "
                         "address 9)\n"))
        << r.err;
    EXPECT_EQ(CountOf(SentCommands(r.err), 0xA2), 6);
    EXPECT_GT(r.seconds, 9.0);
    EXPECT_LT(r.seconds, 12.0);
}

} // namespace
} // namespace velmar::tooltest
