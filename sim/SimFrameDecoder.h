// The processor's receiver: reassembles frames from bytes that arrive in arbitrary chunks, with noise.
#pragma once

#include "sim/SimFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace velmar {

// Pure byte-stream decoder: no I/O, no clock, no allocation apart from the frames it hands out.
//
// It looks for three 0x5A bytes, then checks the marker (0x53) and the length (at most 1600) before it
// waits for the rest of the frame; a frame is accepted only with a matching XOR checksum and the end byte
// 0xAA. Whenever a candidate turns out wrong it slides on by one byte and searches again from there, so a
// real frame hidden behind noise, behind a stray 0x5A or inside a broken frame is still found. Unlike the
// application's parser it keeps the bytes after a frame: several frames in one chunk are all decoded.
//
// Not thread-safe: one link feeds one decoder.
class SimFrameDecoder {
public:
    using FrameHandler = std::function<void(const SimFrame&)>;

    // Consumes `size` bytes; calls onFrame for every complete, valid frame in arrival order.
    void feed(const uint8_t* data, size_t size, const FrameHandler& onFrame);

    // The line has gone quiet: a frame still incomplete will not be finished, so it is abandoned and the
    // bytes after its start are searched again (a valid frame among them is still delivered).
    void abandonPartial(const FrameHandler& onFrame);

    // True while bytes are held back as the possible start of a frame.
    bool hasPartial() const { return size_ > 0; }

    void reset();

    // Statistics since construction or reset().
    uint64_t framesDecoded() const { return framesDecoded_; }
    uint64_t bytesDiscarded() const { return bytesDiscarded_; } // noise and bytes of broken frames
    uint64_t badFrames() const { return badFrames_; }           // complete candidates with a bad checksum/end

private:
    void process(const FrameHandler& onFrame);

    // One frame of look-ahead plus room for the next chunk piece. After process() fewer than
    // kSimMaxFrame bytes remain, so a whole frame always fits behind them.
    std::array<uint8_t, 2 * kSimMaxFrame> buffer_{};
    size_t size_ = 0;
    uint64_t framesDecoded_ = 0;
    uint64_t bytesDiscarded_ = 0;
    uint64_t badFrames_ = 0;
};

} // namespace velmar
