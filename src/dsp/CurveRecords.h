// The records a curve set's filters are bound to: a private copy of the image's band and crossover
// bytes, so that a drag on the graph changes the curve without touching the image.
#pragma once

#include "core/DeviceImage.h"

#include <cstddef>
#include <cstdint>

namespace velmar {

inline constexpr int kMaxCurveBands = 31; // a graphic equaliser; a parametric one uses 10

#pragma pack(push, 1)
// The crossover bytes of an output block (bytes 24..31), the same layout.
struct CrossoverRecord {
    int16_t hpfFreq;
    uint8_t hpfType;
    uint8_t hpfSlope;
    int16_t lpfFreq;
    uint8_t lpfType;
    uint8_t lpfSlope;
};
#pragma pack(pop)
static_assert(sizeof(CrossoverRecord) == 8);
static_assert(offsetof(OutputBlock, lpfSlope) - offsetof(OutputBlock, hpfFreq) + 1 ==
              sizeof(CrossoverRecord));

// The crossover that is always off: inputs and graphic equalisers have none.
inline constexpr CrossoverRecord kFlatCrossover{20, 0, 0, 20000, 0, 0};

struct CurveRecordSet {
    CrossoverRecord crossover = kFlatCrossover;
    PeqBand bands[kMaxCurveBands]{};
};

} // namespace velmar
