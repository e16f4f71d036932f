// The pseudo-terminal endpoint: raw slave, pacing at the line rate, reopening, hang-up fault, symlink.
#include "sim/SimPtyEndpoint.h"

#include "SimTestClient.h"
#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <mutex>

using namespace velmar;
using simtest::Hex;

namespace {

struct Pty {
    explicit Pty(int baud, SimFaultConfig faults = {}, std::string link = {})
        : endpoint(device, faults, nullptr, baud) {
        endpoint.setPathChangedHandler([this](const std::string& p) {
            std::lock_guard lock(mutex);
            changedTo = p;
        });
        std::string error;
        started = endpoint.start(link, error);
        EXPECT_TRUE(started) << error;
    }
    std::string changed() {
        std::lock_guard lock(mutex);
        return changedTo;
    }
    SimDevice device;
    SimPtyEndpoint endpoint;
    bool started = false;
    std::mutex mutex;
    std::string changedTo;
};

double MsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

TEST(SimPtyEndpoint, answersAHandshakeOnTheSlaveUnchangedByteForByte) {
    Pty p(0);
    ASSERT_TRUE(p.started);
    const int fd = simtest::OpenSerial(p.endpoint.slavePath());
    ASSERT_GE(fd, 0) << p.endpoint.slavePath();
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake));
    const auto reply = simtest::ReadFrame(fd);
    EXPECT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(reply.size(), 430u);
    ::close(fd);
}

TEST(SimPtyEndpoint, repliesArePacedAtTheLineRate) {
    // A heartbeat reply is 30 bytes: 125 ms at 2400 bit/s, a few ms unpaced.
    for (const int baud : {2400, 0}) {
        Pty p(baud);
        const int fd = simtest::OpenSerial(p.endpoint.slavePath());
        ASSERT_GE(fd, 0);
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
        const auto reply = simtest::ReadBytes(fd, 30, 2000);
        const double ms = MsSince(sent);
        EXPECT_TRUE(simtest::IsFrame(reply));
        if (baud == 2400) {
            EXPECT_GE(ms, 120.0);
        } else {
            EXPECT_LT(ms, 100.0);
        }
        ::close(fd);
    }
}

TEST(SimPtyEndpoint, theSlaveCanBeClosedAndOpenedAgainEvenAfterExclusiveUse) {
    Pty p(0);
    const std::string path = p.endpoint.slavePath();
    int fd = simtest::OpenSerial(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0); // as the application's serial port does
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
    ::usleep(50000); // the reply is waiting unread when the port closes
    ::close(fd);
    ::usleep(100000); // the endpoint notices the hang-up and clears the slave

    fd = simtest::OpenSerial(path);
    ASSERT_GE(fd, 0);
    int exclusive = 1;
    ASSERT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    // The stale reply is gone: the first frame read is the answer to the new handshake.
    ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHandshake));
    const auto reply = simtest::ReadFrame(fd);
    EXPECT_EQ(reply.size(), 430u);
    EXPECT_TRUE(simtest::IsFrame(reply));
    EXPECT_EQ(p.endpoint.slavePath(), path);
    ::close(fd);
}

TEST(SimPtyEndpoint, theCloseFaultHangsUpTheSlaveAndMakesANewOneBehindTheLink) {
    char dir[] = "/tmp/velmar-sim-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/ttyVM0";
    SimFaultConfig faults;
    faults.closeAfterFrames = 1;
    {
        Pty p(0, faults, link);
        const std::string first = p.endpoint.slavePath();
        char target[256] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), first);

        const int fd = simtest::OpenSerial(link);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(simtest::WriteBytes(fd, simtest::kHeartbeat));
        EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(fd)));
        EXPECT_TRUE(simtest::PeerClosed(fd, 1000)); // the old slave hangs up
        ::close(fd);

        for (int i = 0; i < 100 && p.changed().empty(); ++i) ::usleep(10000);
        const std::string second = p.endpoint.slavePath();
        EXPECT_EQ(p.changed(), second);
        EXPECT_NE(second, first);
        std::fill(std::begin(target), std::end(target), 0);
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), second);

        const int again = simtest::OpenSerial(link);
        ASSERT_GE(again, 0);
        ASSERT_TRUE(simtest::WriteBytes(again, simtest::kHeartbeat));
        EXPECT_TRUE(simtest::IsFrame(simtest::ReadFrame(again)));
        ::close(again);
    }
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0); // removed at stop
    ::rmdir(dir);
}

TEST(SimPtyEndpoint, refusesToReplaceAFileThatIsNotASymlink) {
    char dir[] = "/tmp/velmar-sim-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/precious";
    ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    SimDevice device;
    SimPtyEndpoint endpoint(device, {}, nullptr, 0);
    std::string error;
    EXPECT_FALSE(endpoint.start(file, error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ::unlink(file.c_str());
    ::rmdir(dir);
}
