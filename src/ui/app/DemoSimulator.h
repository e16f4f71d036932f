// DemoSimulator: a simulated processor started inside the application for `velmar --demo`, reachable
// over TCP on 127.0.0.1, over a pseudo-terminal and over a simulated USB device.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFaultInjector.h"
#include "sim/SimModel.h"
#include "sim/SimProgramme.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace velmar {

class HidBackend;
class LinkController;
class SimHidBackend;
class SimPtyEndpoint;
class SimTcpEndpoint;
struct AppState;

// Create it on the UI thread before the application (the USB backend it makes uses the device) and
// destroy it after. The endpoints run their own threads; everything this class offers is called on
// the UI thread.
class DemoSimulator : public QObject {
    Q_OBJECT

public:
    explicit DemoSimulator(SimModel model = SimModel::In4Out8, uint8_t address = 1,
                           QObject* parent = nullptr);
    ~DemoSimulator() override;

    // Link faults on every endpoint made after this (lost frames and replies, corrupt replies, late
    // replies), so anyone can watch the window find and repair what the processor did not take.
    void setFaults(const SimFaultConfig& faults) { m_faults = faults; }
    const SimFaultConfig& faults() const { return m_faults; }

    // Starts the TCP server on a free port of 127.0.0.1 and the pseudo-terminal (paced like a 19200
    // bit/s line). False, with a reason, when either cannot start.
    bool start(QString* error = nullptr);

    // The demonstration programs (1 "Two-way main" current, 2 "Speech", 3 "Band live", 4 "Background")
    // in place of the flat defaults. False, with the refused entry, if the field table takes one
    // differently; the processor is then left as it was.
    bool useDemoSetup(QString* error = nullptr);
    // Drives the inputs' programme levels from a music-like envelope every kProgrammeIntervalMs, so the
    // meters move as with a real source. Without it the processor's own slow sweep runs.
    void startProgramme(uint64_t seed = 1);
    static constexpr int kProgrammeIntervalMs = 50;
    void stop();

    quint16 tcpPort() const;
    QString ptyPath() const { return m_ptyPath; }
    SimDevice& device() { return m_device; }
    SimTcpEndpoint* tcp() const { return m_tcp.get(); }
    SimPtyEndpoint* pty() const { return m_pty.get(); }
    // The simulated processor on USB, for the application's LinkController. The simulator must
    // outlive it. The last one made is kept for usb().
    std::unique_ptr<HidBackend> makeHidBackend();
    SimHidBackend* usb() const { return m_usb; }

    // Points the application at the simulator: wifiAddress/wifiPort to its TCP server, and its
    // pseudo-terminal listed (and chosen) first in the connection dialog's port list, following the
    // path when the simulator makes a new pair. state and links must outlive this object's start.
    void attach(AppState& state, LinkController& links);

signals:
    void ptyPathChanged(const QString& path);

private:
    void setPtyPath(const QString& path);
    void stepProgramme();

    SimDevice m_device;
    SimFaultConfig m_faults;
    std::unique_ptr<SimTcpEndpoint> m_tcp;
    std::unique_ptr<SimPtyEndpoint> m_pty;
    SimHidBackend* m_usb = nullptr; // owned by the LinkController it was given to
    QString m_ptyPath;
    AppState* m_state = nullptr;
    SimProgramme m_programme;
    QTimer m_programmeTimer;
    QElapsedTimer m_programmeClock;
};

} // namespace velmar
