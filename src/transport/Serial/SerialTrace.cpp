// The serial trace sink and its default, stderr.
#include "SerialTrace.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace velmar {

namespace {

// Guards the sink and serialises the calls into it, so lines from two threads never interleave.
std::mutex& TraceMutex() {
    static std::mutex m;
    return m;
}

SerialTraceSink& Sink() {
    static SerialTraceSink sink;
    return sink;
}

void WriteToStderr(const std::string& line) {
    // Two reports carry no line break of their own; keep stderr readable.
    std::fputs(line.c_str(), stderr);
    if (line.empty() || line.back() != '\n') std::fputc('\n', stderr);
}

} // namespace

void SetSerialTraceSink(SerialTraceSink sink) {
    std::lock_guard lock(TraceMutex());
    Sink() = std::move(sink);
}

void SerialTrace(const std::string& line) {
    std::lock_guard lock(TraceMutex());
    if (Sink())
        Sink()(line);
    else
        WriteToStderr(line);
}

void SerialTracef(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SerialTrace(buffer);
}

} // namespace velmar
