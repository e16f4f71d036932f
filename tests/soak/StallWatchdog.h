// StallWatchdog: measures how late the event loop runs a short repeating timer, i.e. how long the
// thread that owns the core was kept from its events.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace velmar::soak {

// Runs on the thread whose event loop it watches. The figure is a measurement, printed by the runs;
// nothing asserts on it.
class StallWatchdog : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 10;

    explicit StallWatchdog(QObject* parent = nullptr);

    void start();
    void stop();
    // The largest lateness seen since start(), in milliseconds: the time between two timer events
    // beyond the interval.
    double longestStallMs() const { return m_longestMs; }
    // Lateness above 50 ms counted, for the run's line.
    int stallsAbove50Ms() const { return m_over50; }

private:
    void onTick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    double m_longestMs = 0;
    int m_over50 = 0;
};

} // namespace velmar::soak
