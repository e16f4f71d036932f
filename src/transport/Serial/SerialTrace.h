// The diagnostic trace of the serial classes: one sink for every report line, stderr unless replaced.
#pragma once

#include <functional>
#include <string>

namespace velmar {

// Receives one report line exactly as the serial classes word it (most end in "\n"). Called on the thread
// that failed: the user-interface thread or a listener thread, so a sink must be thread-safe; calls are
// serialised by SerialTrace. Reports are for developers and are never shown to the user.
using SerialTraceSink = std::function<void(const std::string& line)>;

// Replaces the sink (an empty function restores the stderr sink). Any thread.
void SetSerialTraceSink(SerialTraceSink sink);

// Sends one line to the sink. Any thread.
void SerialTrace(const std::string& line);

// printf-style form for the reports that carry values.
void SerialTracef(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace velmar
