// FrameTrace: the --trace record of every frame sent and received, one line of hex each.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

namespace velmar::ctl {

// Writes to the stream it was given (stderr in velmarctl); used on the core's thread only.
class FrameTrace {
public:
    explicit FrameTrace(std::ostream& out) : m_out(out) {}

    void sent(const uint8_t* frame, size_t size) { write("sent", frame, size); }
    void received(const uint8_t* frame, size_t size) { write("recv", frame, size); }

    // "2024-05-01T14:03:07.412 sent 5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA": local time with
    // milliseconds, the direction, the frame's bytes in upper-case hex.
    static std::string Line(std::chrono::system_clock::time_point when, const char* direction,
                            const uint8_t* frame, size_t size);

private:
    void write(const char* direction, const uint8_t* frame, size_t size);

    std::ostream& m_out;
};

} // namespace velmar::ctl
