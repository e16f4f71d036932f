// The table of simulated processor models.
#include "sim/SimModel.h"

namespace velmar {

namespace {

constexpr SimModelInfo kModels[] = {
    {"2x4", 2, 4, true}, {"2x6", 2, 6, true}, {"3x6", 3, 6, false}, {"4x6", 4, 6, true}, {"4x8", 4, 8, false},
};

} // namespace

const SimModelInfo& ModelInfo(SimModel model) {
    return kModels[static_cast<int>(model)];
}

std::optional<SimModel> ParseSimModel(std::string_view text) {
    for (int i = 0; i < static_cast<int>(std::size(kModels)); ++i) {
        if (text == kModels[i].name) return static_cast<SimModel>(i);
    }
    return std::nullopt;
}

} // namespace velmar
