// Channel links and copies: copying units and blocks between channels, propagating edits through the
// dirty flags, joining link groups and the one-off channel copy.
#include "core/ChannelLink.h"

#include "core/CoreMessages.h"
#include "core/Scheduler.h"

#include <cstring>

namespace velmar {

namespace {

constexpr int kUnitSize = 8;
constexpr int kFirstCopiedByte = 8; // the name (unit 0) never travels between channels
constexpr int kLastInputUnit = 11;
constexpr int kLastOutputUnit = 13;
constexpr int kLastGeqBand = 30;
constexpr int kFirstGeqParam = 12;

int ChannelCount(uint8_t kind) {
    if (kind == kKindInput || kind == kKindGeqWord) return kInputCount;
    if (kind == kKindOutput) return kOutputCount;
    return 0;
}

bool ValidChannel(uint8_t kind, int channel) {
    return channel >= 0 && channel < ChannelCount(kind);
}

bool ValidIndex(uint8_t kind, int index) {
    switch (kind) {
    case kKindInput:
        return index >= 1 && index <= kLastInputUnit;
    case kKindGeqWord:
        return index >= 0 && index <= kLastGeqBand;
    case kKindOutput:
        return index >= 1 && index <= kLastOutputUnit;
    default:
        return false;
    }
}

const uint8_t* Groups(const CoreState& s, uint8_t kind) {
    return kind == kKindOutput ? s.outputLinkGroup : s.inputLinkGroup;
}

// Copies bytes [from, to) of one block to another, keeping the target output's own routing.
void CopyBytes(CoreState& s, uint8_t kind, int source, int target, size_t from, size_t to) {
    uint8_t* dst = BlockBytes(s.image, kind, target);
    const uint8_t* src = BlockBytes(s.image, kind, source);
    if (kind != kKindOutput) {
        std::memmove(dst + from, src + from, to - from);
        return;
    }
    const uint8_t routeMask = s.image.outputs[target].routeMask;
    std::memmove(dst + from, src + from, to - from);
    s.image.outputs[target].routeMask = routeMask;
}

bool ValidPair(uint8_t kind, int source, int target) {
    return (kind == kKindInput || kind == kKindOutput) && ValidChannel(kind, source) &&
           ValidChannel(kind, target);
}

} // namespace

void CopyParam(CoreState& s, uint8_t kind, int source, int target, int index) {
    if (!ValidChannel(kind, source) || !ValidChannel(kind, target) || !ValidIndex(kind, index)) return;
    if (kind == kKindGeqWord) {
        s.image.inputs[target].geq[index] = s.image.inputs[source].geq[index];
        return;
    }
    const size_t from = static_cast<size_t>(kUnitSize) * index;
    CopyBytes(s, kind, source, target, from, from + kUnitSize);
}

void CopyBlock(CoreState& s, uint8_t kind, int source, int target) {
    if (!ValidPair(kind, source, target)) return;
    CopyBytes(s, kind, source, target, kFirstCopiedByte, BlockSize(kind));
}

void LinkParam(CoreState& s, uint8_t kind, int channel, int index) {
    if (!ValidChannel(kind, channel) || !ValidIndex(kind, index)) return;
    const uint8_t* groups = Groups(s, kind);
    const uint8_t wireKind = kind == kKindOutput ? kKindOutput : kKindInput;
    const int param = kind == kKindGeqWord ? kFirstGeqParam + index : index;
    for (int c = 0; c < ChannelCount(kind); ++c) {
        if (c == channel || groups[c] != groups[channel]) continue;
        MarkParamDirty(s, wireKind, c, param);
        CopyParam(s, kind, channel, c, index);
    }
}

void LinkBlock(CoreState& s, uint8_t kind, int channel) {
    if (!ValidPair(kind, channel, channel)) return;
    const uint8_t* groups = Groups(s, kind);
    for (int c = 0; c < ChannelCount(kind); ++c) {
        if (c == channel || groups[c] != groups[channel]) continue;
        MarkBlockDirty(s, kind, c);
        CopyBlock(s, kind, channel, c);
    }
}

void JoinLinkGroup(CoreState& s, uint8_t kind, int channel, int group) {
    if (!ValidPair(kind, channel, group)) return;
    uint8_t* groups = kind == kKindOutput ? s.outputLinkGroup : s.inputLinkGroup;
    groups[channel] = static_cast<uint8_t>(group);
    if (group == channel) return;
    CopyBlock(s, kind, group, channel);
    if (s.hooks.channelCurvesChanged) s.hooks.channelCurvesChanged(kind, channel);
    QueueBlockWrite(s, kind, static_cast<uint8_t>(channel));
}

void CopyChannel(CoreState& s, uint8_t kind, int source, int target) {
    if (!ValidPair(kind, source, target) || source == target) return;
    CopyBlock(s, kind, source, target);
    QueueBlockWrite(s, kind, static_cast<uint8_t>(target));
    // Only the target's parameters were replaced: its curves are rebuilt, and state kept beside the image
    // for the other channels (an EQ bypass in force) stays.
    if (s.hooks.channelCurvesChanged) s.hooks.channelCurvesChanged(kind, target);
    if (s.hooks.postMessage) s.hooks.postMessage(kMsgRefresh, 0, 255);
    ShowCoreMessage(s, kind == kKindInput ? CoreMessage::InputCopyDone : CoreMessage::OutputCopyDone,
                    "Warning");
}

} // namespace velmar
