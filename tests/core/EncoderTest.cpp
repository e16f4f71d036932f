// Golden frames of the encoder over serial/TCP and over 64-byte USB reports.
#include "CoreFixture.h"

using namespace velmar;
using namespace velmar::test;

namespace {

class Encoder : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        ConnectIdle();
    }
    Bytes Joined() const {
        Bytes all;
        for (const auto& r : reports) all.insert(all.end(), r.begin(), r.end());
        return all;
    }
    uint8_t XorFromThirdSync(const Bytes& frame, size_t end) const {
        uint8_t x = 0;
        for (size_t i = 2; i < end; ++i) x ^= frame[i];
        return x;
    }
};

} // namespace

TEST_F(Encoder, heartbeatToAddressOneIsTheWorkedExample) {
    ASSERT_TRUE(EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], Hex("5A5A5A 01 53 A9 00 00 00 00 0000 A1 AA"));
    ASSERT_EQ(traced.size(), 1u);
    EXPECT_EQ(traced[0], frames[0]);
}

TEST_F(Encoder, heartbeatToAddressZeroCarriesChecksumA0) {
    s.deviceAddress = 0;
    EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(frames.at(0), Hex("5A5A5A 00 53 A9 00 00 00 00 0000 A0 AA"));
}

TEST_F(Encoder, inputUnitOneWriteCarriesMuteToGateThreshold) {
    s.deviceAddress = 0;
    const uint8_t* unit = BlockBytes(s.image, kKindInput, 0) + 8;
    EncodeAndSend(s, 0xA1, 1, 0, 0, 1, 8, unit);
    EXPECT_EQ(frames.at(0), Hex("5A5A5A 00 53 A1 01 00 00 01 0800 00 01 6801 0000 28 00 E0 AA"));
}

TEST_F(Encoder, programNameIsSentAtOnceWithKindFive) {
    const uint8_t* name = reinterpret_cast<const uint8_t*>("     USER 3     ");
    s.scheduler.tickCounter = 7;
    ASSERT_TRUE(SendProgramName(s, 3, name));
    EXPECT_EQ(frames.at(0), Hex("5A5A5A 01 53 A1 05 03 00 00 1000"
                                " 20 20 20 20 20 55 53 45 52 20 33 20 20 20 20 20 BD AA"));
    EXPECT_EQ(s.scheduler.tickCounter, 0) << "a real command restarts the waiting period";
    EXPECT_EQ(s.scheduler.state, SchedState::Idle) << "not sent through the pending command";
}

TEST_F(Encoder, tcpHandsTheWholeFrameInOneCall) {
    s.activeLink = LinkType::Tcp;
    EncodeAndSend(s, 0xA3, 4, 0, 7, 0, kOutputBlockSize, BlockBytes(s.image, kKindOutput, 7));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), 134u);
    EXPECT_EQ(frames[0][133], 0xAA);
    EXPECT_EQ(frames[0][132], XorFromThirdSync(frames[0], 132));
}

TEST_F(Encoder, onlyRealCommandsResetTheTickCounter) {
    s.scheduler.tickCounter = 20;
    EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(s.scheduler.tickCounter, 20);
    EncodeAndSend(s, 0xA6, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(s.scheduler.tickCounter, 0);
    EXPECT_EQ(s.scheduler.sending, 0);
}

TEST_F(Encoder, notConnectedSendsNothingAndChangesNothing) {
    s.linkConnected = 0;
    s.scheduler.tickCounter = 5;
    for (LinkType link : {LinkType::Serial, LinkType::Usb, LinkType::Tcp}) {
        s.activeLink = link;
        EXPECT_FALSE(EncodeAndSend(s, 0xA6, 0, 1, 0, 0, 0, nullptr));
    }
    EXPECT_TRUE(frames.empty());
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(traced.empty());
    EXPECT_EQ(s.scheduler.tickCounter, 5);
}

TEST_F(Encoder, oversizedOrMissingPayloadIsRefused) {
    static uint8_t big[kMaxPayload + 1];
    EXPECT_FALSE(EncodeAndSend(s, 0xA7, 0, 0, 0, 0, kMaxPayload + 1, big));
    EXPECT_FALSE(EncodeAndSend(s, 0xA7, 0, 0, 0, 0, 8, nullptr));
    EXPECT_TRUE(frames.empty());
}

TEST_F(Encoder, usbZeroLengthFrameIsOneReportWithZeroFill) {
    s.activeLink = LinkType::Usb;
    EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr);
    ASSERT_EQ(reports.size(), 1u);
    Bytes expected = Hex("5A5A5A 01 53 A9 00 00 00 00 0000 A1 AA");
    expected.resize(kUsbReportSize, 0);
    EXPECT_EQ(reports[0], expected);
    EXPECT_TRUE(firstOfFrame[0]);
    EXPECT_TRUE(frames.empty()) << "USB frames never go through the whole-frame path";
    EXPECT_EQ(traced.at(0).size(), 14u);
}

TEST_F(Encoder, usbInputBlockSpansThreeReportsWithChecksumAtByte44) {
    s.activeLink = LinkType::Usb;
    EncodeAndSend(s, 0xA3, 1, 0, 2, 0, kInputBlockSize, BlockBytes(s.image, kKindInput, 2));
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(firstOfFrame, (std::vector<bool>{true, false, false}));
    const Bytes all = Joined();
    // The checksum covers bytes from all three reports: the frame runs on without per-report headers.
    EXPECT_EQ(reports[2][44], XorFromThirdSync(all, 128 + 44));
    EXPECT_EQ(reports[2][45], 0xAA);
    for (size_t i = 46; i < kUsbReportSize; ++i) EXPECT_EQ(reports[2][i], 0) << i;
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 174), traced.at(0));
    EXPECT_EQ(0, std::memcmp(all.data() + 12, &s.image.inputs[2], kInputBlockSize));
}

TEST_F(Encoder, usbWholeImageIsTwentySixReports) {
    s.activeLink = LinkType::Usb;
    for (size_t i = 0; i < kImageSize; ++i) reinterpret_cast<uint8_t*>(&s.importImage)[i] = uint8_t(i * 7);
    EncodeAndSend(s, 0xA7, 0, 0, 0, 0, kImageSize, reinterpret_cast<const uint8_t*>(&s.importImage));
    ASSERT_EQ(reports.size(), 26u);
    const Bytes& last = reports[25];
    EXPECT_EQ(last[12], XorFromThirdSync(Joined(), 25 * 64 + 12));
    EXPECT_EQ(last[13], 0xAA);
    for (size_t i = 14; i < kUsbReportSize; ++i) EXPECT_EQ(last[i], 0);
    EXPECT_EQ(traced.at(0).size(), 1614u);
}

TEST_F(Encoder, usbPayloadEndingOnAReportBoundaryPutsTheChecksumInTheNextReport) {
    s.activeLink = LinkType::Usb;
    Bytes payload(52, 0x11); // 12 + 52 = 64
    EncodeAndSend(s, 0xA1, 5, 1, 0, 0, 52, payload.data());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0][63], 0x11);
    EXPECT_EQ(reports[1][0], XorFromThirdSync(reports[0], 64));
    EXPECT_EQ(reports[1][1], 0xAA);
    EXPECT_EQ(reports[1][2], 0);

    reports.clear();
    Bytes fifty(50, 0x22); // the frame fills exactly one report: no second, empty one
    EncodeAndSend(s, 0xA1, 5, 1, 0, 0, 50, fifty.data());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0][63], 0xAA);
}

TEST_F(Encoder, usbReportThatTimesOutAbandonsTheRestOfTheFrame) {
    s.activeLink = LinkType::Usb;
    usbResult = [](size_t index) { return index != 1; };
    EncodeAndSend(s, 0xA7, 0, 0, 0, 0, kImageSize, reinterpret_cast<const uint8_t*>(&s.importImage));
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(s.scheduler.sending, 0);
    // The next frame starts afresh at byte 0 of a new report.
    EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(firstOfFrame[2]);
    EXPECT_EQ(reports[2][0], 0x5A);
    EXPECT_EQ(reports[2][5], 0xA9);
}

TEST_F(Encoder, missingHooksSendNowhereWithoutCrashing) {
    s.hooks = CoreHooks{};
    for (LinkType link : {LinkType::Serial, LinkType::Usb, LinkType::Tcp}) {
        s.activeLink = link;
        EXPECT_TRUE(EncodeAndSend(s, 0xA9, 0, 0, 0, 0, 0, nullptr));
    }
}
