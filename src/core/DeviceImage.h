// The byte-exact mirror of the processor's 1600-byte parameter memory and its channel blocks.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace velmar {

static_assert(std::endian::native == std::endian::little,
              "the image is accessed in place as little-endian 16-bit fields");

inline constexpr int kInputCount = 4;
inline constexpr int kOutputCount = 8;
inline constexpr int kBandCount = 10;
inline constexpr int kGeqWordCount = 32; // band b (1..31) is geq[b-1]; geq[31] is carried only
inline constexpr int kGeqBandCount = 31;

// Block kinds as carried in P1 of parameter and block writes. Kind 2 (a graphic-equaliser word) is used
// only for link propagation inside the application and never goes on the wire.
inline constexpr uint8_t kKindInput = 1;
inline constexpr uint8_t kKindGeqWord = 2;
inline constexpr uint8_t kKindOutput = 4;
inline constexpr uint8_t kKindProgramName = 5;

#pragma pack(push, 1)

// One equaliser band, 8 bytes, the same in input and output blocks.
struct PeqBand {
    int16_t freq;       // Hz, 20..20000
    int16_t gain;       // 0..400, 200 = 0 dB, 0.1 dB a step
    int16_t q;          // index 0..295 into the Q table
    uint8_t shelfSlope; // 0 = 6 dB/oct, 1 = 12 dB/oct (shelving bands only)
    uint8_t type;       // 0 peaking, 1 low shelf, 2 high shelf
};

// An input channel, 160 bytes. Unit n (parameter index n) covers bytes 8n..8n+7, except the graphic
// equaliser whose words are parameter indices 12..43.
struct InputBlock {
    uint8_t name[8];       // unit 0, never written alone
    uint8_t soundOn;       // unit 1: 1 passes audio, 0 muted
    uint8_t polarity;      //         1 normal "+", 0 inverted "-"
    int16_t gain;          //         0..480, 360 = 0 dB
    int16_t delay;         //         0..1466
    uint8_t gateThreshold; //         0..120
    uint8_t spare;
    PeqBand peq[kBandCount];     // units 2..11 (band k is index k+1)
    int16_t geq[kGeqWordCount];  // indices 12..43, 200 = 0 dB
};

// An output channel, 120 bytes.
struct OutputBlock {
    uint8_t name[8];      // unit 0
    uint8_t soundOn;      // unit 1
    uint8_t polarity;
    int16_t gain;
    int16_t delay;
    uint8_t routeMask;    // bits 0..3: inputs A..D feed this output
    uint8_t spare;
    int16_t compThreshold; // unit 2: 0..48 = -28..+20 dBu
    uint8_t compAttack;    //         0..97 = 3..100 ms
    uint8_t compRelease;   //         index into the release list
    uint8_t compRatio;     //         r shown r+1 ":1", 127 "Inf:1"
    uint8_t spare2[3];
    int16_t hpfFreq;       // unit 3: crossover
    uint8_t hpfType;       // 0 Linkwitz-Riley, 1 Butterworth, 2 Bessel
    uint8_t hpfSlope;
    int16_t lpfFreq;
    uint8_t lpfType;
    uint8_t lpfSlope;
    PeqBand peq[kBandCount]; // units 4..13 (band k is index k+3)
    int16_t spareBand[4];    // unit 14, carried, never sent alone
};

struct DeviceImage {
    InputBlock inputs[kInputCount];
    OutputBlock outputs[kOutputCount];
};

#pragma pack(pop)

static_assert(sizeof(PeqBand) == 8);
static_assert(sizeof(InputBlock) == 160);
static_assert(sizeof(OutputBlock) == 120);
static_assert(sizeof(DeviceImage) == 1600);
static_assert(offsetof(InputBlock, soundOn) == 8 && offsetof(InputBlock, gain) == 10 &&
              offsetof(InputBlock, delay) == 12 && offsetof(InputBlock, gateThreshold) == 14 &&
              offsetof(InputBlock, peq) == 16 && offsetof(InputBlock, geq) == 96);
static_assert(offsetof(OutputBlock, routeMask) == 14 && offsetof(OutputBlock, compThreshold) == 16 &&
              offsetof(OutputBlock, compAttack) == 18 && offsetof(OutputBlock, compRelease) == 19 &&
              offsetof(OutputBlock, compRatio) == 20 && offsetof(OutputBlock, hpfFreq) == 24 &&
              offsetof(OutputBlock, hpfType) == 26 && offsetof(OutputBlock, hpfSlope) == 27 &&
              offsetof(OutputBlock, lpfFreq) == 28 && offsetof(OutputBlock, lpfType) == 30 &&
              offsetof(OutputBlock, lpfSlope) == 31 && offsetof(OutputBlock, peq) == 32 &&
              offsetof(OutputBlock, spareBand) == 112);
static_assert(offsetof(DeviceImage, outputs) == 640);

inline constexpr size_t kImageSize = sizeof(DeviceImage);
inline constexpr size_t kInputBlockSize = sizeof(InputBlock);
inline constexpr size_t kOutputBlockSize = sizeof(OutputBlock);

// The constant default blocks every channel of a kind starts from.
const InputBlock& InputTemplate();
const OutputBlock& OutputTemplate();

// Applies the clamping rule to every channel, inputs first. Used whenever a whole image arrives from the
// processor or a file. Only upper limits are tested (frequencies also from below), so negative 16-bit
// values can survive: readers that index a table with a raw value must bound it themselves.
void ClampImage(DeviceImage& image);

// Raw bytes of a block / unit, for the encoder and the link copies.
inline uint8_t* BlockBytes(DeviceImage& image, uint8_t kind, int channel) {
    return kind == kKindInput ? reinterpret_cast<uint8_t*>(&image.inputs[channel])
                              : reinterpret_cast<uint8_t*>(&image.outputs[channel]);
}
inline const uint8_t* BlockBytes(const DeviceImage& image, uint8_t kind, int channel) {
    return kind == kKindInput ? reinterpret_cast<const uint8_t*>(&image.inputs[channel])
                              : reinterpret_cast<const uint8_t*>(&image.outputs[channel]);
}
inline size_t BlockSize(uint8_t kind) { return kind == kKindInput ? kInputBlockSize : kOutputBlockSize; }

} // namespace velmar
