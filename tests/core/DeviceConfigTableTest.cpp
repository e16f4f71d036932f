// The channel-configuration table: counts per configuration, the model digits, stray values.
#include "core/DeviceConfigTable.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

struct ConfigCase {
    int config;
    char inputDigit;
    char outputDigit;
    int inputs;
    int outputs;
};

constexpr ConfigCase kConfigs[] = {
    {3, '2', '4', 2, 4}, {4, '2', '6', 2, 6}, {5, '3', '6', 3, 6}, {6, '4', '6', 4, 6}, {7, '4', '8', 4, 8},
};

TEST(DeviceConfigTable, everyConfigurationHasItsChannelsAndIsNamedByItsDigits) {
    for (const ConfigCase& c : kConfigs) {
        SCOPED_TRACE(c.config);
        EXPECT_EQ(NormalisedDeviceConfig(c.config), c.config);
        EXPECT_EQ(DeviceConfigInputCount(c.config), c.inputs);
        EXPECT_EQ(DeviceConfigOutputCount(c.config), c.outputs);
        EXPECT_EQ(DeviceConfigFromModelDigits(c.inputDigit, c.outputDigit), c.config);
    }
}

TEST(DeviceConfigTable, aStrayConfigurationCountsAsTheFullUnit) {
    for (int stray : {-1, 0, 2, 8, 255}) {
        SCOPED_TRACE(stray);
        EXPECT_EQ(NormalisedDeviceConfig(stray), kDeviceConfigDefault);
        EXPECT_EQ(DeviceConfigInputCount(stray), 4);
        EXPECT_EQ(DeviceConfigOutputCount(stray), 8);
    }
}

TEST(DeviceConfigTable, unknownModelDigitsNameTheFullUnit) {
    EXPECT_EQ(DeviceConfigFromModelDigits('0', '0'), 7);
    EXPECT_EQ(DeviceConfigFromModelDigits('3', '4'), 7); // a pair no unit of the family has
    EXPECT_EQ(DeviceConfigFromModelDigits('6', '2'), 7); // the digits swapped
    EXPECT_EQ(DeviceConfigFromModelDigits('\0', '\xff'), 7);
}

} // namespace
} // namespace velmar
