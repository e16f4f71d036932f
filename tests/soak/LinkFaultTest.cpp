// Link faults in real time against the simulated processor: a unit that falls silent on each link, a
// TCP peer that hangs up, a pseudo-terminal that vanishes, a USB device unplugged half way through a
// frame. Each time the link is declared lost once, the application keeps running its event loop, and
// connecting again works. Each run prints one line with the longest event-loop stall it saw.
#include "SoakRig.h"
#include "SoakRun.h"

#include "core/CoreMessages.h"
#include "core/Encoder.h"
#include "core/Scheduler.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmar::soak {
namespace {

double g_longestStallMs = 0;

void Report(SoakRig& rig, const std::string& what, double lossSeconds) {
    const double stall = rig.watchdog().longestStallMs();
    g_longestStallMs = std::max(g_longestStallMs, stall);
    char line[256];
    std::snprintf(line, sizeof line,
                  "link fault %s %s: lost after %.1f s on supervision tick %d, messages %zu, link losses %d, "
                  "longest stall %.1f ms (all runs so far %.1f ms)",
                  LinkName(rig.link()), what.c_str(), lossSeconds, rig.lossTick, rig.boxes.size(),
                  rig.linkLosses, stall, g_longestStallMs);
    SoakRun::Report(line);
}

// Runs until the core declares the link lost; the time it took, or -1.
double WaitForLoss(SoakRig& rig, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    if (!rig.spinUntil([&] { return rig.linkLosses > 0; }, timeoutMs)) return -1;
    return static_cast<double>(t.elapsed()) / 1000.0;
}

// The message of a lost link, in the language at start (English).
std::string LossText(SoakLink link) {
    switch (link) {
    case SoakLink::Tcp:
        return CoreMessageText(CoreMessage::WifiConnectError, 0);
    case SoakLink::Pty:
        return CoreMessageText(CoreMessage::ComConnectError, 0);
    case SoakLink::Usb:
        return CoreMessageText(CoreMessage::UsbConnectError, 0);
    }
    return "";
}

class SilentUnit : public ::testing::TestWithParam<SoakLink> {};

TEST_P(SilentUnit, isDeclaredLostOnTheSixtyFirstTickWithOneMessageAndConnectingAgainWorks) {
    SoakRig rig(GetParam(), SimFaultConfig{}, 0);
    rig.startClock();
    rig.connectLink();
    ASSERT_TRUE(rig.waitReady(8000));
    rig.spinFor(1500); // heartbeats flowing
    rig.faults().setSilent(true);
    const double lost = WaitForLoss(rig, 10000);
    ASSERT_GT(lost, 0) << "the link was never declared lost";
    EXPECT_EQ(61, rig.lossTick);
    EXPECT_EQ(0, rig.core().linkConnected);
    rig.spinFor(1000); // nothing more is shown for the same loss
    ASSERT_EQ(1u, rig.boxes.size());
    EXPECT_EQ(LossText(GetParam()), rig.boxes[0]);
    EXPECT_EQ(1, rig.linkLosses);
    Report(rig, "silent unit", lost);

    rig.faults().setSilent(false);
    rig.connectLink();
    EXPECT_TRUE(rig.waitReady(8000)) << "connecting again after the loss";
}

INSTANTIATE_TEST_SUITE_P(EveryLink, SilentUnit,
                         ::testing::Values(SoakLink::Tcp, SoakLink::Pty, SoakLink::Usb),
                         [](const auto& info) { return std::string(LinkName(info.param)); });

// The unit hangs up after answering this many frames of a connection.
SimFaultConfig HangUpAfter(int frames) {
    SimFaultConfig f;
    f.closeAfterFrames = frames;
    return f;
}

TEST(LinkFault, aTcpPeerThatClosesIsNoticedByTheSilenceOnceAndConnectingAgainWorks) {
    SoakRig rig(SoakLink::Tcp, HangUpAfter(30), 0);
    bool closed = false;
    QElapsedTimer sinceClose;
    QObject::connect(&rig.links().tcpLink(), &ClientSocket::connectionLost, &rig, [&](const QString&) {
        closed = true;
        sinceClose.start();
    });
    rig.startClock();
    rig.connectLink();
    ASSERT_TRUE(rig.waitReady(8000));
    ASSERT_TRUE(rig.spinUntil([&] { return closed; }, 10000)) << "the unit did not hang up";
    ASSERT_GT(WaitForLoss(rig, 10000), 0);
    const double afterClose = static_cast<double>(sinceClose.elapsed()) / 1000.0;
    EXPECT_EQ(61, rig.lossTick);
    EXPECT_GT(afterClose, 5.5);
    EXPECT_LT(afterClose, 7.5);
    rig.spinFor(500);
    ASSERT_EQ(1u, rig.boxes.size());
    EXPECT_EQ(LossText(SoakLink::Tcp), rig.boxes[0]);
    Report(rig, "peer closed", afterClose);

    rig.connectLink();
    EXPECT_TRUE(rig.waitReady(8000)) << "connecting again after the peer closed";
}

TEST(LinkFault, aVanishingPtyIsLostOnceAndTheNewPortConnects) {
    SoakRig rig(SoakLink::Pty, HangUpAfter(30), 0);
    // The port reports the hang-up once, as a carrier and line-error event.
    bool hungUp = false;
    QElapsedTimer sinceHangUp;
    QObject::connect(&rig.links(), &LinkController::serialLineEvent, &rig, [&](quint16 events, quint16) {
        if (!hungUp && (events & (CSerial::EEventRLSD | CSerial::EEventError))) {
            hungUp = true;
            sinceHangUp.start();
        }
    });
    rig.startClock();
    rig.connectLink();
    ASSERT_TRUE(rig.waitReady(8000));
    const std::string before = rig.links().serialPort().IsOpen() ? "open" : "closed";
    ASSERT_GT(WaitForLoss(rig, 15000), 0);
    ASSERT_TRUE(hungUp) << "the port did not report the hang-up";
    const double lost = static_cast<double>(sinceHangUp.elapsed()) / 1000.0;
    EXPECT_EQ(61, rig.lossTick);
    EXPECT_FALSE(rig.links().serialPort().IsOpen()) << "the lost port is closed";
    rig.spinFor(500);
    ASSERT_EQ(1u, rig.boxes.size());
    EXPECT_EQ(LossText(SoakLink::Pty), rig.boxes[0]);
    Report(rig, "pty vanished", lost);

    rig.connectLink(); // the endpoint's new slave
    EXPECT_TRUE(rig.waitReady(8000)) << "connecting to the new port";
    EXPECT_EQ("open", before);
}

TEST(LinkFault, aUsbDeviceUnpluggedHalfWayThroughAFrameClosesTheLinkOnceAndConnectingAgainWorks) {
    SoakRig rig(SoakLink::Usb, SimFaultConfig{}, 0);
    rig.startClock();
    rig.connectLink();
    ASSERT_TRUE(rig.waitReady(8000));
    CoreState& s = rig.core();
    const DeviceImage unitBefore = rig.device().image();

    // An import: 1614 bytes in 26 reports; the plug comes out after the fifth.
    rig.usbPlug()->armRemoval(kCmdImageWrite, 5);
    std::memcpy(&s.importImage, &s.image, kImageSize);
    s.importImage.outputs[0].gain = 100;
    QueueImageWrite(s, 0);
    ASSERT_TRUE(rig.spinUntil([&] { return rig.usbRemovedNotices > 0; }, 5000)) << "no removal notice";
    EXPECT_TRUE(rig.usbPlug()->removalDone());
    EXPECT_EQ(5, rig.usbPlug()->reportsBeforeRemoval());
    rig.spinFor(1000);
    EXPECT_EQ(1, rig.usbRemovedNotices) << "the removal is told once";
    EXPECT_EQ(0, rig.usbDisconnectNotices);
    EXPECT_EQ(0, s.linkConnected);
    EXPECT_FALSE(rig.links().usbLink().usbOpen());
    // Half a frame is nothing to the unit.
    const DeviceImage unitAfter = rig.device().image();
    EXPECT_EQ(0, std::memcmp(&unitBefore, &unitAfter, kImageSize));
    Report(rig, "unplugged mid-frame", 0);

    rig.hid()->reattach();
    rig.connectLink();
    EXPECT_TRUE(rig.waitReady(8000)) << "connecting again after plugging back in";
}

} // namespace
} // namespace velmar::soak
