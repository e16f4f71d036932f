// Helpers for the transport tests: hex frames, bounded event-loop spins, a pseudo-terminal pair and a
// capture of the serial trace.
#pragma once

#include "transport/Serial/SerialTrace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace velmar::test {

using Bytes = std::vector<uint8_t>;

// "5A 5A 5A 01" -> bytes; spaces separate fields.
inline Bytes Hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        for (size_t i = 0; i < token.size(); i += 2)
            out.push_back(static_cast<uint8_t>(std::stoul(token.substr(i, 2), nullptr, 16)));
    return out;
}

// Runs the event loop until pred holds or timeoutMs passes; returns pred().
inline bool SpinUntil(const std::function<bool()>& pred, int timeoutMs = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return pred();
}

// Runs the event loop for ms, to show that nothing more arrives.
inline void SpinFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A pseudo-terminal: the test holds the master, the code under test opens slavePath.
class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            const char* name = ::ptsname(m_master);
            if (name) m_slavePath = name;
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master; }
    void closeMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

    void write(const Bytes& bytes) const {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else {
                struct pollfd p {
                    m_master, POLLOUT, 0
                };
                ::poll(&p, 1, 100);
            }
        }
    }

    // Reads from the master until count bytes arrived or timeoutMs passed.
    Bytes read(size_t count, int timeoutMs = 2000) const {
        Bytes out;
        QElapsedTimer timer;
        timer.start();
        while (out.size() < count && timer.elapsed() < timeoutMs) {
            uint8_t buffer[4096];
            const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - out.size()));
            if (n > 0) {
                out.insert(out.end(), buffer, buffer + n);
            } else {
                struct pollfd p {
                    m_master, POLLIN, 0
                };
                ::poll(&p, 1, 20);
            }
        }
        return out;
    }

    // Everything the master can read right now.
    Bytes drain() const {
        Bytes out;
        uint8_t buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) out.insert(out.end(), buffer, buffer + n);
        return out;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};

// Collects the serial trace while it lives.
class TraceCapture {
public:
    TraceCapture() {
        SetSerialTraceSink([this](const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(line);
        });
    }
    ~TraceCapture() { SetSerialTraceSink(nullptr); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(const std::string& line) const {
        const auto all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }
    size_t count(const std::string& line) const {
        const auto all = lines();
        return static_cast<size_t>(std::count(all.begin(), all.end(), line));
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

} // namespace velmar::test
