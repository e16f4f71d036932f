// CurveReport: velmarctl's offline curve command: a channel's response from a program file as CSV.
#pragma once

#include "core/DeviceImage.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace velmar::ctl {

// Uses the application's global curve sets, so it runs on the thread that owns them (the main thread of
// velmarctl, which has no other use for them).
class CurveReport {
public:
    struct CurveChannel {
        uint8_t set = 1; // 1 an input's equaliser, 2 its graphic equaliser, 4 an output
        int index = 0;
    };
    // "inA".."inD", "out1".."out8", "geq-inA".."geq-inD".
    static std::optional<CurveChannel> ParseChannel(std::string_view text);

    // 241 lines "frequency,dB" (the frequency as the grid lists it, dB with 6 decimals) of the channel's
    // summed curve; with filters, one more column per filter: the bands, then the high-pass and the
    // low-pass. The image is clamped first, as an import does.
    static std::string Csv(const DeviceImage& image, CurveChannel channel, bool filters);

    // The curve command: reads the file, prints the CSV to out. Exit code 0, 1 when the file cannot be
    // read, 2 for an unknown channel (message on err).
    static int Run(const std::string& file, const std::string& channel, bool filters, std::ostream& out,
                   std::ostream& err);
};

} // namespace velmar::ctl
