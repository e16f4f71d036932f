// The processor's frame reassembly with resynchronisation.
#include "sim/SimFrameDecoder.h"

#include <algorithm>
#include <cstring>

namespace velmar {

void SimFrameDecoder::reset() {
    size_ = 0;
    framesDecoded_ = 0;
    bytesDiscarded_ = 0;
    badFrames_ = 0;
}

void SimFrameDecoder::feed(const uint8_t* data, size_t size, const FrameHandler& onFrame) {
    while (size > 0) {
        const size_t piece = std::min(size, buffer_.size() - size_);
        std::memcpy(buffer_.data() + size_, data, piece);
        size_ += piece;
        data += piece;
        size -= piece;
        process(onFrame);
    }
}

void SimFrameDecoder::abandonPartial(const FrameHandler& onFrame) {
    // Each round drops the first byte of the held-back candidate and searches the rest again; process()
    // keeps only an incomplete candidate, so this ends with an empty buffer.
    while (size_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + 1, size_ - 1);
        --size_;
        ++bytesDiscarded_;
        process(onFrame);
    }
}

void SimFrameDecoder::process(const FrameHandler& onFrame) {
    const uint8_t* b = buffer_.data();
    size_t start = 0;
    for (;;) {
        // Hunt for three sync bytes in a row.
        size_t i = start;
        while (i + 3 <= size_ && !(b[i] == kSimSync && b[i + 1] == kSimSync && b[i + 2] == kSimSync)) ++i;
        if (i + 3 > size_) {
            // Keep a trailing 0x5A or two: they may be the beginning of the next sync.
            size_t keepFrom = size_;
            while (keepFrom > i && b[keepFrom - 1] == kSimSync) --keepFrom;
            bytesDiscarded_ += keepFrom - start;
            start = keepFrom;
            break;
        }
        bytesDiscarded_ += i - start;
        start = i;
        if (size_ - start < kSimHeaderSize) break;

        const uint8_t* f = b + start;
        const size_t length = static_cast<size_t>(f[10]) | (static_cast<size_t>(f[11]) << 8);
        if (f[4] != kSimMarker || length > kSimMaxPayload) {
            // Not a header: the sync bytes were noise.
            ++bytesDiscarded_;
            ++start;
            continue;
        }
        const size_t total = length + kSimFrameOverhead;
        if (size_ - start < total) break;

        const bool valid = f[total - 1] == kSimEndByte &&
                           SimFrame::checksum(f + 2, kSimHeaderSize - 2 + length) == f[total - 2];
        if (!valid) {
            ++badFrames_;
            ++bytesDiscarded_;
            ++start;
            continue;
        }
        const SimFrame frame = SimFrame::fromWire(f, length);
        start += total;
        ++framesDecoded_;
        // The handler runs with the buffer in a consistent state: drop what has been consumed first.
        std::memmove(buffer_.data(), buffer_.data() + start, size_ - start);
        size_ -= start;
        start = 0;
        if (onFrame) onFrame(frame);
    }
    std::memmove(buffer_.data(), buffer_.data() + start, size_ - start);
    size_ -= start;
}

} // namespace velmar
