// The global curve sets and their refresh from the image.
#include "dsp/CurveSets.h"

#include <algorithm>
#include <cstring>

namespace velmar {

CKTVEQ inputEqCurves[kInputCount];
CKTVEQ inputGeqCurves[kInputCount];
CKTVEQ outputEqCurves[kOutputCount];

namespace {

constexpr Rgb kInputEqColours[kInputCount] = {{0, 255, 255}, {223, 18, 123}, {2, 123, 192}, {255, 255, 0}};
constexpr Rgb kInputGeqColours[kInputCount] = {
    {255, 102, 102}, {153, 0, 153}, {153, 255, 0}, {255, 153, 204}};
constexpr Rgb kOutputColours[kOutputCount] = {{255, 0, 0},   {0, 192, 0},   {128, 128, 192}, {255, 64, 255},
                                              {0, 192, 192}, {192, 168, 0}, {125, 128, 0},   {0, 0, 255}};

void CopyInputEqRecords(CurveRecordSet& r, const InputBlock& in) {
    r.crossover = kFlatCrossover;
    for (int k = 0; k < kBandCount; ++k) r.bands[k] = in.peq[k];
}

void CopyInputGeqRecords(CurveRecordSet& r, const InputBlock& in) {
    r.crossover = kFlatCrossover;
    for (int b = 0; b < kGeqBandCount; ++b) r.bands[b] = GeqBandRecord(in, b);
}

void CopyOutputRecords(CurveRecordSet& r, const OutputBlock& out) {
    std::memcpy(&r.crossover, reinterpret_cast<const uint8_t*>(&out) + offsetof(OutputBlock, hpfFreq),
                sizeof(CrossoverRecord));
    for (int k = 0; k < kBandCount; ++k) r.bands[k] = out.peq[k];
}

void Colour(CKTVEQ& set, Rgb c) {
    set.SetColour(c);
    set.SetArgbColour(ArgbFromRgb(c));
}

// Rebinds a set that exists, creates one that does not (or has another band count).
void Bind(CKTVEQ& set, int bandCount, bool frequencyLocked) {
    if (set.BandCount() == bandCount) {
        set.Rebind();
    } else {
        set.Create(bandCount, frequencyLocked);
    }
}

void RefreshInputEq(const CoreState& s, int ch) {
    CopyInputEqRecords(inputEqCurves[ch].Records(), s.image.inputs[ch]);
    Bind(inputEqCurves[ch], kBandCount, false);
    Colour(inputEqCurves[ch], kInputEqColours[ch]);
}

void RefreshInputGeq(const CoreState& s, int ch) {
    CopyInputGeqRecords(inputGeqCurves[ch].Records(), s.image.inputs[ch]);
    Bind(inputGeqCurves[ch], kGeqBandCount, true);
    Colour(inputGeqCurves[ch], kInputGeqColours[ch]);
}

void RefreshOutput(const CoreState& s, int ch) {
    CopyOutputRecords(outputEqCurves[ch].Records(), s.image.outputs[ch]);
    Bind(outputEqCurves[ch], kBandCount, false);
    Colour(outputEqCurves[ch], kOutputColours[ch]);
}

} // namespace

PeqBand GeqBandRecord(const InputBlock& input, int index) {
    return PeqBand{static_cast<int16_t>(GeqCentreFrequency(index)),
                   input.geq[std::clamp(index, 0, kGeqBandCount - 1)], 8, 0, 0};
}

void BuildCurveSets(const CoreState& s) {
    for (int ch = 0; ch < kInputCount; ++ch) {
        CopyInputEqRecords(inputEqCurves[ch].Records(), s.image.inputs[ch]);
        inputEqCurves[ch].Create(kBandCount, false);
        Colour(inputEqCurves[ch], kInputEqColours[ch]);
    }
    for (int ch = 0; ch < kInputCount; ++ch) {
        CopyInputGeqRecords(inputGeqCurves[ch].Records(), s.image.inputs[ch]);
        inputGeqCurves[ch].Create(kGeqBandCount, true);
        Colour(inputGeqCurves[ch], kInputGeqColours[ch]);
    }
    for (int ch = 0; ch < kOutputCount; ++ch) {
        CopyOutputRecords(outputEqCurves[ch].Records(), s.image.outputs[ch]);
        outputEqCurves[ch].Create(kBandCount, false);
        Colour(outputEqCurves[ch], kOutputColours[ch]);
    }
}

void RefreshAllCurveSets(const CoreState& s) {
    for (int ch = 0; ch < kInputCount; ++ch) RefreshInputEq(s, ch);
    for (int ch = 0; ch < kInputCount; ++ch) RefreshInputGeq(s, ch);
    for (int ch = 0; ch < kOutputCount; ++ch) RefreshOutput(s, ch);
}

void RefreshCurveSet(const CoreState& s, uint8_t kind, int channel) {
    switch (kind) {
    case kCurveSetInputEq:
        if (channel >= 0 && channel < kInputCount) RefreshInputEq(s, channel);
        break;
    case kCurveSetInputGeq:
        if (channel >= 0 && channel < kInputCount) RefreshInputGeq(s, channel);
        break;
    case kCurveSetOutput:
        if (channel >= 0 && channel < kOutputCount) RefreshOutput(s, channel);
        break;
    default:
        break;
    }
}

void InstallCurveSetHooks(CoreState& s) {
    s.hooks.imageReplaced = [&s] { RefreshAllCurveSets(s); };
    s.hooks.channelCurvesChanged = [&s](uint8_t kind, int channel) {
        RefreshCurveSet(s, kind, channel);
        if (kind == kKindInput) RefreshCurveSet(s, kCurveSetInputGeq, channel);
    };
}

} // namespace velmar
