// The serial class family against a real pseudo-terminal: settings, error codes, trace reports, reads,
// timed writes, the listener's posted line events and a port that disappears.
#include "TestSupport.h"

#include "transport/Serial/SerialPort.h"
#include "transport/UniqueFd.h"

#include <QThread>

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <thread>

namespace velmar {
namespace {

using test::Bytes;
using test::Hex;
using test::PtyPair;
using test::SpinFor;
using test::SpinUntil;
using test::TraceCapture;

const Bytes kHeartbeat = Hex("5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA");

// Destination of posted line events; optionally reads the port on every received-character notice,
// as the main window does.
class LineEventSink : public QObject {
public:
    struct Received {
        uint32_t wParam;
        intptr_t lParam;
        bool onOwnThread;
    };
    std::vector<Received> events;
    std::function<void(const SerialLineEvent&)> onEvent;

    size_t countWith(uint32_t eventBits) const {
        size_t n = 0;
        for (const auto& e : events)
            if ((e.wParam & 0xFFFF & eventBits) == eventBits) ++n;
        return n;
    }

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != CSerialWnd::DefaultComMsg()) return;
        const auto* line = static_cast<const SerialLineEvent*>(event);
        events.push_back({line->wParam(), line->lParam(), QThread::currentThread() == thread()});
        if (onEvent) onEvent(*line);
    }
};

class SerialTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }
    const char* path() const { return pty.slavePath().c_str(); }
    UniqueFd probe() const { return UniqueFd(::open(path(), O_RDWR | O_NOCTTY | O_NONBLOCK)); }

    PtyPair pty;
    TraceCapture trace;
};

TEST_F(SerialTest, openMakesThePortRawAndExclusiveAndCloseRestoresTheOriginalSettings) {
    const UniqueFd other = probe();
    ASSERT_TRUE(other.valid());
    struct termios before {};
    ASSERT_EQ(0, ::tcgetattr(other.get(), &before));
    ASSERT_TRUE(before.c_lflag & ICANON);

    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    struct termios during {};
    ASSERT_EQ(0, ::tcgetattr(other.get(), &during));
    EXPECT_FALSE(during.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(during.c_oflag & OPOST);
    EXPECT_EQ(CS8, during.c_cflag & CSIZE);
    int exclusive = 0;
    ASSERT_EQ(0, ::ioctl(other.get(), TIOCGEXCL, &exclusive));
    EXPECT_EQ(1, exclusive);

    EXPECT_EQ(0, port.Close());
    struct termios after {};
    ASSERT_EQ(0, ::tcgetattr(other.get(), &after));
    EXPECT_EQ(before.c_lflag, after.c_lflag);
    EXPECT_EQ(before.c_iflag, after.c_iflag);
    EXPECT_EQ(before.c_oflag, after.c_oflag);
    EXPECT_EQ(before.c_cflag, after.c_cflag);
    ASSERT_EQ(0, ::ioctl(other.get(), TIOCGEXCL, &exclusive));
    EXPECT_EQ(0, exclusive);
}

TEST_F(SerialTest, openingAnOpenPortReturns1247AndLeavesTheFirstConnectionWorking) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    EXPECT_EQ(1247, port.Open(path(), 0, 0, true));
    EXPECT_EQ(1247, port.GetLastError());
    EXPECT_TRUE(trace.contains("CSerial::Open - Port already opened\n"));

    uint32_t written = 0;
    EXPECT_EQ(0, port.Write(kHeartbeat.data(), kHeartbeat.size(), &written, nullptr, 210));
    EXPECT_EQ(kHeartbeat, pty.read(kHeartbeat.size()));
    port.Close();
}

TEST_F(SerialTest, openingAMissingDeviceReturnsTheSystemErrorAndReportsIt) {
    CSerial port;
    EXPECT_EQ(ENOENT, port.Open("/dev/velmar-no-such-port"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(trace.contains("CSerial::Open - Unable to open port\n"));
}

TEST_F(SerialTest, queueSizesBelowSixteenAreReportedButDoNotFailTheOpen) {
    CSerial port;
    EXPECT_EQ(0, port.Open(path(), 8, 8));
    EXPECT_TRUE(trace.contains("dwInQueue >= 16"));
    EXPECT_TRUE(trace.contains("dwOutQueue >= 16"));
    port.Close();
}

TEST(SerialClosedPort, everyOperationReturnsNotOpenAndReportsWhichOneFailed) {
    TraceCapture trace;
    CSerial port;
    uint8_t buffer[4] = {};
    uint32_t count = 99;
    struct Case {
        const char* report;
        std::function<int32_t()> call;
        int32_t result;
    };
    const Case cases[] = {
        {"CSerial::Setup - Device is not opened\n", [&] { return port.Setup(19200, 8, 0, 0); }, 6},
        {"CSerial::SetMask - Device is not opened\n", [&] { return port.SetMask(0x01FF); }, 6},
        {"CSerial::SetupHandshaking - Device is not opened\n", [&] { return port.SetupHandshaking(0); }, 6},
        {"CSerial::SetupReadTimeouts - Device is not opened\n", [&] { return port.SetupReadTimeouts(0); }, 6},
        {"CSerial::SetEventChar - Device is not opened\n", [&] { return port.SetEventChar('\n'); }, 6},
        {"CSerial::WaitEvent - Device is not opened\n", [&] { return port.WaitEvent(); }, 6},
        {"CSerial::Write - Device is not opened\n", [&] { return port.Write(buffer, 4, &count); }, 6},
        {"CSerial::Read - Device is not opened\n", [&] { return port.Read(buffer, 4, &count); }, 6},
        {"CSerial::Purge - Device is not opened\n", [&] { return port.Purge(); }, 6},
        {"CSerial::GetBaudrate - Device is not opened\n", [&] { return port.GetBaudrate(); }, -1},
        {"CSerial::GetDataBits - Device is not opened\n", [&] { return port.GetDataBits(); }, -1},
        {"CSerial::GetParity - Device is not opened\n", [&] { return port.GetParity(); }, -1},
        {"CSerial::GetStopBits - Device is not opened\n", [&] { return port.GetStopBits(); }, -1},
        {"CSerial::GetHandshaking - Device is not opened\n", [&] { return port.GetHandshaking(); }, -1},
        {"CSerial::GetEventMask - Device is not opened\n", [&] { return int32_t(port.GetEventMask()); }, 0},
        {"CSerial::GetEventChar - Device is not opened\n", [&] { return int32_t(port.GetEventChar()); }, 0},
        {"CSerial::GetError - Device is not opened\n", [&] { return int32_t(port.GetError()); }, 0},
        {"CSerial::GetCTS - Device is not opened\n", [&] { return int32_t(port.GetCTS()); }, 0},
    };
    for (const Case& c : cases) {
        trace.clear();
        EXPECT_EQ(c.result, c.call()) << c.report;
        EXPECT_EQ(6, port.GetLastError()) << c.report;
        EXPECT_EQ(std::vector<std::string>{c.report}, trace.lines());
    }
    EXPECT_EQ(0u, count) << "the count is cleared even when nothing can be read";

    trace.clear();
    EXPECT_EQ(0, port.Close());
    EXPECT_EQ(std::vector<std::string>{"CSerial::Close - Method called when device is not open\n"},
              trace.lines());
}

TEST(SerialSettings, everyLineSettingEncodesAndDecodesToItself) {
    struct Settings {
        uint32_t baud;
        int dataBits, parity, stopBits;
    };
    const Settings table[] = {
        {19200, 8, CSerial::EParNone, CSerial::EStop1},  {9600, 7, CSerial::EParEven, CSerial::EStop2},
        {115200, 8, CSerial::EParOdd, CSerial::EStop1},  {4800, 5, CSerial::EParMark, CSerial::EStop1_5},
        {57600, 6, CSerial::EParSpace, CSerial::EStop2}, {1200, 8, CSerial::EParNone, CSerial::EStop2},
        {921600, 5, CSerial::EParOdd, CSerial::EStop1},
    };
    for (const Settings& s : table) {
        struct termios t {};
        ASSERT_TRUE(CSerial::EncodeSetup(t, s.baud, s.dataBits, s.parity, s.stopBits)) << s.baud;
        EXPECT_EQ(int32_t(s.baud), CSerial::DecodeBaudrate(t));
        EXPECT_EQ(s.dataBits, CSerial::DecodeDataBits(t));
        EXPECT_EQ(s.parity, CSerial::DecodeParity(t));
        EXPECT_EQ(s.stopBits, CSerial::DecodeStopBits(t));
        EXPECT_EQ(s.parity != CSerial::EParNone, (t.c_iflag & INPCK) != 0)
            << "parity checking follows parity";
    }
}

TEST(SerialSettings, parityReadsAsNoneWheneverParityCheckingIsOff) {
    struct termios t {};
    ASSERT_TRUE(CSerial::EncodeSetup(t, 9600, 8, CSerial::EParEven, CSerial::EStop1));
    t.c_iflag &= ~INPCK;
    EXPECT_EQ(CSerial::EParNone, CSerial::DecodeParity(t));
}

TEST(SerialSettings, handshakingDecodesFromFlowControlFlags) {
    struct termios t {};
    EXPECT_EQ(CSerial::EHandshakeOff, CSerial::DecodeHandshaking(t));
    t.c_iflag = IXON;
    EXPECT_EQ(CSerial::EHandshakeOff, CSerial::DecodeHandshaking(t)) << "software needs both directions";
    t.c_iflag = IXON | IXOFF;
    EXPECT_EQ(CSerial::EHandshakeSoftware, CSerial::DecodeHandshaking(t));
    t.c_cflag = CRTSCTS;
    EXPECT_EQ(CSerial::EHandshakeHardware, CSerial::DecodeHandshaking(t));
}

TEST(SerialLineStatus, modemLineChangesBecomeEventsAndOnlyARisingRingCounts) {
    struct Case {
        int before, after;
        uint32_t bits;
    };
    const Case cases[] = {
        {0, 0, 0},
        {0, TIOCM_CTS, CSerial::EEventCTS},
        {TIOCM_CTS, 0, CSerial::EEventCTS},
        {TIOCM_DSR, TIOCM_DSR | TIOCM_CD, CSerial::EEventRLSD},
        {0, TIOCM_DSR | TIOCM_CTS, CSerial::EEventDSR | CSerial::EEventCTS},
        {0, TIOCM_RI, CSerial::EEventRing},
        {TIOCM_RI, 0, 0}, // the ring falling is no event
        {TIOCM_RI, TIOCM_RI, 0},
        {TIOCM_RTS | TIOCM_DTR, 0, 0}, // our own output lines are not events
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bits, CSerial::ModemEventBits(c.before, c.after)) << c.before << " -> " << c.after;
}

TEST(SerialLineStatus, counterChangesBecomeBreakAndErrorEventsAndTheirErrorFlags) {
    using C = CSerial::LineCounters;
    struct Case {
        C after;
        uint32_t events, errors;
    };
    const C before{3, 3, 3, 3, 3};
    const Case cases[] = {
        {{3, 3, 3, 3, 3}, 0, 0},
        {{4, 3, 3, 3, 3}, CSerial::EEventError, CSerial::EErrorFrame},
        {{3, 4, 3, 3, 3}, CSerial::EEventError, CSerial::EErrorOverrun},
        {{3, 3, 4, 3, 3}, CSerial::EEventError, CSerial::EErrorParity},
        {{3, 3, 3, 4, 3}, CSerial::EEventBreak, CSerial::EErrorBreak},
        {{3, 3, 3, 3, 4}, CSerial::EEventError, CSerial::EErrorRxOver},
        {{2, 3, 3, 9, 3},
         CSerial::EEventError | CSerial::EEventBreak,
         CSerial::EErrorFrame | CSerial::EErrorBreak},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.events, CSerial::CounterEventBits(before, c.after));
        EXPECT_EQ(c.errors, CSerial::CounterErrorFlags(before, c.after));
    }
}

TEST_F(SerialTest, theLinkSettingsReachThePort) {
    // A pseudo-terminal keeps the speed and the stop bits (it always reports 8 data bits, no parity).
    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    ASSERT_EQ(0, port.Setup(19200, 8, CSerial::EParNone, CSerial::EStop1));
    EXPECT_EQ(19200, port.GetBaudrate());
    EXPECT_EQ(8, port.GetDataBits());
    EXPECT_EQ(CSerial::EParNone, port.GetParity());
    EXPECT_EQ(CSerial::EStop1, port.GetStopBits());
    ASSERT_EQ(0, port.Setup(115200, 8, CSerial::EParNone, CSerial::EStop2));
    EXPECT_EQ(115200, port.GetBaudrate());
    EXPECT_EQ(CSerial::EStop2, port.GetStopBits());
    port.Close();
}

TEST_F(SerialTest, impossibleSettingsAreRefusedWithTheSystemErrorAndLeaveTheLineAsItWas) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    ASSERT_EQ(0, port.Setup(19200, 8, CSerial::EParNone, CSerial::EStop1));
    const Bytes none;
    struct Bad {
        uint32_t baud;
        int dataBits, parity, stopBits;
    };
    for (const Bad& b : {Bad{12345, 8, 0, 0}, Bad{9600, 9, 0, 0}, Bad{9600, 8, 5, 0}, Bad{9600, 8, 0, 1},
                         Bad{9600, 5, 0, 2}}) {
        trace.clear();
        EXPECT_EQ(EINVAL, port.Setup(b.baud, b.dataBits, b.parity, b.stopBits));
        EXPECT_EQ(std::vector<std::string>{"CSerial::Setup - Unable to set DCB information\n"},
                  trace.lines());
        EXPECT_EQ(19200, port.GetBaudrate());
        EXPECT_EQ(8, port.GetDataBits());
        EXPECT_EQ(0, port.GetStopBits());
    }
    port.Close();
}

TEST_F(SerialTest, handshakingModesReadBackAndThePtyWithoutModemLinesCountsAsDone) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    for (int mode : {CSerial::EHandshakeHardware, CSerial::EHandshakeSoftware, CSerial::EHandshakeOff}) {
        EXPECT_EQ(0, port.SetupHandshaking(mode)) << mode;
        EXPECT_EQ(mode, port.GetHandshaking());
    }
    EXPECT_TRUE(trace.lines().empty());
    port.Close();
}

TEST_F(SerialTest, unknownHandshakingAndReadTimeoutModesReturnInvalidArgumentAndChangeNothing) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    ASSERT_EQ(0, port.SetupHandshaking(CSerial::EHandshakeSoftware));
    const UniqueFd other = probe();
    struct termios before {};
    ASSERT_EQ(0, ::tcgetattr(other.get(), &before));

    EXPECT_EQ(int32_t(0x80070057u), port.SetupHandshaking(3));
    EXPECT_EQ(int32_t(0x80070057u), port.GetLastError());
    EXPECT_EQ(int32_t(0x80070057u), port.SetupReadTimeouts(2));
    EXPECT_EQ(CSerial::EHandshakeSoftware, port.GetHandshaking());
    struct termios after {};
    ASSERT_EQ(0, ::tcgetattr(other.get(), &after));
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    port.Close();
}

TEST_F(SerialTest, withoutOverlappedIoTimedCallsAndRecordsAreRefusedWithCode1) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, false));
    uint8_t buffer[16] = {};
    uint32_t count = 0;
    SerialOverlapped record;

    EXPECT_EQ(1, port.Write(kHeartbeat.data(), kHeartbeat.size(), &count, nullptr, 210));
    EXPECT_TRUE(
        trace.contains("CSerial::Write - Overlapped I/O is disabled, specified parameters are illegal.\n"));
    EXPECT_EQ(1, port.Read(buffer, sizeof buffer, &count, &record));
    EXPECT_TRUE(
        trace.contains("CSerial::Read - Overlapped I/O is disabled, specified parameters are illegal.\n"));
    EXPECT_EQ(1, port.WaitEvent(nullptr, 100));
    EXPECT_TRUE(trace.contains(
        "CSerial::WaitEvent - Overlapped I/O is disabled, specified parameters are illegal.\n"));
    EXPECT_TRUE(pty.drain().empty());

    // Without a record and without a limit the call runs synchronously.
    EXPECT_EQ(0, port.Write(kHeartbeat.data(), kHeartbeat.size(), &count));
    EXPECT_EQ(kHeartbeat.size(), count);
    EXPECT_EQ(kHeartbeat, pty.read(kHeartbeat.size()));
    port.Close();
}

TEST_F(SerialTest, framesAreWrittenByteExact) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    uint32_t written = 0;
    ASSERT_EQ(0, port.Write(kHeartbeat.data(), kHeartbeat.size(), &written, nullptr, 210));
    EXPECT_EQ(14u, written);
    EXPECT_EQ(kHeartbeat, pty.read(14));

    // The largest frame, with every byte value in it (0x0A and 0x0D must pass untranslated).
    Bytes image(1614);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(0, port.Write(image.data(), image.size(), &written, nullptr, 210));
    EXPECT_EQ(1614u, written);
    EXPECT_EQ(image, pty.read(image.size()));

    ASSERT_EQ(0, port.Write("ZZZ", &written, nullptr, 210));
    EXPECT_EQ(3u, written);
    EXPECT_EQ(Hex("5A 5A 5A"), pty.read(3));
    port.Close();
}

TEST_F(SerialTest, nonBlockingReadsReturnWhatIsBufferedAndZeroWhenNothingIs) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    uint8_t buffer[1280];
    uint32_t count = 99;
    EXPECT_EQ(0, port.Read(buffer, sizeof buffer, &count, nullptr, 100));
    EXPECT_EQ(0u, count);

    pty.write(Hex("5A 5A 5A 01 53"));
    Bytes got;
    ASSERT_TRUE(SpinUntil([&] {
        port.Read(buffer, sizeof buffer, &count, nullptr, 100);
        got.insert(got.end(), buffer, buffer + count);
        return got.size() >= 5;
    }));
    EXPECT_EQ(Hex("5A 5A 5A 01 53"), got);
    port.Close();
}

TEST_F(SerialTest, aBlockingReadThatRunsOutOfTimeReturns1460WithWhatArrived) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    ASSERT_EQ(0, port.SetupReadTimeouts(CSerial::EReadTimeoutBlocking));
    pty.write(Hex("01 02 03"));
    uint8_t buffer[10];
    uint32_t count = 0;
    EXPECT_EQ(1460, port.Read(buffer, sizeof buffer, &count, nullptr, 50));
    EXPECT_EQ(3u, count);
    EXPECT_TRUE(trace.lines().empty()) << "an expired wait reports nothing";
    port.Close();
}

TEST_F(SerialTest, aWriteThatCannotCompleteInTimeIsCancelledWith1460) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    // Nobody reads the master: the terminal's queue fills up.
    const Bytes flood(1 << 20, 0x55);
    uint32_t written = 0;
    EXPECT_EQ(1460, port.Write(flood.data(), flood.size(), &written, nullptr, 30));
    EXPECT_LT(written, flood.size());
    EXPECT_EQ(1460, port.GetLastError());
    EXPECT_TRUE(trace.lines().empty()) << "an expired wait reports nothing";
    port.Close();
}

TEST_F(SerialTest, waitEventReportsReceivedCharactersAndExpiresWith1460) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    EXPECT_EQ(1460, port.WaitEvent(nullptr, 30));
    pty.write(Hex("AA"));
    EXPECT_EQ(0, port.WaitEvent(nullptr, 2000));
    EXPECT_EQ(CSerial::EEventRecv, port.GetEventType());
    port.Close();
}

TEST_F(SerialTest, aPtyHasNoModemLinesOrErrorCountersAndThatIsNoFailure) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path()));
    EXPECT_FALSE(port.GetCTS());
    EXPECT_FALSE(port.GetDSR());
    EXPECT_FALSE(port.GetRing());
    EXPECT_FALSE(port.GetRLSD());
    EXPECT_EQ(0u, port.GetError());
    EXPECT_EQ(0, port.GetLastError());
    EXPECT_TRUE(trace.lines().empty());
    port.Close();
}

TEST_F(SerialTest, theListenerPostsReceivedCharacterEventsToTheDestinationsThreadWithoutReading) {
    LineEventSink sink;
    CSerialWnd port;
    ASSERT_EQ(0, port.Open(path(), &sink, 0, 0x1234));
    EXPECT_TRUE(port.IsListening());
    pty.write(kHeartbeat);
    ASSERT_TRUE(SpinUntil([&] { return sink.countWith(CSerial::EEventRecv) > 0; }));
    EXPECT_EQ(0x1234, sink.events.front().lParam);
    EXPECT_TRUE(sink.events.front().onOwnThread);
    EXPECT_EQ(0u, sink.events.front().wParam >> 16) << "no line errors on a pty";

    // The listener only signalled: every byte is still there for the owner's read.
    uint8_t buffer[1280];
    uint32_t count = 0;
    ASSERT_EQ(0, port.Read(buffer, sizeof buffer, &count, nullptr, 100));
    EXPECT_EQ(kHeartbeat, Bytes(buffer, buffer + count));
    port.Close();
}

TEST_F(SerialTest, unreadBytesAreAnnouncedOnceNotOverAndOver) {
    LineEventSink sink;
    CSerialWnd port;
    ASSERT_EQ(0, port.Open(path(), &sink));
    pty.write(Hex("01 02 03"));
    ASSERT_TRUE(SpinUntil([&] { return !sink.events.empty(); }));
    SpinFor(200);
    EXPECT_EQ(1u, sink.countWith(CSerial::EEventRecv));

    // Reading lets the next bytes be announced again.
    uint8_t buffer[16];
    uint32_t count = 0;
    port.Read(buffer, sizeof buffer, &count, nullptr, 100);
    pty.write(Hex("04"));
    ASSERT_TRUE(SpinUntil([&] { return sink.countWith(CSerial::EEventRecv) == 2; }));
    port.Close();
}

TEST_F(SerialTest, repliesArriveChunkByChunkAndALongBurstTakesSeveralNotices) {
    LineEventSink sink;
    CSerialWnd port;
    Bytes received;
    std::vector<uint32_t> readSizes;
    sink.onEvent = [&](const SerialLineEvent& e) {
        if (!(e.events() & CSerial::EEventRecv)) return;
        uint8_t buffer[1280];
        uint32_t count = 0;
        port.Read(buffer, sizeof buffer, &count, nullptr, 100);
        readSizes.push_back(count);
        received.insert(received.end(), buffer, buffer + count);
    };
    ASSERT_EQ(0, port.Open(path(), &sink));
    ASSERT_EQ(0, port.SetMask(CSerial::kAllEvents));

    const Bytes first = Hex("5A 5A"), second = Hex("5A 01 53 A9 00 00"), third = Hex("00 00 00 00 A1 AA");
    for (const Bytes* chunk : {&first, &second, &third}) {
        const size_t want = received.size() + chunk->size();
        pty.write(*chunk);
        ASSERT_TRUE(SpinUntil([&] { return received.size() == want; }));
    }
    EXPECT_EQ(kHeartbeat, received);

    received.clear();
    readSizes.clear();
    Bytes burst(3000);
    for (size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<uint8_t>(i);
    pty.write(burst);
    ASSERT_TRUE(SpinUntil([&] { return received.size() == burst.size(); }, 5000));
    EXPECT_EQ(burst, received);
    EXPECT_GE(readSizes.size(), 3u);
    for (uint32_t size : readSizes) EXPECT_LE(size, 1280u);
    port.Close();
}

TEST_F(SerialTest, closingStopsTheListenerSoNothingIsPostedAndALateReadGetsNothing) {
    LineEventSink sink;
    CSerialWnd port;
    ASSERT_EQ(0, port.Open(path(), &sink));
    ASSERT_EQ(0, port.Close());
    EXPECT_FALSE(port.IsListening());
    EXPECT_FALSE(port.IsOpen());
    pty.write(Hex("01 02"));
    SpinFor(100);
    EXPECT_TRUE(sink.events.empty());

    // A notice that was queued before the close leads to a read of a closed port.
    uint8_t buffer[1280];
    uint32_t count = 7;
    EXPECT_EQ(6, port.Read(buffer, sizeof buffer, &count, nullptr, 100));
    EXPECT_EQ(0u, count);
    EXPECT_TRUE(trace.contains("CSerial::Read - Device is not opened\n"));
}

TEST_F(SerialTest, aVanishingPortIsReportedOnceAsALineEventAndClosesPromptly) {
    LineEventSink sink;
    CSerialWnd port;
    ASSERT_EQ(0, port.Open(path(), &sink));
    ASSERT_EQ(0, port.SetMask(CSerial::kAllEvents));
    pty.closeMaster();

    const uint32_t vanished = CSerial::EEventRLSD | CSerial::EEventError;
    ASSERT_TRUE(SpinUntil([&] { return sink.countWith(vanished) > 0; }));
    SpinFor(300);
    EXPECT_EQ(1u, sink.events.size()) << "reported once, then the listener stays quiet";

    uint32_t written = 0;
    EXPECT_NE(0, port.Write(kHeartbeat.data(), kHeartbeat.size(), &written, nullptr, 210));
    EXPECT_TRUE(trace.contains("CSerial::Write - Unable to write the data\n"));

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(0, port.Close());
    EXPECT_LT(timer.elapsed(), 500);
}

TEST_F(SerialTest, applyingAMaskEndsAWaitInProgressWithNoEvent) {
    CSerial port;
    ASSERT_EQ(0, port.Open(path(), 0, 0, true));
    std::atomic<int32_t> result{-1};
    std::thread waiter([&] { result = port.WaitEvent(nullptr, 5000); });
    // The mask is applied until the wait has seen it (the waiter may not have started at the first).
    ASSERT_TRUE(SpinUntil(
        [&] {
            port.SetMask(CSerial::kAllEvents);
            return result.load() != -1;
        },
        4000));
    waiter.join();
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(0u, port.GetEventType());
    EXPECT_TRUE(trace.contains("CSerial::GetEventType - Event 00000000h not within mask 000001FFh.\n"));
    port.Close();
}

TEST(SerialEventType, eventsAreMaskedAndClearedAndAnEventOutsideTheMaskIsReported) {
    struct Probe : CSerial {
        void setEvent(uint32_t bits, uint32_t mask) {
            m_eEvent = bits;
            m_dwEventMask = mask;
        }
    };
    TraceCapture trace;
    Probe port;
    port.setEvent(0x0081, 0x00C1);
    EXPECT_EQ(0x0081u, port.GetEventType());
    EXPECT_TRUE(trace.lines().empty());
    EXPECT_EQ(0u, port.GetEventType()) << "cleared by the first call";
    port.setEvent(0x0008, 0x00C1);
    EXPECT_EQ(0u, port.GetEventType());
    EXPECT_TRUE(trace.contains("CSerial::GetEventType - Event 00000008h not within mask 000000C1h.\n"));
}

TEST_F(SerialTest, destroyingAnOpenPortReportsItAtTheOutermostClassAndReleasesThePort) {
    {
        LineEventSink sink;
        CSerialWnd port;
        ASSERT_EQ(0, port.Open(path(), &sink));
    }
    EXPECT_EQ(std::vector<std::string>{"CSerialWnd::~CSerialWnd - Serial port not closed\n"}, trace.lines());
    trace.clear();
    {
        CSerial port;
        ASSERT_EQ(0, port.Open(path()));
    }
    EXPECT_EQ(std::vector<std::string>{"CSerial::~CSerial - Serial port not closed\n"}, trace.lines());

    const UniqueFd other = probe();
    int exclusive = 1;
    ASSERT_EQ(0, ::ioctl(other.get(), TIOCGEXCL, &exclusive));
    EXPECT_EQ(0, exclusive);
}

TEST(SerialPortNames, namesFromThePortListLiveInDevAndPathsStayAsTheyAre) {
    EXPECT_EQ(QString("/dev/ttyUSB0"), SerialPort::DevicePath("ttyUSB0"));
    EXPECT_EQ(QString("/dev/pts/7"), SerialPort::DevicePath("/dev/pts/7"));
    EXPECT_EQ(QString(), SerialPort::DevicePath(QString()));
}

} // namespace
} // namespace velmar
