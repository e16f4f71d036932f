// Writes the seed corpora of the fuzz targets: valid frames in both directions, as the application's
// encoder and the simulated processor build them, with the few header bytes each target expects.
//   fuzz_make_corpus DIR      writes DIR/<target>/<name> for every target
#include "core/Encoder.h"
#include "core/Image.h"
#include "sim/SimDevice.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace velmar {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes AppFrame(uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4, const Bytes& payload = {}) {
    Bytes f(payload.size() + kFrameOverhead);
    BuildFrame(f.data(), 1, command, p1, p2, p3, p4, static_cast<uint16_t>(payload.size()),
               payload.empty() ? nullptr : payload.data());
    return f;
}

SimFrame Decode(const Bytes& f) {
    return SimFrame::fromWire(f.data(), f.size() - kSimHeaderSize - 2);
}

// The processor's reply to one of the application's frames.
Bytes ReplyTo(SimDevice& device, const Bytes& command) {
    const SimDevice::Outcome out = device.handle(Decode(command));
    return out.reply ? out.reply->encode() : Bytes{};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::FILE* f = std::fopen((dir / name).c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "fuzz_make_corpus: cannot write %s\n", (dir / name).c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Bytes ImageBytes(const DeviceImage& image) {
    const auto* p = reinterpret_cast<const uint8_t*>(&image);
    return Bytes(p, p + kImageSize);
}

// 65-byte input reports: report number 0, then the stream cut into 64-byte pieces, zero-filled.
Bytes Reports(const Bytes& stream) {
    Bytes out;
    for (size_t at = 0; at < stream.size(); at += 64) {
        out.push_back(0);
        for (size_t i = 0; i < 64; ++i) out.push_back(at + i < stream.size() ? stream[at + i] : 0);
    }
    return out;
}

} // namespace
} // namespace velmar

int main(int argc, char** argv) {
    using namespace velmar;
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_corpus DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    SimDevice device;

    // The application's frames (what the simulator decodes).
    const Bytes handshake = AppFrame(0xA2, 6, 0, 0, 0);
    const Bytes heartbeat = AppFrame(0xA9, 0, 0, 0, 0);
    DeviceImage image{};
    for (auto& in : image.inputs) in = InputTemplate();
    for (auto& out : image.outputs) out = OutputTemplate();
    ClampImage(image);
    const Bytes imageBytes = ImageBytes(image);
    const auto* in0 = reinterpret_cast<const uint8_t*>(&image.inputs[0]);
    const auto* out3 = reinterpret_cast<const uint8_t*>(&image.outputs[3]);
    const Bytes gainUnit(in0 + 8, in0 + 16);
    const Bytes xoverUnit(out3 + 24, out3 + 32);
    const Bytes geqWord{0xC8, 0x00};
    const Bytes paramIn = AppFrame(0xA1, 1, 0, 0, 1, gainUnit);
    const Bytes paramGeq = AppFrame(0xA1, 1, 0, 2, 20, geqWord);
    const Bytes paramOut = AppFrame(0xA1, 4, 0, 3, 3, xoverUnit);
    const Bytes blockIn = AppFrame(0xA3, 1, 0, 1, 0, Bytes(in0, in0 + kInputBlockSize));
    const Bytes blockOut = AppFrame(0xA3, 4, 0, 3, 0, Bytes(out3, out3 + kOutputBlockSize));
    const Bytes store = AppFrame(0xA5, 0, 4, 0, 0);
    const Bytes load = AppFrame(0xA6, 0, 4, 0, 0);
    const Bytes loadNow = AppFrame(0xA6, 0, 0, 0, 0);
    const Bytes imageWrite = AppFrame(0xA7, 0, 0, 0, 0, imageBytes);
    const Bytes names = AppFrame(0xA2, 5, 0, 0, 0);
    const Bytes rename = AppFrame(0xA1, 5, 3, 0, 0, Bytes(16, 'N'));

    const fs::path sim = root / "sim_decoder";
    // Header: chunk style, two bytes of chunking seed.
    const Bytes simHead{3, 0x11, 0x22};
    Write(sim, "handshake", Cat({simHead, handshake}));
    Write(sim, "heartbeat", Cat({simHead, heartbeat}));
    Write(sim, "param-writes", Cat({simHead, paramIn, paramGeq, paramOut}));
    Write(sim, "block-writes", Cat({simHead, blockIn, blockOut}));
    Write(sim, "store-load", Cat({Bytes{1, 3, 4}, store, load, loadNow}));
    Write(sim, "image-write", Cat({Bytes{2, 5, 6}, imageWrite}));
    Write(sim, "names-rename", Cat({simHead, names, rename}));
    Write(sim, "noise-stray-sync",
          Cat({Bytes{0, 7, 8, 0x5A, 0x01, 0x5A, 0x5A, 0x00}, heartbeat, Bytes{0x5A, 0x5A}}));

    // The processor's replies (what the application's parser takes).
    const Bytes handshakeReply = ReplyTo(device, handshake);
    const Bytes heartbeatReply = ReplyTo(device, heartbeat);
    const Bytes ack = ReplyTo(device, paramOut);
    const Bytes blockReply = ReplyTo(device, blockOut);
    const Bytes storeReply = ReplyTo(device, store);
    const Bytes imageReply = ReplyTo(device, loadNow);
    const Bytes imageWriteReply = ReplyTo(device, imageWrite);
    const Bytes namesReply = ReplyTo(device, names);

    const fs::path bytes = root / "feed_bytes";
    // Header: mode (bits 0-2 device configuration, 3-4 scheduler state, 5 USB link, 6-7 chunk style),
    // two bytes of chunking seed (the first also picks the output shown).
    Write(bytes, "handshake-reply", Cat({Bytes{0x08 | 0xC0, 1, 2}, handshakeReply}));
    Write(bytes, "image-reply", Cat({Bytes{0x10 | 0xC0, 3, 4}, imageReply}));
    Write(bytes, "image-reply-single-bytes", Cat({Bytes{0x10, 3, 4}, imageReply}));
    Write(bytes, "heartbeat-reply", Cat({Bytes{0x04 | 0xC0, 5, 6}, heartbeatReply}));
    Write(bytes, "heartbeat-reply-config3", Cat({Bytes{0x00 | 0x80, 5, 6}, heartbeatReply}));
    Write(bytes, "acks-streaming", Cat({Bytes{0x18 | 0x40, 7, 8}, ack, ack, heartbeatReply}));
    Write(bytes, "block-store-imagewrite",
          Cat({Bytes{0xC0, 9, 10}, blockReply, storeReply, imageWriteReply}));
    Write(bytes, "names-reply", Cat({Bytes{0xC0, 11, 12}, namesReply}));
    Write(bytes, "connection", Cat({Bytes{0x08 | 0x40, 13, 14}, handshakeReply, imageReply, heartbeatReply}));

    const fs::path reports = root / "feed_report";
    Write(reports, "handshake-reply", Cat({Bytes{0x18, 0, 0}, Reports(handshakeReply)}));
    Write(reports, "image-reply", Cat({Bytes{0x10, 0, 0}, Reports(imageReply)}));
    Write(reports, "heartbeat-ack", Cat({Bytes{0x00, 0, 0}, Reports(heartbeatReply), Reports(ack)}));
    Write(reports, "connection", Cat({Bytes{0x08, 0, 0}, Reports(handshakeReply), Reports(imageReply)}));

    const fs::path import = root / "program_import";
    Write(import, "template", imageBytes);
    DeviceImage wild = image;
    wild.inputs[1].peq[3].gain = 900;
    wild.inputs[2].peq[0].q = -4;
    wild.outputs[5].peq[9].freq = 5;
    wild.outputs[6].hpfFreq = 0;
    wild.outputs[7].lpfFreq = -300;
    wild.outputs[0].polarity = 7;
    Write(import, "out-of-range", ImageBytes(wild));
    Write(import, "short", Bytes(imageBytes.begin(), imageBytes.begin() + 700));
    Write(import, "long", Cat({imageBytes, Bytes(100, 0xEE)}));

    const fs::path serial = root / "serial_events";
    Bytes steps;
    for (int i = 0; i < 96; ++i) steps.push_back(static_cast<uint8_t>((i * 37) ^ (i >> 2)));
    Write(serial, "snapshots", steps);
    Write(serial, "quiet-line", Bytes(64, 0));
    Write(serial, "busy-line", Bytes(64, 0xFF));
    return 0;
}
