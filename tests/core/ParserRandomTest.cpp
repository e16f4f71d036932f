// Seeded random streams and single-byte corruptions through the reply parser.
#include "CoreFixture.h"

#include <cstring>
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

namespace {

// Everything a reply may change, taken apart so that a change anywhere else is seen. The state sits
// between two guard areas, so a write just outside it shows as well.
struct Snapshot {
    DeviceImage image, importImage;
    SystemBlock system;
    char programNames[kProgramNameCount][kProgramNameSize];
    MeterLevels meters;
    uint8_t inputGroups[kInputCount], outputGroups[kOutputCount];
    DirtyFlags dirty;
    uint8_t linkConfirmed, deviceConfigPending, linkConnected, deviceAddress, deviceConfig, languageFlag,
        selectedOutput;
    LinkType activeLink;
    ReceiveState rx;
    CommandScheduler scheduler;
    uint8_t frameBuffer[kMaxFrame], usbChunk[kUsbReportSize];

    explicit Snapshot(const CoreState& s)
        : image(s.image), importImage(s.importImage), system(s.system), meters(s.meterLevels), dirty(s.dirty),
          linkConfirmed(s.linkConfirmed), deviceConfigPending(s.deviceConfigPending),
          linkConnected(s.linkConnected), deviceAddress(s.deviceAddress), deviceConfig(s.deviceConfig),
          languageFlag(s.languageFlag), selectedOutput(s.selectedOutputChannel), activeLink(s.activeLink),
          rx(s.rx), scheduler(s.scheduler) {
        std::memcpy(programNames, s.programNames, sizeof programNames);
        std::memcpy(inputGroups, s.inputLinkGroup, sizeof inputGroups);
        std::memcpy(outputGroups, s.outputLinkGroup, sizeof outputGroups);
        std::memcpy(frameBuffer, s.frameBuffer, sizeof frameBuffer);
        std::memcpy(usbChunk, s.usbChunk, sizeof usbChunk);
    }
};

template <typename T> bool Same(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

struct GuardedState {
    uint8_t before[256];
    CoreState s;
    uint8_t after[256];
    GuardedState() {
        std::memset(before, 0xC5, sizeof before);
        std::memset(after, 0xC5, sizeof after);
    }
    bool guardsIntact() const {
        for (size_t i = 0; i < sizeof before; ++i)
            if (before[i] != 0xC5 || after[i] != 0xC5) return false;
        return true;
    }
};

} // namespace

// Random frames straight into the dispatcher, with sizes that do and do not hold their length: each may
// change only what its command is documented to change.
TEST_F(ParserRandom, theDispatcherWritesOnlyWhatTheReplyMayChange) {
    auto guarded = std::make_unique<GuardedState>();
    CoreState& g = guarded->s;
    InitCoreState(g);
    int images = 0, handshakes = 0, posts = 0, imageReplies = 0;
    g.hooks.postMessage = [&](uint32_t, uint32_t, uint32_t) { ++posts; };
    g.hooks.imageReplaced = [&] { ++images; };
    g.linkConnected = 1;
    g.deviceAddress = 7;
    static const uint8_t kCommands[] = {0xA2, 0xA2, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA6, 0xA7,
                                        0xA8, 0xA9, 0xA9, 0xAA, 0xAB, 0xAE, 0xAF, 0x00, 0xFF};
    static const uint8_t kSubCodes[] = {5, 6, 21, 22, 0, 7, 255};
    Bytes frame(kMaxFrame);
    for (int trial = 0; trial < 6000; ++trial) {
        // A fresh spread of link groups, dirty flags and scheduler states each time.
        for (auto& v : g.inputLinkGroup) v = static_cast<uint8_t>(Uniform(0, 3));
        for (auto& v : g.outputLinkGroup) v = static_cast<uint8_t>(Uniform(0, 7));
        g.dirty.output[Uniform(0, 7)][Uniform(1, 13)] = 1;
        g.scheduler.state = static_cast<SchedState>(Uniform(0, static_cast<int>(SchedState::GiveUp)));
        g.scheduler.sent = static_cast<uint8_t>(Uniform(0, 1));
        g.scheduler.onWire = static_cast<uint8_t>(Uniform(0, 1));
        g.linkConfirmed = static_cast<uint8_t>(Uniform(0, 2));
        g.deviceConfig = static_cast<uint8_t>(Uniform(3, 7));
        g.selectedOutputChannel = static_cast<uint8_t>(Uniform(0, 9));

        const uint8_t command = kCommands[Uniform(0, sizeof kCommands - 1)];
        const uint8_t p1 = kSubCodes[Uniform(0, sizeof kSubCodes - 1)];
        const int length = Uniform(0, 3) == 0 ? 1600 : Uniform(0, 1700) - 50; // some negative or too long
        for (auto& b : frame) b = static_cast<uint8_t>(Uniform(0, 255));
        frame[0] = 0x5A;
        frame[3] = command;
        frame[4] = p1;
        frame[8] = static_cast<uint8_t>(length & 0xFF);
        frame[9] = static_cast<uint8_t>((length >> 8) & 0xFF);
        const size_t held = length >= 0 && length <= 1600 ? static_cast<size_t>(length) + 12 : 12;
        const size_t size =
            Uniform(0, 4) == 0 ? static_cast<size_t>(Uniform(0, static_cast<int>(held))) : held;

        const Snapshot was(g);
        const int imagesBefore = images;
        // A handshake answer is taken only while the handshake is pending or the link not yet confirmed;
        // a late one is ignored.
        const bool handshakeTaken = g.scheduler.state == SchedState::Handshake || g.linkConfirmed == 0;
        // A name check's handshake only compares the checked name.
        const bool nameCheck = g.scheduler.state == SchedState::NameCheck && g.scheduler.onWire;
        DispatchFrame(g, frame.data(), size);
        ASSERT_TRUE(guarded->guardsIntact()) << "trial " << trial;

        const bool whole = length >= 0 && length <= 1600 && size >= static_cast<size_t>(length) + 12;
        const bool handshake = whole && command == 0xA2 && p1 == 6 && !nameCheck && handshakeTaken;
        const bool names = whole && command == 0xA2 && (p1 == 5 || handshake);
        const bool imageReply = whole && command == 0xA6 && length == 1600;
        // An image answers a handshake or load on the wire and replaces ours (but an import on its way
        // behind the load keeps its image on the screen); any other image is compared with ours.
        const CommandScheduler& q = was.scheduler;
        const bool awaited = q.imagesDue > 0 || (q.onWire && (q.state == SchedState::Handshake ||
                                                              q.state == SchedState::ProgramLoad));
        const bool image = imageReply && awaited && q.state != SchedState::ImageWrite;
        const bool compared = imageReply && !awaited;
        imageReplies += imageReply;
        const bool meters = whole && command == 0xA9;
        handshakes += handshake;
        const Snapshot now(g);
        // Never touched by a reply.
        ASSERT_TRUE(Same(was.importImage, now.importImage)) << "trial " << trial;
        ASSERT_TRUE(Same(was.rx, now.rx) && Same(was.frameBuffer, now.frameBuffer) &&
                    Same(was.usbChunk, now.usbChunk));
        ASSERT_EQ(was.linkConnected, now.linkConnected);
        ASSERT_EQ(was.activeLink, now.activeLink);
        ASSERT_EQ(was.deviceAddress, now.deviceAddress);
        ASSERT_EQ(was.deviceConfig, now.deviceConfig);
        ASSERT_EQ(was.selectedOutput, now.selectedOutput);
        ASSERT_EQ(was.languageFlag, now.languageFlag);
        // Touched only by its own reply.
        if (image) {
            DeviceImage want;
            std::memcpy(&want, frame.data() + 10, kImageSize);
            ClampImage(want);
            ASSERT_TRUE(Same(want, now.image)) << "trial " << trial;
            ASSERT_EQ(imagesBefore + 1, images);
            ASSERT_EQ(2, now.linkConfirmed);
        } else if (compared) {
            // Nothing here was written by the PC: every unit that differs is taken from the processor.
            DeviceImage want;
            std::memcpy(&want, frame.data() + 10, kImageSize);
            ClampImage(want);
            ASSERT_TRUE(Same(want, now.image)) << "trial " << trial;
            ASSERT_EQ(imagesBefore, images);
            ASSERT_TRUE(Same(was.dirty, now.dirty)) << "trial " << trial;
        } else {
            ASSERT_TRUE(Same(was.image, now.image)) << "trial " << trial << " command " << int(command);
            ASSERT_EQ(imagesBefore, images);
            if (!handshake) {
                ASSERT_TRUE(Same(was.dirty, now.dirty)) << "trial " << trial;
            }
        }
        if (!handshake) {
            ASSERT_TRUE(Same(was.system, now.system)) << "trial " << trial;
            ASSERT_TRUE(Same(was.inputGroups, now.inputGroups) && Same(was.outputGroups, now.outputGroups));
            ASSERT_EQ(was.deviceConfigPending, now.deviceConfigPending);
            if (!imageReply) {
                ASSERT_EQ(was.linkConfirmed, now.linkConfirmed);
            }
        } else {
            for (int i = 0; i < kInputCount; ++i) ASSERT_EQ(i, now.inputGroups[i]);
            for (int i = 0; i < kOutputCount; ++i) ASSERT_EQ(i, now.outputGroups[i]);
            ASSERT_EQ(SchedState::ProgramLoad, g.scheduler.state);
        }
        if (!names) {
            ASSERT_TRUE(Same(was.programNames, now.programNames)) << "trial " << trial;
        }
        for (const auto& name : g.programNames) ASSERT_NE(nullptr, std::memchr(name, 0, kProgramNameSize));
        if (!meters) {
            ASSERT_TRUE(Same(was.meters, now.meters)) << "trial " << trial;
        }
    }
    EXPECT_GT(handshakes, 25);
    EXPECT_EQ(imageReplies, posts) << "every image reply tells the pages, nothing else does";
    EXPECT_LT(images, imageReplies) << "some image replies met an import on its way";
}

namespace {

// A reply whose payload holds no 0xAA, so no single-byte corruption can make it end early on a valid
// end byte.
Bytes CleanPayload(std::mt19937& rng, size_t n) {
    Bytes p(n);
    for (auto& b : p) {
        do b = static_cast<uint8_t>(rng());
        while (b == 0xAA);
    }
    return p;
}

// 65-byte reports: report number, then 64 bytes of the stream, zero-filled.
std::vector<Bytes> ToReports(const Bytes& stream) {
    std::vector<Bytes> out;
    for (size_t at = 0; at < stream.size(); at += kUsbReportSize) {
        Bytes r(1 + kUsbReportSize, 0);
        r[0] = static_cast<uint8_t>(at / 64); // a report number the parser must skip
        std::copy(stream.begin() + static_cast<std::ptrdiff_t>(at),
                  stream.begin() + static_cast<std::ptrdiff_t>(std::min(stream.size(), at + kUsbReportSize)),
                  r.begin() + 1);
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace

// Large replies (whole image, handshake, name list) with one byte corrupted anywhere, over serial
// chunks and over USB reports: nothing of them reaches the image or the tables, and the clean frame
// still goes through afterwards.
TEST_F(ParserRandom, aCorruptedLargeReplyNeverReachesTheImageOrTheTables) {
    ConnectIdle();
    int trials = 0;
    for (int trial = 0; trial < 600; ++trial) {
        struct Kind {
            uint8_t command, p1;
            size_t length;
        };
        static const Kind kKinds[] = {{0xA6, 0, 1600}, {0xA2, 6, 416}, {0xA2, 5, 320}, {0xA9, 0, 16}};
        const Kind k = kKinds[Uniform(0, 3)];
        Bytes good =
            Reply(k.command, k.p1, CleanPayload(rng, k.length), static_cast<uint8_t>(Uniform(1, 250)));
        if (good[good.size() - 2] == 0xAA || good[3] == 0x5A) continue; // checksum or address would steer
        Bytes bad = good;
        const size_t at = static_cast<size_t>(Uniform(0, static_cast<int>(bad.size()) - 1));
        bad[at] ^= static_cast<uint8_t>(Uniform(1, 255));
        const bool usb = Uniform(0, 1) == 1;
        ++trials;

        for (auto& in : s.image.inputs) in.gain = static_cast<int16_t>(Uniform(0, 480));
        s.rx = ReceiveState{};
        received.clear();
        const Snapshot was(s);
        if (usb) {
            for (const Bytes& r : ToReports(bad)) FeedReport(s, r.data());
        } else {
            FeedInChunks(bad);
        }
        ASSERT_TRUE(received.empty()) << "trial " << trial << " byte " << at << (usb ? " usb" : " serial");
        const Snapshot now(s);
        ASSERT_TRUE(Same(was.image, now.image)) << "trial " << trial;
        ASSERT_TRUE(Same(was.system, now.system) && Same(was.programNames, now.programNames));
        ASSERT_TRUE(Same(was.meters, now.meters) && Same(was.inputGroups, now.inputGroups));
        ASSERT_TRUE(Same(was.scheduler, now.scheduler)) << "trial " << trial;

        s.rx = ReceiveState{};
        if (usb) {
            for (const Bytes& r : ToReports(good)) FeedReport(s, r.data());
        } else {
            FeedInChunks(good);
        }
        ASSERT_EQ(1u, received.size()) << "trial " << trial;
        ASSERT_EQ(good, received[0]);
        s.scheduler.state = SchedState::Idle; // a handshake reply queued the image read
    }
    EXPECT_GT(trials, 500);
}

// Random reports of noise and valid replies, as the USB reader delivers them: the parser finds every
// valid reply that starts a report after a completed one, never reads past its buffer and the
// scheduler always stands in a known state.
TEST_F(ParserRandom, randomUsbReportStreamsFindEveryReplyAndStayInsideTheBuffer) {
    ConnectIdle(LinkType::Usb);
    int expectedFrames = 0;
    for (int stream = 0; stream < 2000; ++stream) {
        // Noise reports first (they may leave a partial frame behind) ...
        const int noise = Uniform(0, 3);
        for (int n = 0; n < noise; ++n) {
            Bytes r(1 + kUsbReportSize);
            for (auto& b : r) b = SteeringByte();
            FeedReport(s, r.data());
            ASSERT_LE(s.rx.index, kMaxPayload + 12);
        }
        // ... then the parser is brought back to hunting, as a completed or dropped frame leaves it, and
        // a clean reply must be found whole.
        s.rx.inFrame = 0;
        s.rx.syncCount = 0;
        s.rx.index = 0;
        const Bytes frame = ValidReply();
        received.clear();
        for (const Bytes& r : ToReports(frame)) FeedReport(s, r.data());
        ASSERT_EQ(1u, received.size()) << "stream " << stream;
        ASSERT_EQ(frame, received[0]);
        ++expectedFrames;
        Tick();
        ASSERT_LE(static_cast<int>(s.scheduler.state), static_cast<int>(SchedState::GiveUp));
    }
    EXPECT_EQ(2000, expectedFrames);
}
