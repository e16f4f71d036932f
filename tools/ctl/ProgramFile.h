// Program files: the whole 1600-byte image in channel order, no header, extension ".vq".
#pragma once

#include "core/DeviceImage.h"

#include <cstdint>
#include <string>

namespace velmar::ctl {

// Plain functions on the calling thread.
class ProgramFile {
public:
    // Reads the first 1600 bytes of path into image, byte for byte as they are in the file (the caller
    // clamps its own copy). A longer file is read from its first 1600 bytes and `extraBytes` says how
    // many followed. False, with the reason in `error`, when the file cannot be read or is shorter.
    static bool Read(const std::string& path, DeviceImage& image, std::string& error,
                     uint64_t* extraBytes = nullptr);
    // Writes the image to path atomically: a file beside it that replaces path only once it is complete,
    // so a failed write never leaves a truncated program file. False, with the reason, on failure.
    static bool Write(const std::string& path, const DeviceImage& image, std::string& error);
};

} // namespace velmar::ctl
