// Level-meter readings as velmarctl prints them.
#include "ctl/MeterReport.h"

#include "core/DeviceConfigTable.h"
#include "core/FieldTable.h"
#include "ctl/JsonWriter.h"
#include "ctl/ProcessorInfo.h"

namespace velmar::ctl {

namespace {

constexpr uint8_t kLimitBit = 0x80;

std::string InputName(int i) {
    return FieldTable::ChannelName({kKindInput, i});
}
std::string OutputName(int o) {
    return FieldTable::ChannelName({kKindOutput, o});
}

} // namespace

std::string MeterReport::Text(const MeterLevels& m, uint8_t deviceConfig) {
    std::string line;
    for (int i = 0; i < DeviceConfigInputCount(deviceConfig); ++i) {
        if (!line.empty()) line += ' ';
        line += InputName(i) + "=" + std::to_string(m.inputLevel[i]);
    }
    for (int o = 0; o < DeviceConfigOutputCount(deviceConfig); ++o) {
        line += ' ';
        line += OutputName(o) + "=" + std::to_string(m.outputLevel[o] & ~kLimitBit);
        if (m.outputLevel[o] & kLimitBit) line += '!';
    }
    return line;
}

void MeterReport::Json(JsonWriter& j, const MeterLevels& m, uint8_t deviceConfig) {
    j.beginObject();
    j.key("inputs").beginObject();
    for (int i = 0; i < DeviceConfigInputCount(deviceConfig); ++i)
        j.key(InputName(i)).value(static_cast<int>(m.inputLevel[i]));
    j.endObject();
    j.key("outputs").beginObject();
    for (int o = 0; o < DeviceConfigOutputCount(deviceConfig); ++o) {
        j.key(OutputName(o)).beginObject();
        j.key("level").value(static_cast<int>(m.outputLevel[o] & ~kLimitBit));
        j.key("limit").value((m.outputLevel[o] & kLimitBit) != 0);
        j.endObject();
    }
    j.endObject();
    j.endObject();
}

} // namespace velmar::ctl
