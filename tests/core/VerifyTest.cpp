// Verify and repair: what the processor did not take is sent again, what changed there is taken, and
// the user is told.
#include "CoreFixture.h"

#include "core/Verify.h"

#include <algorithm>

using namespace velmar;
using namespace velmar::test;

namespace {

const Sent kVerifyRead{kCmdProgramLoad, 0, 0, 0, 0, 0};

class Verify : public CoreFixture {
protected:
    std::vector<std::pair<CoreEvent, int>> events;

    void SetUp() override {
        CoreFixture::SetUp();
        s.hooks.event = [this](CoreEvent e, int v) {
            if (e != CoreEvent::SyncChanged) events.emplace_back(e, v);
        };
        ConnectIdle();
        s.verify.settings.periodTicks = 0;
        VerifyImageReplaced(s); // the image was just read from the processor
    }
    // Ticks until something other than a heartbeat goes out (at most `limit` ticks).
    std::vector<Sent> NextSends(int limit = 40) {
        for (int i = 0; i < limit; ++i) {
            std::vector<Sent> sent = TickSends();
            sent.erase(std::remove_if(sent.begin(), sent.end(),
                                      [](const Sent& f) { return f.command == kCmdHeartbeat; }),
                       sent.end());
            if (!sent.empty()) return sent;
        }
        return {};
    }
    void EditOutputGain(int output, int16_t raw) {
        s.image.outputs[output].gain = raw;
        QueueParamWrite(s, kKindOutput, static_cast<uint8_t>(output), 1);
    }
};

} // namespace

TEST_F(Verify, aWriteTheProcessorNeverTookIsFoundAndSentAgainUntilItIsThere) {
    DeviceImage processor = s.image;
    EditOutputGain(2, 300);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 1)});
    Feed(Reply(kCmdAck)); // acknowledged, yet the processor lost it
    EXPECT_EQ(s.verify.status, SyncStatus::Checking);
    EXPECT_EQ(SendTicks(10, kCmdProgramLoad), std::vector<int>{10}) << "one quiet second, then the read";
    FeedImage(processor);
    EXPECT_EQ(s.image.outputs[2].gain, 300) << "our edit stays on the screen";
    EXPECT_EQ(NextSends(), std::vector<Sent>{Write(kKindOutput, 2, 1)});
    Feed(Reply(kCmdAck));
    processor.outputs[2].gain = 300;
    EXPECT_EQ(NextSends(), std::vector<Sent>{kVerifyRead});
    FeedImage(processor);
    EXPECT_EQ(s.verify.status, SyncStatus::Synced);
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::Repaired, 1}}));
    EXPECT_EQ(NextSends(30), std::vector<Sent>{}) << "agreement: nothing more to do";
}

TEST_F(Verify, aValueChangedAtTheProcessorIsTakenAndAnnouncedNeverSent) {
    s.verify.settings.periodTicks = 50;
    DeviceImage processor = s.image;
    processor.inputs[1].gain = 200;
    processor.inputs[1].spare = 7;
    processor.outputs[0].peq[3].q = 40;
    EXPECT_EQ(SendTicks(50, kCmdProgramLoad), std::vector<int>{50}) << "the periodic read";
    posted.clear();
    FeedImage(processor);
    EXPECT_EQ(0, std::memcmp(&s.image, &processor, kImageSize));
    EXPECT_EQ(curvesChanged, (std::vector<std::pair<uint8_t, int>>{{kKindInput, 1}, {kKindOutput, 0}}));
    EXPECT_EQ(posted, (std::vector<Posted>{{kMsgRefresh, 0, 255}}));
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::ProcessorChanged, 2}}));
    EXPECT_EQ(imagesReplaced, 0);
    EXPECT_EQ(NextSends(40), std::vector<Sent>{}) << "nothing is sent back";
    EXPECT_EQ(s.verify.status, SyncStatus::Synced);
}

TEST_F(Verify, spareBytesAndCarriedUnitsFollowTheProcessorEvenOnAUnitWeWrote) {
    DeviceImage processor = s.image;
    EditOutputGain(3, 250);
    Tick();
    Feed(Reply(kCmdAck));
    processor.outputs[3].gain = 250;
    processor.outputs[3].spare = 9;        // spare byte of the unit we wrote
    processor.outputs[5].spareBand[2] = 4; // unit 14, carried only
    processor.inputs[0].name[0] = 'X';     // unit 0
    EXPECT_EQ(NextSends(), std::vector<Sent>{kVerifyRead});
    FeedImage(processor);
    EXPECT_EQ(0, std::memcmp(&s.image, &processor, kImageSize));
    EXPECT_EQ(NextSends(30), std::vector<Sent>{});
    EXPECT_EQ(s.verify.status, SyncStatus::Synced);
    EXPECT_TRUE(events.empty()) << "no named field changed";
}

TEST_F(Verify, anEditMadeWhileTheReadIsOnItsWayIsNeitherUndoneNorJudged) {
    for (const LinkType link : {LinkType::Tcp, LinkType::Serial}) {
        ConnectIdle(link);
        VerifyImageReplaced(s);
        const DeviceImage processor = s.image;
        const int16_t edited = link == LinkType::Tcp ? 111 : 112;
        EditOutputGain(1, edited);
        Tick();
        Feed(Reply(kCmdAck));
        EXPECT_EQ(NextSends(), std::vector<Sent>{kVerifyRead});
        EditOutputGain(4, static_cast<int16_t>(edited + 100));
        // On TCP the edit goes out at once; on serial it waits for the reply that occupies the line.
        EXPECT_EQ(TickSends(), link == LinkType::Tcp ? std::vector<Sent>{Write(kKindOutput, 4, 1)}
                                                     : std::vector<Sent>{});
        FeedImage(processor); // holds neither edit
        EXPECT_EQ(s.image.outputs[1].gain, edited);
        EXPECT_EQ(s.image.outputs[4].gain, edited + 100);
        EXPECT_EQ(s.dirty.output[1][1], 1) << "written before the read: sent again";
        EXPECT_EQ(s.verify.written[UnitIndex(kKindOutput, 4, 1)], 1) << "left for the next read";
        frames.clear();
        ClearAllDirty(s);
    }
}

TEST_F(Verify, roundsWithoutAgreementAreReportedUntilTheProcessorAgrees) {
    const DeviceImage stubborn = s.image;
    EditOutputGain(6, 123);
    for (int round = 1; round <= 3; ++round) {
        std::vector<Sent> sent = NextSends();
        if (sent.size() == 1 && sent[0] == Write(kKindOutput, 6, 1)) {
            Feed(Reply(kCmdAck));
            sent = NextSends();
        }
        ASSERT_EQ(sent, std::vector<Sent>{kVerifyRead}) << "round " << round;
        FeedImage(stubborn);
    }
    EXPECT_EQ(s.verify.status, SyncStatus::Unconfirmed);
    EXPECT_EQ(s.verify.unconfirmed, 1);
    UnitRef units[4];
    ASSERT_EQ(UnconfirmedUnits(s, units, 4), 1u);
    EXPECT_EQ(units[0].kind, kKindOutput);
    EXPECT_EQ(units[0].channel, 6);
    EXPECT_EQ(units[0].unit, 1);
    // The repair goes on, less often; once the value is there the status says so.
    s.verify.settings.periodTicks = 30;
    DeviceImage agreed = stubborn;
    agreed.outputs[6].gain = 123;
    for (int i = 0; i < 80 && s.verify.status != SyncStatus::Synced; ++i) {
        Tick();
        if (s.scheduler.state == SchedState::ParamWrite) Feed(Reply(kCmdAck));
        if (s.verify.onWire) FeedImage(agreed);
    }
    EXPECT_EQ(s.verify.status, SyncStatus::Synced);
    EXPECT_EQ(s.verify.unconfirmed, 0);
}

TEST_F(Verify, aLostReadIsSentAgainAndNeverDropsTheLink) {
    RequestVerify(s);
    const int wait = ReplyWaitTicks(s, kFrameOverhead, kImageSize + kFrameOverhead);
    const std::vector<int> at = SendTicks(3 * (wait + 2), kCmdProgramLoad);
    ASSERT_GE(at.size(), 3u);
    // The tick the wait ends sends a heartbeat, whose short answer keeps the supervision fed; the read
    // goes out again on the next.
    EXPECT_EQ(at[1] - at[0], wait + 2);
    EXPECT_EQ(Fields(frames[1]).command, kCmdHeartbeat);
    EXPECT_EQ(s.linkConnected, 1);
    EXPECT_EQ(ReplyWaitTicks(s, kFrameOverhead, kImageSize + kFrameOverhead), 19);
    s.activeLink = LinkType::Tcp;
    EXPECT_EQ(ReplyWaitTicks(s, kFrameOverhead, kImageSize + kFrameOverhead), 10);
}

TEST_F(Verify, aProgramNameIsConfirmedByAHandshakeThatLeavesEverythingElseAlone) {
    std::strcpy(s.programNames[3], "Main L/R");
    s.outputLinkGroup[1] = 0;
    const SystemBlock system = s.system;
    QueueNameCheck(s, 3);
    EXPECT_EQ(NextSends(), (std::vector<Sent>{{kCmdHandshake, kHandshakeAsk, 0, 0, 0, 0}}));
    Bytes reply(416, 0);
    auto answer = [&](const char* name) {
        std::fill(reply.begin(), reply.end(), 0);
        std::memcpy(reply.data() + 80 + 16 * 3, name, std::strlen(name));
        Feed(Reply(kCmdHandshake, kHandshakeAsk, reply));
    };
    answer("Old name");
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdParamWrite, kKindProgramName, 3, 0, 0, 16}}))
        << "written again";
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdHandshake, kHandshakeAsk, 0, 0, 0, 0}}));
    answer("Main L/R");
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::NameConfirmed, 3}}));
    EXPECT_EQ(s.outputLinkGroup[1], 0) << "the link groups stay";
    EXPECT_EQ(0, std::memcmp(&s.system, &system, sizeof system));
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(NextSends(30), std::vector<Sent>{}) << "no image read follows";

    events.clear();
    QueueNameCheck(s, 5);
    Tick(3 * 20);
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::NameUnconfirmed, 5}}));
}
