// The offline curve command.
#include "ctl/CurveReport.h"

#include "core/CoreState.h"
#include "core/ValueScales.h"
#include "core/FieldTable.h"
#include "ctl/ProgramFile.h"
#include "dsp/CurveSets.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace velmar::ctl {

namespace {

// dB with 6 decimals; a value that rounds to zero prints as 0.000000, never as -0.000000.
void AppendDb(std::string& line, double db) {
    if (std::fabs(db) < 5e-7) db = 0.0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, ",%.6f", db);
    line += buffer;
}

const CKTVEQ& CurveSet(CurveReport::CurveChannel c) {
    if (c.set == kCurveSetInputGeq) return inputGeqCurves[c.index];
    if (c.set == kCurveSetInputEq) return inputEqCurves[c.index];
    return outputEqCurves[c.index];
}

} // namespace

std::optional<CurveReport::CurveChannel> CurveReport::ParseChannel(std::string_view text) {
    bool geq = false;
    if (text.size() > 4 && (text.substr(0, 4) == "geq-" || text.substr(0, 4) == "GEQ-")) {
        geq = true;
        text.remove_prefix(4);
    }
    const auto ch = FieldTable::ParseChannel(text);
    if (!ch || (geq && ch->kind != kKindInput)) return std::nullopt;
    if (geq) return CurveChannel{kCurveSetInputGeq, ch->index};
    return CurveChannel{ch->kind == kKindInput ? kCurveSetInputEq : kCurveSetOutput, ch->index};
}

std::string CurveReport::Csv(const DeviceImage& image, CurveChannel channel, bool filters) {
    auto s = std::make_unique<CoreState>();
    s->image = image;
    ClampImage(s->image);
    RefreshCurveSet(*s, channel.set, channel.index);
    const CKTVEQ& set = CurveSet(channel);

    std::string csv;
    for (int i = 0; i < kGridSize; ++i) {
        char frequency[32];
        std::snprintf(frequency, sizeof frequency, "%g", GridFrequency(i));
        std::string line = frequency;
        // The sum as the graph forms it: a flat filter (no sections) adds nothing.
        double sum = 0.0;
        for (int f = 0; f < set.Count(); ++f)
            if (set.Filter(f).Sections().count > 0) sum += set.Filter(f).Response()[i];
        AppendDb(line, sum);
        if (filters)
            for (int f = 0; f < set.Count(); ++f)
                AppendDb(line, set.Filter(f).Sections().count > 0 ? set.Filter(f).Response()[i] : 0.0);
        csv += line;
        csv += '\n';
    }
    return csv;
}

int CurveReport::Run(const std::string& file, const std::string& channel, bool filters, std::ostream& out,
                     std::ostream& err) {
    const auto c = ParseChannel(channel);
    if (!c) {
        err << "velmarctl: curve: unknown channel '" << channel
            << "' (inA..inD, out1..out8, geq-inA..geq-inD)\n";
        return 2;
    }
    DeviceImage image{};
    std::string error;
    if (!ProgramFile::Read(file, image, error)) {
        err << "velmarctl: MusicFile read Error: " << file << ": " << error << "\n";
        return 1;
    }
    out << Csv(image, *c, filters) << std::flush;
    return out ? 0 : 1;
}

} // namespace velmar::ctl
