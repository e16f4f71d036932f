// The USB HID link against the fake backend: device matching, report writes, the busy rule, input
// reports on the owning thread, removal and a device that stops answering.
#include "FakeHidBackend.h"
#include "TestSupport.h"

#include "transport/UsbLink.h"

#include <QThread>

#include <gtest/gtest.h>

namespace velmar {
namespace {

using test::FakeHidBackend;
using test::SpinFor;
using test::SpinUntil;
using Clock = std::chrono::steady_clock;

HidDeviceInfo Device(const std::string& path, uint16_t vendor = 0x0483, uint16_t product = 0x5750,
                     uint16_t version = 0x0200) {
    HidDeviceInfo info;
    info.vendorId = vendor;
    info.productId = product;
    info.releaseNumber = version;
    info.path = path;
    return info;
}

std::vector<uint8_t> Chunk(uint8_t first) {
    std::vector<uint8_t> chunk(64);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(first + i);
    return chunk;
}

class UsbLinkTest : public ::testing::Test {
protected:
    FakeHidBackend backend;
};

TEST_F(UsbLinkTest, theFirstOfTwoMatchingDevicesInEnumerationOrderIsOpened) {
    backend.addDevice(Device("/dev/hidraw0", 0x046D, 0xC52B, 0x1201));
    backend.addDevice(Device("/dev/hidraw1"));
    backend.addDevice(Device("/dev/hidraw2"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    EXPECT_TRUE(link.usbOpen());
    EXPECT_EQ("/dev/hidraw1", link.usbDevicePath());
    EXPECT_EQ(0, backend.state("/dev/hidraw2").openCount);
    EXPECT_EQ(0, backend.state("/dev/hidraw0").openCount);
}

TEST_F(UsbLinkTest, onlyVendor0483Product5750Version0200IsAccepted) {
    struct Case {
        uint16_t vendor, product, version;
    };
    for (const Case& c :
         {Case{0x0483, 0x5750, 0x0100}, Case{0x0483, 0x5751, 0x0200}, Case{0x0484, 0x5750, 0x0200}}) {
        FakeHidBackend only;
        only.addDevice(Device("/dev/hidraw3", c.vendor, c.product, c.version));
        UsbLink link(&only);
        EXPECT_FALSE(link.OpenUsbDevice()) << std::hex << c.vendor << ":" << c.product << " v" << c.version;
        EXPECT_FALSE(link.usbOpen());
        EXPECT_TRUE(link.usbDevicePath().empty());
    }
}

TEST_F(UsbLinkTest, aMatchingDeviceThatCannotBeOpenedCountsAsNotFound) {
    backend.addDevice(Device("/dev/hidraw1"));
    backend.refuseOpen("/dev/hidraw1");
    UsbLink link(&backend);
    EXPECT_FALSE(link.OpenUsbDevice());
    EXPECT_FALSE(link.usbOpen());
}

TEST_F(UsbLinkTest, aReportGoesOutAsReportNumberZeroFollowedByTheChunk) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    const auto chunk = Chunk(0x5A);
    EXPECT_EQ(1, link.WriteUsbReport(chunk.data()));
    ASSERT_TRUE(link.WaitWriteDone(Clock::now() + std::chrono::seconds(2)));
    EXPECT_FALSE(link.LastWriteFailed());
    std::vector<uint8_t> expected{0x00};
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(std::vector<std::vector<uint8_t>>{expected}, backend.written("/dev/hidraw1"));
}

TEST_F(UsbLinkTest, aWriteWhileAReportIsInFlightReturnsZeroAndSendsNothing) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    backend.setStall("/dev/hidraw1", true);
    const auto first = Chunk(0), second = Chunk(0x40);
    ASSERT_EQ(1, link.WriteUsbReport(first.data()));
    ASSERT_TRUE(SpinUntil([&] { return backend.writeInProgress("/dev/hidraw1"); }));
    EXPECT_TRUE(link.usbWriteBusy());
    EXPECT_EQ(0, link.WriteUsbReport(second.data()));
    EXPECT_FALSE(link.WaitWriteDone(Clock::now() + std::chrono::milliseconds(20)));

    backend.setStall("/dev/hidraw1", false);
    ASSERT_TRUE(link.WaitWriteDone(Clock::now() + std::chrono::seconds(2)));
    EXPECT_FALSE(link.usbWriteBusy());
    const auto written = backend.written("/dev/hidraw1");
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ(0x00, written[0][1]);
}

TEST_F(UsbLinkTest, aRefusedReportIsDroppedAndReportedAsFailed) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    {
        auto& state = backend.state("/dev/hidraw1");
        std::lock_guard lock(state.mutex);
        state.refuseWrites = true;
    }
    const auto chunk = Chunk(1);
    ASSERT_EQ(1, link.WriteUsbReport(chunk.data()));
    ASSERT_TRUE(link.WaitWriteDone(Clock::now() + std::chrono::seconds(2)));
    EXPECT_TRUE(link.LastWriteFailed());
    EXPECT_TRUE(backend.written("/dev/hidraw1").empty());
}

TEST_F(UsbLinkTest, inputReportsReachTheHandlerOnTheOwningThreadInOrderAndShortOnesArePadded) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    std::vector<std::vector<uint8_t>> received;
    bool allOnOwnThread = true;
    link.setReportHandler([&](const uint8_t* report) {
        allOnOwnThread = allOnOwnThread && QThread::currentThread() == link.thread();
        received.emplace_back(report, report + kHidInReportSize);
    });
    ASSERT_TRUE(link.OpenUsbDevice());
    std::vector<uint8_t> a(65, 0x11), b(65, 0x22), shortReport{0x00, 0x5A, 0x5A};
    backend.queueReport("/dev/hidraw1", a);
    backend.queueReport("/dev/hidraw1", b);
    backend.queueReport("/dev/hidraw1", shortReport);
    ASSERT_TRUE(SpinUntil([&] { return received.size() == 3; }));
    EXPECT_TRUE(allOnOwnThread);
    EXPECT_EQ(a, received[0]);
    EXPECT_EQ(b, received[1]);
    std::vector<uint8_t> padded(65, 0x00);
    padded[1] = padded[2] = 0x5A;
    EXPECT_EQ(padded, received[2]);
}

TEST_F(UsbLinkTest, reportsStillQueuedWhenTheDeviceClosesAreDropped) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    int delivered = 0;
    link.setReportHandler([&](const uint8_t*) { ++delivered; });
    ASSERT_TRUE(link.OpenUsbDevice());
    backend.queueReport("/dev/hidraw1", std::vector<uint8_t>(65, 0x33));
    // Wait until the reader has taken it (and queued it), without running the event loop.
    auto& state = backend.state("/dev/hidraw1");
    {
        std::unique_lock lock(state.mutex);
        ASSERT_TRUE(
            state.changed.wait_for(lock, std::chrono::seconds(2), [&] { return state.inbound.empty(); }));
    }
    link.CloseUsbDevice();
    SpinFor(50);
    EXPECT_EQ(0, delivered);
}

TEST_F(UsbLinkTest, removingTheOpenDeviceClosesTheLinkAndNotifiesOnceWhileOthersAreIgnored) {
    backend.addDevice(Device("/dev/hidraw0", 0x046D, 0xC52B));
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    int removed = 0;
    QObject::connect(&link, &UsbLink::deviceRemoved, [&] { ++removed; });
    ASSERT_TRUE(link.OpenUsbDevice());

    backend.remove("/dev/hidraw0");
    EXPECT_EQ(0, removed);
    EXPECT_TRUE(link.usbOpen());

    backend.remove("/dev/hidraw1");
    EXPECT_EQ(1, removed);
    EXPECT_FALSE(link.usbOpen());
    SpinFor(100); // the reader's failed read after the removal changes nothing
    EXPECT_EQ(1, removed);

    // Plugging it back in does nothing until the link is opened again.
    backend.addDevice(Device("/dev/hidraw1"));
    SpinFor(20);
    EXPECT_FALSE(link.usbOpen());
}

TEST_F(UsbLinkTest, aDeviceWhoseReadsFailIsTakenAsRemoved) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    int removed = 0;
    QObject::connect(&link, &UsbLink::deviceRemoved, [&] { ++removed; });
    ASSERT_TRUE(link.OpenUsbDevice());
    backend.breakDevice("/dev/hidraw1");
    ASSERT_TRUE(SpinUntil([&] { return removed == 1; }));
    EXPECT_FALSE(link.usbOpen());
}

TEST_F(UsbLinkTest, writingWithoutAnOpenDeviceSendsNothingAndSaysSo) {
    UsbLink link(&backend);
    int closedWrites = 0;
    QObject::connect(&link, &UsbLink::closedLinkWrite, [&] { ++closedWrites; });
    const auto chunk = Chunk(0);
    EXPECT_EQ(0, link.WriteUsbReport(chunk.data()));
    EXPECT_EQ(1, closedWrites);
    EXPECT_TRUE(link.WaitWriteDone(Clock::now()));
}

TEST_F(UsbLinkTest, closingWhileAWriteHangsReturnsPromptly) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    backend.setStall("/dev/hidraw1", true);
    const auto chunk = Chunk(0);
    ASSERT_EQ(1, link.WriteUsbReport(chunk.data()));
    ASSERT_TRUE(SpinUntil([&] { return backend.writeInProgress("/dev/hidraw1"); }));
    QElapsedTimer timer;
    timer.start();
    link.CloseUsbDevice();
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_FALSE(link.usbOpen());
    // Let the abandoned write finish before the fake goes away.
    backend.setStall("/dev/hidraw1", false);
    ASSERT_TRUE(SpinUntil([&] { return !backend.writeInProgress("/dev/hidraw1"); }));
    SpinFor(20);
}

TEST_F(UsbLinkTest, searchingAgainClosesTheDeviceFoundBefore) {
    backend.addDevice(Device("/dev/hidraw1"));
    UsbLink link(&backend);
    ASSERT_TRUE(link.OpenUsbDevice());
    ASSERT_TRUE(link.OpenUsbDevice());
    EXPECT_EQ(2, backend.state("/dev/hidraw1").openCount);
    // Only the second device object reads: one report arrives once.
    int delivered = 0;
    link.setReportHandler([&](const uint8_t*) { ++delivered; });
    backend.queueReport("/dev/hidraw1", std::vector<uint8_t>(65, 1));
    ASSERT_TRUE(SpinUntil([&] { return delivered == 1; }));
    SpinFor(50);
    EXPECT_EQ(1, delivered);
}

} // namespace
} // namespace velmar
