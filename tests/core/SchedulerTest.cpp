// Scheduler timelines (heartbeat, retries, streamed writes) and the rules that keep every edit.
#include "CoreFixture.h"

#include "core/ChannelLink.h"
#include "core/Verify.h"

#include <algorithm>

using namespace velmar;
using namespace velmar::test;

namespace {

class Scheduler : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        WithoutVerifyReads();
        ConnectIdle();
    }
    void Ack() { Feed(Reply(kCmdAck)); }
    // Ticks until the scheduler is idle with nothing left dirty, answering every write at once; returns
    // everything that was sent on the way.
    std::vector<Sent> StreamUntilIdle(int limit = 50) {
        std::vector<Sent> out;
        for (int i = 0; i < limit && (s.scheduler.state != SchedState::Idle || AnyDirty(s)); ++i) {
            for (const Sent& f : TickSends()) out.push_back(f);
            if (s.scheduler.state == SchedState::ParamWrite) Ack();
            if (s.scheduler.state == SchedState::BlockWrite) Feed(Reply(kCmdBlockWrite));
        }
        return out;
    }
    void LinkOutputs(std::initializer_list<int> outputs, uint8_t group) {
        for (int o : outputs) s.outputLinkGroup[o] = group;
    }
};

} // namespace

// --- timelines ---------------------------------------------------------------------------------------

TEST_F(Scheduler, heartbeatGoesOutOnTheEleventhIdleTickThenOnEveryTick) {
    EXPECT_EQ(SendTicks(14, kCmdHeartbeat), (std::vector<int>{11, 12, 13, 14}));
    EXPECT_EQ(frames.at(0), Hex("5A5A5A 01 53 A9 00 00 00 00 0000 A1 AA"));
}

TEST_F(Scheduler, anyRealSendRestartsTheElevenTickWait) {
    Tick(12);
    QueueParamWrite(s, kKindOutput, 0, 1);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 0, 1)});
    Ack();
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(SendTicks(11, kCmdHeartbeat), std::vector<int>{11});
}

TEST_F(Scheduler, nothingIsSentBeforeTheFirstCommandIsQueued) {
    s.scheduler.state = SchedState::Off;
    Tick(30);
    EXPECT_TRUE(frames.empty());
}

TEST_F(Scheduler, unansweredHandshakeIsSentSixTimesSixteenTicksApartAndAbandonedAt96) {
    QueueHandshake(s);
    EXPECT_EQ(SendTicks(95, kCmdHandshake), (std::vector<int>{1, 17, 33, 49, 65, 81}));
    EXPECT_EQ(frames.at(0), Hex("5A5A5A 01 53 A2 06 00 00 00 0000 AC AA"));
    Tick(); // 96
    EXPECT_EQ(s.scheduler.state, SchedState::GiveUp);
    Tick(); // 97: one step back to idle
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(s.scheduler.retryCounter, 0);
    EXPECT_TRUE(boxes.empty()) << "giving up is silent";
}

TEST_F(Scheduler, unansweredBlockWriteIsSentFourTimesTwentyOneTicksApart) {
    QueueBlockWrite(s, kKindInput, 2);
    EXPECT_EQ(SendTicks(83, kCmdBlockWrite), (std::vector<int>{1, 22, 43, 64}));
    EXPECT_EQ(frames.at(0).size(), 174u);
    Tick(); // 84
    EXPECT_EQ(s.scheduler.state, SchedState::GiveUp);
}

TEST_F(Scheduler, unansweredImageWriteIsSentFourTimesThenTheProcessorsImageIsReadBack) {
    std::vector<CoreEvent> events;
    s.hooks.event = [&](CoreEvent e, int) { events.push_back(e); };
    s.importImage.outputs[3].gain = 123;
    QueueImageWrite(s, 0);
    EXPECT_EQ(SendTicks(123, kCmdImageWrite), (std::vector<int>{1, 32, 63, 94}));
    ASSERT_EQ(frames.at(0).size(), 1614u);
    EXPECT_EQ(0, std::memcmp(frames[0].data() + 12, &s.importImage, kImageSize));
    Tick();
    EXPECT_EQ(std::count(events.begin(), events.end(), CoreEvent::ImportFailed), 1);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}))
        << "the screen goes back to what the processor holds";
}

// The image write waits three seconds for each answer: if only those answers are lost, heartbeats on
// the quiet line keep the supervision from declaring a link lost that still answers.
TEST_F(Scheduler, aLongWaitOnAQuietLineSendsHeartbeatsThatKeepTheLinkUp) {
    std::vector<CoreEvent> events;
    s.hooks.event = [&](CoreEvent e, int) { events.push_back(e); };
    QueueImageWrite(s, 0);
    int heartbeats = 0;
    bool loseNext = false; // the first heartbeat's answer after each send of the image is lost too
    for (int t = 0; t < 130; ++t) {
        for (const Sent& f : TickSends()) {
            if (f.command == kCmdImageWrite) loseNext = true;
            if (f.command != kCmdHeartbeat) continue;
            ++heartbeats;
            if (!loseNext) Feed(Reply(kCmdHeartbeat, 0, Bytes(16, 0)));
            loseNext = false;
        }
        LinkSupervisionTick(s);
    }
    EXPECT_EQ(s.linkConnected, 1);
    EXPECT_GE(heartbeats, 4);
    EXPECT_EQ(std::count(events.begin(), events.end(), CoreEvent::ImportFailed), 1);
}

TEST_F(Scheduler, everyCommandHasItsOwnRetries) {
    QueueBlockWrite(s, kKindOutput, 0);
    Tick(42); // two timeouts
    Feed(Reply(kCmdBlockWrite));
    EXPECT_EQ(s.scheduler.retryCounter, 0) << "an answer clears the count";
    QueueBlockWrite(s, kKindOutput, 1);
    Tick(30); // one timeout, then replaced
    QueueBlockWrite(s, kKindOutput, 2);
    EXPECT_EQ(SendTicks(83, kCmdBlockWrite), (std::vector<int>{1, 22, 43, 64}));
    Tick();
    EXPECT_EQ(s.scheduler.state, SchedState::GiveUp);
}

TEST_F(Scheduler, aStoreGoesOutOnlyAfterAVerifyReadAgreedAndIsSentAgainUntilAnswered) {
    std::vector<std::pair<CoreEvent, int>> events;
    s.hooks.event = [&](CoreEvent e, int v) {
        if (e == CoreEvent::StoreDone || e == CoreEvent::StoreFailed) events.emplace_back(e, v);
    };
    QueueProgramStore(s, 4);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}})) << "the verify read";
    Tick(5);
    FeedImage(s.image);
    EXPECT_EQ(SendTicks(64, kCmdProgramStore), (std::vector<int>{1, 22, 43, 64}));
    Feed(Reply(0xA5));
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::StoreDone, 4}}));
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);

    // No answer at all: reported as not made, never as made.
    events.clear();
    QueueProgramStore(s, 6);
    Tick();
    FeedImage(s.image);
    Tick(84);
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::StoreFailed, 6}}));
}

TEST_F(Scheduler, anUnansweredLoadIsSentAgainAndItsOneImageEndsTheWait) {
    std::vector<std::pair<CoreEvent, int>> events;
    s.hooks.event = [&](CoreEvent e, int v) {
        if (e == CoreEvent::LoadDone || e == CoreEvent::LoadFailed) events.emplace_back(e, v);
    };
    QueueProgramLoad(s, 7);
    const int wait = ReplyWaitTicks(s, 14, 1614);
    EXPECT_EQ(wait, 19) << "0.85 s of wire time at 19200 bit/s and a second";
    EXPECT_EQ(SendTicks(2 * (wait + 1), kCmdProgramLoad), (std::vector<int>{1, wait + 2}));
    EXPECT_EQ(s.scheduler.imagesDue, 1) << "a resend adds no second image";
    DeviceImage program = s.image;
    program.outputs[0].gain = 100;
    FeedImage(program);
    EXPECT_EQ(s.image.outputs[0].gain, 100);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::LoadDone, 7}}));

    events.clear();
    QueueProgramLoad(s, 8);
    Tick(4 * (wait + 1));
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::LoadFailed, 8}}));
    EXPECT_EQ(s.verify.requested, 1) << "what the processor holds is read back and compared";

    // The read at connection is not given up while the link lives: nothing may go out without it.
    s.linkConfirmed = 1;
    QueueProgramLoad(s, 0);
    EXPECT_GE(SendTicks(8 * (wait + 2), kCmdProgramLoad).size(), 8u);
    EXPECT_EQ(s.scheduler.state, SchedState::ProgramLoad);
    FeedImage(program);
    EXPECT_EQ(s.linkConfirmed, 2);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Scheduler, unansweredParameterWriteIsRepeatedOnEveryTick) {
    s.image.outputs[5].gain = 100;
    QueueParamWrite(s, kKindOutput, 5, 1);
    Tick(5);
    ASSERT_EQ(frames.size(), 5u);
    for (const Bytes& f : frames) EXPECT_EQ(f, frames[0]);
    EXPECT_EQ(frames[0], Hex("5A5A5A 01 53 A1 04 00 05 01 0800 01 01 6400 0000 0F 00 CA AA"));
    EXPECT_EQ(graphClears, 5) << "every write step clears the graph's pending edit";
    Ack();
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Scheduler, threeLinkedOutputsAreStreamedInChannelOrder) {
    LinkOutputs({0, 1, 2}, 0);
    s.image.outputs[1].hpfFreq = 120;
    s.image.outputs[1].lpfFreq = 3000;
    QueueParamWrite(s, kKindOutput, 1, 3);
    LinkParam(s, kKindOutput, 1, 3);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 1, 3)});
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 0, 3)});
    Ack(); // the acknowledgement of output 2's write does not stop the stream
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 3)});
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 3)}) << "the last write repeats";
    EXPECT_EQ(frames[2][12 + 0] | frames[2][13] << 8, 120);
    Ack();
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_FALSE(AnyDirty(s));
}

TEST_F(Scheduler, graphicEqBandOfChannelZeroGoesBeforeChannelOneAndIndexTwoBeforeFifteen) {
    s.dirty.input[1][2] = 1;
    s.dirty.input[0][15] = 1;
    s.dirty.input[0][2] = 1;
    QueueParamWrite(s, kKindInput, 3, 1);
    EXPECT_EQ(StreamUntilIdle(), (std::vector<Sent>{Write(kKindInput, 3, 1), Write(kKindInput, 0, 2),
                                                    Write(kKindInput, 0, 15), Write(kKindInput, 1, 2)}));
    EXPECT_EQ(frames[2].size(), 16u) << "a graphic-equaliser word travels alone";
}

TEST_F(Scheduler, secondDirtyBlockWaitsForTheReplyToTheFirst) {
    QueueBlockWrite(s, kKindOutput, 0);
    s.dirty.block[kInputCount + 1] = 1;
    EXPECT_EQ(TickSends(), std::vector<Sent>{Block(kKindOutput, 0)});
    Tick(5);
    EXPECT_EQ(frames.size(), 1u);
    Feed(Reply(kCmdBlockWrite));
    EXPECT_EQ(TickSends(), std::vector<Sent>{Block(kKindOutput, 1)});
    Feed(Reply(kCmdBlockWrite));
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Scheduler, anUnansweredBlockIsSentAgainBeforeTheNextDirtyBlock) {
    QueueBlockWrite(s, kKindOutput, 0);
    s.dirty.block[kInputCount + 1] = 1;
    const std::vector<int> at = SendTicks(22, kCmdBlockWrite);
    EXPECT_EQ(at, (std::vector<int>{1, 22}));
    EXPECT_EQ(Fields(frames[1]).command, kCmdHeartbeat) << "a heartbeat on the tick the wait ends";
    EXPECT_EQ(Fields(frames.back()), Block(kKindOutput, 0));
    Feed(Reply(kCmdBlockWrite));
    EXPECT_EQ(TickSends(), std::vector<Sent>{Block(kKindOutput, 1)});
}

TEST_F(Scheduler, writeQueuedWhileDisconnectedIsReplacedByTheHandshakeAndNeverSent) {
    s.linkConnected = 0;
    QueueParamWrite(s, kKindInput, 0, 1);
    EXPECT_EQ(s.scheduler.state, SchedState::ParamWrite);
    Tick(20);
    EXPECT_TRUE(frames.empty());
    s.linkConnected = 1;
    s.linkConfirmed = 0;
    QueueHandshake(s);
    EXPECT_EQ(s.scheduler.state, SchedState::Handshake);
    Tick();
    EXPECT_EQ(SentSince(), (std::vector<Sent>{{kCmdHandshake, 6, 0, 0, 0, 0}}));
}

TEST_F(Scheduler, outOfRangeQueueArgumentsAreIgnored) {
    struct Case {
        uint8_t kind, channel, index;
    };
    for (Case c : {Case{1, 4, 1}, Case{4, 8, 1}, Case{1, 0, 44}, Case{1, 0, 0}, Case{4, 0, 14}, Case{2, 0, 1},
                   Case{5, 1, 0}, Case{4, 255, 255}}) {
        QueueParamWrite(s, c.kind, c.channel, c.index);
        EXPECT_EQ(s.scheduler.state, SchedState::Idle) << int(c.kind) << " " << int(c.channel);
    }
    QueueBlockWrite(s, kKindInput, 4);
    QueueBlockWrite(s, kKindOutput, 8);
    QueueBlockWrite(s, 3, 0);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    MarkParamDirty(s, kKindOutput, 0, 14);
    MarkParamDirty(s, kKindInput, -1, 1);
    MarkBlockDirty(s, kKindOutput, 8);
    EXPECT_FALSE(AnyDirty(s));
}

// --- a: a replaced write that never left is marked dirty again ----------------------------------------

TEST_F(Scheduler, writeReplacedBeforeItsTickIsSentLaterNotDropped) {
    // Output 1 (linked with output 2) edited, then input A before the next tick.
    LinkOutputs({0, 1}, 0);
    QueueParamWrite(s, kKindOutput, 0, 1);
    LinkParam(s, kKindOutput, 0, 1);
    QueueParamWrite(s, kKindInput, 0, 1);
    EXPECT_EQ(s.dirty.output[0][1], 1) << "the replaced write is remembered";
    EXPECT_EQ(StreamUntilIdle(), (std::vector<Sent>{Write(kKindInput, 0, 1), Write(kKindOutput, 0, 1),
                                                    Write(kKindOutput, 1, 1)}));
    EXPECT_FALSE(AnyDirty(s));
}

TEST_F(Scheduler, theScanNeverMarksTheWriteItJustSentDirtyAgain) {
    LinkOutputs({0, 1, 2, 3}, 0);
    QueueParamWrite(s, kKindOutput, 0, 5);
    LinkParam(s, kKindOutput, 0, 5);
    const std::vector<Sent> sent = StreamUntilIdle();
    EXPECT_EQ(sent, (std::vector<Sent>{Write(4, 0, 5), Write(4, 1, 5), Write(4, 2, 5), Write(4, 3, 5)}));
    EXPECT_FALSE(AnyDirty(s));
    EXPECT_EQ(SendTicks(11, kCmdHeartbeat), std::vector<int>{11}) << "no two writes chase each other";
}

TEST_F(Scheduler, theSameWriteQueuedTwiceBeforeItsTickIsSentOnce) {
    QueueParamWrite(s, kKindOutput, 2, 1);
    QueueParamWrite(s, kKindOutput, 2, 1);
    EXPECT_FALSE(AnyDirty(s));
    EXPECT_EQ(StreamUntilIdle(), std::vector<Sent>{Write(kKindOutput, 2, 1)});
}

TEST_F(Scheduler, blockQueuedByTheScanAndReplacedByAnEditIsSentLater) {
    QueueBlockWrite(s, kKindOutput, 0);
    s.dirty.block[kInputCount + 1] = 1;
    Tick(); // sends output 1's block, the scan queues output 2's
    QueueParamWrite(s, kKindInput, 1, 1);
    EXPECT_EQ(s.dirty.block[kInputCount + 1], 1);
    EXPECT_EQ(StreamUntilIdle(), (std::vector<Sent>{Write(kKindInput, 1, 1), Block(kKindOutput, 1)}));
}

TEST_F(Scheduler, abandonedBlockWaitKeepsTheBlockQueuedBehindIt) {
    QueueBlockWrite(s, kKindOutput, 0);
    s.dirty.block[kInputCount + 1] = 1;
    Tick(84);
    EXPECT_EQ(s.scheduler.state, SchedState::GiveUp);
    EXPECT_EQ(s.dirty.block[kInputCount + 1], 1);
    EXPECT_EQ(s.verify.requested, 1) << "a verify read finds out what arrived";
    Tick(); // back to idle
    EXPECT_EQ(TickSends(), std::vector<Sent>{Block(kKindOutput, 1)});
}

TEST_F(Scheduler, lateAcknowledgementDoesNotDropAQueuedCommand) {
    QueueParamWrite(s, kKindOutput, 0, 1);
    Tick(2); // sent twice: two acknowledgements will come
    Ack();
    QueueParamWrite(s, kKindOutput, 3, 2);
    Ack();
    EXPECT_EQ(s.scheduler.state, SchedState::ParamWrite);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 3, 2)});
    Ack();
    QueueProgramLoad(s, 2);
    Ack(); // the repeated write's second acknowledgement
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 2, 0, 0, 0}}));
}

// Found by the soak: a late acknowledgement of a write sent before a program load ended the load's wait,
// the next edit went out ahead of the image reply, and the image then overwrote it on the screen while
// the processor kept it. A handshake or program load waits for its own reply only.
TEST_F(Scheduler, aLateReplyDoesNotEndTheWaitForAWholeImage) {
    struct Case {
        uint8_t command, p1;
    };
    const Case lateReplies[] = {{0xAA, 0}, {0xA3, 0},  {0xA4, 0}, {0xA5, 0},
                                {0xAE, 0}, {0xA2, 21}, {0xA2, 22}};
    for (const bool load : {true, false}) {
        for (const Case& c : lateReplies) {
            ConnectIdle();
            QueueParamWrite(s, kKindOutput, 0, 1);
            Tick(); // the write is on the wire; its acknowledgement is late
            if (load) {
                QueueProgramLoad(s, 3);
            } else {
                s.linkConfirmed = 0;
                QueueHandshake(s);
            }
            Tick(); // the load or handshake goes out
            Feed(Reply(c.command, c.p1));
            const SchedState waiting = load ? SchedState::ProgramLoad : SchedState::Handshake;
            EXPECT_EQ(s.scheduler.state, waiting) << std::hex << int(c.command) << " " << int(c.p1);
            EXPECT_EQ(s.scheduler.sent, 1) << std::hex << int(c.command);
            // An edit meanwhile waits for the image instead of going out ahead of it.
            const size_t before = frames.size();
            s.image.outputs[2].gain = 123;
            QueueParamWrite(s, kKindOutput, 2, 1);
            Tick();
            EXPECT_EQ(SentSince(before), std::vector<Sent>{}) << std::hex << int(c.command);
        }
    }
}

// Found by the soak over a 19200 bit/s pty, where an image reply takes 0.84 s: a program file imported
// while a program load's image was on its way was overwritten on the screen by that image, while the
// processor took the import after the load and kept it.
TEST_F(Scheduler, anImportMadeWhileALoadIsAnsweredKeepsTheImportedImage) {
    QueueProgramLoad(s, 3);
    Tick(); // the load is on the wire
    DeviceImage file = s.image;
    file.outputs[4].gain = 111;
    std::memcpy(&s.importImage, &file, kImageSize);
    std::memcpy(&s.image, &file, kImageSize);
    QueueImageWrite(s, 0);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdImageWrite, 0, 0, 0, 0, 1600}}));
    s.image.outputs[5].gain = 222; // an edit behind the import waits for it
    QueueParamWrite(s, kKindOutput, 5, 1);

    DeviceImage program = file;
    program.outputs[4].gain = 360;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&program);
    posted.clear();
    Feed(Reply(kCmdProgramLoad, 0, Bytes(bytes, bytes + kImageSize)));
    EXPECT_EQ(s.image.outputs[4].gain, 111) << "the imported image stays on the screen";
    EXPECT_EQ(s.image.outputs[5].gain, 222);
    EXPECT_EQ(s.scheduler.state, SchedState::ImageWrite) << "the import's answer is still awaited";
    EXPECT_EQ(s.linkConfirmed, 2);
    EXPECT_EQ(posted, (std::vector<Posted>{{kMsgRefresh, 0, 255}}));

    Feed(Reply(0xA4)); // the import's answer
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 5, 1)});
}

TEST_F(Scheduler, aStoreAskedForWhileAWholeImageIsOnItsWayWaitsForIt) {
    for (const bool sentAlready : {false, true}) {
        for (const uint8_t first : {kCmdProgramLoad, kCmdImageWrite}) {
            ConnectIdle();
            if (first == kCmdProgramLoad)
                QueueProgramLoad(s, 3);
            else
                QueueImageWrite(s, 0);
            if (sentAlready) Tick();
            QueueProgramStore(s, 7);
            EXPECT_EQ(s.scheduler.state,
                      first == kCmdProgramLoad ? SchedState::ProgramLoad : SchedState::ImageWrite)
                << "the load or import is not replaced";
            if (!sentAlready) {
                EXPECT_EQ(TickSends(),
                          (std::vector<Sent>{{first, 0, first == kCmdProgramLoad ? uint8_t(3) : uint8_t(0), 0,
                                              0, first == kCmdProgramLoad ? uint16_t(0) : uint16_t(1600)}}));
            }
            if (first == kCmdProgramLoad) {
                FeedImage(s.image);
            } else {
                Feed(Reply(0xA4));
                EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}))
                    << "the import is verified";
                FeedImage(s.image);
            }
            EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramStore, 0, 7, 0, 0, 0}}))
                << "then the store";
            Feed(Reply(kCmdProgramStore));
        }
    }
}

// Two loads on the wire at once (a second program chosen while the first one's image is still coming,
// 0.84 s at 19200 bit/s): the first image must not end the wait for the second, or an edit goes out
// between them and the second image overwrites it on the screen while the processor keeps it.
TEST_F(Scheduler, aSecondLoadOnTheWireIsAwaitedToo) {
    QueueProgramLoad(s, 3);
    Tick();
    QueueProgramLoad(s, 5);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 5, 0, 0, 0}}));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&s.image);
    const Bytes image(bytes, bytes + kImageSize);
    Feed(Reply(kCmdProgramLoad, 0, image)); // program 3
    EXPECT_EQ(s.scheduler.state, SchedState::ProgramLoad) << "program 5 is still on its way";
    s.image.outputs[1].gain = 99;
    QueueParamWrite(s, kKindOutput, 1, 1);
    EXPECT_EQ(TickSends(), std::vector<Sent>{}) << "no edit goes out between the two images";
    Feed(Reply(kCmdProgramLoad, 0, image)); // program 5
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    // A new connection forgets images that never came.
    QueueProgramLoad(s, 2);
    Tick();
    s.linkConfirmed = 0;
    QueueHandshake(s);
    Tick();
    Feed(Reply(kCmdHandshake, kHandshakeAsk, Bytes(416, 0x20)));
    Tick();
    Feed(Reply(kCmdProgramLoad, 0, image));
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(s.linkConfirmed, 2);
}

// A load whose image is lost on the way, then an import whose answer comes while that image is still
// awaited: the import is abandoned after its retries and the edits behind it must still go out.
TEST_F(Scheduler, aLostLoadImageIsNotAwaitedPastAnAbandonedImport) {
    QueueProgramLoad(s, 3);
    Tick(); // the load is on the wire; its image never comes
    QueueImageWrite(s, 0);
    Tick();
    Feed(Reply(0xA4));
    EXPECT_EQ(s.scheduler.state, SchedState::ImageWrite) << "the load's image is still awaited";
    Tick(123); // four sends, then abandoned: the processor's image is read back
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}));
    FeedImage(s.image);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    s.image.outputs[2].gain = 77;
    QueueParamWrite(s, kKindOutput, 2, 1);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 1)});
}

TEST_F(Scheduler, idleTickSendsAStrandedFlagInsteadOfTheHeartbeat) {
    Tick(15); // heartbeats running
    s.dirty.output[4][2] = 1;
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 4, 2)});
    Ack();
    EXPECT_EQ(SendTicks(11, kCmdHeartbeat), std::vector<int>{11});
}

TEST_F(Scheduler, strandedBlockFlagIsSentFromIdleToo) {
    s.dirty.block[2] = 1;
    EXPECT_EQ(TickSends(), std::vector<Sent>{Block(kKindInput, 2)});
}

TEST_F(Scheduler, dirtyFlagsWaitUntilTheImageIsConfirmed) {
    s.linkConfirmed = 1;
    s.dirty.output[1][1] = 1;
    s.dirty.output[2][1] = 1;
    QueueParamWrite(s, kKindOutput, 0, 1);
    Tick(3);
    EXPECT_EQ(SentSince(), (std::vector<Sent>(3, Write(kKindOutput, 0, 1)))) << "the scan leaves them alone";
    Ack();
    EXPECT_EQ(SendTicks(11, kCmdHeartbeat), std::vector<int>{11});
    s.linkConfirmed = 2;
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 1, 1)});
}

// --- c: connection and whole-image replies clear every flag --------------------------------------------

TEST_F(Scheduler, handshakeClearsEveryDirtyFlagSoOfflineEditsAreNeverSent) {
    s.linkConnected = 0;
    s.linkConfirmed = 0;
    LinkOutputs({0, 1}, 0);
    QueueParamWrite(s, kKindOutput, 0, 1);
    LinkParam(s, kKindOutput, 0, 1);
    s.dirty.block[3] = 1;
    s.linkConnected = 1;
    QueueHandshake(s);
    EXPECT_FALSE(AnyDirty(s));
}

TEST_F(Scheduler, wholeImageReplyClearsEveryDirtyFlag) {
    QueueProgramLoad(s, 3);
    Tick();
    s.dirty.output[6][4] = 1;
    s.dirty.input[0][30] = 1;
    s.dirty.block[0] = 1;
    Bytes image(kImageSize);
    std::memcpy(image.data(), &s.image, kImageSize);
    Feed(Reply(kCmdProgramLoad, 0, image));
    EXPECT_FALSE(AnyDirty(s));
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(SendTicks(11, kCmdHeartbeat), std::vector<int>{11});
    EXPECT_EQ(frames.size(), 2u);
}

// --- d: a program store holds every edit made before it ------------------------------------------------

TEST_F(Scheduler, storeWaitsUntilStreamedWritesAreAcknowledged) {
    LinkOutputs({0, 1, 2}, 0);
    QueueParamWrite(s, kKindOutput, 0, 1);
    LinkParam(s, kKindOutput, 0, 1);
    QueueProgramStore(s, 5);
    EXPECT_EQ(s.scheduler.state, SchedState::ParamWrite);
    std::vector<Sent> sent;
    for (int i = 0; i < 3; ++i)
        for (const Sent& f : TickSends()) sent.push_back(f);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 1)}) << "no store before the last ack";
    Ack();
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}})) << "a verify read first";
    FeedImage(s.image);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramStore, 0, 5, 0, 0, 0}}));
    EXPECT_EQ(sent, (std::vector<Sent>{Write(4, 0, 1), Write(4, 1, 1), Write(4, 2, 1)}));
}

TEST_F(Scheduler, storeReplacedByAnEditBeforeItsTickStillGoesOutAfterIt) {
    QueueProgramStore(s, 2);
    QueueParamWrite(s, kKindInput, 0, 3);
    EXPECT_EQ(StreamUntilIdle(), std::vector<Sent>{Write(kKindInput, 0, 3)});
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}));
    FeedImage(s.image);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramStore, 0, 2, 0, 0, 0}}));
}

TEST_F(Scheduler, storeWaitsForAStrandedFlag) {
    s.dirty.output[7][13] = 1;
    QueueProgramStore(s, 9);
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 7, 13)});
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 7, 13)});
    Ack();
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramLoad, 0, 0, 0, 0, 0}}));
    FeedImage(s.image);
    EXPECT_EQ(TickSends(), (std::vector<Sent>{{kCmdProgramStore, 0, 9, 0, 0, 0}}));
}

TEST_F(Scheduler, handshakeOrLoadDropsAWaitingStoreAndSaysSo) {
    std::vector<std::pair<CoreEvent, int>> events;
    s.hooks.event = [&](CoreEvent e, int v) {
        if (e == CoreEvent::StoreFailed) events.emplace_back(e, v);
    };
    QueueParamWrite(s, kKindOutput, 0, 1);
    QueueProgramStore(s, 3);
    EXPECT_EQ(s.scheduler.storeProgram, 3);
    QueueProgramLoad(s, 4);
    EXPECT_EQ(s.scheduler.storeProgram, 0);
    QueueParamWrite(s, kKindOutput, 0, 1); // diverted: the load is pending
    QueueProgramStore(s, 5);
    QueueHandshake(s);
    EXPECT_EQ(s.scheduler.storeProgram, 0);
    EXPECT_EQ(events, (std::vector<std::pair<CoreEvent, int>>{{CoreEvent::StoreFailed, 3},
                                                              {CoreEvent::StoreFailed, 5}}));
}

// --- a write never displaces a whole-image command ------------------------------------------------------

TEST_F(Scheduler, editDuringAProgramLoadDoesNotDisplaceTheLoad) {
    QueueProgramLoad(s, 3);
    QueueParamWrite(s, kKindOutput, 1, 1); // before the load's tick
    EXPECT_EQ(s.scheduler.state, SchedState::ProgramLoad);
    Tick();
    QueueBlockWrite(s, kKindInput, 0); // while the load waits for its image
    EXPECT_EQ(s.scheduler.state, SchedState::ProgramLoad);
    Bytes image(kImageSize);
    std::memcpy(image.data(), &s.image, kImageSize);
    Feed(Reply(kCmdProgramLoad, 0, image));
    Tick(11);
    EXPECT_EQ(SentSince(), (std::vector<Sent>{{kCmdProgramLoad, 0, 3, 0, 0, 0}, kHeartbeat}))
        << "the loaded image replaces the edits";
}

TEST_F(Scheduler, editDuringAnImageWriteIsSentAfterIt) {
    QueueImageWrite(s, 0);
    Tick();
    QueueParamWrite(s, kKindOutput, 6, 2);
    EXPECT_EQ(s.scheduler.state, SchedState::ImageWrite);
    Feed(Reply(0xA4));
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 6, 2)});
}

TEST_F(Scheduler, editDuringTheHandshakeLeavesItInPlace) {
    s.linkConfirmed = 0;
    QueueHandshake(s);
    Tick();
    QueueParamWrite(s, kKindInput, 1, 1);
    EXPECT_EQ(s.scheduler.state, SchedState::Handshake);
}
