// The TCP endpoint started for real on loopback and talked to with a minimal client.
#include "sim/SimTcpEndpoint.h"

#include "SimTestClient.h"
#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace velmar;
using simtest::Hex;

namespace {

struct Server {
    explicit Server(SimFaultConfig faults = {}) : endpoint(device, faults, nullptr) {
        std::string error;
        started = endpoint.start(0, error);
        EXPECT_TRUE(started) << error;
    }
    SimDevice device;
    SimTcpEndpoint endpoint;
    bool started = false;
};

// The local address of a listening TCP socket on `port`, from /proc/net/tcp ("0100007F" = 127.0.0.1).
std::string ListeningAddress(uint16_t port) {
    std::ifstream in("/proc/net/tcp");
    std::string line;
    char wanted[8];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string slot, local, remote, state;
        s >> slot >> local >> remote >> state;
        if (state == "0A" && local.size() > 8 && local.substr(8) == wanted) return local.substr(0, 8);
    }
    return {};
}

} // namespace

TEST(SimTcpEndpoint, answersAHandshakeOnLoopbackAndListensOnLoopbackOnly) {
    Server s;
    ASSERT_TRUE(s.started);
    ASSERT_NE(s.endpoint.port(), 0);
    EXPECT_EQ(ListeningAddress(s.endpoint.port()), "0100007F");
    const int fd = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake));
    const auto reply = simtest::ReadFrame(fd);
    EXPECT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(reply.size(), 430u);
    ::close(fd);
}

TEST(SimTcpEndpoint, framesInAnyChunksAreAnsweredOneReplyEach) {
    Server s;
    const int fd = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_GE(fd, 0);
    // Byte by byte with garbage in front, then two frames in one write.
    const auto bytes = simtest::Concat(Hex("00 5A 5A 13"), simtest::kHeartbeat);
    for (uint8_t b : bytes) ASSERT_TRUE(simtest::WriteBytes(fd, {b}));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::Concat(simtest::kHeartbeat, simtest::kHeartbeat)));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));
    EXPECT_EQ(s.device.heartbeatCount(), 3u);
    ::close(fd);
}

TEST(SimTcpEndpoint, aFrameStartThatNeverEndsHoldsUpTheNextFrameOnlyUntilTheLineIsQuiet) {
    Server s;
    const int fd = simtest::ConnectLoopback(s.endpoint.port());
    // The header of an image write (1600 bytes announced) that breaks off, then a heartbeat.
    ASSERT_TRUE(simtest::WriteBytes(
        fd, simtest::Concat(Hex("5A 5A 5A 01 53 A7 00 00 00 00 40 06 00"), simtest::kHeartbeat)));
    const auto reply = simtest::ReadFrame(fd, 1000);
    EXPECT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(reply[5], 0xA9);
    ::close(fd);
}

TEST(SimTcpEndpoint, acceptsANewConnectionAfterTheOldOneClosedAndANewOneReplacesAStaleOne) {
    Server s;
    int first = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_TRUE(simtest::WriteBytes(first, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(first)));
    ::close(first);

    const int second = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_TRUE(simtest::WriteBytes(second, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(second)));

    const int third = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_TRUE(simtest::WriteBytes(third, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(third)));
    EXPECT_TRUE(simtest::PeerClosed(second, 1000));
    EXPECT_EQ(s.endpoint.connectionsAccepted(), 3);
    ::close(second);
    ::close(third);
}

TEST(SimTcpEndpoint, theCloseFaultHangsUpAfterTheNthFrameAndTheNextConnectionWorks) {
    SimFaultConfig faults;
    faults.closeAfterFrames = 2;
    Server s(faults);
    const int fd = simtest::ConnectLoopback(s.endpoint.port());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
        EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd))) << i;
    }
    EXPECT_TRUE(simtest::PeerClosed(fd, 1000));
    ::close(fd);
    const int again = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_TRUE(simtest::WriteBytes(again, simtest::kHeartbeat));
    EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(again)));
    ::close(again);
}

TEST(SimTcpEndpoint, splitRepliesArriveInSeveralSegmentsThatStillMakeTheFrame) {
    SimFaultConfig faults;
    faults.splitReplies = 1;
    faults.splitGapMs = 15;
    Server s(faults);
    const int fd = simtest::ConnectLoopback(s.endpoint.port());
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
    // Right after the first chunk arrives the rest of the 30-byte reply is still 15 ms away.
    std::vector<uint8_t> got = simtest::ReadBytes(fd, 1, 1000);
    ASSERT_EQ(got.size(), 1u);
    uint8_t more[64];
    const ssize_t n = ::recv(fd, more, sizeof more, MSG_DONTWAIT);
    if (n > 0) got.insert(got.end(), more, more + n);
    EXPECT_LT(got.size(), 30u);
    got = simtest::Concat(got, simtest::ReadBytes(fd, 30 - got.size(), 1000));
    EXPECT_TRUE(simtest::IsFrame(got));
    ::close(fd);
}

TEST(SimTcpEndpoint, aSecondEndpointCannotTakeAPortInUse) {
    Server s;
    SimDevice device;
    SimTcpEndpoint other(device, {}, nullptr);
    std::string error;
    EXPECT_FALSE(other.start(s.endpoint.port(), error));
    EXPECT_NE(error.find("bind 127.0.0.1:"), std::string::npos) << error;
}
