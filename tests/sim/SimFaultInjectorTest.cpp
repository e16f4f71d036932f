// Every fault injector through a session: off by default, seeded, each doing exactly its own harm.
#include "sim/SimFaultInjector.h"

#include "SimTestDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace velmar;
using simtest::Bench;
using simtest::Hex;

namespace {

const auto kMuteOut3 = Hex("5A 5A 5A | 01 53 | A1 | 04 00 02 01 | 08 00 | 00 01 68 01 00 00 0F 00 | C1 AA");
const auto kAck = Hex("5A 5A 5A | 01 53 | AA | 04 00 02 01 | 00 00 | A5 AA");

SimFaultConfig Faults(void (*set)(SimFaultConfig&)) {
    SimFaultConfig f;
    set(f);
    return f;
}

// The clean reply to the n-th heartbeat of a fault-free unit, for comparison.
std::vector<std::vector<uint8_t>> CleanHeartbeats(int count) {
    Bench clean;
    std::vector<std::vector<uint8_t>> replies;
    for (int i = 0; i < count; ++i) replies.push_back(clean.askOne(simtest::kHeartbeat));
    return replies;
}

} // namespace

TEST(SimFaultInjector, everyFaultIsOffByDefault) {
    EXPECT_FALSE(SimFaultConfig{}.any());
    Bench b;
    const auto clean = CleanHeartbeats(200);
    for (int i = 0; i < 200; ++i) {
        const auto replies = b.ask(simtest::kHeartbeat);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0], clean[i]);
        ASSERT_EQ(b.last.transmissions.size(), 1u);
        EXPECT_EQ(b.last.transmissions[0].delayMs, 0);
        EXPECT_FALSE(b.last.closeConnection);
    }
}

TEST(SimFaultInjector, droppedFramesAreNeitherAppliedNorAnswered) {
    Bench all({}, Faults([](SimFaultConfig& f) { f.dropFrames = 1; }));
    EXPECT_TRUE(all.ask(kMuteOut3).empty());
    EXPECT_EQ(all.device.image().outputs[2].soundOn, 1);

    Bench some({}, Faults([](SimFaultConfig& f) { f.dropFrames = 0.3; }));
    int answered = 0;
    for (int i = 0; i < 1000; ++i) answered += static_cast<int>(some.ask(simtest::kHeartbeat).size());
    EXPECT_GT(answered, 640);
    EXPECT_LT(answered, 760);
    EXPECT_EQ(some.device.heartbeatCount(), static_cast<uint32_t>(answered));
}

TEST(SimFaultInjector, droppedRepliesAreAppliedButNeverSent) {
    Bench b({}, Faults([](SimFaultConfig& f) { f.dropReplies = 1; }));
    EXPECT_TRUE(b.ask(kMuteOut3).empty());
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 0);
}

TEST(SimFaultInjector, corruptedRepliesDifferOnlyInTheChecksum) {
    Bench b({}, Faults([](SimFaultConfig& f) { f.corruptReplies = 1; }));
    for (int i = 0; i < 50; ++i) {
        const auto reply = b.askOne(kMuteOut3);
        ASSERT_EQ(reply.size(), kAck.size());
        EXPECT_FALSE(simtest::IsFrame(reply));
        for (size_t k = 0; k < reply.size(); ++k) {
            if (k != reply.size() - 2) {
                EXPECT_EQ(reply[k], kAck[k]) << k;
            }
        }
    }
    Bench some({}, Faults([](SimFaultConfig& f) { f.corruptReplies = 0.5; }));
    int bad = 0;
    for (int i = 0; i < 400; ++i) bad += !simtest::IsFrame(some.askOne(kMuteOut3));
    EXPECT_GT(bad, 160);
    EXPECT_LT(bad, 240);
}

TEST(SimFaultInjector, splitRepliesComeInTwoToFourChunksWithGaps) {
    Bench b({}, Faults([](SimFaultConfig& f) {
                f.splitReplies = 1;
                f.splitGapMs = 7;
            }));
    const auto clean = CleanHeartbeats(300);
    std::set<size_t> chunkCounts;
    for (int i = 0; i < 300; ++i) {
        const auto replies = b.ask(simtest::kHeartbeat);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0], clean[i]);
        const auto& t = b.last.transmissions;
        ASSERT_GE(t.size(), 2u);
        ASSERT_LE(t.size(), 4u);
        chunkCounts.insert(t.size());
        EXPECT_TRUE(t[0].startsReply);
        EXPECT_EQ(t[0].delayMs, 0);
        for (size_t k = 1; k < t.size(); ++k) {
            EXPECT_FALSE(t[k].startsReply);
            EXPECT_EQ(t[k].delayMs, 7);
            EXPECT_FALSE(t[k].bytes.empty());
        }
    }
    EXPECT_EQ(chunkCounts, (std::set<size_t>{2, 3, 4}));
}

TEST(SimFaultInjector, noiseComesBeforeTheFrameAndNeverHoldsASyncByte) {
    Bench b({}, Faults([](SimFaultConfig& f) {
                f.noise = 1;
                f.noiseBytes = 5;
            }));
    std::set<size_t> lengths;
    for (int i = 0; i < 200; ++i) {
        const auto reply = b.askOne(kMuteOut3);
        ASSERT_GT(reply.size(), kAck.size());
        const size_t noise = reply.size() - kAck.size();
        lengths.insert(noise);
        EXPECT_LE(noise, 5u);
        EXPECT_TRUE(std::none_of(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(noise),
                                 [](uint8_t c) { return c == 0x5A; }));
        EXPECT_EQ(std::vector<uint8_t>(reply.begin() + static_cast<std::ptrdiff_t>(noise), reply.end()),
                  kAck);
        EXPECT_EQ(b.last.transmissions.size(), 1u); // noise and frame in the same write
    }
    EXPECT_EQ(lengths, (std::set<size_t>{1, 2, 3, 4, 5}));
}

TEST(SimFaultInjector, delayedRepliesWaitTheDelayPlusJitter) {
    Bench b({}, Faults([](SimFaultConfig& f) {
                f.delayMs = 30;
                f.delayJitterMs = 10;
            }));
    std::set<int> delays;
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(b.ask(simtest::kHeartbeat).size(), 1u);
        delays.insert(b.last.transmissions[0].delayMs);
    }
    EXPECT_EQ(*delays.begin(), 30);
    EXPECT_EQ(*delays.rbegin(), 40);
    EXPECT_EQ(delays.size(), 11u);
}

TEST(SimFaultInjector, theUnitFallsSilentAfterNFramesAndStaysSilentUntilToldOtherwise) {
    Bench b({}, Faults([](SimFaultConfig& f) { f.silentAfterFrames = 3; }));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.ask(simtest::kHeartbeat).size(), 1u) << i;
    EXPECT_TRUE(b.ask(kMuteOut3).empty());
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 1); // a silent unit takes nothing either
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(b.ask(simtest::kHeartbeat).empty());
    EXPECT_TRUE(b.injector.silent());
    b.injector.setSilent(false);
    EXPECT_EQ(b.ask(simtest::kHeartbeat).size(), 1u);
}

TEST(SimFaultInjector, silenceOnRequestStartsWithTheNextFrame) {
    Bench b;
    EXPECT_EQ(b.ask(simtest::kHeartbeat).size(), 1u);
    b.injector.setSilent(true);
    EXPECT_TRUE(b.ask(simtest::kHandshake).empty());
    b.injector.setSilent(false);
    EXPECT_EQ(b.ask(simtest::kHandshake).size(), 1u);
}

TEST(SimFaultInjector, theConnectionIsClosedAfterAnsweringItsNthFrame) {
    Bench b({}, Faults([](SimFaultConfig& f) { f.closeAfterFrames = 2; }));
    EXPECT_EQ(b.ask(simtest::kHeartbeat).size(), 1u);
    EXPECT_FALSE(b.last.closeConnection);
    // Two frames in one chunk: the second is answered, then the line is hung up; the third is not taken.
    const auto three = simtest::Concat(simtest::Concat(simtest::kHeartbeat, simtest::kHeartbeat), kMuteOut3);
    b.injector.beginConnection();
    EXPECT_EQ(b.ask(three).size(), 2u);
    EXPECT_TRUE(b.last.closeConnection);
    EXPECT_EQ(b.device.image().outputs[2].soundOn, 1);
}

TEST(SimFaultInjector, theSameSeedGivesTheSameFaultsAndEachFaultHasItsOwnStream) {
    auto run = [](SimFaultConfig f) {
        Bench b({}, f);
        std::vector<std::vector<uint8_t>> seen;
        for (int i = 0; i < 300; ++i) {
            const auto replies = b.ask(simtest::kHeartbeat);
            seen.push_back(replies.empty() ? std::vector<uint8_t>{} : replies[0]);
        }
        return seen;
    };
    SimFaultConfig drop;
    drop.seed = 99;
    drop.dropFrames = 0.2;
    SimFaultConfig dropAndCorrupt = drop;
    dropAndCorrupt.corruptReplies = 0.5;
    SimFaultConfig otherSeed = drop;
    otherSeed.seed = 100;

    const auto a = run(drop), b = run(drop), c = run(dropAndCorrupt), d = run(otherSeed);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, d);
    // Switching corruption on changes no drop decision.
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].empty(), c[i].empty()) << i;
}
