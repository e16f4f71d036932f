// Link groups, unit and block copies, group joins and the one-off channel copy.
#include "CoreFixture.h"

#include "core/ChannelLink.h"

using namespace velmar;
using namespace velmar::test;

namespace {

class Links : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        ConnectIdle();
        // Every channel different, so a copy is visible byte for byte.
        for (int c = 0; c < kInputCount; ++c) {
            InputBlock& in = s.image.inputs[c];
            std::memset(in.name, 'a' + c, sizeof in.name);
            in.gain = static_cast<int16_t>(100 + c);
            in.peq[4].freq = static_cast<int16_t>(400 + c);
            for (int b = 0; b < kGeqWordCount; ++b) in.geq[b] = static_cast<int16_t>(c * 100 + b);
        }
        for (int o = 0; o < kOutputCount; ++o) {
            OutputBlock& out = s.image.outputs[o];
            std::memset(out.name, 'A' + o, sizeof out.name);
            out.gain = static_cast<int16_t>(200 + o);
            out.routeMask = static_cast<uint8_t>(1 << (o % 4));
            out.hpfFreq = static_cast<int16_t>(50 + o);
            out.lpfFreq = static_cast<int16_t>(5000 + o);
            out.compAttack = static_cast<uint8_t>(o);
            out.spareBand[2] = static_cast<int16_t>(o);
        }
    }
    const uint8_t* Unit(uint8_t kind, int channel, int unit) const {
        return BlockBytes(s.image, kind, channel) + 8 * unit;
    }
    bool SameUnit(uint8_t kind, int a, int b, int unit) const {
        return std::memcmp(Unit(kind, a, unit), Unit(kind, b, unit), 8) == 0;
    }
};

} // namespace

TEST_F(Links, crossoverEditOnALinkedOutputIsCopiedAndFlaggedForTheOthers) {
    for (int o : {0, 1, 2}) s.outputLinkGroup[o] = 0;
    s.image.outputs[1].hpfFreq = 300;
    QueueParamWrite(s, kKindOutput, 1, 3);
    LinkParam(s, kKindOutput, 1, 3);
    EXPECT_TRUE(SameUnit(kKindOutput, 1, 0, 3));
    EXPECT_TRUE(SameUnit(kKindOutput, 1, 2, 3));
    EXPECT_EQ(s.image.outputs[0].lpfFreq, 5001) << "the whole unit travels: high-pass and low-pass";
    EXPECT_FALSE(SameUnit(kKindOutput, 1, 3, 3)) << "output 4 is not in the group";
    EXPECT_EQ(s.dirty.output[0][3], 1);
    EXPECT_EQ(s.dirty.output[2][3], 1);
    EXPECT_EQ(s.dirty.output[1][3], 0) << "the edited channel is queued, not flagged";
    Tick();
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 0, 3)});
    EXPECT_EQ(TickSends(), std::vector<Sent>{Write(kKindOutput, 2, 3)});
}

TEST_F(Links, linkedUnitOneCopiesEverythingButTheRouting) {
    s.outputLinkGroup[5] = 4;
    s.image.outputs[4].soundOn = 0;
    LinkParam(s, kKindOutput, 4, 1);
    EXPECT_EQ(s.image.outputs[5].soundOn, 0);
    EXPECT_EQ(s.image.outputs[5].gain, 204);
    EXPECT_EQ(s.image.outputs[5].routeMask, 1 << 1) << "the routing stays with the output";
    s.inputLinkGroup[3] = 0;
    LinkParam(s, kKindInput, 0, 1);
    EXPECT_EQ(s.image.inputs[3].gain, 100);
    EXPECT_EQ(s.dirty.input[3][1], 1);
}

TEST_F(Links, graphicEqBandOnLinkedInputsCopiesTheWordAndFlagsTwelvePlusBand) {
    s.inputLinkGroup[2] = 0;
    s.image.inputs[0].geq[5] = 333;
    LinkParam(s, kKindGeqWord, 0, 5);
    EXPECT_EQ(s.image.inputs[2].geq[5], 333);
    EXPECT_EQ(s.image.inputs[2].geq[6], 206) << "only that band";
    EXPECT_EQ(s.dirty.input[2][17], 1);
    EXPECT_EQ(s.image.inputs[1].geq[5], 105);
}

TEST_F(Links, linkBlockCopiesToEveryOtherMemberAndFlagsItsBlock) {
    for (int o : {2, 5, 7}) s.outputLinkGroup[o] = 2;
    LinkBlock(s, kKindOutput, 5);
    for (int o : {2, 7}) {
        EXPECT_EQ(s.image.outputs[o].gain, 205);
        EXPECT_EQ(s.image.outputs[o].spareBand[2], 5);
        EXPECT_EQ(s.image.outputs[o].name[0], 'A' + o) << "names never travel";
        EXPECT_EQ(s.image.outputs[o].routeMask, 1 << (o % 4));
        EXPECT_EQ(s.dirty.block[kInputCount + o], 1);
    }
    EXPECT_EQ(s.dirty.block[kInputCount + 5], 0);
    EXPECT_EQ(s.image.outputs[3].gain, 203);
}

TEST_F(Links, joiningAGroupTakesTheGroupsBlockAndWritesIt) {
    JoinLinkGroup(s, kKindOutput, 2, 0);
    EXPECT_EQ(s.outputLinkGroup[2], 0);
    const OutputBlock& o = s.image.outputs[2];
    EXPECT_EQ(o.gain, 200);
    EXPECT_EQ(o.hpfFreq, 50);
    EXPECT_EQ(o.routeMask, 1 << 2) << "output 3 keeps its own routing";
    EXPECT_EQ(o.name[0], 'C');
    EXPECT_EQ(curvesChanged, (std::vector<std::pair<uint8_t, int>>{{kKindOutput, 2}}));
    const std::vector<Sent> sent = TickSends();
    EXPECT_EQ(sent, std::vector<Sent>{Block(kKindOutput, 2)});
    EXPECT_EQ(0, std::memcmp(frames.at(0).data() + 12, &s.image.outputs[2], kOutputBlockSize));
}

TEST_F(Links, joiningItsOwnGroupChangesNothingAndSendsNothing) {
    s.inputLinkGroup[1] = 0;
    const DeviceImage before = s.image;
    JoinLinkGroup(s, kKindInput, 1, 1); // "LINK B" for input B
    EXPECT_EQ(s.inputLinkGroup[1], 1);
    EXPECT_EQ(0, std::memcmp(&before, &s.image, kImageSize));
    EXPECT_TRUE(curvesChanged.empty());
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Links, channelCopyOntoItselfDoesNothingAndShowsNoMessage) {
    CopyChannel(s, kKindInput, 0, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Links, inputChannelCopyCopiesQueuesRefreshesAndConfirms) {
    s.inputLinkGroup[2] = 1; // B and C linked: the copy onto B does not reach C
    CopyChannel(s, kKindInput, 0, 1);
    EXPECT_EQ(0, std::memcmp(Unit(kKindInput, 0, 1), Unit(kKindInput, 1, 1), kInputBlockSize - 8));
    EXPECT_EQ(s.image.inputs[1].name[0], 'b');
    EXPECT_EQ(s.image.inputs[2].gain, 102);
    EXPECT_FALSE(AnyDirty(s));
    EXPECT_EQ(s.scheduler.state, SchedState::BlockWrite);
    EXPECT_EQ(s.scheduler.p3, 1);
    EXPECT_EQ(imagesReplaced, 0);
    EXPECT_EQ(curvesChanged, (std::vector<std::pair<uint8_t, int>>{{kKindInput, 1}})) << "only the target";
    EXPECT_EQ(posted, (std::vector<Posted>{{kMsgRefresh, 0, 255}}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Input Channel Copy successful");
    EXPECT_EQ(boxes[0].caption, "Warning");
}

TEST_F(Links, outputChannelCopyKeepsTheTargetsRouting) {
    s.languageFlag = 1;
    CopyChannel(s, kKindOutput, 6, 1);
    EXPECT_EQ(s.image.outputs[1].gain, 206);
    EXPECT_EQ(s.image.outputs[1].routeMask, 1 << 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Output Channel Copy successful");
}

TEST_F(Links, badArgumentsNeverWriteOutsideTheImage) {
    const DeviceImage before = s.image;
    const uint8_t groupsIn[4] = {s.inputLinkGroup[0], s.inputLinkGroup[1], s.inputLinkGroup[2],
                                 s.inputLinkGroup[3]};
    CopyParam(s, kKindInput, 0, 4, 1);
    CopyParam(s, kKindInput, -1, 0, 1);
    CopyParam(s, kKindInput, 0, 1, 0);  // the name never travels
    CopyParam(s, kKindInput, 0, 1, 12); // graphic-equaliser words go as kind 2
    CopyParam(s, kKindGeqWord, 0, 1, 31);
    CopyParam(s, kKindGeqWord, 0, 1, -1);
    CopyParam(s, kKindOutput, 0, 8, 1);
    CopyParam(s, kKindOutput, 0, 1, 14); // the spare band is never sent alone
    CopyParam(s, 3, 0, 1, 1);
    CopyBlock(s, kKindOutput, 9, 0);
    CopyBlock(s, kKindGeqWord, 0, 1);
    LinkParam(s, kKindOutput, 8, 1);
    LinkParam(s, kKindInput, 0, 200);
    LinkBlock(s, kKindInput, -3);
    JoinLinkGroup(s, kKindOutput, 0, 8);
    JoinLinkGroup(s, kKindInput, 4, 0);
    JoinLinkGroup(s, kKindGeqWord, 1, 0);
    CopyChannel(s, kKindInput, 0, 4);
    CopyChannel(s, kKindOutput, -1, 0);
    CopyChannel(s, 0, 0, 1);
    EXPECT_EQ(0, std::memcmp(&before, &s.image, kImageSize));
    EXPECT_EQ(0, std::memcmp(groupsIn, s.inputLinkGroup, 4));
    EXPECT_FALSE(AnyDirty(s));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(s.scheduler.state, SchedState::Idle);
}

TEST_F(Links, groupsAreChannelsWithEqualNumbersEvenWithoutTheirNamesake) {
    s.inputLinkGroup[0] = 1; // A moves to "LINK B", C stays in "LINK A" alone
    s.inputLinkGroup[1] = 1;
    LinkParam(s, kKindInput, 2, 1);
    EXPECT_FALSE(AnyDirty(s));
    LinkParam(s, kKindInput, 0, 1);
    EXPECT_EQ(s.dirty.input[1][1], 1);
    EXPECT_EQ(s.dirty.input[2][1], 0);
}

TEST_F(Links, handshakeReplyRemovesEveryLink) {
    for (int o = 0; o < kOutputCount; ++o) s.outputLinkGroup[o] = 0;
    s.inputLinkGroup[3] = 2;
    QueueHandshake(s);
    Feed(Reply(kCmdHandshake, 6, Bytes(416, 0x20)));
    for (int i = 0; i < kInputCount; ++i) EXPECT_EQ(s.inputLinkGroup[i], i);
    for (int o = 0; o < kOutputCount; ++o) EXPECT_EQ(s.outputLinkGroup[o], o);
}
