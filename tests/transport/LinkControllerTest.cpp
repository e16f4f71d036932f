// LinkController: opening one link at a time, the core's hooks on each transport, received bytes into
// the core's sinks on the owning thread, and what the user is told when a link fails.
#include "FakeHidBackend.h"
#include "TestSupport.h"

#include "transport/LinkController.h"
#include "transport/LinkMessages.h"
#include "transport/UniqueFd.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace velmar {
namespace {

using test::Bytes;
using test::FakeHidBackend;
using test::Hex;
using test::PtyPair;
using test::SpinFor;
using test::SpinUntil;
using test::TraceCapture;

const Bytes kHeartbeat = Hex("5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA");
const std::string kProcessor = "/dev/hidraw4";

HidDeviceInfo Processor(const std::string& path) {
    HidDeviceInfo info;
    info.vendorId = 0x0483;
    info.productId = 0x5750;
    info.releaseNumber = 0x0200;
    info.path = path;
    return info;
}

class LinkControllerTest : public ::testing::Test {
protected:
    LinkControllerTest() {
        auto hid = std::make_unique<FakeHidBackend>();
        fake = hid.get();
        links = std::make_unique<LinkController>(std::move(hid));
        links->attach(state, LinkController::CoreSinks{
                                 [this](const uint8_t* bytes, int16_t count) {
                                     offThread = offThread || QThread::currentThread() != links->thread();
                                     counts.push_back(count);
                                     if (count > 0) fed.insert(fed.end(), bytes, bytes + count);
                                 },
                                 [this](const uint8_t* report) {
                                     offThread = offThread || QThread::currentThread() != links->thread();
                                     reports.emplace_back(report, report + kHidInReportSize);
                                 },
                                 [this] { ++handshakes; }});
        QObject::connect(links.get(), &LinkController::linkOpened,
                         [this](LinkType t) { opened.push_back(t); });
        QObject::connect(links.get(), &LinkController::linkClosed,
                         [this](LinkType t) { closed.push_back(t); });
        QObject::connect(links.get(), &LinkController::usbDeviceDisconnect, [this] { ++disconnects; });
        QObject::connect(links.get(), &LinkController::usbDeviceRemoved, [this] { ++removals; });
        QObject::connect(links.get(), &LinkController::serialOpenFailed,
                         [this](const QString& port, int error) {
                             serialFailures.push_back(port);
                             serialErrors.push_back(error);
                         });
        QObject::connect(links.get(), &LinkController::tcpOpenFailed,
                         [this](const QString&) { ++tcpFailures; });
        QObject::connect(links.get(), &LinkController::serialLineEvent,
                         [this](quint16 events, quint16) { lineEvents.push_back(events); });
    }

    bool writeUsbFrame(const Bytes& frame) {
        for (size_t at = 0; at < frame.size(); at += 64) {
            uint8_t chunk[64] = {};
            std::memcpy(chunk, frame.data() + at, std::min<size_t>(64, frame.size() - at));
            if (!state.hooks.writeUsbReport(chunk, at == 0)) return false;
        }
        return true;
    }

    CoreState state;
    FakeHidBackend* fake = nullptr;
    std::unique_ptr<LinkController> links;
    Bytes fed;
    std::vector<int16_t> counts;
    std::vector<std::vector<uint8_t>> reports;
    bool offThread = false;
    int handshakes = 0;
    std::vector<LinkType> opened, closed;
    int disconnects = 0, removals = 0, tcpFailures = 0;
    std::vector<QString> serialFailures;
    std::vector<int> serialErrors;
    std::vector<quint16> lineEvents;
    TraceCapture trace; // keeps the serial reports of the tests off stderr
};

TEST_F(LinkControllerTest, attachInstallsTheTransportHooksAndLeavesTheOthersAlone) {
    CoreState other;
    bool posted = false;
    other.hooks.postMessage = [&](uint32_t, uint32_t, uint32_t) { posted = true; };
    links->attach(other, {});
    EXPECT_TRUE(other.hooks.writeFrame && other.hooks.writeUsbReport && other.hooks.closeLink);
    EXPECT_FALSE(state.hooks.writeFrame) << "attaching elsewhere detaches from the first state";
    other.hooks.postMessage(0, 0, 0);
    EXPECT_TRUE(posted);
    links.reset();
    EXPECT_FALSE(other.hooks.writeFrame || other.hooks.writeUsbReport || other.hooks.closeLink);
}

TEST_F(LinkControllerTest, aSerialLinkOpensAPtyAt19200AndSendsFramesByteExact) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    state.linkConfirmed = 2;
    ASSERT_TRUE(links->openSerial(QString::fromStdString(pty.slavePath())));
    EXPECT_EQ(1, state.linkConnected);
    EXPECT_EQ(LinkType::Serial, state.activeLink);
    EXPECT_EQ(0, state.linkConfirmed);
    EXPECT_EQ(1, handshakes);
    EXPECT_EQ(std::vector<LinkType>{LinkType::Serial}, opened);
    EXPECT_EQ(19200, links->serialPort().GetBaudrate());
    EXPECT_EQ(CSerial::kAllEvents, links->serialPort().GetEventMask());
    EXPECT_EQ(CSerial::EHandshakeOff, links->serialPort().GetHandshaking());

    state.hooks.writeFrame(kHeartbeat.data(), kHeartbeat.size());
    EXPECT_EQ(kHeartbeat, pty.read(kHeartbeat.size()));
}

TEST_F(LinkControllerTest, serialRepliesReachTheCoreChunkByChunkOnItsOwnThread) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(links->openSerial(QString::fromStdString(pty.slavePath())));
    const Bytes parts[] = {Hex("5A 5A 5A 01"), Hex("53 A9 00 00 00 00"), Hex("00 00 A1 AA")};
    Bytes expected;
    for (const Bytes& part : parts) {
        pty.write(part);
        expected.insert(expected.end(), part.begin(), part.end());
        ASSERT_TRUE(SpinUntil([&] { return fed == expected; }));
    }
    EXPECT_FALSE(offThread);
    for (int16_t n : counts) EXPECT_LE(n, 1280);
}

TEST_F(LinkControllerTest, aSerialPortThatCannotBeOpenedOrSetUpIsReportedAndLeftClosed) {
    // The failed step's error goes with the report, also when the port opened and had to be closed.
    const struct {
        QString port;
        int error;
    } cases[] = {{"/dev/velmar-no-such-port", ENOENT}, {"/dev/null", ENOTTY}};
    for (const auto& [port, error] : cases) {
        serialFailures.clear();
        serialErrors.clear();
        EXPECT_FALSE(links->openSerial(port)) << port.toStdString();
        EXPECT_EQ(std::vector<QString>{port}, serialFailures);
        EXPECT_EQ(std::vector<int>{error}, serialErrors) << port.toStdString();
        EXPECT_FALSE(links->serialPort().IsOpen());
        EXPECT_EQ(0, state.linkConnected);
    }
    EXPECT_EQ(0, handshakes);
    EXPECT_TRUE(opened.empty());
}

TEST_F(LinkControllerTest, aVanishingSerialPortIsALineEventAndTheSupervisionDecides) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(links->openSerial(QString::fromStdString(pty.slavePath())));
    pty.closeMaster();
    ASSERT_TRUE(SpinUntil([&] {
        return std::find(lineEvents.begin(), lineEvents.end(), CSerial::EEventRLSD | CSerial::EEventError) !=
               lineEvents.end();
    }));
    SpinFor(150);
    EXPECT_EQ(1, state.linkConnected);
    EXPECT_TRUE(fed.empty());
}

TEST_F(LinkControllerTest, usbWithoutADeviceConnectsAndItsFirstFrameSaysDeviceDisconnectOnce) {
    EXPECT_FALSE(links->openUsb());
    EXPECT_EQ(1, state.linkConnected);
    EXPECT_EQ(LinkType::Usb, state.activeLink);
    EXPECT_EQ(1, handshakes);

    EXPECT_FALSE(writeUsbFrame(kHeartbeat));
    EXPECT_EQ(0, state.linkConnected);
    EXPECT_EQ(0, disconnects) << "raised after the core's call returns, not inside it";
    ASSERT_TRUE(SpinUntil([&] { return disconnects == 1; }));
    EXPECT_FALSE(writeUsbFrame(kHeartbeat));
    SpinFor(20);
    EXPECT_EQ(1, disconnects);
}

TEST_F(LinkControllerTest, usbFramesGoOutReportByReportAndReportsReachTheCore) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    Bytes frame(160 + 14);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(writeUsbFrame(frame));
    ASSERT_TRUE(SpinUntil([&] { return fake->written(kProcessor).size() == 3; }));
    const auto written = fake->written(kProcessor);
    for (size_t r = 0; r < written.size(); ++r) {
        ASSERT_EQ(65u, written[r].size());
        EXPECT_EQ(0x00, written[r][0]);
        for (size_t i = 0; i < 64; ++i) {
            const size_t at = r * 64 + i;
            EXPECT_EQ(at < frame.size() ? frame[at] : 0, written[r][1 + i]);
        }
    }

    std::vector<uint8_t> reply(65, 0);
    reply[1] = reply[2] = reply[3] = 0x5A;
    fake->queueReport(kProcessor, reply);
    ASSERT_TRUE(SpinUntil([&] { return reports.size() == 1; }));
    EXPECT_EQ(reply, reports[0]);
    EXPECT_FALSE(offThread);
}

TEST_F(LinkControllerTest, aStalledUsbDeviceNeverHoldsTheCallerAndDropsTheRestOfAFramePastItsBudget) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    fake->setStall(kProcessor, true);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(writeUsbFrame(Bytes(3 * 64, 0x11)));
    EXPECT_LT(timer.elapsed(), 40) << "the reports are queued, the caller does not wait for the device";
    SpinFor(250); // past the budgets of the second and third report
    fake->setStall(kProcessor, false);
    ASSERT_TRUE(SpinUntil([&] { return fake->written(kProcessor).size() == 1; }));
    SpinFor(50);
    EXPECT_EQ(1u, fake->written(kProcessor).size()) << "the rest of the late frame is dropped";

    ASSERT_TRUE(writeUsbFrame(Bytes(64, 0x22))) << "the next frame has budgets of its own";
    ASSERT_TRUE(SpinUntil([&] { return fake->written(kProcessor).size() == 2; }));
    EXPECT_EQ(0x22, fake->written(kProcessor)[1][1]);
    EXPECT_EQ(1, state.linkConnected);
}

TEST_F(LinkControllerTest, aSlowUsbEndpointTakesAWholeImageFrameWithoutHoldingTheCaller) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    {
        auto& device = fake->state(kProcessor);
        std::lock_guard lock(device.mutex);
        device.writeDelayMs = 12; // polled every 12 ms: 26 reports take about 310 ms
    }
    Bytes frame(kImageSize + kFrameOverhead);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(writeUsbFrame(frame));
    EXPECT_LT(timer.elapsed(), 40);
    ASSERT_TRUE(SpinUntil([&] { return fake->written(kProcessor).size() == 26; }, 3000));
    const auto written = fake->written(kProcessor);
    for (size_t at = 0; at < frame.size(); ++at) ASSERT_EQ(frame[at], written[at / 64][1 + at % 64]) << at;
}

TEST_F(LinkControllerTest, removingTheUsbDeviceWhileOpenDisconnectsAndTellsTheUserOnce) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    fake->remove(kProcessor);
    EXPECT_EQ(0, state.linkConnected);
    EXPECT_FALSE(links->usbLink().usbOpen());
    EXPECT_EQ(1, removals);
    EXPECT_EQ(std::vector<LinkType>{LinkType::Usb}, closed);
    SpinFor(100);
    EXPECT_EQ(1, removals);
}

TEST_F(LinkControllerTest, unpluggingTheUsbDeviceAfterTheLinkMovedOnLeavesTheNewLinkAlone) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(server.serverPort());
    links->openTcp();
    ASSERT_TRUE(SpinUntil([&] { return state.linkConnected == 1 && state.activeLink == LinkType::Tcp; }));
    fake->remove(kProcessor);
    SpinFor(50);
    EXPECT_EQ(0, removals);
    EXPECT_EQ(1, state.linkConnected);
    EXPECT_TRUE(links->tcpLink().IsConnected());
}

TEST_F(LinkControllerTest, openingALinkClosesEveryTransportThatIsStillOpen) {
    fake->addDevice(Processor(kProcessor));
    ASSERT_TRUE(links->openUsb());
    state.linkConnected = 0; // the supervision declared the USB link lost and left the device open
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(links->openSerial(QString::fromStdString(pty.slavePath())));
    EXPECT_FALSE(links->usbLink().usbOpen());
    EXPECT_EQ(std::vector<LinkType>{LinkType::Usb}, closed);

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(server.serverPort());
    links->openTcp();
    EXPECT_FALSE(links->serialPort().IsOpen());
    EXPECT_EQ(0, state.linkConnected) << "not connected until the connect completes";
    ASSERT_TRUE(SpinUntil([&] { return state.linkConnected == 1; }));
    EXPECT_EQ(LinkType::Tcp, state.activeLink);
    EXPECT_EQ((std::vector<LinkType>{LinkType::Usb, LinkType::Serial, LinkType::Tcp}), opened);
    EXPECT_EQ((std::vector<LinkType>{LinkType::Usb, LinkType::Serial}), closed);
    EXPECT_EQ(3, handshakes);
}

TEST_F(LinkControllerTest, aTcpLinkSendsFramesFeedsRepliesAndItsCloseClearsTheReceiveBuffer) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(server.serverPort());
    links->openTcp();
    ASSERT_TRUE(SpinUntil([&] { return state.linkConnected == 1 && server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());

    state.hooks.writeFrame(kHeartbeat.data(), kHeartbeat.size());
    Bytes got;
    ASSERT_TRUE(SpinUntil([&] {
        const QByteArray data = peer->readAll();
        got.insert(got.end(), data.begin(), data.end());
        return got.size() >= kHeartbeat.size();
    }));
    EXPECT_EQ(kHeartbeat, got);

    const Bytes reply = Hex("5A 5A 5A 01 53 AA 00 00 00 00 00 00 A2 AA");
    peer->write(reinterpret_cast<const char*>(reply.data()), qint64(reply.size()));
    ASSERT_TRUE(SpinUntil([&] { return fed == reply; }));
    EXPECT_EQ(0, std::memcmp(links->tcpRxBuffer(), reply.data(), reply.size()));

    links->closeLink();
    EXPECT_EQ(0, state.linkConnected);
    EXPECT_EQ(std::vector<LinkType>{LinkType::Tcp}, closed);
    const Bytes zeros(1280, 0);
    EXPECT_EQ(0, std::memcmp(links->tcpRxBuffer(), zeros.data(), zeros.size()));
}

TEST_F(LinkControllerTest, aRefusedTcpConnectIsReportedWithinTwoSecondsAndStaysDisconnected) {
    quint16 closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(closedPort);
    QElapsedTimer timer;
    timer.start();
    links->openTcp();
    ASSERT_TRUE(SpinUntil([&] { return tcpFailures == 1; }, 3000));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(0, state.linkConnected);
    EXPECT_EQ(0, handshakes);
    EXPECT_TRUE(opened.empty());
}

TEST_F(LinkControllerTest, anImpossibleTcpPortIsRefusedWithoutConnecting) {
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(70000);
    links->openTcp();
    EXPECT_EQ(1, tcpFailures);
    EXPECT_FALSE(links->tcpConnecting());
}

TEST_F(LinkControllerTest, theWifiTargetDefaultsToAPrivateAddressOnPort8080AndTheSettersReplaceIt) {
    const QHostAddress address(links->wifiAddress());
    ASSERT_EQ(QAbstractSocket::IPv4Protocol, address.protocol());
    const quint32 ip = address.toIPv4Address();
    const bool privateNetwork =
        (ip >> 24) == 10 || (ip >> 20) == ((172u << 4) | 1) || (ip >> 16) == ((192u << 8) | 168);
    EXPECT_TRUE(privateNetwork) << links->wifiAddress().toStdString();
    EXPECT_EQ(8080, links->wifiPort());
    links->setWifiAddress("127.0.0.1");
    links->setWifiPort(9000);
    EXPECT_EQ(QString("127.0.0.1"), links->wifiAddress());
    EXPECT_EQ(9000, links->wifiPort());
}

TEST_F(LinkControllerTest, theCoreClosingTheLinkClosesTheTransport) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(links->openSerial(QString::fromStdString(pty.slavePath())));
    state.hooks.closeLink();
    EXPECT_FALSE(links->serialPort().IsOpen());
    EXPECT_EQ(0, state.linkConnected);
    EXPECT_TRUE(closed.empty()) << "queued while the core is calling";
    ASSERT_TRUE(SpinUntil([&] { return closed.size() == 1; }));
    EXPECT_EQ(LinkType::Serial, closed[0]);
}

TEST(LinkMessages, theTextsTheLinksRaiseExistInBothLanguages) {
    struct Case {
        LinkMessage message;
        const char* english;
        const char* chinese;
        const char* caption;
    };
    const Case cases[] = {
        {LinkMessage::UnableToOpenComPort, "Unable to open COM-port", "Unable to open COM-port", ""},
        {LinkMessage::DeviceDisconnect, "Device disconnect", "设备断开联连", "Warning"},
        {LinkMessage::DeviceNotFound, "Can't find the device, please check it", "没找到设备,请检查是否连接好",
         "Warning"},
        {LinkMessage::CantOpenWifi, "Can't open the wifi", "不能打开网络", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.english, LinkMessageFor(c.message, 0).text);
        EXPECT_STREQ(c.chinese, LinkMessageFor(c.message, 1).text);
        EXPECT_STREQ(c.caption, LinkMessageFor(c.message, 0).caption);
    }
}

} // namespace
} // namespace velmar
