// What the Home, Gain and Delay pages share: the twelve-channel numbering, typed numbers and texts.
#pragma once

#include "core/CoreState.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace velmar {
class NumericEntry;
} // namespace velmar

namespace velmar::syspages {

// Columns of the Gain and Delay pages: c = 0..3 inputs A..D, 4..11 outputs 1..8.
inline constexpr int kColumnCount = kInputCount + kOutputCount;

struct ColumnChannel {
    uint8_t kind; // kKindInput or kKindOutput
    int channel;  // 0..3 or 0..7
};
inline ColumnChannel columnChannel(int column) {
    return column < kInputCount ? ColumnChannel{kKindInput, column}
                                : ColumnChannel{kKindOutput, column - kInputCount};
}
inline int columnOf(uint8_t kind, int channel) {
    return kind == kKindInput ? channel : kInputCount + channel;
}

// Whether device configuration `config` (3..7; other values count as 7) has the channel of a column.
bool columnPresent(int config, int column);

// The group number of the channel of a column, from inputLinkGroup / outputLinkGroup.
uint8_t columnLinkGroup(const CoreState& s, int column);

// A typed number as the C library's atof reads it - leading blanks, an optional sign, digits with an
// optional decimal point and exponent, anything after it ignored ("3.5dB" is 3.5) - but independent of
// the process locale, and empty when the text carries no number at all (an empty entry), so that
// clearing an entry never sets a channel to the value 0. UI thread or any.
std::optional<double> parseTypedNumber(const QString& text);

// Channel names of a column in the current language: "INPUT A" / "输入 A", "OUTPUT 3" / "输出 3".
QString columnCaption(int column);

// A numeric entry of the Gain (signs allowed) or Delay page: centred in the page's condensed face,
// handed back on every leave for the page to check. Owned by `parent`.
NumericEntry* newEntry(bool allowSigns, QWidget* parent);

// "Data out of range" / "数据超出范围".
QString dataOutOfRangeText();

// The translation context of the shared texts (written out where they are translated, for lupdate).
inline constexpr const char* kContext = "velmar::SysPages";

} // namespace velmar::syspages
