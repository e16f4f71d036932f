// The fault injector's decisions.
#include "sim/SimFaultInjector.h"

#include "sim/SimFrame.h"

#include <algorithm>

namespace velmar {

bool SimFaultConfig::any() const {
    return dropFrames > 0 || dropReplies > 0 || corruptReplies > 0 || splitReplies > 0 || noise > 0 ||
           delayMs > 0 || delayJitterMs > 0 || silentAfterFrames >= 0 || closeAfterFrames >= 0;
}

std::string SimFaultInjector::ReplyNote::text() const {
    std::string t;
    auto add = [&t](const std::string& s) { t += (t.empty() ? "" : ", ") + s; };
    if (dropped) add("dropped");
    if (corrupted) add("corrupted");
    if (chunks > 1) add("split " + std::to_string(chunks));
    if (noiseBytes > 0) add("noise " + std::to_string(noiseBytes));
    if (delayMs > 0) add("delay " + std::to_string(delayMs) + " ms");
    return t;
}

SimFaultInjector::SimFaultInjector(SimFaultConfig config)
    : config_(config), dropFramesRandom_(SimRandom::mix(config.seed, 1)),
      dropRepliesRandom_(SimRandom::mix(config.seed, 2)), corruptRandom_(SimRandom::mix(config.seed, 3)),
      splitRandom_(SimRandom::mix(config.seed, 4)), noiseRandom_(SimRandom::mix(config.seed, 5)),
      delayRandom_(SimRandom::mix(config.seed, 6)) {}

SimFaultInjector::Verdict SimFaultInjector::onFrame() {
    ++framesSeen_;
    ++framesThisConnection_;
    // Falls silent once, on the first frame past the limit; setSilent(false) brings it back for good.
    if (config_.silentAfterFrames >= 0 &&
        framesSeen_ == static_cast<uint64_t>(config_.silentAfterFrames) + 1) {
        silent_.store(true);
    }
    if (silent_.load()) return Verdict::Silent;
    if (dropFramesRandom_.chance(config_.dropFrames)) return Verdict::Drop;
    return Verdict::Accept;
}

bool SimFaultInjector::closeDue() const {
    return config_.closeAfterFrames >= 0 &&
           framesThisConnection_ >= static_cast<uint64_t>(std::max(config_.closeAfterFrames, 1));
}

SimFaultInjector::ReplyNote SimFaultInjector::shapeReply(std::vector<uint8_t> frame,
                                                         std::vector<SimTransmission>& out) {
    ReplyNote note;
    if (dropRepliesRandom_.chance(config_.dropReplies)) {
        note.dropped = true;
        return note;
    }
    if (frame.size() >= kSimFrameOverhead && corruptRandom_.chance(config_.corruptReplies)) {
        // Any non-zero change of the checksum byte makes the frame fail the receiver's check.
        frame[frame.size() - 2] ^= static_cast<uint8_t>(1 + corruptRandom_.below(255));
        note.corrupted = true;
    }
    std::vector<uint8_t> first;
    if (noiseRandom_.chance(config_.noise)) {
        note.noiseBytes =
            1 + static_cast<int>(noiseRandom_.below(static_cast<uint32_t>(std::max(config_.noiseBytes, 1))));
        for (int i = 0; i < note.noiseBytes; ++i) {
            // 0x5A is left out: three of them would be a sync, and noise is meant to be hunted through.
            uint8_t b = static_cast<uint8_t>(noiseRandom_.below(255));
            first.push_back(b >= kSimSync ? static_cast<uint8_t>(b + 1) : b);
        }
    }
    if (config_.delayMs > 0 || config_.delayJitterMs > 0) {
        note.delayMs = std::max(config_.delayMs, 0) +
                       static_cast<int>(
                           delayRandom_.below(static_cast<uint32_t>(std::max(config_.delayJitterMs, 0)) + 1));
    }

    // Cut points for a split reply: 1 to 3 distinct positions inside the frame.
    std::vector<size_t> cuts;
    if (frame.size() >= 2 && splitRandom_.chance(config_.splitReplies)) {
        const size_t wanted = std::min<size_t>(1 + splitRandom_.below(3), frame.size() - 1);
        while (cuts.size() < wanted) {
            const size_t c = 1 + splitRandom_.below(static_cast<uint32_t>(frame.size() - 1));
            if (std::find(cuts.begin(), cuts.end(), c) == cuts.end()) cuts.push_back(c);
        }
        std::sort(cuts.begin(), cuts.end());
    }
    note.chunks = static_cast<int>(cuts.size()) + 1;
    cuts.push_back(frame.size());

    size_t from = 0;
    for (size_t k = 0; k < cuts.size(); ++k) {
        SimTransmission t;
        t.startsReply = k == 0;
        t.delayMs = k == 0 ? note.delayMs : std::max(config_.splitGapMs, 0);
        if (k == 0) t.bytes = std::move(first);
        t.bytes.insert(t.bytes.end(), frame.begin() + static_cast<std::ptrdiff_t>(from),
                       frame.begin() + static_cast<std::ptrdiff_t>(cuts[k]));
        from = cuts[k];
        out.push_back(std::move(t));
    }
    return note;
}

} // namespace velmar
