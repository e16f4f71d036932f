// StallWatchdog: the lateness of a 10 ms timer.
#include "StallWatchdog.h"

namespace velmar::soak {

StallWatchdog::StallWatchdog(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StallWatchdog::onTick);
}

void StallWatchdog::start() {
    m_longestMs = 0;
    m_over50 = 0;
    m_clock.start();
    m_lastNs = m_clock.nsecsElapsed();
    m_timer.start();
}

void StallWatchdog::stop() {
    m_timer.stop();
}

void StallWatchdog::onTick() {
    const qint64 now = m_clock.nsecsElapsed();
    const double late = static_cast<double>(now - m_lastNs) / 1e6 - kIntervalMs;
    m_lastNs = now;
    if (late > m_longestMs) m_longestMs = late;
    if (late > 50) ++m_over50;
}

} // namespace velmar::soak
