// ProcessorInfo: what the handshake told about the processor (model, channel counts, version, address,
// programs) and how velmarctl shows it.
#pragma once

#include "core/CoreState.h"

#include <string>
#include <string_view>

namespace velmar::ctl {

class JsonWriter;

// Pure functions of the state they are given; the core's thread.
class ProcessorInfo {
public:
    static constexpr int kUserPrograms = 12;

    // The device configuration (3..7) the model digits at bytes 67 and 69 name; the channel counts of a
    // configuration come from core/DeviceConfigTable.h.
    static uint8_t DeviceConfigFor(const SystemBlock& system);

    // The zero-terminated identification text from byte 64, the seven version characters at 72..78, and
    // program name n (up to its terminating zero) as the processor sent them.
    static std::string Model(const SystemBlock& system);
    static std::string Version(const SystemBlock& system);
    static std::string ProgramName(const CoreState& s, int program);

    // Bytes from the processor made safe for a terminal: control characters become '?'.
    static std::string Printable(std::string_view bytes);

    // The info command's output: text lines, or one JSON object.
    static std::string Text(const CoreState& s);
    static std::string Json(const CoreState& s);
};

} // namespace velmar::ctl
