// What the Home, Gain and Delay pages share.
#include "ui/pages/SysPageCommon.h"

#include "ui/artwork/Palette.h"
#include "ui/pages/NumericEntry.h"

#include <QByteArray>

#include <charconv>

namespace velmar::syspages {

bool columnPresent(int config, int column) {
    int inputs = 4, outputs = 8;
    switch (config) {
    case 3:
        inputs = 2;
        outputs = 4;
        break;
    case 4:
        inputs = 2;
        outputs = 6;
        break;
    case 5:
        inputs = 3;
        outputs = 6;
        break;
    case 6:
        outputs = 6;
        break;
    default:
        break;
    }
    const ColumnChannel cc = columnChannel(column);
    return cc.kind == kKindInput ? cc.channel < inputs : cc.channel < outputs;
}

uint8_t columnLinkGroup(const CoreState& s, int column) {
    const ColumnChannel cc = columnChannel(column);
    return cc.kind == kKindInput ? s.inputLinkGroup[cc.channel] : s.outputLinkGroup[cc.channel];
}

std::optional<double> parseTypedNumber(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // A number starts with a digit, or with a point followed by a digit.
    const bool startsNumber =
        p < end && ((*p >= '0' && *p <= '9') || (*p == '.' && p + 1 < end && p[1] >= '0' && p[1] <= '9'));
    if (!startsNumber) return std::nullopt;
    double value = 0;
    const auto [last, error] = std::from_chars(p, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Far beyond any scale: keep the sign, the range check refuses it.
        value = 1e308;
    } else if (error != std::errc() || last == p) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

QString columnCaption(int column) {
    const ColumnChannel cc = columnChannel(column);
    return cc.kind == kKindInput
               ? QCoreApplication::translate("velmar::SysPages", "INPUT %1")
                     .arg(QChar(char16_t(u'A' + cc.channel)))
               : QCoreApplication::translate("velmar::SysPages", "OUTPUT %1").arg(cc.channel + 1);
}

QString dataOutOfRangeText() {
    return QCoreApplication::translate("velmar::SysPages", "Data out of range");
}

NumericEntry* newEntry(bool allowSigns, QWidget* parent) {
    auto* entry = new NumericEntry(allowSigns ? NumericEntry::Signs::PlusAndMinus : NumericEntry::Signs::None,
                                   NumericEntry::Commit::EveryLeave, parent);
    entry->setAlignment(Qt::AlignCenter);
    entry->setFrame(true);
    entry->setFont(palette::condensedFont(12));
    // The text is the page's format ("-36.0dB", "9.996ms"), never longer than a few characters.
    entry->setMaxLength(16);
    return entry;
}

} // namespace velmar::syspages
