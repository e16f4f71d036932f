// Channel configurations: counts, the tab mapping, model digits and the tab-label tables.
#include "ui/app/DeviceConfig.h"

#include <QCoreApplication>

#include <array>

namespace velmar {

namespace {

// A translatable text with the configuration it belongs to: the same English label is written
// differently in Chinese from one configuration to the next.
struct Label {
    const char* source;
    const char* comment;
};

struct LabelTable {
    std::array<Label, 7> system; // Home, Gain, Delay, GEQ A .. D (configurations 3 and 4 use five)
    std::array<Label, 4> inputs; // IN A .. D (as many as the configuration has inputs)
    Label output;                // %1 is the output number; the spacing is that of output 1
};

// clang-format off
const LabelTable kLabels[5] = {
    { // configuration 3
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      Home      ", "configuration 3"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      Gain       ", "configuration 3"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      Delay      ", "configuration 3"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      GEQ A      ", "configuration 3"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      GEQ B      ", "configuration 3"),
          Label{nullptr, nullptr}, Label{nullptr, nullptr}}},
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      IN A     ", "configuration 3"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "      IN B     ", "configuration 3"),
          Label{nullptr, nullptr}, Label{nullptr, nullptr}}},
        QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    OUT %1     ", "configuration 3"),
    },
    { // configuration 4
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    Home    ", "configuration 4"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    Gain    ", "configuration 4"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    Delay    ", "configuration 4"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    GEQ A    ", "configuration 4"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    GEQ B    ", "configuration 4"),
          Label{nullptr, nullptr}, Label{nullptr, nullptr}}},
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    IN A     ", "configuration 4"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "    IN B     ", "configuration 4"),
          Label{nullptr, nullptr}, Label{nullptr, nullptr}}},
        QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "   OUT %1   ", "configuration 4"),
    },
    { // configuration 5
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Home  ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Gain  ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Delay ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ A ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ B ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ C ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ D ", "configuration 5")}},
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " INPUTA ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " INPUTB ", "configuration 5"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " INPUTC ", "configuration 5"),
          Label{nullptr, nullptr}}},
        QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "OUTPUT%1", "configuration 5"),
    },
    { // configuration 6
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Home  ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Gain  ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Delay ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ A  ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ B  ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ C  ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " GEQ D ", "configuration 6")}},
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "  IN A ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "  IN B ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "  IN C ", "configuration 6"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "  IN D ", "configuration 6")}},
        QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "  OUT %1 ", "configuration 6"),
    },
    { // configuration 7
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Home ", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " Gain ", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "Delay", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "GEQ A", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "GEQ B", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "GEQ C", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", "GEQ D", "configuration 7")}},
        {{QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " IN A ", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " IN B ", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " IN C ", "configuration 7"),
          QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " IN D ", "configuration 7")}},
        QT_TRANSLATE_NOOP3("velmar::DeviceConfig", " OUT %1", "configuration 7"),
    },
};
// clang-format on

QString translated(const Label& label) {
    return QCoreApplication::translate(DeviceConfig::kContext, label.source, label.comment);
}

} // namespace

int DeviceConfig::normalised(int config) {
    return NormalisedDeviceConfig(config);
}

int DeviceConfig::sysTabCount(int config) {
    const int c = normalised(config);
    return c == 3 || c == 4 ? 5 : 7;
}

int DeviceConfig::inputCount(int config) {
    return DeviceConfigInputCount(config);
}

int DeviceConfig::outputCount(int config) {
    return DeviceConfigOutputCount(config);
}

int DeviceConfig::tabCount(int config) {
    return sysTabCount(config) + inputCount(config) + outputCount(config);
}

int DeviceConfig::channelTabKind(int config, int tab) {
    // The first output tab: 7 for configurations 3 and 4, 10 for 5, 11 for 6 and 7.
    const int firstOutput = sysTabCount(config) + inputCount(config);
    return tab < firstOutput ? 1 : 4;
}

int DeviceConfig::channelTabChannel(int config, int tab) {
    const int firstInput = sysTabCount(config);
    const int firstOutput = firstInput + inputCount(config);
    return tab < firstOutput ? tab - firstInput : tab - firstOutput;
}

DeviceConfig::TabTarget DeviceConfig::target(int config, int tab) {
    if (tab < 0 || tab >= tabCount(config)) return {};
    switch (tab) {
    case 0:
        return {Page::Home, 0};
    case 1:
        return {Page::Gain, 0};
    case 2:
        return {Page::Delay, 0};
    default:
        break;
    }
    if (tab < sysTabCount(config)) return {Page::Geq, tab - 3};
    const Page page = channelTabKind(config, tab) == 1 ? Page::Input : Page::Output;
    return {page, channelTabChannel(config, tab)};
}

int DeviceConfig::fromModelDigits(char inputDigit, char outputDigit) {
    return DeviceConfigFromModelDigits(inputDigit, outputDigit);
}

QStringList DeviceConfig::tabLabels(int config) {
    const int c = normalised(config);
    const LabelTable& table = kLabels[c - kFirst];
    QStringList labels;
    for (int i = 0; i < sysTabCount(c); ++i) labels << translated(table.system[size_t(i)]);
    for (int i = 0; i < inputCount(c); ++i) labels << translated(table.inputs[size_t(i)]);
    for (int i = 0; i < outputCount(c); ++i) labels << translated(table.output).arg(i + 1);
    return labels;
}

QString DeviceConfig::tabSlug(int config, int tab) {
    const TabTarget t = target(config, tab);
    const QChar input(char16_t(u'a' + t.channel));
    switch (t.page) {
    case Page::Home:
        return QStringLiteral("home");
    case Page::Gain:
        return QStringLiteral("gain");
    case Page::Delay:
        return QStringLiteral("delay");
    case Page::Geq:
        return QStringLiteral("geq-") + input;
    case Page::Input:
        return QStringLiteral("in-") + input;
    case Page::Output:
        return QStringLiteral("out-%1").arg(t.channel + 1);
    }
    return QString();
}

} // namespace velmar
