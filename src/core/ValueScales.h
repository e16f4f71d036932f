// Value scales: raw image values <-> the units shown and typed, the constant tables behind them and the
// coordinates of the response graph.
//
// Everything here is a pure function of its arguments (the tables are constants), so any thread may call
// it. Texts are UTF-8; `language` is the application's languageFlag (0 English, 1 Chinese).
//
// Raw values reach these functions straight from the image. The clamp bounds most fields from above only,
// so a negative 16-bit value can arrive here: every table look-up bounds its index first, and formulas
// that are not look-ups show such a value as the formula gives it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmar {

inline constexpr int kQTableSize = 296; // raw q 0..295
inline constexpr int kMaxQIndex = kQTableSize - 1;
inline constexpr int kGridSize = 241; // response grid, index 0..240
inline constexpr int kMaxGridIndex = kGridSize - 1;
inline constexpr int kGeqCentreCount = 31;
inline constexpr int kCrossoverChoiceCount = 10;
inline constexpr int kBandTypeCount = 3;
inline constexpr int kReleaseChoiceCount = 7;
inline constexpr int kGateChoiceCount = 121;

// Raw limits of the scales.
inline constexpr int kChannelGainRawMax = 480; // 360 = 0 dB
inline constexpr int kChannelGainRawZero = 360;
inline constexpr int kBandGainRawMax = 400; // 200 = 0 dB
inline constexpr int kBandGainRawZero = 200;
inline constexpr int kDelayRawMax = 1466;
inline constexpr int kGateRawMax = 120;

// ---------------------------------------------------------------------------------------------------------
// Numeric helpers

// Truncates towards zero like a C cast, but defined for every input: NaN gives 0 and values beyond the
// int range saturate. Curves of extreme gains produce such values, and a plain cast would be undefined.
int TruncateToInt(double v);

// ---------------------------------------------------------------------------------------------------------
// Constant tables

// The Q table: entry i is the Q of a band i/100 + 0.05 octaves wide, rounded to three decimals.
const std::array<double, kQTableSize>& QTable();
// Q of raw index `index`, bounded to 0..295 first.
double QFromIndex(int index);
// Typed Q -> raw index: empty when the value lies outside 0.404..28.852 ("Data out of range"). A value
// between two entries selects the larger Q (the smaller index).
std::optional<int> QIndexFromValue(double q);

// The 241 frequencies (Hz) of the response grid, about 1/24 octave apart, 19.7 Hz to 20 kHz.
const std::array<double, kGridSize>& FrequencyGrid();
// Grid frequency of `index`, bounded to 0..240 first.
double GridFrequency(int index);
// Index of the grid frequency nearest to f; a tie goes to the higher one, above 20 kHz gives 240.
int FreqGridIndex(double f);

// Centre frequencies (Hz) of graphic-equaliser bands 1..31; band b is element b-1.
const std::array<int, kGeqCentreCount>& GeqCentreFrequencies();
// Centre of the band at 0-based `index` (the index of its geq word), bounded to 0..30 first.
int GeqCentreFrequency(int index);

// ---------------------------------------------------------------------------------------------------------
// Response graph coordinates: a plot `width` x `height` pixels spanning 20 Hz..20 kHz (three decades of
// width div 3 pixels each) and +20 dB (top) .. -20 dB (bottom). Coordinates are relative to the plot.

// log10(f / 20) * (width div 3), truncated; the real variant does not truncate.
int GraphXFromFreq(double f, int width);
double GraphXFromFreqReal(double f, int width);
// (height / 40) * (20 - dB) + 0.5, truncated; the real variant is (height / 40) * (20 - dB).
int GraphYFromDb(double db, int height);
double GraphYFromDbReal(double db, int height);
// 20 * 10^(x / (width div 3)), limited to 20..20000 Hz and truncated. A plot narrower than 3 pixels
// has no frequency axis and gives 20.
int GraphFreqFromX(double x, int width);
// 20 - y * 40 / height, then +1.0 when that is positive and -0.5 when it is zero or negative (the drag
// code of the graph rounds the result to 0.1 dB). A plot of no height gives 0.
double GraphDbFromY(double y, int height);

// ---------------------------------------------------------------------------------------------------------
// Display formats

std::string FrequencyText(int hz);      // "%d"
std::string ChannelGainText(int raw);   // (raw - 360) / 10, "%3.1fdB"
std::string BandGainText(int raw);      // (raw - 200) / 10, "%3.1f" (PEQ bands and geq words)
std::string QText(int index);           // the Q table, "%.3f"
std::string CompThresholdText(int raw); // raw - 28, "%ddBu"
std::string CompAttackText(int raw);    // raw + 3, "%dms"
std::string CompRatioText(int raw);     // raw + 1 "%d:1", raw 127 "Inf:1"
std::string GateThresholdText(int raw); // raw - 120, "%ddB"

// Band gain in dB of a raw value, (raw - 200) / 10 (not bounded: a formula, not a look-up).
double BandGainDb(int raw);
double ChannelGainDb(int raw);

enum class DelayUnit : uint8_t { Milliseconds, Metres, Feet };
// The metre suffix depends on the page: "Mt" on the input and delay pages, "M" on the output page.
enum class MetreSuffix : uint8_t { Mt, M };

// Delay value of raw d in a unit, as displayed: fine (d * 0.021 ms) up to 476, coarse (d - 466 ms) from 477.
double DelayValue(int raw, DelayUnit unit);
// "%4.3fms" / "%6.3fMt" / "%6.3fFt" up to 476; "%dms" / "%6.2fMt" / "%6.2fFt" (from 1000 ft "%6.1fFt")
// from 477.
std::string DelayText(int raw, DelayUnit unit, MetreSuffix suffix = MetreSuffix::Mt);

// Release list entry ("Atkx2" .. "Atkx48"); empty for an index outside the list.
const char* CompReleaseText(int index, uint8_t language);
// Item k of the gate list: "%d" of -k followed by "dB" (0dB, -1dB, ... -120dB); empty outside 0..120.
std::string GateChoiceText(int k);
// List item <-> raw gateThreshold: item = 120 - raw. The raw value is bounded to 0..120 first.
int GateChoiceFromRaw(int raw);
int GateRawFromChoice(int k);

// ---------------------------------------------------------------------------------------------------------
// Entry rules: typed value -> raw value, empty when it lies outside the scale ("Data out of range").
// Conversions truncate towards zero. A typed decimal is taken at the value it was written as: 0.3 dB is
// raw 363 even though (0.3 + 36) * 10 comes out as 362.99999999999994 in binary floating point.

std::optional<int> ChannelGainEntry(double db); // -36..+12 dB
std::optional<int> BandGainEntry(double db);    // -20..+20 dB
// 0..1000 ms, 0..340 m, 0..1094.1 ft: the first d = 0..1465 whose value is at least the typed one, fine
// up to 475 and coarse from 476 on; 1466 when none is.
std::optional<int> DelayEntry(double value, DelayUnit unit);
std::optional<int> CompThresholdEntry(double dbu); // -28..+20 dBu
std::optional<int> CompAttackEntry(double ms);     // 3..100 ms
std::optional<int> FrequencyEntry(double hz, int minHz, int maxHz);

// "Data out of range" / "数据超出范围".
const char* DataOutOfRangeText(uint8_t language);

// ---------------------------------------------------------------------------------------------------------
// Name lists

// Crossover combo item c (0..9) with its trailing spaces, e.g. "Bessel 12dB "; empty outside the list.
const char* CrossoverName(int combo, uint8_t language);

struct CrossoverChoice {
    uint8_t type;  // 0 Linkwitz-Riley, 1 Butterworth, 2 Bessel
    uint8_t slope; // index within the family
    bool operator==(const CrossoverChoice&) const = default;
};
// Combo item c -> (type, slope): 0..3 Linkwitz-Riley, 4..6 Butterworth, 7..9 Bessel.
std::optional<CrossoverChoice> CrossoverFromCombo(int combo);
// (type, slope) -> combo item; empty for a pair that has no item (a family above 2, Butterworth or
// Bessel slope 3), which an image from outside can hold.
std::optional<int> CrossoverComboIndex(int type, int slope);

// Band type 0..2: "PEQ" / "Lo_Shf" / "Hi_Shf" ("参量" / "低架" / "高架"); empty outside.
const char* BandTypeName(int type, uint8_t language);

} // namespace velmar
