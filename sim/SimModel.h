// The processor models the simulator can be: channel counts, model digits and meter byte order.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmar {

enum class SimModel : uint8_t { In2Out4, In2Out6, In3Out6, In4Out6, In4Out8 };

struct SimModelInfo {
    const char* name; // as on the command line: "2x4" .. "4x8"
    int inputs;
    int outputs;
    // The 2x4, 2x6 and 4x6 units send outputs 7 and 8 in heartbeat bytes 4 and 5 and outputs 1 to 6 in
    // bytes 6 to 11; the others send every level in channel order.
    bool outputsSevenEightFirst;
};

const SimModelInfo& ModelInfo(SimModel model);
// "2x4", "2x6", "3x6", "4x6" or "4x8"; nothing for any other text.
std::optional<SimModel> ParseSimModel(std::string_view text);

} // namespace velmar
