// The simulator's memory between runs: current image, current program, names and stored programs.
#pragma once

#include "sim/SimDevice.h"

#include <string>

namespace velmar {

// Binary file: "VMSIMST1", format version, payload size, payload, CRC-32 of the payload. The payload
// is the image, the current program, the 21 names and the 12 programs. Written atomically: a
// temporary file in the same folder, fsync, rename over the old one.
//
// Thread-safety: plain functions; callers serialise saves of the same path.
class SimStateFile {
public:
    enum class LoadResult : uint8_t { Loaded, Missing, Invalid };

    // Reads path into state. Missing: no such file (state unchanged). Invalid: unreadable, wrong
    // magic, size, version or checksum (state unchanged, reason in error).
    static LoadResult load(const std::string& path, SimDeviceState& state, std::string& error);
    static bool save(const std::string& path, const SimDeviceState& state, std::string& error);

    static std::vector<uint8_t> serialise(const SimDeviceState& state);
    static bool deserialise(const std::vector<uint8_t>& bytes, SimDeviceState& state, std::string& error);
};

} // namespace velmar
