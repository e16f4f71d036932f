// DeviceConfigTable: the processor family's channel configurations - the inputs and outputs each one has
// and the configuration a processor's model digits name.
#pragma once

#include <cstdint>

namespace velmar {

// deviceConfig 3..7: 3 = 2 in 4 out, 4 = 2 in 6 out, 5 = 3 in 6 out, 6 = 4 in 6 out, 7 = 4 in 8 out.
// Any other value is treated as 7, the full unit and the configuration the application starts with, so
// a stray byte never leaves a page or a report without channels. Pure functions; any thread.
inline constexpr int kDeviceConfigFirst = 3;
inline constexpr int kDeviceConfigLast = 7;
inline constexpr int kDeviceConfigDefault = 7;

// `config` when it is one of 3..7, else 7.
int NormalisedDeviceConfig(int config);
// Inputs (2..4) and outputs (4..8) of a configuration.
int DeviceConfigInputCount(int config);
int DeviceConfigOutputCount(int config);
// The configuration the model digits stand for (system block bytes 67 and 69, e.g. '2' and '4' for 3);
// any pair not in the table is the full unit, 7.
uint8_t DeviceConfigFromModelDigits(char inputDigit, char outputDigit);

} // namespace velmar
