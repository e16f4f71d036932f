// The real velmar-sim binary: what it prints, its frame log, signals, options and the state file.
#include "SimTestClient.h"
#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

using simtest::Hex;
using simtest::SimProcess;

namespace {

std::string HexText(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) s += ' ';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

// Reads the start-up lines up to "ready"; fills the TCP port and pty path when present.
bool ReadStartup(SimProcess& p, uint16_t* port, std::string* pty, std::vector<std::string>* lines = nullptr) {
    for (;;) {
        const std::string line = p.readLine();
        if (line.empty()) return false;
        if (lines) lines->push_back(line);
        if (line == "ready") return true;
        if (port && line.rfind("tcp 127.0.0.1:", 0) == 0)
            *port = static_cast<uint16_t>(std::stoi(line.substr(14)));
        if (pty && line.rfind("pty ", 0) == 0) *pty = line.substr(4);
    }
}

std::string TempPath(const char* name) {
    char dir[] = "/tmp/velmar-sim-bin-XXXXXX";
    return std::string(::mkdtemp(dir)) + "/" + name;
}

} // namespace

TEST(SimBinary, printsWhereItListensAndLogsAHandshakeByteExactInBothDirections) {
    SimProcess sim({"--tcp", "0", "--pty", "--baud", "0", "--log"});
    uint16_t port = 0;
    std::string pty;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadStartup(sim, &port, &pty, &lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(port, 0);
    EXPECT_EQ(pty.rfind("/dev/pts/", 0), 0u) << pty;

    const int tcp = simtest::ConnectLoopback(port);
    ASSERT_GE(tcp, 0);
    ASSERT_TRUE(simtest::WriteBytes(tcp, simtest::kHandshake));
    const auto reply = simtest::ReadFrame(tcp);
    ASSERT_TRUE(simtest::IsFrame(reply));

    const int serial = simtest::OpenSerial(pty);
    ASSERT_GE(serial, 0);
    ASSERT_TRUE(simtest::WriteBytes(serial, simtest::kHeartbeat));
    const auto meters = simtest::ReadFrame(serial);
    ASSERT_TRUE(simtest::IsFrame(meters));
    ::close(serial);
    ::close(tcp);

    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    const std::string log = sim.readAllStderr();
    EXPECT_NE(log.find(" tcp in  5A 5A 5A 01 53 A2 06 00 00 00 00 00 AC AA  [handshake]\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" tcp out " + HexText(reply) + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" pty in  5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA  [heartbeat]\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" pty out " + HexText(meters) + "\n"), std::string::npos) << log;
}

TEST(SimBinary, modelAndAddressOptionsReachTheUnit) {
    SimProcess sim({"--tcp", "0", "--model", "2x4", "--address", "7"});
    uint16_t port = 0;
    ASSERT_TRUE(ReadStartup(sim, &port, nullptr));
    const int fd = simtest::ConnectLoopback(port);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake)); // to address 1: not this unit
    ASSERT_TRUE(simtest::WriteBytes(fd, Hex("5A 5A 5A | 07 53 | A2 | 06 00 00 00 | 00 00 | AA AA")));
    const auto reply = simtest::ReadFrame(fd);
    ASSERT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(reply[3], 7);
    const auto p = simtest::PayloadOf(reply);
    EXPECT_EQ(p[10], 7);
    EXPECT_EQ(p[67], '2');
    EXPECT_EQ(p[69], '4');
    ::close(fd);
}

TEST(SimBinary, sigusr1SilencesTheUnitAndSigusr2BringsItBack) {
    SimProcess sim({"--tcp", "0"});
    uint16_t port = 0;
    ASSERT_TRUE(ReadStartup(sim, &port, nullptr));
    const int fd = simtest::ConnectLoopback(port);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));

    sim.signal(SIGUSR1);
    ::usleep(100000);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::ReadBytes(fd, 1, 200).empty());

    sim.signal(SIGUSR2);
    ::usleep(100000);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));
    ::close(fd);
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(), 0);
}

TEST(SimBinary, theStateFileKeepsProgramsAndNamesBetweenRuns) {
    const std::string state = TempPath("unit.state");
    {
        SimProcess sim({"--tcp", "0", "--state", state});
        uint16_t port = 0;
        ASSERT_TRUE(ReadStartup(sim, &port, nullptr));
        const int fd = simtest::ConnectLoopback(port);
        for (const char* frame : {
                 "5A 5A 5A | 01 53 | A1 | 04 00 02 01 | 08 00 | 00 01 68 01 00 00 0F 00 | C1 AA", // mute
                                                                                                  // output 3
                 "5A 5A 5A | 01 53 | A5 | 00 02 00 00 | 00 00 | AF AA", // store as program 2
                 "5A 5A 5A | 01 53 | A1 | 05 02 00 00 | 10 00 | 47 49 47 00 00 00 00 00 00 00 00 00 00 00 00 "
                 "00 | F7 AA",
             }) {
            ASSERT_TRUE(simtest::WriteBytes(fd, Hex(frame)));
            EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd))) << frame;
        }
        ::close(fd);
        sim.signal(SIGTERM);
        ASSERT_EQ(sim.wait(), 0);
    }
    struct stat st {};
    ASSERT_EQ(::stat(state.c_str(), &st), 0);

    SimProcess sim({"--tcp", "0", "--state", state});
    uint16_t port = 0;
    ASSERT_TRUE(ReadStartup(sim, &port, nullptr));
    const int fd = simtest::ConnectLoopback(port);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake));
    const auto p = simtest::PayloadOf(simtest::ReadFrame(fd));
    ASSERT_EQ(p.size(), 416u);
    EXPECT_EQ(p[15], 2);
    EXPECT_EQ(std::string(p.begin() + 80 + 32, p.begin() + 80 + 48),
              std::string("GIG\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    ASSERT_TRUE(
        simtest::WriteBytes(fd, Hex("5A 5A 5A | 01 53 | A6 | 00 02 00 00 | 00 00 | AC AA"))); // load 2
    const auto image = simtest::PayloadOf(simtest::ReadFrame(fd));
    ASSERT_EQ(image.size(), 1600u);
    EXPECT_EQ(image[640 + 2 * 120 + 8], 0); // output 3 muted as stored
    ::close(fd);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    ::unlink(state.c_str());
    ::rmdir(state.substr(0, state.rfind('/')).c_str());
}

TEST(SimBinary, aDamagedStateFileStopsItWithoutTouchingTheFile) {
    const std::string state = TempPath("bad.state");
    FILE* f = std::fopen(state.c_str(), "w");
    std::fputs("not a state file", f);
    std::fclose(f);
    SimProcess sim({"--tcp", "0", "--state", state});
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_NE(sim.readAllStderr().find("not a velmar-sim state file"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(state.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 16);
    ::unlink(state.c_str());
    ::rmdir(state.substr(0, state.rfind('/')).c_str());
}

TEST(SimBinary, helpExitsZeroAndBadOptionsExitTwoWithAMessage) {
    {
        SimProcess sim({"--help"});
        EXPECT_EQ(sim.wait(), 0);
        const std::string all = sim.readAllStdout();
        EXPECT_NE(all.find("--close-after N"), std::string::npos);
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--tcp", "x"}, {"--bogus"}, {}, {"--pty", "--model", "5x5"}}) {
        SimProcess sim(args);
        EXPECT_EQ(sim.wait(), 2);
        const std::string err = sim.readAllStderr();
        EXPECT_EQ(err.rfind("velmar-sim: ", 0), 0u) << err;
        EXPECT_NE(err.find("--help"), std::string::npos) << err;
    }
}
