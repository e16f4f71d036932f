// The processor's receiver: chunking, noise, stray sync bytes, broken and corrupted frames.
#include "sim/SimFrameDecoder.h"
#include "sim/SimRandom.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace velmar;
using simtest::Hex;

namespace {

struct Collected {
    std::vector<SimFrame> frames;
    SimFrameDecoder::FrameHandler handler() {
        return [this](const SimFrame& f) { frames.push_back(f); };
    }
};

std::vector<SimFrame> DecodeAll(const std::vector<uint8_t>& bytes) {
    SimFrameDecoder d;
    Collected c;
    d.feed(bytes.data(), bytes.size(), c.handler());
    return c.frames;
}

const std::vector<uint8_t> kGeqWrite = Hex("5A 5A 5A | 01 53 | A1 | 01 00 01 0C | 02 00 | FA 00 | 5D AA");
const std::vector<uint8_t> kHeartbeat = Hex("5A 5A 5A | 01 53 | A9 | 00 00 00 00 | 00 00 | A1 AA");

} // namespace

TEST(SimFrameDecoder, decodesEveryFieldOfAGoldenFrame) {
    const auto frames = DecodeAll(kGeqWrite);
    ASSERT_EQ(frames.size(), 1u);
    const SimFrame& f = frames[0];
    EXPECT_EQ(f.address, 0x01);
    EXPECT_EQ(f.marker, 0x53);
    EXPECT_EQ(f.command, 0xA1);
    EXPECT_EQ(f.p1, 1);
    EXPECT_EQ(f.p2, 0);
    EXPECT_EQ(f.p3, 1);
    EXPECT_EQ(f.p4, 12);
    EXPECT_EQ(f.payload, Hex("FA 00"));
    EXPECT_EQ(f.encode(), kGeqWrite);
}

TEST(SimFrameDecoder, reassemblesAFrameSplitAtEveryPositionIntoTwoAndThreeChunks) {
    for (size_t a = 0; a <= kGeqWrite.size(); ++a) {
        for (size_t b = a; b <= kGeqWrite.size(); ++b) {
            SimFrameDecoder d;
            Collected c;
            d.feed(kGeqWrite.data(), a, c.handler());
            d.feed(kGeqWrite.data() + a, b - a, c.handler());
            d.feed(kGeqWrite.data() + b, kGeqWrite.size() - b, c.handler());
            ASSERT_EQ(c.frames.size(), 1u) << "cuts at " << a << " and " << b;
            EXPECT_EQ(c.frames[0].encode(), kGeqWrite);
            EXPECT_FALSE(d.hasPartial());
        }
    }
}

TEST(SimFrameDecoder, findsTheFrameBehindNoiseAndStraySyncBytes) {
    const char* prefixes[] = {
        "",
        "00 11 22 FF",
        "5A",
        "5A 5A",
        "5A 5A 5A",                            // a fourth sync byte: the real frame starts one byte later
        "5A 5A 5A 01 52",                      // a header with the wrong marker
        "5A 5A 5A 01 53 A9 00 00 00 00 41 06", // length 1601: cannot be a frame
        "5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AB", // wrong end byte
        "5A 5A 5A 01 53 A9 00 00 00 00 00 00 A0 AA", // wrong checksum
        "AA AA 5A 00 5A 5A 00",
    };
    for (const char* prefix : prefixes) {
        const auto frames = DecodeAll(simtest::Concat(Hex(prefix), kGeqWrite));
        ASSERT_EQ(frames.size(), 1u) << "after " << prefix;
        EXPECT_EQ(frames[0].encode(), kGeqWrite) << "after " << prefix;
    }
}

TEST(SimFrameDecoder, keepsEveryFrameOfAChunkNotJustTheFirst) {
    const auto bytes = simtest::Concat(simtest::Concat(kHeartbeat, kGeqWrite), kHeartbeat);
    const auto frames = DecodeAll(bytes);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].encode(), kGeqWrite);
}

TEST(SimFrameDecoder, aTruncatedHeaderWaitsUntilTheLineGoesQuietThenYieldsTheFrameAfterIt) {
    // The start of an image write (length 1600) that never finished, then a heartbeat.
    const auto bytes = simtest::Concat(Hex("5A 5A 5A 01 53 A7 00 00 00 00 40 06 01 02"), kHeartbeat);
    SimFrameDecoder d;
    Collected c;
    d.feed(bytes.data(), bytes.size(), c.handler());
    EXPECT_TRUE(c.frames.empty());
    EXPECT_TRUE(d.hasPartial());
    d.abandonPartial(c.handler());
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0].encode(), kHeartbeat);
    EXPECT_FALSE(d.hasPartial());
}

TEST(SimFrameDecoder, aFrameWithAnySingleByteCorruptedIsNeverAccepted) {
    const auto blockWrite = [] {
        std::vector<uint8_t> f = Hex("5A 5A 5A | 01 53 | A3 | 04 00 05 00 | 78 00");
        for (int i = 0; i < 120; ++i) f.push_back(static_cast<uint8_t>(i * 7));
        return simtest::Close(f);
    }();
    for (const auto& frame : {kGeqWrite, kHeartbeat, blockWrite}) {
        for (size_t pos = 0; pos < frame.size(); ++pos) {
            for (uint8_t flip : {0x01, 0x80, 0xFF, 0x5A}) {
                auto bad = frame;
                bad[pos] ^= flip;
                SimFrameDecoder d;
                Collected c;
                d.feed(bad.data(), bad.size(), c.handler());
                d.abandonPartial(c.handler());
                EXPECT_TRUE(c.frames.empty()) << "byte " << pos << " xor " << int(flip);
            }
        }
    }
}

TEST(SimFrameDecoder, seededRandomStreamsYieldExactlyTheFramesHiddenInThem) {
    SimRandom r(20240611);
    for (int run = 0; run < 2000; ++run) {
        std::vector<uint8_t> stream;
        std::vector<std::vector<uint8_t>> hidden;
        const int count = 1 + static_cast<int>(r.below(5));
        for (int k = 0; k < count; ++k) {
            for (uint32_t n = r.below(20); n > 0; --n) stream.push_back(static_cast<uint8_t>(r.below(256)));
            if (r.chance(0.3)) stream.insert(stream.end(), {0x5A, 0x5A}); // near-syncs
            std::vector<uint8_t> f = Hex("5A 5A 5A");
            f.insert(f.end(), {static_cast<uint8_t>(r.below(251)), 0x53,
                               static_cast<uint8_t>(0xA1 + r.below(9)), static_cast<uint8_t>(r.below(6)), 0,
                               static_cast<uint8_t>(r.below(8)), static_cast<uint8_t>(r.below(44))});
            const uint32_t length = r.chance(0.1) ? 1600 : r.below(40);
            f.push_back(static_cast<uint8_t>(length & 0xFF));
            f.push_back(static_cast<uint8_t>(length >> 8));
            for (uint32_t i = 0; i < length; ++i) f.push_back(static_cast<uint8_t>(r.below(256)));
            f = simtest::Close(f);
            hidden.push_back(f);
            stream.insert(stream.end(), f.begin(), f.end());
        }
        SimFrameDecoder d;
        Collected c;
        for (size_t at = 0; at < stream.size();) {
            const size_t n = std::min<size_t>(stream.size() - at, 1 + r.below(100));
            d.feed(stream.data() + at, n, c.handler());
            at += n;
        }
        d.abandonPartial(c.handler());
        ASSERT_EQ(c.frames.size(), hidden.size()) << "run " << run;
        for (size_t k = 0; k < hidden.size(); ++k)
            EXPECT_EQ(c.frames[k].encode(), hidden[k]) << "run " << run;
    }
}

TEST(SimFrameDecoder, pureGarbageNeverYieldsAFrameAndNeverGrowsTheBuffer) {
    SimRandom r(7);
    SimFrameDecoder d;
    Collected c;
    std::vector<uint8_t> chunk(997);
    for (int run = 0; run < 500; ++run) {
        for (auto& b : chunk) b = r.chance(0.2) ? 0x5A : static_cast<uint8_t>(r.below(256));
        d.feed(chunk.data(), chunk.size(), c.handler());
    }
    d.abandonPartial(c.handler());
    EXPECT_TRUE(c.frames.empty());
    EXPECT_FALSE(d.hasPartial());
    EXPECT_GT(d.bytesDiscarded(), 400000u);
}
