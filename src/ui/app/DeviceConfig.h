// The processor family's channel configurations: tab sets, tab labels, the tab-to-page mapping and the
// configuration a processor's model digits stand for.
#pragma once

#include "core/DeviceConfigTable.h"

#include <QString>
#include <QStringList>

namespace velmar {

// Pure tables; any thread, except tabLabels, which reads the installed translation (UI thread).
//
// The channel counts come from the core's table (core/DeviceConfigTable.h); any value outside 3..7 is
// treated as 7, the configuration the application starts with.
class DeviceConfig {
public:
    static constexpr int kDefault = kDeviceConfigDefault;
    static constexpr int kFirst = kDeviceConfigFirst;
    static constexpr int kLast = kDeviceConfigLast;

    // The page a tab shows.
    enum class Page { Home, Gain, Delay, Geq, Input, Output };
    struct TabTarget {
        Page page = Page::Home;
        int channel = 0; // input 0..3 for Geq and Input, output 0..7 for Output, 0 otherwise
    };

    static int normalised(int config);
    // System tabs (Home, Gain, Delay, one graphic EQ tab per input shown): 5 for 3 and 4, else 7.
    static int sysTabCount(int config);
    static int inputCount(int config);
    static int outputCount(int config);
    static int tabCount(int config);

    // What tab `tab` shows; a tab outside 0 .. tabCount - 1 gives Home.
    static TabTarget target(int config, int tab);
    // The block kind (1 input, 4 output) and channel of channel tab `tab` (tab >= sysTabCount).
    static int channelTabKind(int config, int tab);
    static int channelTabChannel(int config, int tab);

    // The configuration a processor's model digits (system block bytes 67 and 69) stand for.
    static int fromModelDigits(char inputDigit, char outputDigit);

    // The tab labels, inserted exactly as they stand (their spaces pad the tab widths), in the language
    // of the installed translation: system, then input, then output tabs.
    static QStringList tabLabels(int config);

    // A file-name-friendly name of what a tab shows ("home", "geq-a", "in-b", "out-3").
    static QString tabSlug(int config, int tab);

    // The translation context of the tab labels.
    static constexpr const char* kContext = "velmar::DeviceConfig";
};

} // namespace velmar
