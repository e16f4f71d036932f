// The frame log: every frame in and out as one line of hex with a time stamp, the link and the direction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace velmar {

// Lines look like
//   12:04:31.207 tcp in  5A 5A 5A 01 53 A2 06 00 00 00 00 00 AC AA  [handshake]
//   12:04:31.208 tcp out 5A 5A 5A 01 53 A2 06 00 00 00 A0 01 ... 0C AA
// The hex is exactly the frame's bytes (a corrupted reply shows the bytes really sent); the note in
// brackets says what the unit made of an incoming frame or what a fault did to a reply.
//
// Thread-safety: any thread; lines are written whole, one at a time.
class SimFrameLog {
public:
    using Sink = std::function<void(const std::string& line)>; // gets the line without a newline
    using Clock = std::function<std::string()>;                // the time stamp text

    // Writes to a stdio stream (flushed after every line); the clock is local time "HH:MM:SS.mmm".
    explicit SimFrameLog(std::FILE* out);
    SimFrameLog(Sink sink, Clock clock);

    void frame(const std::string& link, const char* direction, const uint8_t* data, size_t size,
               const std::string& note = {});
    void note(const std::string& link, const std::string& text);

    static std::string hex(const uint8_t* data, size_t size); // "5A 5A 5A 01"
    static std::string localTime();

private:
    void write(const std::string& line);

    std::mutex mutex_; // serialises lines
    Sink sink_;
    Clock clock_;
};

} // namespace velmar
