// The compare of two images field by field, with the names and display texts of the field table: what
// velmarctl diff prints, what the window lists as not confirmed, what a compare view shows.
#pragma once

#include "core/DeviceImage.h"
#include "core/FieldTable.h"

#include <string>
#include <vector>

namespace velmar {

struct FieldDifference {
    ChannelRef channel;
    FieldRef field;
    std::string first;  // the field as the first image shows it ("+3.0dB")
    std::string second; // and as the second does
};

// Every named field that differs between a and b, channel by channel (inputs A..D, then outputs 1..8)
// in the field table's order. Spare bytes never count. Pure; any thread.
std::vector<FieldDifference> CompareImages(const DeviceImage& a, const DeviceImage& b);

// The same for the fields carried by one unit (kind 1: unit 1..43, kind 4: unit 1..13).
std::vector<FieldDifference> CompareUnit(const DeviceImage& a, const DeviceImage& b, uint8_t kind, int channel,
                                         int unit);

} // namespace velmar
