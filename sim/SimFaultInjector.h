// Seeded link faults between the processor and its endpoint: lost, corrupted, split, noisy, late or
// missing replies, a unit that falls silent, a connection that is closed.
#pragma once

#include "sim/SimRandom.h"
#include "sim/SimTransmission.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace velmar {

// Every fault is off by default. Fractions are probabilities from 0 to 1 per frame or reply.
struct SimFaultConfig {
    uint64_t seed = 1;
    double dropFrames = 0;     // received frames ignored, as if lost on the line
    double dropReplies = 0;    // commands applied but their reply never sent
    double corruptReplies = 0; // replies sent with a wrong checksum
    double splitReplies = 0;   // replies written in 2 to 4 chunks ...
    int splitGapMs = 2;        // ... this far apart
    double noise = 0;          // replies preceded by 1..noiseBytes noise bytes (never 0x5A)
    int noiseBytes = 8;
    int delayMs = 0;            // every reply written this much later ...
    int delayJitterMs = 0;      // ... plus 0..jitter ms
    int silentAfterFrames = -1; // after this many received frames the unit answers nothing (-1: never)
    int closeAfterFrames = -1;  // hang up after answering this many frames of a connection (-1: never)

    bool any() const;
};

// One injector per endpoint; it outlives connections (silence stays, the close count restarts).
// Each fault draws from its own random stream derived from the seed, so switching one fault on does
// not change what another one does.
//
// Thread-safety: one endpoint thread uses it; setSilent()/silent() may be called from any thread.
class SimFaultInjector {
public:
    enum class Verdict : uint8_t { Accept, Drop, Silent };

    // What happened to one reply, for the frame log.
    struct ReplyNote {
        bool dropped = false;
        bool corrupted = false;
        int chunks = 1;
        int noiseBytes = 0;
        int delayMs = 0;
        std::string text() const; // "" or e.g. "corrupted, split 3, noise 5, delay 20 ms"
    };

    explicit SimFaultInjector(SimFaultConfig config = {});
    const SimFaultConfig& config() const { return config_; }

    // A frame has been decoded: counts it and says whether the unit takes it.
    Verdict onFrame();
    // Turns an encoded reply into transmissions appended to `out` (none when it is dropped).
    ReplyNote shapeReply(std::vector<uint8_t> frame, std::vector<SimTransmission>& out);
    // True when the connection is to be closed after the frame just handled.
    bool closeDue() const;

    void beginConnection() { framesThisConnection_ = 0; }

    // The unit falls silent (true) or answers again (false). Any thread.
    void setSilent(bool silent) { silent_.store(silent); }
    bool silent() const { return silent_.load(); }

    uint64_t framesSeen() const { return framesSeen_; }

private:
    SimFaultConfig config_;
    SimRandom dropFramesRandom_, dropRepliesRandom_, corruptRandom_, splitRandom_, noiseRandom_, delayRandom_;
    uint64_t framesSeen_ = 0;
    uint64_t framesThisConnection_ = 0;
    std::atomic<bool> silent_{false};
};

} // namespace velmar
