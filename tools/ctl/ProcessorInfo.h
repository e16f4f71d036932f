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

    // The device configuration (3..7) from the model digits at bytes 67 and 69: "2","4" -> 3, "2","6" -> 4,
    // "3","6" -> 5, "4","6" -> 6, anything else 7 (4 inputs, 8 outputs).
    static uint8_t DeviceConfigFor(const SystemBlock& system);
    static int InputCount(uint8_t deviceConfig);
    static int OutputCount(uint8_t deviceConfig);

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
