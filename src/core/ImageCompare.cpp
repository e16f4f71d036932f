// The compare of two images field by field.
#include "core/ImageCompare.h"

namespace velmar {

namespace {

void CompareChannel(const DeviceImage& a, const DeviceImage& b, ChannelRef channel, int unit,
                    std::vector<FieldDifference>& out) {
    for (const FieldRef& field : FieldTable::FieldsOf(channel.kind)) {
        if (unit >= 0 && FieldTable::ParamIndex(channel, field) != unit) continue;
        FieldReading ra = FieldTable::Read(a, channel, field);
        FieldReading rb = FieldTable::Read(b, channel, field);
        if (ra.text != rb.text) out.push_back({channel, field, std::move(ra.text), std::move(rb.text)});
    }
}

} // namespace

std::vector<FieldDifference> CompareImages(const DeviceImage& a, const DeviceImage& b) {
    std::vector<FieldDifference> out;
    for (int c = 0; c < kInputCount; ++c) CompareChannel(a, b, {kKindInput, c}, -1, out);
    for (int c = 0; c < kOutputCount; ++c) CompareChannel(a, b, {kKindOutput, c}, -1, out);
    return out;
}

std::vector<FieldDifference> CompareUnit(const DeviceImage& a, const DeviceImage& b, uint8_t kind, int channel,
                                         int unit) {
    std::vector<FieldDifference> out;
    const int channels = kind == kKindInput ? kInputCount : kind == kKindOutput ? kOutputCount : 0;
    if (channel < 0 || channel >= channels || unit < 1) return out;
    CompareChannel(a, b, {kind, channel}, unit, out);
    return out;
}

} // namespace velmar
