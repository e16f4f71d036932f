// Seeded random streams and single-byte corruptions through the reply parser.
#include "CoreFixture.h"

#include <random>

using namespace velmar;
using namespace velmar::test;

namespace {

class ParserRandom : public CoreFixture {
protected:
    std::mt19937 rng{20240611};

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    // Bytes biased towards the ones that steer the parser: sync, end byte, small and huge lengths.
    uint8_t SteeringByte() {
        static const uint8_t kSpecial[] = {0x5A, 0x5A, 0x5A, 0xAA, 0x00, 0xFF,
                                           0x06, 0x40, 0xA6, 0xA9, 0x7F, 0x80};
        return Uniform(0, 2) == 0 ? kSpecial[Uniform(0, sizeof kSpecial - 1)]
                                  : static_cast<uint8_t>(Uniform(0, 255));
    }

    // A valid reply whose payload and checksum hold no 0xAA: a corrupted length can then never find an
    // end byte early, so every single-byte corruption must be caught.
    Bytes ValidReply() {
        static const uint8_t kCommands[] = {0xA9, 0xA9, 0xAA, 0xA3, 0xAE, 0xA4};
        const uint8_t command = kCommands[Uniform(0, sizeof kCommands - 1)];
        Bytes payload(command == 0xA9 ? 16 : Uniform(0, 40));
        for (auto& b : payload) {
            do b = static_cast<uint8_t>(Uniform(0, 255));
            while (b == 0xAA);
        }
        Bytes frame = Reply(command, 0, payload, static_cast<uint8_t>(Uniform(1, 250)));
        while (frame[frame.size() - 2] == 0xAA || frame[3] == 0x5A) frame = ValidReply();
        return frame;
    }

    void FeedInChunks(const Bytes& stream) {
        for (size_t at = 0; at < stream.size();) {
            const size_t n = std::min<size_t>(stream.size() - at, Uniform(1, 1280));
            FeedBytes(s, stream.data() + at, static_cast<int16_t>(n));
            at += n;
            ASSERT_LE(s.rx.index, kMaxPayload + 12);
        }
    }
};

} // namespace

TEST_F(ParserRandom, randomStreamsNeverLeaveTheReceiveBuffer) {
    ConnectIdle();
    for (int stream = 0; stream < 3000; ++stream) {
        Bytes bytes(Uniform(1, 1800));
        for (auto& b : bytes) b = SteeringByte();
        FeedInChunks(bytes);
        if (Uniform(0, 9) == 0) { // now and then a stream of USB reports instead
            Bytes report(1 + kUsbReportSize);
            for (auto& b : report) b = SteeringByte();
            FeedReport(s, report.data());
        }
        Tick(); // the scheduler copes with whatever the replies did to it
    }
    for (const Bytes& f : received) {
        ASSERT_GE(f.size(), 14u);
        EXPECT_EQ(f.back(), 0xAA);
    }
}

TEST_F(ParserRandom, aFrameWithOneCorruptedByteIsNeverApplied) {
    ConnectIdle();
    for (int trial = 0; trial < 4000; ++trial) {
        const Bytes good = ValidReply();
        Bytes bad = good;
        const size_t at = static_cast<size_t>(Uniform(0, static_cast<int>(bad.size()) - 1));
        bad[at] ^= static_cast<uint8_t>(Uniform(1, 255));
        s.rx = ReceiveState{};
        received.clear();
        s.meterLevels = {};
        FeedBytes(s, bad.data(), static_cast<int16_t>(bad.size()));
        ASSERT_TRUE(received.empty()) << "trial " << trial << " byte " << at;
        EXPECT_EQ(s.meterLevels.inputLevel[0], 0);
        // The parser is not stuck: after a clean restart the frame itself goes through.
        s.rx = ReceiveState{};
        FeedBytes(s, good.data(), static_cast<int16_t>(good.size()));
        ASSERT_EQ(received.size(), 1u) << "trial " << trial;
    }
}

TEST_F(ParserRandom, validFramesAfterNoiseAreFound) {
    ConnectIdle();
    int found = 0;
    for (int trial = 0; trial < 1000; ++trial) {
        Bytes noise(Uniform(0, 60));
        for (auto& b : noise) {
            do b = static_cast<uint8_t>(Uniform(0, 255));
            while (b == 0x5A); // noise without a sync byte can never swallow the frame
        }
        const Bytes frame = ValidReply();
        noise.insert(noise.end(), frame.begin(), frame.end());
        received.clear();
        s.rx = ReceiveState{};
        FeedInChunks(noise);
        found += received.size() == 1 && received[0] == frame;
    }
    EXPECT_EQ(found, 1000);
}
