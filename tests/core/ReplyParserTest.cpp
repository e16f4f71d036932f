// Frame reassembly, verification, reply dispatch and link supervision.
#include "CoreFixture.h"

#include "core/CoreMessages.h"

using namespace velmar;
using namespace velmar::test;

namespace {

class Parser : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        ConnectIdle();
    }
    static Bytes Meters(uint8_t first = 0x10) {
        Bytes p(16);
        for (int i = 0; i < 16; ++i) p[i] = static_cast<uint8_t>(first + i);
        return p;
    }
    static Bytes Cat(Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    // A 65-byte USB input report: report number, then 64 data bytes.
    static Bytes Report(const Bytes& data, size_t from, uint8_t number = 0) {
        Bytes r(1 + kUsbReportSize, 0);
        r[0] = number;
        for (size_t i = 0; i < kUsbReportSize && from + i < data.size(); ++i) r[1 + i] = data[from + i];
        return r;
    }
    void FeedReports(const Bytes& frame, uint8_t number = 0) {
        for (size_t at = 0; at < frame.size(); at += kUsbReportSize)
            FeedReport(s, Report(frame, at, number).data());
    }
    bool MetersApplied(uint8_t first = 0x10) const { return s.meterLevels.inputLevel[0] == first; }
    static Bytes ImagePayload(const DeviceImage& image) {
        Bytes p(kImageSize);
        std::memcpy(p.data(), &image, kImageSize);
        return p;
    }
};

} // namespace

// --- reassembly ----------------------------------------------------------------------------------------

TEST_F(Parser, heartbeatReplySplitAtEveryPositionIsReassembled) {
    const Bytes frame = Reply(kCmdHeartbeat, 0, Meters());
    for (size_t split = 1; split < frame.size(); ++split) {
        s.meterLevels = {};
        Feed(Bytes(frame.begin(), frame.begin() + split));
        EXPECT_FALSE(MetersApplied()) << split;
        Feed(Bytes(frame.begin() + split, frame.end()));
        EXPECT_TRUE(MetersApplied()) << "split at " << split;
    }
}

TEST_F(Parser, frameArrivingOneByteAtATimeIsReassembled) {
    for (uint8_t b : Reply(kCmdHeartbeat, 0, Meters())) Feed(Bytes{b});
    EXPECT_TRUE(MetersApplied());
}

TEST_F(Parser, noiseBeforeAFrameIsDiscardedWhileHunting) {
    const Bytes noise = Hex("00 5A 13 5A 5A 77 AA FF 5A 5A 01");
    Feed(Cat(noise, Reply(kCmdHeartbeat, 0, Meters())));
    EXPECT_TRUE(MetersApplied());
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(Parser, fourSyncBytesTakeTheFourthAsTheAddress) {
    // A reply from address 0x5A starts with four 0x5A: the third starts the frame.
    const Bytes frame = Reply(kCmdHeartbeat, 0, Meters(), 0x5A);
    ASSERT_EQ(Bytes(frame.begin(), frame.begin() + 5), Hex("5A 5A 5A 5A 53"));
    Feed(frame);
    EXPECT_TRUE(MetersApplied());
}

TEST_F(Parser, wrongChecksumFollowedByAGoodFrameInTheSameChunkLosesBoth) {
    Bytes bad = Reply(kCmdHeartbeat, 0, Meters(0x40));
    bad[bad.size() - 2] ^= 0x01;
    Feed(Cat(bad, Reply(kCmdHeartbeat, 0, Meters())));
    EXPECT_EQ(s.meterLevels.inputLevel[0], 0);
    EXPECT_TRUE(received.empty());
    Feed(Reply(kCmdHeartbeat, 0, Meters())); // the resent frame arrives alone
    EXPECT_TRUE(MetersApplied());
}

TEST_F(Parser, wrongEndByteDropsTheFrame) {
    Bytes bad = Reply(kCmdHeartbeat, 0, Meters());
    bad.back() = 0xAB;
    Feed(bad);
    EXPECT_FALSE(MetersApplied());
}

TEST_F(Parser, bytesAfterACompletedFrameInTheSameChunkAreDropped) {
    Feed(Cat(Reply(kCmdHeartbeat, 0, Meters(0x40)), Reply(kCmdHeartbeat, 0, Meters())));
    EXPECT_EQ(s.meterLevels.inputLevel[0], 0x40);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(Parser, zeroOrNegativeCountProcessesNothing) {
    const Bytes frame = Reply(kCmdHeartbeat, 0, Meters());
    s.rx.silenceCounter = 9;
    FeedBytes(s, frame.data(), 0);
    FeedBytes(s, frame.data(), -5);
    FeedBytes(s, nullptr, 14);
    EXPECT_FALSE(MetersApplied());
    EXPECT_EQ(s.rx.silenceCounter, 9);
}

TEST_F(Parser, usbReportSkipsTheReportNumber) {
    // A report number of 0x5A must not count towards the sync.
    FeedReports(Reply(kCmdHeartbeat, 0, Meters()), 0x5A);
    EXPECT_TRUE(MetersApplied());
}

TEST_F(Parser, wholeImageReplyAcrossTwentySixUsbReportsIsApplied) {
    s.activeLink = LinkType::Usb;
    DeviceImage image = s.image;
    image.outputs[7].delay = 1000;
    FeedReports(Reply(kCmdProgramLoad, 0, ImagePayload(image)));
    EXPECT_EQ(s.image.outputs[7].delay, 1000);
    EXPECT_EQ(s.linkConfirmed, 2);
}

TEST_F(Parser, receivedTraceSeesTheWholeFrameOfValidFramesOnly) {
    const Bytes frame = Reply(kCmdAck);
    Feed(frame);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], frame);
}

// --- lengths that cannot fit the buffer ----------------------------------------------------------------

TEST_F(Parser, negativeLengthIsDroppedAtOnceAndTheNextFrameIsReceived) {
    Bytes chunk = Hex("5A5A5A 01 53 A9 00 00 00 00 FFFF");
    Feed(Cat(chunk, Reply(kCmdHeartbeat, 0, Meters())));
    EXPECT_TRUE(MetersApplied()) << "hunting goes on in the same chunk";
    EXPECT_EQ(s.rx.inFrame, 0);
}

TEST_F(Parser, lengthAboveSixteenHundredIsDroppedAtOnce) {
    for (const char* length : {"4106", "FF7F", "0080"}) { // 1601, 32767, -32768
        s.meterLevels = {};
        Feed(Hex(std::string("5A5A5A 01 53 A6 00 00 00 00 ") + length + " 00 00 00"));
        EXPECT_EQ(s.rx.inFrame, 0) << length;
        EXPECT_EQ(s.rx.index, 0) << length;
        Feed(Reply(kCmdHeartbeat, 0, Meters()));
        EXPECT_TRUE(MetersApplied()) << length;
    }
}

TEST_F(Parser, droppedLengthNeverJudgesTheNextFrame) {
    // -5 would make a frame "complete" at its seventh byte if it were still remembered.
    Feed(Hex("5A5A5A 01 53 A9 00 00 00 00 FBFF"));
    for (uint8_t b : Reply(kCmdHeartbeat, 0, Meters())) Feed(Bytes{b});
    EXPECT_TRUE(MetersApplied());
}

TEST_F(Parser, dispatchReadsNothingOutsideTheFrameItIsGiven) {
    const Bytes frame = Reply(kCmdHeartbeat, 0, Meters());
    const Bytes body(frame.begin() + 2, frame.end());
    DispatchFrame(s, body.data(), 5);               // shorter than a header
    DispatchFrame(s, body.data(), body.size() - 3); // shorter than its length says
    DispatchFrame(s, nullptr, 100);
    EXPECT_FALSE(MetersApplied());
    DispatchFrame(s, body.data(), body.size());
    EXPECT_TRUE(MetersApplied());
}

// --- dispatch ------------------------------------------------------------------------------------------

TEST_F(Parser, handshakeReplySetsNamesResetsLinksAndQueuesTheImageRead) {
    Bytes payload(80 + 16 * 21, 0);
    for (int i = 0; i < 80; ++i) payload[i] = static_cast<uint8_t>(i);
    for (int n = 0; n <= 20; ++n) {
        char text[17];
        std::snprintf(text, sizeof text, "PROGRAM %-8d", n);
        std::memcpy(payload.data() + 80 + 16 * n, text, 16);
    }
    s.outputLinkGroup[3] = 0;
    s.inputLinkGroup[1] = 0;
    s.linkConfirmed = 0;
    QueueHandshake(s);
    Tick();
    Feed(Reply(kCmdHandshake, 6, payload));
    EXPECT_STREQ(s.programNames[0], "PROGRAM 0       ");
    EXPECT_STREQ(s.programNames[20], "PROGRAM 20      ");
    EXPECT_STREQ(s.programNames[21], "     USER 21    ") << "entries after 20 keep their texts";
    EXPECT_EQ(s.system.deviceAddress(), 10);
    EXPECT_EQ(s.system.bytes[79], 79);
    EXPECT_EQ(s.outputLinkGroup[3], 3);
    EXPECT_EQ(s.inputLinkGroup[1], 1);
    EXPECT_EQ(s.linkConfirmed, 1);
    EXPECT_EQ(s.deviceConfigPending, 1);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}));
}

TEST_F(Parser, shortHandshakeReplyReadsZerosNotStaleBytes) {
    Feed(Reply(kCmdHeartbeat, 0, Bytes(400, 0x41))); // leaves 'A's in the receive buffer
    Bytes payload(80 + 16, 0x42);
    QueueHandshake(s);
    Feed(Reply(kCmdHandshake, 6, payload));
    EXPECT_STREQ(s.programNames[0], "BBBBBBBBBBBBBBBB");
    EXPECT_STREQ(s.programNames[1], "");
}

TEST_F(Parser, aLateAnswerToAnEarlierHandshakeSendChangesNothing) {
    s.inputLinkGroup[3] = 2;
    s.image.outputs[2].gain = 123;
    QueueParamWrite(s, kKindOutput, 2, 1);
    Feed(Reply(kCmdHandshake, 6, Bytes(416, 0x20)));
    EXPECT_EQ(s.inputLinkGroup[3], 2) << "the links stay";
    EXPECT_EQ(s.scheduler.state, SchedState::ParamWrite) << "the write is not replaced by a read";
    EXPECT_EQ(s.image.outputs[2].gain, 123);
}

TEST_F(Parser, programNameListFillsEntriesOneToNineteenWithFifteenCharacters) {
    Bytes payload(16 * 20, 0);
    for (int n = 0; n < 20; ++n) std::memset(payload.data() + 16 * n, 'a' + n, 16);
    const SchedState before = s.scheduler.state;
    Feed(Reply(kCmdHandshake, 5, payload));
    EXPECT_STREQ(s.programNames[0], " SYSTEM DEFAULT ") << "record 0 is not used";
    EXPECT_STREQ(s.programNames[1], "bbbbbbbbbbbbbbb");
    EXPECT_STREQ(s.programNames[19], "ttttttttttttttt");
    EXPECT_STREQ(s.programNames[20], "     USER 20    ");
    EXPECT_EQ(s.scheduler.state, before);
}

TEST_F(Parser, wholeImageIsClampedBeforeThePagesAreToldToRefresh) {
    DeviceImage image = s.image;
    image.inputs[1].peq[2].gain = 401;
    image.outputs[0].peq[0].gain = 500;
    s.hooks.imageReplaced = [this] {
        ++imagesReplaced;
        events.push_back("image");
        EXPECT_EQ(s.image.inputs[1].peq[2].gain, 200) << "curves are rebuilt from the clamped image";
        EXPECT_EQ(s.image.outputs[0].peq[0].gain, 400);
    };
    QueueProgramLoad(s, 0);
    Tick();
    Feed(Reply(kCmdProgramLoad, 0, ImagePayload(image)));
    EXPECT_EQ(imagesReplaced, 1);
    EXPECT_EQ(posted, (std::vector<Posted>{{kMsgRefresh, 0, 255}}));
    EXPECT_EQ(events, (std::vector<std::string>{"frame", "image", "post"}));
    EXPECT_EQ(s.linkConfirmed, 2);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Parser, imageReplyWithoutTheWholeImageIsNotApplied) {
    QueueProgramLoad(s, 0);
    Tick();
    s.linkConfirmed = 1;
    Feed(Reply(kCmdProgramLoad, 0, Bytes(640, 0)));
    EXPECT_EQ(s.image.outputs[0].gain, 360);
    EXPECT_EQ(s.linkConfirmed, 1);
    EXPECT_EQ(s.scheduler.state, SchedState::ProgramLoad);
    EXPECT_EQ(imagesReplaced, 0);
    EXPECT_TRUE(posted.empty());
}

TEST_F(Parser, metersInConfigurationThreeAreReordered) {
    s.deviceConfig = 3;
    s.selectedOutputChannel = 6;
    Feed(Reply(kCmdHeartbeat, 0, Hex("10 11 12 13 20 21 30 31 32 33 34 35")));
    const MeterLevels& m = s.meterLevels;
    EXPECT_EQ(Bytes(m.inputLevel, m.inputLevel + 4), Hex("10 11 12 13"));
    EXPECT_EQ(Bytes(m.outputLevel, m.outputLevel + 8), Hex("30 31 32 33 34 35 20 21"));
    EXPECT_EQ(m.selectedOutputLevel, 0x20);
}

TEST_F(Parser, metersInOtherConfigurationsAreTakenInOrder) {
    for (uint8_t config : {5, 7}) {
        s.deviceConfig = config;
        s.selectedOutputChannel = 2;
        Feed(Reply(kCmdHeartbeat, 0, Meters()));
        const MeterLevels& m = s.meterLevels;
        EXPECT_EQ(m.inputLevel[3], 0x13);
        EXPECT_EQ(m.outputLevel[0], 0x14);
        EXPECT_EQ(m.outputLevel[7], 0x1B);
        EXPECT_EQ(m.extra[3], 0x1F);
        EXPECT_EQ(m.selectedOutputLevel, 0x16);
    }
}

TEST_F(Parser, selectedOutputOutsideTheEightOutputsReadsNoLevel) {
    s.selectedOutputChannel = 200;
    Feed(Reply(kCmdHeartbeat, 0, Meters()));
    EXPECT_EQ(s.meterLevels.selectedOutputLevel, 0);
}

TEST_F(Parser, repliesActOnTheSchedulerWithoutLookingAtThePendingCommand) {
    struct Case {
        uint8_t command, p1, moreDirty;
        SchedState state; // expected afterwards, starting from a block write that was sent
        uint8_t sent;
    };
    const Case cases[] = {
        {0xA3, 0, 0, SchedState::Idle, 0},  {0xA3, 0, 1, SchedState::BlockWrite, 0}, {0xAA, 0, 0, SchedState::Idle, 0},
        {0xAA, 0, 1, SchedState::BlockWrite, 1}, {0xAE, 0, 0, SchedState::BlockWrite, 0}, {0xA4, 0, 1, SchedState::Idle, 0},
        {0xA5, 0, 1, SchedState::Idle, 0},  {0xA2, 21, 1, SchedState::Idle, 0}, {0xA2, 22, 1, SchedState::Idle, 0},
        {0xA2, 7, 0, SchedState::BlockWrite, 1}, {0xA7, 0, 0, SchedState::BlockWrite, 1}, {0xA8, 0, 0, SchedState::BlockWrite, 1},
        {0xAB, 0, 0, SchedState::BlockWrite, 1}, {0xB0, 0, 0, SchedState::BlockWrite, 1},
    };
    for (const Case& c : cases) {
        ConnectIdle();
        QueueBlockWrite(s, kKindOutput, 1);
        Tick(3);
        s.scheduler.moreDirty = c.moreDirty;
        Feed(Reply(c.command, c.p1));
        EXPECT_EQ(s.scheduler.state, c.state) << std::hex << int(c.command) << " " << int(c.p1);
        EXPECT_EQ(s.scheduler.sent, c.sent) << std::hex << int(c.command) << " " << int(c.p1);
        if (c.state == SchedState::Idle) {
            EXPECT_EQ(s.scheduler.tickCounter, 0);
        }
    }
}

// --- link supervision ----------------------------------------------------------------------------------

TEST_F(Parser, linkIsDeclaredLostOnTheSixtyFirstSilentTick) {
    struct Case {
        LinkType link;
        uint8_t language;
        const char* text;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {LinkType::Serial, 0, "COM connect error", {"post", "close", "box"}},
        {LinkType::Serial, 1, "串口连接错误", {"post", "close", "box"}},
        {LinkType::Tcp, 0, "WIFI connect error", {"post", "close", "box"}},
        {LinkType::Tcp, 1, "网络连接错误", {"post", "close", "box"}},
        {LinkType::Usb, 1, "USB连接错误", {"post", "box"}}, // the USB handles stay open
    };
    for (const Case& c : cases) {
        ConnectIdle(c.link);
        s.languageFlag = c.language;
        events.clear();
        boxes.clear();
        posted.clear();
        Feed(Reply(kCmdAck));
        for (int t = 1; t <= 60; ++t) LinkSupervisionTick(s);
        EXPECT_EQ(s.linkConnected, 1);
        LinkSupervisionTick(s);
        EXPECT_EQ(s.linkConnected, 0);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(posted, (std::vector<Posted>{{kMsgRefresh, 0xAA, 0xBB}}));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        for (int t = 0; t < 200; ++t) LinkSupervisionTick(s);
        EXPECT_EQ(boxes.size(), 1u) << "one message per loss";
    }
}

TEST_F(Parser, everyReceivedChunkRestartsTheSilenceCount) {
    for (int round = 0; round < 3; ++round) {
        for (int t = 0; t < 60; ++t) LinkSupervisionTick(s);
        Feed(Hex("00")); // even noise shows the link is alive
    }
    FeedReport(s, Report(Hex("00"), 0).data());
    for (int t = 0; t < 60; ++t) LinkSupervisionTick(s);
    EXPECT_EQ(s.linkConnected, 1);
}

TEST_F(Parser, supervisionIsQuietWhileDisconnected) {
    s.linkConnected = 0;
    for (int t = 0; t < 500; ++t) LinkSupervisionTick(s);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(s.rx.silenceCounter, 0);
}

TEST_F(Parser, lostLinkStopsTheScheduler) {
    for (int t = 0; t < 61; ++t) LinkSupervisionTick(s);
    frames.clear();
    Tick(30);
    EXPECT_TRUE(frames.empty());
}
