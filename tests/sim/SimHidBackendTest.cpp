// The fake HID backend: enumeration, report framing both ways, reads from another thread, removal.
#include "sim/SimHidBackend.h"

#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace velmar;
using simtest::Hex;

namespace {

// The frame's bytes cut into 65-byte output reports: report number 0, zero fill in the last.
std::vector<std::array<uint8_t, 65>> OutputReports(const std::vector<uint8_t>& frame) {
    std::vector<std::array<uint8_t, 65>> reports;
    for (size_t at = 0; at < frame.size(); at += 64) {
        std::array<uint8_t, 65> r{};
        std::copy(frame.begin() + static_cast<std::ptrdiff_t>(at),
                  frame.begin() + static_cast<std::ptrdiff_t>(std::min(frame.size(), at + 64)),
                  r.begin() + 1);
        reports.push_back(r);
    }
    return reports;
}

void Send(HidDevice& d, const std::vector<uint8_t>& frame) {
    for (const auto& r : OutputReports(frame)) ASSERT_TRUE(d.write(r.data(), r.size()));
}

// Reads input reports until `count` arrived; returns their 64 data bytes each, checking report number 0.
std::vector<std::vector<uint8_t>> ReadReports(HidDevice& d, size_t count, int timeoutMs = 1000) {
    std::vector<std::vector<uint8_t>> got;
    while (got.size() < count) {
        uint8_t r[65];
        const int n = d.read(r, sizeof r, timeoutMs);
        if (n != 65) break;
        EXPECT_EQ(r[0], 0);
        got.emplace_back(r + 1, r + 65);
    }
    return got;
}

} // namespace

TEST(SimHidBackend, enumeratesTheProcessorWithItsIdentityAndTheFakesInOrder) {
    SimDevice device;
    SimHidBackend backend(device);
    auto list = backend.enumerate();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].vendorId, 0x0483);
    EXPECT_EQ(list[0].productId, 0x5750);
    EXPECT_EQ(list[0].releaseNumber, 0x0200);
    EXPECT_EQ(list[0].path, SimHidBackend::kProcessorPath);

    backend.addFakeDevice({0x0483, 0x5750, 0x0100, "fake:old-version", "old unit"}, true);
    backend.addFakeDevice({0x046D, 0xC52B, 0x1201, "fake:receiver", "mouse receiver"});
    list = backend.enumerate();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, "fake:old-version");
    EXPECT_EQ(list[1].path, SimHidBackend::kProcessorPath);
    EXPECT_EQ(list[2].path, "fake:receiver");
    EXPECT_EQ(backend.open("no:such:path"), nullptr);
}

TEST(SimHidBackend, aHandshakeComesBackAsInputReportsWithZeroFillInTheLast) {
    SimDevice device;
    SimHidBackend backend(device);
    auto d = backend.open(SimHidBackend::kProcessorPath);
    ASSERT_NE(d, nullptr);
    Send(*d, simtest::kHandshake);
    const auto reports = ReadReports(*d, 7); // 430 bytes: seven reports
    ASSERT_EQ(reports.size(), 7u);
    std::vector<uint8_t> stream;
    for (const auto& r : reports) stream.insert(stream.end(), r.begin(), r.end());
    const std::vector<uint8_t> frame(stream.begin(), stream.begin() + 430);
    EXPECT_TRUE(simtest::IsFrame(frame));
    EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.begin() + 12),
              Hex("5A 5A 5A | 01 53 | A2 | 06 00 00 00 | A0 01"));
    EXPECT_TRUE(std::all_of(stream.begin() + 430, stream.end(), [](uint8_t b) { return b == 0; }));
    uint8_t r[65];
    EXPECT_EQ(d->read(r, sizeof r, 20), 0); // nothing more
}

TEST(SimHidBackend, aFrameSpanningThreeReportsIsReassembledForTheUnit) {
    SimDevice device;
    SimHidBackend backend(device);
    auto d = backend.open(SimHidBackend::kProcessorPath);
    InputBlock in = InputTemplate();
    in.gain = 250;
    const auto frame = simtest::Close(
        simtest::Concat(Hex("5A 5A 5A | 01 53 | A3 | 01 00 01 00 | A0 00"), simtest::BytesOf(in)));
    ASSERT_EQ(OutputReports(frame).size(), 3u); // 174 bytes
    Send(*d, frame);
    const auto reports = ReadReports(*d, 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(reports[0].begin(), reports[0].begin() + 14),
              Hex("5A 5A 5A | 01 53 | A3 | 01 00 01 00 | 00 00 | AB AA"));
    EXPECT_EQ(device.image().inputs[1].gain, 250);
}

TEST(SimHidBackend, reportsOfTheWrongSizeOrReportNumberAreRefused) {
    SimDevice device;
    SimHidBackend backend(device);
    auto d = backend.open(SimHidBackend::kProcessorPath);
    auto r = OutputReports(simtest::kHeartbeat)[0];
    EXPECT_FALSE(d->write(r.data(), 64));
    r[0] = 1;
    EXPECT_FALSE(d->write(r.data(), r.size()));
    uint8_t in[65];
    EXPECT_EQ(d->read(in, sizeof in, 20), 0);
}

TEST(SimHidBackend, aReaderOnAnotherThreadGetsTheReply) {
    SimDevice device;
    SimHidBackend backend(device);
    auto d = backend.open(SimHidBackend::kProcessorPath);
    std::atomic<int> got{-2};
    std::vector<uint8_t> report(65);
    std::thread reader([&] { got = d->read(report.data(), report.size(), 2000); });
    Send(*d, simtest::kHeartbeat);
    reader.join();
    EXPECT_EQ(got.load(), 65);
    EXPECT_EQ(std::vector<uint8_t>(report.begin() + 1, report.begin() + 13),
              Hex("5A 5A 5A | 01 53 | A9 | 00 00 00 00 | 10 00"));
}

TEST(SimHidBackend, removalWakesTheReaderCallsTheHandlerOnTheCallingThreadAndKillsTheHandle) {
    SimDevice device;
    SimHidBackend backend(device);
    std::string removedPath;
    std::thread::id handlerThread;
    backend.setRemovalHandler([&](const std::string& path) {
        removedPath = path;
        handlerThread = std::this_thread::get_id();
    });
    auto d = backend.open(SimHidBackend::kProcessorPath);
    std::atomic<int> got{-2};
    std::thread reader([&] {
        uint8_t r[65];
        got = d->read(r, sizeof r, 5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // let the reader block
    const auto started = std::chrono::steady_clock::now();
    backend.remove();
    reader.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_EQ(got.load(), -1);
    EXPECT_EQ(removedPath, SimHidBackend::kProcessorPath);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    const auto r = OutputReports(simtest::kHeartbeat)[0];
    EXPECT_FALSE(d->write(r.data(), r.size()));
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_EQ(backend.open(SimHidBackend::kProcessorPath), nullptr);

    backend.reattach();
    ASSERT_EQ(backend.enumerate().size(), 1u);
    uint8_t in[65];
    EXPECT_EQ(d->read(in, sizeof in, 10), -1); // the old handle stays dead
    auto again = backend.open(SimHidBackend::kProcessorPath);
    Send(*again, simtest::kHeartbeat);
    EXPECT_EQ(ReadReports(*again, 1).size(), 1u);
}

TEST(SimHidBackend, removingAnUnrelatedDeviceLeavesTheProcessorWorking) {
    SimDevice device;
    SimHidBackend backend(device);
    backend.addFakeDevice({0x046D, 0xC52B, 0x1201, "fake:receiver", "mouse receiver"});
    std::vector<std::string> removed;
    backend.setRemovalHandler([&](const std::string& path) { removed.push_back(path); });
    auto d = backend.open(SimHidBackend::kProcessorPath);
    backend.remove("fake:receiver");
    backend.remove("fake:receiver"); // already gone: nothing
    EXPECT_EQ(removed, std::vector<std::string>{"fake:receiver"});
    Send(*d, simtest::kHeartbeat);
    EXPECT_EQ(ReadReports(*d, 1).size(), 1u);
}

TEST(SimHidBackend, aFakeDeviceOpensButNeverAnswers) {
    SimDevice device;
    SimHidBackend backend(device);
    backend.addFakeDevice({0x0483, 0x5750, 0x0100, "fake:old-version", "old unit"});
    auto d = backend.open("fake:old-version");
    ASSERT_NE(d, nullptr);
    Send(*d, simtest::kHeartbeat);
    uint8_t r[65];
    EXPECT_EQ(d->read(r, sizeof r, 30), 0);
    EXPECT_EQ(device.heartbeatCount(), 0u);
}

TEST(SimHidBackend, everyOpenHandleSeesEveryReplyAndDelaysApply) {
    SimDevice device;
    SimFaultConfig faults;
    faults.delayMs = 80;
    SimHidBackend backend(device, faults);
    auto writer = backend.open(SimHidBackend::kProcessorPath);
    auto other = backend.open(SimHidBackend::kProcessorPath);
    Send(*writer, simtest::kHeartbeat);
    uint8_t r[65];
    EXPECT_EQ(writer->read(r, sizeof r, 10), 0); // not yet
    EXPECT_EQ(writer->read(r, sizeof r, 1000), 65);
    EXPECT_EQ(other->read(r, sizeof r, 1000), 65);
}
