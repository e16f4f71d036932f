// velmarctl end to end against velmar-sim over TCP on 127.0.0.1: info, dump and load, every field of
// set read back with get, refused values, stored programs, meters, exit codes.
#include "ToolTestSupport.h"

#include "core/FieldTable.h"
#include "sim/SimStateFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <map>
#include <regex>

namespace velmar::tooltest {
namespace {

using velmar::FieldTable;

QJsonObject JsonOf(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    EXPECT_TRUE(doc.isObject()) << text;
    return doc.object();
}

SimDeviceState StateOf(const std::string& path) {
    SimDeviceState state;
    std::string error;
    EXPECT_EQ(SimStateFile::load(path, state, error), SimStateFile::LoadResult::Loaded) << error;
    return state;
}

class VelmarctlTcp : public ::testing::Test {
protected:
    CtlResult ctl(std::vector<std::string> args, int timeoutMs = 30000) {
        args.insert(args.begin(), {"--tcp", sim->tcpArg()});
        return RunCtl(args, timeoutMs);
    }
    // Runs a command that must succeed and gives its stdout.
    std::string ok(std::vector<std::string> args) {
        const CtlResult r = ctl(args);
        std::string line;
        for (const auto& a : args) line += a + " ";
        EXPECT_EQ(r.exitCode, 0) << line << "\n" << r.err;
        return r.out;
    }

    std::string dir = TempDir();
    std::string statePath = dir + "/unit.state";
    std::unique_ptr<Sim> sim = std::make_unique<Sim>(std::vector<std::string>{"--state", statePath});
};

TEST_F(VelmarctlTcp, infoShowsModelVersionAddressProgramAndTheTwelveNames) {
    const CtlResult text = ctl({"info"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const auto lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 6u + 12u) << text.out;
    EXPECT_EQ(lines[0], "Model: VMP4x8  V1.20.4");
    EXPECT_EQ(lines[1], "Channels: 4 inputs, 8 outputs");
    EXPECT_EQ(lines[2], "Version: V1.20.4");
    EXPECT_EQ(lines[3], "Device Addr: 1");
    EXPECT_EQ(lines[4], "Program: 0 \" SYSTEM DEFAULT \"");
    EXPECT_EQ(lines[6], "   1 \"     USER 1     \"");
    EXPECT_EQ(lines[17], "  12 \"     USER 12    \"");

    const QJsonObject json = JsonOf(ok({"--json", "info"}));
    EXPECT_EQ(json["model"].toString(), "VMP4x8  V1.20.4");
    EXPECT_EQ(json["inputs"].toInt(), 4);
    EXPECT_EQ(json["outputs"].toInt(), 8);
    EXPECT_EQ(json["version"].toString(), "V1.20.4");
    EXPECT_EQ(json["address"].toInt(), 1);
    EXPECT_EQ(json["program"].toInt(), 0);
    EXPECT_EQ(json["programName"].toString(), " SYSTEM DEFAULT ");
    const QJsonArray programs = json["programs"].toArray();
    ASSERT_EQ(programs.size(), 12);
    EXPECT_EQ(programs[11].toObject()["number"].toInt(), 12);
    EXPECT_EQ(programs[11].toObject()["name"].toString(), "     USER 12    ");
}

TEST_F(VelmarctlTcp, theDeviceAddressTravelsInEveryFrame) {
    sim.reset();
    sim = std::make_unique<Sim>(std::vector<std::string>{"--address", "37", "--model", "2x6"});
    const CtlResult r = ctl({"--address", "37", "--trace", "--json", "info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject json = JsonOf(r.out);
    EXPECT_EQ(json["address"].toInt(), 37);
    EXPECT_EQ(json["inputs"].toInt(), 2);
    EXPECT_EQ(json["outputs"].toInt(), 6);
    const auto lines = Lines(r.err);
    ASSERT_GE(lines.size(), 4u);
    for (const std::string& line : lines) {
        // "2024-05-01T14:03:07.412 sent 5A 5A 5A 25 53 ..."
        EXPECT_TRUE(std::regex_match(
            line, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} (sent|recv)( [0-9A-F]{2})+)")))
            << line;
        EXPECT_NE(line.find(" 5A 5A 5A 25 53 "), std::string::npos) << line;
    }
    EXPECT_TRUE(Contains(lines[0], " sent 5A 5A 5A 25 53 A2 06 00 00 00 00 00 "));
}

// Each row: set, then a new connection reads it back with get. Rows run in order, so a row may rely on
// the one before it (a shelf needs its frequency within the shelf's limits, the high-pass below the
// low-pass).
TEST_F(VelmarctlTcp, everyFieldThatSetWritesIsReadBackByGetOnTheNextConnection) {
    struct Row {
        const char* channel;
        const char* field;
        const char* value;
        const char* shown;
    };
    const Row rows[] = {
        {"inA", "gain", "-3.5", "-3.5dB"},
        {"inA", "delay", "10.5", "11ms"},
        {"inA", "mute", "off", "off"},
        {"inA", "polarity", "-", "-"},
        {"inA", "gate", "-60", "-60dB"},
        {"inA", "peq3.freq", "150", "150Hz"},
        {"inA", "peq3.gain", "4.5", "4.5dB"},
        {"inA", "peq3.q", "10", "10.301"},
        {"inA", "peq3.type", "Lo_Shf", "Lo_Shf"},
        {"inA", "peq3.slope", "12dB", "12dB"},
        {"inA", "peq3.freq", "1500", "1500Hz"},
        {"inA", "geq1", "-6.5", "-6.5dB"},
        {"inA", "geq31", "12", "12.0dB"},
        {"inD", "delay", "3.4m", "9.996ms"},
        {"out1", "gain", "12", "12.0dB"},
        {"out1", "delay", "1000", "1000ms"},
        {"out1", "mute", "on", "on"},
        {"out1", "polarity", "-", "-"},
        {"out1", "route", "AC", "AC"},
        {"out1", "lpf", "5000", "5000Hz"},
        {"out1", "hpf", "120", "120Hz"},
        {"out1", "xover-hp", "ButterW 18dB", "ButterW 18dB"},
        {"out1", "xover-lp", "bessel 24db", "Bessel 24dB"},
        {"out1", "peq1.freq", "63", "63Hz"},
        {"out1", "peq1.gain", "-20", "-20.0dB"},
        {"out1", "peq1.q", "0.404", "0.404"},
        {"out1", "peq10.type", "Lo_Shf", "Lo_Shf"}, // outputs put a shelf at any frequency (15 kHz here)
        {"out1", "peq10.slope", "12dB", "12dB"},
        {"out1", "comp.threshold", "-10", "-10dBu"},
        {"out1", "comp.attack", "50.9", "50ms"},
        {"out1", "comp.release", "Atkx32", "Atkx32"},
        {"out1", "comp.ratio", "Inf", "Inf:1"},
        {"out8", "comp.ratio", "127:1", "127:1"},
        {"out8", "route", "none", "none"},
        {"out1", "lpf", "OFF", "OFF"},
        {"out1", "hpf", "OFF", "OFF"},
    };
    std::map<std::pair<std::string, std::string>, std::string> last;
    for (const Row& r : rows) {
        const std::string label = std::string(r.channel) + " " + r.field + " " + r.value;
        const CtlResult set = ctl({"set", r.channel, r.field, r.value});
        ASSERT_EQ(set.exitCode, 0) << label << "\n" << set.err;
        EXPECT_EQ(set.out, std::string(r.channel) + " " + r.field + " " + r.shown + "\n") << label;
        const CtlResult get = ctl({"get", r.channel, r.field});
        ASSERT_EQ(get.exitCode, 0) << label << "\n" << get.err;
        EXPECT_EQ(get.out, std::string(r.shown) + "\n") << label;
        last[{r.channel, r.field}] = r.shown;
    }

    // No write disturbed another field: the processor's whole image holds every last value.
    const std::string file = dir + "/after.vq";
    ok({"dump", file});
    const DeviceImage image = ImageFromBytes(ReadFileBytes(file));
    for (const auto& [key, shown] : last) {
        const auto ch = FieldTable::ParseChannel(key.first);
        std::string error;
        const auto f = FieldTable::ParseField(key.second, *ch, error);
        EXPECT_EQ(FieldTable::Read(image, *ch, *f).text, shown) << key.first << " " << key.second;
    }

    const QJsonObject json = JsonOf(ok({"--json", "get", "inA", "gain"}));
    EXPECT_EQ(json["channel"].toString(), "inA");
    EXPECT_EQ(json["field"].toString(), "gain");
    EXPECT_EQ(json["text"].toString(), "-3.5dB");
    EXPECT_DOUBLE_EQ(json["value"].toDouble(), -3.5);
    EXPECT_EQ(json["unit"].toString(), "dB");
    EXPECT_EQ(JsonOf(ok({"--json", "get", "out1", "xover-lp"}))["value"].toString(), "Bessel 24dB");
}

TEST_F(VelmarctlTcp, aValueOutsideItsScaleIsRefusedBeforeAnyLinkIsOpened) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"set", "inA", "gain", "13"},
                                               {"set", "out2", "comp.release", "Atkx48"},
                                               {"set", "out2", "hpf", "25000"},
                                               {"set", "inB", "geq4", "20.5"},
                                               {"set", "out3", "peq2.q", "30"},
                                               {"set", "inC", "mute", "maybe"}}) {
        std::vector<std::string> traced = args;
        traced.insert(traced.begin(), "--trace");
        const CtlResult r = ctl(traced);
        EXPECT_EQ(r.exitCode, 2) << args[3];
        EXPECT_TRUE(Contains(r.err, "velmarctl: Data out of range: " + args[1] + " " + args[2] + " takes "))
            << r.err;
        EXPECT_TRUE(SentCommands(r.err).empty()) << r.err;
    }
    const CtlResult gain = ctl({"set", "inA", "gain", "13"});
    EXPECT_EQ(gain.err, "velmarctl: Data out of range: inA gain takes -36 to 12 dB, got '13'\n");
}

TEST_F(VelmarctlTcp, aValueThePagesEntryRulesRefuseIsReadAgainstTheProcessorAndNothingIsSent) {
    ok({"set", "out2", "lpf", "500"});
    ok({"set", "inB", "peq2.type", "Lo_Shf"}); // band 2 sits at 50 Hz
    struct Row {
        std::vector<std::string> args;
        const char* rule;
    };
    const Row rows[] = {
        {{"set", "out2", "hpf", "1000"}, "out2 hpf takes OFF or 20 to 500 Hz (never above the low-pass)"},
        {{"set", "inB", "peq2.freq", "2500"}, "inB peq2.freq takes 20 to 2000 Hz on a low shelf"},
        {{"set", "inB", "peq10.type", "Lo_Shf"},
         "inB peq10.type takes Lo_Shf only on a band from 20 to 2000 Hz"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.insert(args.begin(), "--trace");
        const CtlResult r = ctl(args);
        EXPECT_EQ(r.exitCode, 2) << row.rule;
        EXPECT_TRUE(Contains(r.err, std::string("velmarctl: Data out of range: ") + row.rule)) << r.err;
        const auto sent = SentCommands(r.err);
        EXPECT_EQ(CountOf(sent, 0xA6), 1) << "the image was read first";
        EXPECT_EQ(CountOf(sent, 0xA1), 0) << r.err;
    }
    EXPECT_EQ(ok({"get", "out2", "hpf"}), "OFF\n");
    EXPECT_EQ(ok({"get", "inB", "peq2.freq"}), "50Hz\n");
}

TEST_F(VelmarctlTcp, aValueEqualToTheStoredOneSendsNothingAndSucceeds) {
    const CtlResult r = ctl({"--trace", "set", "out4", "gain", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "out4 gain 0.0dB (unchanged, nothing sent)\n");
    EXPECT_EQ(SentCommands(r.err), (std::vector<uint8_t>{0xA2, 0xA6}));

    const CtlResult changed = ctl({"--trace", "set", "out4", "gain", "0.5"});
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    // The write, then the read-back that confirms it.
    EXPECT_EQ(SentCommands(changed.err), (std::vector<uint8_t>{0xA2, 0xA6, 0xA1, 0xA6}));
    // The write of output 4's unit 1 (P1 4, P3 3, P4 1) and its acknowledgement.
    EXPECT_TRUE(Contains(changed.err, " sent 5A 5A 5A 01 53 A1 04 00 03 01 08 00 01 01 6D 01 00 00 0F 00 "));
    EXPECT_TRUE(Contains(changed.err, " recv 5A 5A 5A 01 53 AA 04 00 03 01 00 00 "));
}

TEST_F(VelmarctlTcp, unknownChannelsAndFieldsAndChannelsTheModelLacksAreUsageErrors) {
    EXPECT_EQ(ctl({"get", "inE", "gain"}).exitCode, 2);
    EXPECT_EQ(ctl({"get", "out1", "gate"}).exitCode, 2);
    EXPECT_EQ(ctl({"get", "inA", "comp.ratio"}).exitCode, 2);
    EXPECT_EQ(ctl({"get", "inA", "peq11.freq"}).exitCode, 2);
    sim.reset();
    sim = std::make_unique<Sim>(std::vector<std::string>{"--model", "4x6"});
    const CtlResult r = ctl({"get", "out7", "gain"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "velmarctl: out7: this processor has 4 inputs and 6 outputs\n");
    EXPECT_EQ(ctl({"get", "out6", "gain"}).exitCode, 0);
}

TEST_F(VelmarctlTcp, dumpWritesTheProcessorsImageAndLoadMakesTheProcessorsMemoryEqualTheFile) {
    ok({"set", "out3", "gain", "-6"});
    const std::string first = dir + "/first.vq";
    EXPECT_EQ(ok({"dump", first}), "Exporting data completed: " + first + "\n");
    std::vector<uint8_t> bytes = ReadFileBytes(first);
    ASSERT_EQ(bytes.size(), kImageSize);
    DeviceImage image = ImageFromBytes(bytes);
    EXPECT_EQ(image.outputs[2].gain, 300);

    // A program file made elsewhere: new values everywhere, one of them outside its range.
    image.inputs[1].gain = 420;
    image.inputs[1].peq[4].freq = 777;
    image.inputs[2].geq[10] = 355;
    image.outputs[4].hpfFreq = 250;
    image.outputs[4].lpfFreq = 8000;
    image.outputs[4].compThreshold = 10;
    image.outputs[7].routeMask = 0x05;
    image.inputs[3].peq[0].gain = 999; // an input puts an over-range band gain back to 0 dB (200)
    const std::string edited = dir + "/edited.vq";
    WriteFileBytes(edited, &image, sizeof image);
    EXPECT_EQ(ok({"load", edited}), "Importing data completed\n");

    image.inputs[3].peq[0].gain = 200;
    const std::string second = dir + "/second.vq";
    ok({"dump", second});
    const std::vector<uint8_t> back = ReadFileBytes(second);
    ASSERT_EQ(back.size(), kImageSize);
    EXPECT_EQ(std::memcmp(back.data(), &image, kImageSize), 0);

    ASSERT_EQ(sim->stop(), 0);
    const SimDeviceState state = StateOf(statePath);
    EXPECT_EQ(std::memcmp(&state.image, &image, kImageSize), 0) << "the simulator's memory is the file";
}

TEST_F(VelmarctlTcp, aProgramFileThatCannotBeReadOrWrittenIsAnErrorAndAShortOneIsNeverSent) {
    const std::string shortFile = dir + "/short.vq";
    const std::vector<uint8_t> half(800, 0);
    WriteFileBytes(shortFile, half.data(), half.size());
    const CtlResult load = ctl({"--trace", "load", shortFile});
    EXPECT_EQ(load.exitCode, 1);
    EXPECT_TRUE(
        Contains(load.err, "velmarctl: MusicFile read Error: " + shortFile + ": the file holds 800 bytes"))
        << load.err;
    EXPECT_TRUE(SentCommands(load.err).empty());
    const CtlResult missing = ctl({"load", dir + "/none.vq"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "MusicFile read Error")) << missing.err;
    const CtlResult dump = ctl({"dump", dir + "/no/such/folder/x.vq"});
    EXPECT_EQ(dump.exitCode, 1);
    EXPECT_TRUE(Contains(dump.err, "velmarctl: MusicFile Write Error: ")) << dump.err;
}

TEST_F(VelmarctlTcp, programsAreStoredLoadedAndRenamedOnTheProcessor) {
    ok({"set", "out1", "gain", "6"});
    EXPECT_EQ(ok({"program", "store", "3"}), "Save successful\n");
    ok({"set", "out1", "gain", "0"});
    EXPECT_EQ(ok({"program", "load", "5"}), "Load successful\n"); // never stored: the start values
    EXPECT_EQ(ok({"get", "out1", "gain"}), "0.0dB\n");
    EXPECT_EQ(ok({"program", "load", "3"}), "Load successful\n");
    EXPECT_EQ(ok({"get", "out1", "gain"}), "6.0dB\n");

    const CtlResult rename = ctl({"--trace", "program", "rename", "3", "Stage Left"});
    ASSERT_EQ(rename.exitCode, 0) << rename.err;
    EXPECT_EQ(rename.out, "program 3 \"Stage Left\"\n");
    // Command 0xA1, P1 5 (a program name), P2 3, 16 bytes: the name, zeros, byte 15 zero.
    EXPECT_TRUE(Contains(rename.err,
                         " sent 5A 5A 5A 01 53 A1 05 03 00 00 10 00 53 74 61 67 65 20 4C 65 66 74 00 "
                         "00 00 00 00 00 "))
        << rename.err;

    const QJsonObject info = JsonOf(ok({"--json", "info"}));
    EXPECT_EQ(info["program"].toInt(), 3);
    EXPECT_EQ(info["programName"].toString(), "Stage Left");
    EXPECT_EQ(info["programs"].toArray()[2].toObject()["name"].toString(), "Stage Left");

    ASSERT_EQ(sim->stop(), 0);
    const SimDeviceState state = StateOf(statePath);
    EXPECT_EQ(state.programs[2].outputs[0].gain, 420);
    EXPECT_EQ(state.currentProgram, 3);
}

TEST_F(VelmarctlTcp, metersPrintOneReadingPerHeartbeatReply) {
    ok({"set", "inA", "mute", "off"}); // the start values mute the inputs, which silences the outputs
    const CtlResult r = ctl({"meters", "--count", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    const std::regex reading(R"(inA=\d+ inB=\d+ inC=\d+ inD=\d+( out[1-8]=\d+!?){8})");
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, reading)) << line;

    const QJsonObject json = JsonOf(ok({"--json", "meters", "--count", "2"}));
    const QJsonArray readings = json["readings"].toArray();
    ASSERT_EQ(readings.size(), 2);
    const QJsonObject first = readings[0].toObject();
    EXPECT_EQ(first["inputs"].toObject().size(), 4);
    EXPECT_EQ(first["outputs"].toObject().size(), 8);
    EXPECT_GT(first["inputs"].toObject()["inA"].toInt(), 0);
    EXPECT_GT(first["outputs"].toObject()["out1"].toObject()["level"].toInt(), 0);
    EXPECT_TRUE(first["outputs"].toObject()["out1"].toObject()["limit"].isBool());
}

TEST_F(VelmarctlTcp, metersFollowTheSmallerModelsByteOrder) {
    sim.reset();
    sim = std::make_unique<Sim>(std::vector<std::string>{"--model", "2x4"});
    ok({"set", "inA", "mute", "off"});
    const std::string out = ok({"meters"});
    const std::regex reading(R"(inA=(\d+) inB=\d+ out1=(\d+) out2=(\d+) out3=(\d+) out4=(\d+)\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out, m, reading)) << out;
    // Outputs 1 to 4 are fed by input A: read in the wrong order they would show the absent outputs' 0.
    for (int i = 2; i <= 5; ++i) EXPECT_GT(std::stoi(m[i].str()), 0) << out;
}

TEST_F(VelmarctlTcp, aRefusedConnectionEndsWithinTwoSecondsNamingTheAddress) {
    // A port that was free a moment ago: nothing listens there.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    const std::string target = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    ::close(fd);
    const CtlResult r = RunCtl({"--tcp", target, "info"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "velmarctl: Can't open the wifi: " + target + ": ")) << r.err;
    EXPECT_LT(r.seconds, 2.5);
}

TEST(Velmarctl, usageErrorsExitWithTwoAndHelpWithZero) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"info"},
                                               {"--tcp", "127.0.0.1", "info"},
                                               {"--usb", "frobnicate"},
                                               {"--usb", "--address", "300", "info"}}) {
        const CtlResult r = RunCtl(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args.back());
        EXPECT_TRUE(Contains(r.err, "velmarctl: ")) << r.err;
        EXPECT_TRUE(Contains(r.err, "--help")) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    const CtlResult help = RunCtl({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.out, "Usage: velmarctl (--tcp HOST:PORT | --serial DEVICE | --usb)"));
    EXPECT_TRUE(help.err.empty());
}

} // namespace
} // namespace velmar::tooltest
