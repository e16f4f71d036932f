// MeterReport: one level-meter reading from a heartbeat reply, as a text line or a JSON object.
#pragma once

#include "core/CoreState.h"

#include <string>

namespace velmar::ctl {

class JsonWriter;

// Shows only the channels of the device configuration. Pure; any thread.
class MeterReport {
public:
    // "inA=88 inB=90 inC=0 inD=0 out1=85 out2=97! ...": the meter bytes, output levels without their
    // limit bit, "!" after an output whose limit bit is set.
    static std::string Text(const MeterLevels& levels, uint8_t deviceConfig);
    // {"inputs":{"inA":88,...},"outputs":{"out1":{"level":85,"limit":false},...}}
    static void Json(JsonWriter& json, const MeterLevels& levels, uint8_t deviceConfig);
};

} // namespace velmar::ctl
