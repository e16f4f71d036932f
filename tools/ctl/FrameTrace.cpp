// The --trace lines of velmarctl.
#include "ctl/FrameTrace.h"

#include <cstdio>
#include <ctime>

namespace velmar::ctl {

std::string FrameTrace::Line(std::chrono::system_clock::time_point when, const char* direction,
                             const uint8_t* frame, size_t size) {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    long millis = static_cast<long>(ms % 1000);
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[40];
    const size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(stamp + n, sizeof stamp - n, ".%03ld", millis);

    static const char digits[] = "0123456789ABCDEF";
    std::string line = stamp;
    line.reserve(line.size() + 6 + 3 * size);
    line += ' ';
    line += direction;
    for (size_t i = 0; i < size; ++i) {
        line += ' ';
        line += digits[frame[i] >> 4];
        line += digits[frame[i] & 15];
    }
    return line;
}

void FrameTrace::write(const char* direction, const uint8_t* frame, size_t size) {
    m_out << Line(std::chrono::system_clock::now(), direction, frame, size) << '\n' << std::flush;
}

} // namespace velmar::ctl
