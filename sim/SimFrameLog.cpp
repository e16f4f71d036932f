// The frame log's line format.
#include "sim/SimFrameLog.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace velmar {

SimFrameLog::SimFrameLog(std::FILE* out)
    : sink_([out](const std::string& line) {
          std::fputs(line.c_str(), out);
          std::fputc('\n', out);
          std::fflush(out);
      }),
      clock_(&SimFrameLog::localTime) {}

SimFrameLog::SimFrameLog(Sink sink, Clock clock) : sink_(std::move(sink)), clock_(std::move(clock)) {}

std::string SimFrameLog::localTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return text;
}

std::string SimFrameLog::hex(const uint8_t* data, size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i) s += ' ';
        s += digits[data[i] >> 4];
        s += digits[data[i] & 0xF];
    }
    return s;
}

void SimFrameLog::frame(const std::string& link, const char* direction, const uint8_t* data, size_t size,
                        const std::string& note) {
    // Directions are padded to three characters so the hex lines up: "in " and "out".
    std::string dir = direction;
    dir.resize(std::max<size_t>(dir.size(), 3), ' ');
    std::string line = clock_() + ' ' + link + ' ' + dir + ' ' + hex(data, size);
    if (!note.empty()) line += "  [" + note + ']';
    write(line);
}

void SimFrameLog::note(const std::string& link, const std::string& text) {
    write(clock_() + ' ' + link + " -- " + text);
}

void SimFrameLog::write(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (sink_) sink_(line);
}

} // namespace velmar
