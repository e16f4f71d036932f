// Fuzz target: the simulator's receiver. The same bytes go through one decoder in one piece and through
// another in arbitrary chunks; both must find the same frames, every frame must be valid, and every
// frame goes on to the simulated processor, whose replies must be frames the application accepts and
// whose memory must stay clamped. Input: a chunk-style byte, two bytes of chunking seed, the stream.
#include "FuzzSupport.h"

#include "core/Image.h"
#include "sim/SimDevice.h"
#include "sim/SimFrameDecoder.h"

namespace velmar::fuzz {
namespace {

struct Decoded {
    std::vector<Bytes> frames;
    uint64_t decoded = 0, discarded = 0, bad = 0;
};

Bytes Wire(const SimFrame& f) {
    VELMAR_FUZZ_CHECK(f.marker == kSimMarker && f.payload.size() <= kSimMaxPayload);
    Bytes bytes = f.encode();
    VELMAR_FUZZ_CHECK(WireFrameValid(bytes.data(), bytes.size()));
    return bytes;
}

Decoded Finish(SimFrameDecoder& d, Decoded out) {
    d.abandonPartial([&](const SimFrame& f) { out.frames.push_back(Wire(f)); });
    VELMAR_FUZZ_CHECK(!d.hasPartial());
    out.decoded = d.framesDecoded();
    out.discarded = d.bytesDiscarded();
    out.bad = d.badFrames();
    return out;
}

} // namespace
} // namespace velmar::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmar;
    using namespace velmar::fuzz;
    if (size < 3) return 0;
    Chunker chunker(static_cast<uint16_t>(data[1] | (data[2] << 8)), data[0]);
    data += 3;
    size -= 3;

    SimFrameDecoder whole;
    Decoded a;
    whole.feed(data, size, [&](const SimFrame& f) { a.frames.push_back(Wire(f)); });
    a = Finish(whole, std::move(a));

    SimFrameDecoder pieces;
    Decoded b;
    for (size_t at = 0; at < size;) {
        const size_t n = std::min(chunker.next(), size - at);
        pieces.feed(data + at, n, [&](const SimFrame& f) { b.frames.push_back(Wire(f)); });
        at += n;
    }
    b = Finish(pieces, std::move(b));

    // The decoder does not care how the bytes were cut.
    VELMAR_FUZZ_CHECK(a.frames == b.frames);
    VELMAR_FUZZ_CHECK(a.decoded == b.decoded && a.discarded == b.discarded && a.bad == b.bad);
    VELMAR_FUZZ_CHECK(a.decoded == a.frames.size());
    // Every byte is either in a frame or discarded.
    size_t inFrames = 0;
    for (const Bytes& f : a.frames) inFrames += f.size();
    VELMAR_FUZZ_CHECK(inFrames + a.discarded == size);

    // The processor answers what it decoded; its answers are frames the application's reassembly takes
    // whole, one per chunk.
    SimDevice device;
    for (const Bytes& f : a.frames) {
        const SimFrame frame = SimFrame::fromWire(f.data(), f.size() - kSimHeaderSize - 2);
        const SimDevice::Outcome outcome = device.handle(frame);
        if (outcome.reply) {
            const Bytes reply = Wire(*outcome.reply);
            ReferenceReassembly app;
            std::vector<Bytes> accepted;
            app.feed(reply.data(), reply.size(), accepted);
            VELMAR_FUZZ_CHECK(accepted.size() == 1 && accepted[0] == reply);
        }
        DeviceImage image = device.image();
        const DeviceImage before = image;
        ClampImage(image);
        VELMAR_FUZZ_CHECK(std::memcmp(&image, &before, kImageSize) == 0);
    }
    return 0;
}
