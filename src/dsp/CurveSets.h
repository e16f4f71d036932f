// The application's curve sets: one parametric-equaliser set per input, one graphic-equaliser set per
// input and one set per output, each bound to its own copy of the channel's records, never to the image.
//
// Built once at start and living until exit. Used on the UI thread only: the core runs on that thread and
// calls the refreshes through its hooks, so a refresh never overlaps the drawing of a set.
#pragma once

#include "core/CoreState.h"
#include "dsp/KTVEQ.h"

#include <cstdint>

namespace velmar {

extern CKTVEQ inputEqCurves[kInputCount];
extern CKTVEQ inputGeqCurves[kInputCount];
extern CKTVEQ outputEqCurves[kOutputCount];

// Which set RefreshCurveSet rebuilds.
inline constexpr uint8_t kCurveSetInputEq = 1;
inline constexpr uint8_t kCurveSetInputGeq = 2;
inline constexpr uint8_t kCurveSetOutput = 4;

// The graphic-equaliser band record of band index `index` (0..30): its centre frequency, the level
// geq[index], Q index 8, a peaking band.
PeqBand GeqBandRecord(const InputBlock& input, int index);

// Copies the records of every set from s.image, creates the filters and sets the colours.
void BuildCurveSets(const CoreState& s);
// After the whole image was replaced: recopies every record from s.image and rebinds every filter,
// which recomputes every curve. Sets not built yet are built. Never allocates once built.
void RefreshAllCurveSets(const CoreState& s);
// The same for one set: kind 1 the input's equaliser set, 2 its graphic-equaliser set, 4 the output's
// set. Other kinds and channels outside the image are ignored.
void RefreshCurveSet(const CoreState& s, uint8_t kind, int channel);

// Installs the refreshes as s.hooks.imageReplaced and s.hooks.channelCurvesChanged. The hooks keep a
// reference to s, which owns them. A channel change of an input (kind 1) rebuilds both of its sets: the
// join copies the graphic-equaliser words along with the bands.
void InstallCurveSetHooks(CoreState& s);

} // namespace velmar
