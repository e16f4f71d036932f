// Value scales: the tables, display formats, entry rules and graph coordinates.
#include "core/ValueScales.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace velmar {

namespace {

// Typed decimals reach the entry rules as binary doubles that may sit a hair below the decimal the user
// wrote (36.3 * 10 = 362.99999999999994). Truncating and "at least" comparisons allow for that much.
constexpr double kEntryTolerance = 1e-9;

constexpr std::array<double, kGridSize> kGrid = {
    19.7,  20.3,  20.9,  21.5,  22.1,  22.7,  23.4,  24.1,  24.8,  25.5,  26.3,  27,    27.8,  28.7,  29.5,
    30.4,  31.3,  32.2,  33.1,  34.1,  35.1,  36.1,  37.2,  38.3,  39.4,  40.5,  41.7,  42.9,  44.2,  45.5,
    46.8,  48.2,  49.6,  51.1,  52.6,  54.1,  55.7,  57.3,  59,    60.7,  62.5,  64.3,  66.2,  68.2,  70.2,
    72.2,  74.3,  76.5,  78.7,  81.1,  83.4,  85.9,  88.4,  91,    93.6,  96.4,  99.2,  102,   105,   108,
    111,   115,   118,   121,   125,   129,   132,   136,   140,   144,   149,   153,   158,   162,   167,
    172,   179,   182,   187,   193,   198,   204,   210,   216,   223,   229,   236,   243,   250,   257,
    265,   273,   281,   289,   297,   306,   315,   324,   334,   344,   354,   364,   375,   386,   397,
    409,   420,   433,   445,   459,   472,   486,   500,   515,   530,   545,   561,   578,   595,   612,
    630,   648,   667,   687,   707,   728,   749,   771,   794,   817,   841,   866,   891,   917,   944,
    972,   1000,  1030,  1060,  1090,  1123,  1155,  1190,  1224,  1260,  1297,  1335,  1374,  1414,  1456,
    1498,  1542,  1587,  1634,  1682,  1731,  1782,  1834,  1888,  1943,  2000,  2059,  2119,  2181,  2245,
    2311,  2378,  2448,  2520,  2594,  2670,  2748,  2828,  2911,  2997,  3084,  3175,  3268,  3364,  3462,
    3564,  3668,  3776,  3886,  4000,  4117,  4238,  4362,  4490,  4621,  4757,  4896,  5000,  5187,  5339,
    5496,  5657,  5823,  5993,  6169,  6350,  6536,  6727,  6924,  7127,  7336,  7551,  7772,  8000,  8234,
    8476,  8724,  8980,  9243,  9514,  9792,  10079, 10374, 10679, 10992, 11314, 11645, 11987, 12338, 12699,
    13071, 13454, 13849, 14254, 14672, 15102, 15545, 16000, 16469, 16951, 17448, 17959, 18486, 19027, 19585,
    20000};

constexpr std::array<int, kGeqCentreCount> kGeqCentres = {
    20,  25,   32,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1300, 1600, 2000, 2500, 3100, 4000, 5000, 6300, 8000, 10000, 13000, 16000, 18000};

std::array<double, kQTableSize> MakeQTable() {
    std::array<double, kQTableSize> t{};
    for (int i = 0; i < kQTableSize; ++i) {
        const double p = std::pow(2.0, (i + 5) / 100.0);
        t[i] = std::round(std::sqrt(p) / (p - 1.0) * 1000.0) / 1000.0;
    }
    return t;
}

const char* const kCrossoverNames[2][kCrossoverChoiceCount] = {
    {"Lin-Ril 12dB", "Lin-Ril 24dB", "Lin-Ril 36dB", "Lin-Ril 48dB", "ButterW 12dB", "ButterW 18dB",
     "ButterW 24dB", "Bessel 12dB ", "Bessel 18dB ", "Bessel 24dB "},
    {"宁克 12dB   ", "宁克 24dB   ", "宁克 36dB   ", "宁克 48dB   ", "巴特沃斯 12dB", "巴特沃斯 18dB",
     "巴特沃斯 24dB", "贝塞尔 12dB ", "贝塞尔 18dB ", "贝塞尔 24dB "}};

const char* const kBandTypeNames[2][kBandTypeCount] = {{"PEQ", "Lo_Shf", "Hi_Shf"}, {"参量", "低架", "高架"}};

// The release list is made of unit texts and reads the same in both languages.
const char* const kReleaseNames[kReleaseChoiceCount] = {"Atkx2",  "Atkx4",  "Atkx6", "Atkx8",
                                                        "Atkx16", "Atkx32", "Atkx48"};

int LanguageIndex(uint8_t language) {
    return language == 1 ? 1 : 0;
}

__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<size_t>(n));
    // Only absurd raw values (gains of 1e300 dB) get here.
    std::string out(static_cast<size_t>(n), '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

bool InRange(double v, double lo, double hi) {
    return v >= lo && v <= hi;
} // false for NaN

// Fine and coarse delay of raw d in milliseconds, before the unit factor.
double DelayFineMs(int d) {
    return d * 0.021;
}
double DelayCoarseMs(int d) {
    return d - 466;
}

double DelayUnitFactor(DelayUnit unit) {
    switch (unit) {
    case DelayUnit::Milliseconds:
        return 1.0;
    case DelayUnit::Metres:
        return 0.34;
    case DelayUnit::Feet:
        return 0.34 * 3.218;
    }
    return 1.0;
}

double DelayEntryMax(DelayUnit unit) {
    switch (unit) {
    case DelayUnit::Milliseconds:
        return 1000.0;
    case DelayUnit::Metres:
        return 340.0;
    case DelayUnit::Feet:
        return 1094.1;
    }
    return 1000.0;
}

} // namespace

int TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

// ---------------------------------------------------------------------------------------------------------
// Tables

const std::array<double, kQTableSize>& QTable() {
    static const std::array<double, kQTableSize> table = MakeQTable();
    return table;
}

double QFromIndex(int index) {
    return QTable()[std::clamp(index, 0, kMaxQIndex)];
}

std::optional<int> QIndexFromValue(double q) {
    const auto& t = QTable();
    if (!InRange(q, t[kMaxQIndex], t[0])) return std::nullopt;
    int i = 0;
    while (i < kQTableSize && !(q > t[i])) ++i;
    return i - 1;
}

const std::array<double, kGridSize>& FrequencyGrid() {
    return kGrid;
}

double GridFrequency(int index) {
    return kGrid[std::clamp(index, 0, kMaxGridIndex)];
}

int FreqGridIndex(double f) {
    int i = 0;
    while (i < kGridSize && !(kGrid[i] >= f)) ++i;
    if (i == kGridSize) return kMaxGridIndex;
    if (i == 0) return 0;
    const double d1 = f - kGrid[i - 1];
    const double d2 = kGrid[i] - f;
    return d1 < d2 ? i - 1 : i;
}

const std::array<int, kGeqCentreCount>& GeqCentreFrequencies() {
    return kGeqCentres;
}

int GeqCentreFrequency(int index) {
    return kGeqCentres[std::clamp(index, 0, kGeqCentreCount - 1)];
}

// ---------------------------------------------------------------------------------------------------------
// Graph coordinates

double GraphXFromFreqReal(double f, int width) {
    return std::log10(f / 20.0) * (width / 3);
}

int GraphXFromFreq(double f, int width) {
    return TruncateToInt(GraphXFromFreqReal(f, width));
}

double GraphYFromDbReal(double db, int height) {
    return height / 40.0 * (20.0 - db);
}

int GraphYFromDb(double db, int height) {
    return TruncateToInt(GraphYFromDbReal(db, height) + 0.5);
}

int GraphFreqFromX(double x, int width) {
    const int decade = width / 3;
    if (decade <= 0) return 20;
    const double f = 20.0 * std::pow(10.0, x / decade);
    if (!(f >= 20.0)) return 20; // also NaN
    if (f > 20000.0) return 20000;
    return static_cast<int>(f);
}

double GraphDbFromY(double y, int height) {
    if (height == 0) return 0.0;
    const double db = 20.0 - y * 40.0 / height;
    return db > 0.0 ? db + 1.0 : db - 0.5;
}

// ---------------------------------------------------------------------------------------------------------
// Display formats

double ChannelGainDb(int raw) {
    return (raw - kChannelGainRawZero) / 10.0;
}
double BandGainDb(int raw) {
    return (raw - kBandGainRawZero) / 10.0;
}

std::string FrequencyText(int hz) {
    return Printf("%d", hz);
}
std::string ChannelGainText(int raw) {
    return Printf("%3.1fdB", ChannelGainDb(raw));
}
std::string BandGainText(int raw) {
    return Printf("%3.1f", BandGainDb(raw));
}
std::string QText(int index) {
    return Printf("%.3f", QFromIndex(index));
}
std::string CompThresholdText(int raw) {
    return Printf("%ddBu", raw - 28);
}
std::string CompAttackText(int raw) {
    return Printf("%dms", raw + 3);
}
std::string CompRatioText(int raw) {
    return raw == 127 ? std::string("Inf:1") : Printf("%d:1", raw + 1);
}
std::string GateThresholdText(int raw) {
    return Printf("%ddB", raw - 120);
}

double DelayValue(int raw, DelayUnit unit) {
    const double ms = raw <= 476 ? DelayFineMs(raw) : DelayCoarseMs(raw);
    return ms * DelayUnitFactor(unit);
}

std::string DelayText(int raw, DelayUnit unit, MetreSuffix suffix) {
    const double v = DelayValue(raw, unit);
    const bool mt = suffix == MetreSuffix::Mt;
    if (raw <= 476) {
        switch (unit) {
        case DelayUnit::Milliseconds:
            return Printf("%4.3fms", v);
        case DelayUnit::Metres:
            return mt ? Printf("%6.3fMt", v) : Printf("%6.3fM", v);
        case DelayUnit::Feet:
            return Printf("%6.3fFt", v);
        }
    }
    switch (unit) {
    case DelayUnit::Milliseconds:
        return Printf("%dms", raw - 466);
    case DelayUnit::Metres:
        return mt ? Printf("%6.2fMt", v) : Printf("%6.2fM", v);
    case DelayUnit::Feet:
        return v < 1000.0 ? Printf("%6.2fFt", v) : Printf("%6.1fFt", v);
    }
    return {};
}

const char* CompReleaseText(int index, uint8_t /*language*/) {
    return index >= 0 && index < kReleaseChoiceCount ? kReleaseNames[index] : "";
}

std::string GateChoiceText(int k) {
    return k >= 0 && k < kGateChoiceCount ? Printf("%ddB", -k) : std::string();
}

int GateChoiceFromRaw(int raw) {
    return kGateRawMax - std::clamp(raw, 0, kGateRawMax);
}
int GateRawFromChoice(int k) {
    return kGateRawMax - std::clamp(k, 0, kGateChoiceCount - 1);
}

// ---------------------------------------------------------------------------------------------------------
// Entry rules

std::optional<int> ChannelGainEntry(double db) {
    if (!InRange(db, -36.0, 12.0)) return std::nullopt;
    return static_cast<int>((db + 36.0) * 10.0 + kEntryTolerance);
}

std::optional<int> BandGainEntry(double db) {
    if (!InRange(db, -20.0, 20.0)) return std::nullopt;
    return static_cast<int>((db + 20.0) * 10.0 + kEntryTolerance);
}

std::optional<int> DelayEntry(double value, DelayUnit unit) {
    if (!InRange(value, 0.0, DelayEntryMax(unit))) return std::nullopt;
    const double factor = DelayUnitFactor(unit);
    for (int d = 0; d < kDelayRawMax; ++d) {
        const double v = (d <= 475 ? DelayFineMs(d) : DelayCoarseMs(d)) * factor;
        if (v >= value - kEntryTolerance) return d;
    }
    return kDelayRawMax;
}

std::optional<int> CompThresholdEntry(double dbu) {
    if (!InRange(dbu, -28.0, 20.0)) return std::nullopt;
    return static_cast<int>(dbu) + 28;
}

std::optional<int> CompAttackEntry(double ms) {
    if (!InRange(ms, 3.0, 100.0)) return std::nullopt;
    return static_cast<int>(ms - 3.0 + kEntryTolerance);
}

std::optional<int> FrequencyEntry(double hz, int minHz, int maxHz) {
    if (!InRange(hz, minHz, maxHz)) return std::nullopt;
    return static_cast<int>(hz);
}

const char* DataOutOfRangeText(uint8_t language) {
    return LanguageIndex(language) == 1 ? "数据超出范围" : "Data out of range";
}

// ---------------------------------------------------------------------------------------------------------
// Name lists

const char* CrossoverName(int combo, uint8_t language) {
    if (combo < 0 || combo >= kCrossoverChoiceCount) return "";
    return kCrossoverNames[LanguageIndex(language)][combo];
}

std::optional<CrossoverChoice> CrossoverFromCombo(int combo) {
    if (combo < 0 || combo >= kCrossoverChoiceCount) return std::nullopt;
    if (combo <= 3) return CrossoverChoice{0, static_cast<uint8_t>(combo)};
    if (combo <= 6) return CrossoverChoice{1, static_cast<uint8_t>(combo - 4)};
    return CrossoverChoice{2, static_cast<uint8_t>(combo - 7)};
}

std::optional<int> CrossoverComboIndex(int type, int slope) {
    switch (type) {
    case 0:
        if (slope >= 0 && slope <= 3) return slope;
        break;
    case 1:
        if (slope >= 0 && slope <= 2) return 4 + slope;
        break;
    case 2:
        if (slope >= 0 && slope <= 2) return 7 + slope;
        break;
    default:
        break;
    }
    return std::nullopt;
}

const char* BandTypeName(int type, uint8_t language) {
    if (type < 0 || type >= kBandTypeCount) return "";
    return kBandTypeNames[LanguageIndex(language)][type];
}

} // namespace velmar
