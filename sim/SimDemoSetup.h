// The demonstration setup of the simulated processor: four named programs of a two-way system with
// fills and a sub, every value typed through the field table's entry rules as a user would.
#pragma once

#include "core/DeviceImage.h"
#include "sim/SimDevice.h"

#include <string>
#include <vector>

namespace velmar {

inline constexpr int kSimDemoProgramCount = 4; // stored programs 1..4 carry the demo; 5..12 stay default

// One value as typed on a page: channel ("inA", "out3"), field ("peq2.freq") and text ("63Hz").
struct SimDemoEntry {
    std::string channel;
    std::string field;
    std::string text;
};

// The entries of demo program 1..kSimDemoProgramCount, in the order they must be applied (a low-pass
// after its high-pass, a shelf's frequency before its type); empty for any other program.
std::vector<SimDemoEntry> SimDemoEntries(int program);

// "Two-way main", "Speech", "Band live", "Background"; empty for any other program.
std::string SimDemoProgramName(int program);

// The template image with the program's entries applied through FieldTable::ParseEntry and Apply.
// False, with the entry that was refused in `error`, if the table takes one of them differently.
bool SimDemoImage(int program, DeviceImage& image, std::string& error);

// Stores programs 1..4 with their names, makes program 1 the current image and current program, and
// leaves every other program and name as it is. False (state untouched) when an image cannot be built.
bool ApplySimDemoSetup(SimDeviceState& state, std::string& error);

} // namespace velmar
