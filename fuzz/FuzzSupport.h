// Shared pieces of the fuzz targets: a check that aborts with a message, a seeded chunker, frame
// validation and a reference model of the application's frame reassembly.
#pragma once

#include "core/CoreState.h"
#include "core/Encoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace velmar::fuzz {

using Bytes = std::vector<uint8_t>;

// A property that must hold for every input. A failure is a finding: libFuzzer keeps the input.
#define VELMAR_FUZZ_CHECK(cond)                                                                              \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", __FILE__, __LINE__, #cond);             \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// Chunk sizes for one input, drawn from a small seed taken from the input itself, so that the same
// bytes are tried under many chunkings and libFuzzer can steer both.
class Chunker {
public:
    // style 0: single bytes, 1: 1..16, 2: 1..64, 3: 1..1280 (a serial or TCP read).
    Chunker(uint16_t seed, uint8_t style) : state_(0x9E3779B97F4A7C15ull ^ seed), style_(style & 3) {}

    size_t next() {
        static constexpr uint32_t kMax[] = {1, 16, 64, 1280};
        return 1 + static_cast<size_t>(raw() % kMax[style_]);
    }
    // A fair coin from the same stream (ticks between chunks).
    bool coin(uint32_t oneIn) { return raw() % oneIn == 0; }

private:
    uint64_t raw() { // SplitMix64
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
    uint8_t style_;
};

// True when data is one whole frame as it travels: three 0x5A, a length of at most 1600 that matches
// the size, the XOR checksum over bytes 2..11+L and the end byte 0xAA.
inline bool WireFrameValid(const uint8_t* data, size_t size) {
    if (size < static_cast<size_t>(kFrameOverhead)) return false;
    if (data[0] != kFrameSync || data[1] != kFrameSync || data[2] != kFrameSync) return false;
    const size_t length = static_cast<size_t>(data[10]) | (static_cast<size_t>(data[11]) << 8);
    if (length > static_cast<size_t>(kMaxPayload) || size != length + kFrameOverhead) return false;
    uint8_t x = 0;
    for (size_t i = 2; i < 12 + length; ++i) x ^= data[i];
    return data[12 + length] == x && data[13 + length] == kFrameEnd;
}

// The reassembly as the application documents it, written plainly: hunt three 0x5A, collect from the
// third on, judge the length once both length bytes are in (negative or above 1600 drops the candidate
// and forgets that length), complete at L + 12 bytes, and stop the chunk at every completed frame.
// The fuzz targets compare the parser against it frame by frame.
class ReferenceReassembly {
public:
    // Feeds one chunk; appends every frame that passes its checks, as the whole frame on the wire.
    void feed(const uint8_t* bytes, size_t count, std::vector<Bytes>& accepted) {
        for (size_t i = 0; i < count; ++i)
            if (byte(bytes[i], accepted)) return;
    }

private:
    bool byte(uint8_t b, std::vector<Bytes>& accepted) {
        if (!inFrame_) {
            sync_ = b == kFrameSync ? sync_ + 1 : 0;
            buf_.clear();
            if (sync_ < 3) return false;
            inFrame_ = true;
        }
        sync_ = 0;
        buf_.push_back(b);
        if (buf_.size() < 10) return false;
        const int16_t length = static_cast<int16_t>(buf_[8] | (buf_[9] << 8));
        if (length < 0 || length > kMaxPayload) {
            inFrame_ = false;
            buf_.clear();
            return false;
        }
        if (buf_.size() < static_cast<size_t>(length) + 12) return false;
        inFrame_ = false;
        uint8_t x = 0;
        for (int i = 0; i < 10 + length; ++i) x ^= buf_[static_cast<size_t>(i)];
        if (buf_[static_cast<size_t>(11 + length)] == kFrameEnd &&
            buf_[static_cast<size_t>(10 + length)] == x) {
            Bytes wire{kFrameSync, kFrameSync};
            wire.insert(wire.end(), buf_.begin(), buf_.end());
            accepted.push_back(std::move(wire));
        }
        buf_.clear();
        return true;
    }

    bool inFrame_ = false;
    int sync_ = 0;
    Bytes buf_;
};

} // namespace velmar::fuzz
