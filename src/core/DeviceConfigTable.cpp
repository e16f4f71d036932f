// The channel-configuration table and its look-ups.
#include "core/DeviceConfigTable.h"

#include <array>
#include <cstddef>

namespace velmar {

namespace {

struct ConfigRow {
    int config;
    char inputDigit; // the model digits that name the configuration
    char outputDigit;
    int inputs;
    int outputs;
};

constexpr std::array<ConfigRow, 5> kRows = {{
    {3, '2', '4', 2, 4},
    {4, '2', '6', 2, 6},
    {5, '3', '6', 3, 6},
    {6, '4', '6', 4, 6},
    {7, '4', '8', 4, 8},
}};

const ConfigRow& RowOf(int config) {
    return kRows[std::size_t(NormalisedDeviceConfig(config) - kDeviceConfigFirst)];
}

} // namespace

int NormalisedDeviceConfig(int config) {
    return config >= kDeviceConfigFirst && config <= kDeviceConfigLast ? config : kDeviceConfigDefault;
}

int DeviceConfigInputCount(int config) {
    return RowOf(config).inputs;
}

int DeviceConfigOutputCount(int config) {
    return RowOf(config).outputs;
}

uint8_t DeviceConfigFromModelDigits(char inputDigit, char outputDigit) {
    for (const ConfigRow& row : kRows)
        if (row.inputDigit == inputDigit && row.outputDigit == outputDigit) return uint8_t(row.config);
    return uint8_t(kDeviceConfigDefault);
}

} // namespace velmar
