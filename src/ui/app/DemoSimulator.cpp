// The in-process simulator of the demo.
#include "ui/app/DemoSimulator.h"

#include "sim/SimDemoSetup.h"
#include "sim/SimHidBackend.h"
#include "sim/SimPtyEndpoint.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"
#include "ui/app/AppState.h"

#include <QMetaObject>

namespace velmar {

namespace {

constexpr int kDemoBaud = 19200;

} // namespace

DemoSimulator::DemoSimulator(SimModel model, uint8_t address, QObject* parent)
    : QObject(parent), m_device(SimDeviceConfig{model, address, 1}) {
    m_programmeTimer.setInterval(kProgrammeIntervalMs);
    connect(&m_programmeTimer, &QTimer::timeout, this, &DemoSimulator::stepProgramme);
}

DemoSimulator::~DemoSimulator() {
    stop();
}

bool DemoSimulator::start(QString* error) {
    std::string reason;
    m_tcp = std::make_unique<SimTcpEndpoint>(m_device, m_faults, nullptr);
    if (!m_tcp->start(0, reason)) {
        if (error) *error = QStringLiteral("TCP: ") + QString::fromStdString(reason);
        m_tcp.reset();
        return false;
    }
    m_pty = std::make_unique<SimPtyEndpoint>(m_device, m_faults, nullptr, kDemoBaud);
    // A new pair (after a hang-up) has a new path; the handler runs on the endpoint's thread.
    m_pty->setPathChangedHandler([this](const std::string& path) {
        const QString p = QString::fromStdString(path);
        QMetaObject::invokeMethod(
            this, [this, p] { setPtyPath(p); }, Qt::QueuedConnection);
    });
    if (!m_pty->start(std::string(), reason)) {
        if (error) *error = QStringLiteral("pty: ") + QString::fromStdString(reason);
        stop();
        return false;
    }
    setPtyPath(QString::fromStdString(m_pty->slavePath()));
    return true;
}

void DemoSimulator::stop() {
    m_programmeTimer.stop();
    if (m_tcp) m_tcp->stop();
    if (m_pty) m_pty->stop();
    m_tcp.reset();
    m_pty.reset();
}

bool DemoSimulator::useDemoSetup(QString* error) {
    SimDeviceState state = m_device.state();
    std::string reason;
    if (!ApplySimDemoSetup(state, reason)) {
        if (error) *error = QString::fromStdString(reason);
        return false;
    }
    m_device.setState(state);
    return true;
}

void DemoSimulator::startProgramme(uint64_t seed) {
    m_programme = SimProgramme(seed);
    m_programmeClock.start();
    stepProgramme();
    m_programmeTimer.start();
}

void DemoSimulator::stepProgramme() {
    const double seconds = m_programmeClock.isValid() ? m_programmeClock.elapsed() / 1000.0 : 0.0;
    for (int i = 0; i < kInputCount; ++i) m_device.setProgrammeLevel(i, m_programme.levelDbu(i, seconds));
}

quint16 DemoSimulator::tcpPort() const {
    return m_tcp ? m_tcp->port() : 0;
}

std::unique_ptr<HidBackend> DemoSimulator::makeHidBackend() {
    auto backend = std::make_unique<SimHidBackend>(m_device, m_faults);
    m_usb = backend.get();
    return backend;
}

void DemoSimulator::attach(AppState& state, LinkController& links) {
    m_state = &state;
    links.setWifiAddress(QStringLiteral("127.0.0.1"));
    links.setWifiPort(tcpPort());
    if (!m_ptyPath.isEmpty()) state.extraSerialPorts = {m_ptyPath};
}

void DemoSimulator::setPtyPath(const QString& path) {
    if (path == m_ptyPath) return;
    m_ptyPath = path;
    if (m_state) m_state->extraSerialPorts = {path};
    emit ptyPathChanged(path);
}

} // namespace velmar
