// SoakRig: the simulator, the core, the LinkController, the application's timers and the counters.
#include "SoakRig.h"

#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "core/Verify.h"
#include "dsp/CurveSets.h"

#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace velmar::soak {

const char* LinkName(SoakLink link) {
    switch (link) {
    case SoakLink::Tcp:
        return "tcp";
    case SoakLink::Pty:
        return "pty";
    case SoakLink::Usb:
        return "usb";
    }
    return "?";
}

SoakRig::SoakRig(SoakLink link, SimFaultConfig faults, int baud)
    : m_link(link), m_log([this](const std::string& line) { onSimLine(line); }, [] { return std::string(); }),
      m_state(std::make_unique<CoreState>()) {
    std::string error;
    std::unique_ptr<HidBackend> backend;
    switch (link) {
    case SoakLink::Tcp:
        m_tcp = std::make_unique<SimTcpEndpoint>(m_device, faults, &m_log);
        if (!m_tcp->start(0, error)) throw std::runtime_error("tcp endpoint: " + error);
        break;
    case SoakLink::Pty:
        m_pty = std::make_unique<SimPtyEndpoint>(m_device, faults, &m_log, baud);
        if (!m_pty->start("", error)) throw std::runtime_error("pty endpoint: " + error);
        break;
    case SoakLink::Usb: {
        m_hid = std::make_unique<SimHidBackend>(m_device, faults, &m_log);
        auto plug = std::make_unique<RemovingHidBackend>(*m_hid);
        m_plug = plug.get();
        backend = std::move(plug);
        break;
    }
    }

    CoreState& s = *m_state;
    InitCoreState(s);
    BuildCurveSets(s);
    InstallCurveSetHooks(s);
    s.deviceAddress = 1; // as the connection dialog sets it; the unit ignores frames for other addresses
    m_links = std::make_unique<LinkController>(std::move(backend));
    m_links->setWifiAddress(QStringLiteral("127.0.0.1"));
    if (m_tcp) m_links->setWifiPort(m_tcp->port());
    // The application's sinks, with the silence count of the run in front of them.
    m_links->attach(s, LinkController::CoreSinks{[this](const uint8_t* bytes, int16_t count) {
                                                     if (count > 0) ticksSinceChunk = 0;
                                                     if (count > 0) bytesFed += static_cast<uint64_t>(count);
                                                     FeedBytes(*m_state, bytes, count);
                                                 },
                                                 [this](const uint8_t* report) {
                                                     ticksSinceChunk = 0;
                                                     FeedReport(*m_state, report);
                                                 },
                                                 [this] { QueueHandshake(*m_state); }});
    // The verify read's idle period is shortened so a checkpoint never waits 30 s for it.
    s.verify.settings.periodTicks = static_cast<uint16_t>(VerifyPeriodTicks());
    s.hooks.traceSent = [this](const uint8_t* frame, size_t size) {
        ++framesSent;
        // A store makes the unit keep its current memory: that is the image at the moment it goes out,
        // since a store is sent only after a verify read agreed with nothing edited since.
        // A store sent again after a lost answer keeps what the first send found: edits made meanwhile
        // are held back until the store is answered.
        if (size > 6 && frame[5] == kCmdProgramStore && m_state->scheduler.retryCounter == 0) {
            storeSentProgram = frame[7];
            storeSentImage = m_state->image;
        }
    };
    s.hooks.event = [this](CoreEvent event, int value) {
        switch (event) {
        case CoreEvent::StoreDone:
            if (value != storeSentProgram) break;
            // Only the latest store of a program is what the unit keeps.
            std::erase_if(storesDone, [value](const auto& done) { return done.first == value; });
            storesDone.emplace_back(value, storeSentImage);
            break;
        case CoreEvent::StoreFailed:
            ++storesFailed;
            break;
        case CoreEvent::ProcessorChanged:
            processorChangedFields += value;
            break;
        case CoreEvent::Repaired:
            repairs += value;
            break;
        default:
            break;
        }
    };
    s.hooks.traceFrameReceived = [this](const uint8_t* frame, size_t size) {
        ++framesReceived;
        // An image that arrives while nothing waits for a whole image is a verify read's reply.
        if (size > 6 && frame[5] == kCmdProgramLoad && m_state->verify.onWire) ++verifyReads;
    };
    s.hooks.showMessage = [this](const char* text, const char*) { boxes.emplace_back(text); };
    s.hooks.postMessage = [this](uint32_t msg, uint32_t w, uint32_t l) {
        if (msg != kMsgRefresh || w != 0xAA || l != 0xBB) return;
        ++linkLosses;
        lossTick = ticksSinceChunk;
        pendingAtLoss.push_back(static_cast<uint8_t>(m_state->scheduler.state));
        // Posted, as the core's messages are: the reaction runs after the core has returned.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (onLinkLost) onLinkLost();
            },
            Qt::QueuedConnection);
    };
    connect(m_links.get(), &LinkController::usbDeviceRemoved, this, [this] { ++usbRemovedNotices; });
    connect(m_links.get(), &LinkController::usbDeviceDisconnect, this, [this] { ++usbDisconnectNotices; });

    m_tick.setInterval(100);
    m_supervision.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, [this] { SchedulerTick(*m_state); });
    connect(&m_supervision, &QTimer::timeout, this, [this] {
        if (m_state->linkConnected) ++ticksSinceChunk;
        LinkSupervisionTick(*m_state);
    });
}

SoakRig::~SoakRig() {
    stopClock();
    m_links->closeLink();
    m_links->detach();
    if (m_tcp) m_tcp->stop();
    if (m_pty) m_pty->stop();
}

SimFaultInjector& SoakRig::faults() {
    if (m_tcp) return m_tcp->faults();
    if (m_pty) return m_pty->faults();
    return m_hid->faults();
}

void SoakRig::onSimLine(const std::string& line) {
    // " <link> in  <hex>  [note]" or " <link> out <hex>  [note]" or " <link> -- <text>" (empty clock).
    const bool in = line.find(" in  ") != std::string::npos;
    const bool out = !in && line.find(" out ") != std::string::npos;
    if (!in && !out) return;
    const size_t note = line.find("  [");
    const std::string text = note == std::string::npos ? std::string() : line.substr(note);
    if (in) {
        ++simFramesIn;
        if (text.find("[dropped") != std::string::npos || text.find("[silent") != std::string::npos)
            ++simFramesDropped;
    } else {
        ++simRepliesOut;
        if (text.find("dropped") != std::string::npos) ++simRepliesDropped;
        if (text.find("corrupted") != std::string::npos) ++simRepliesCorrupted;
    }
}

void SoakRig::connectLink() {
    switch (m_link) {
    case SoakLink::Tcp:
        m_links->openTcp();
        break;
    case SoakLink::Pty:
        m_links->openSerial(QString::fromStdString(m_pty->slavePath()));
        break;
    case SoakLink::Usb:
        m_links->openUsb();
        break;
    }
}

int SoakRig::VerifyPeriodTicks() {
    const char* v = std::getenv("VELMAR_SOAK_VERIFY_PERIOD");
    return v && std::atoi(v) > 0 ? std::atoi(v) : 50;
}

int SoakRig::storesLost() {
    int lost = 0;
    for (const auto& [program, image] : storesDone) {
        const DeviceImage stored = m_device.storedProgram(program);
        if (std::memcmp(&stored, &image, sizeof image) != 0) ++lost;
    }
    storesChecked += static_cast<int>(storesDone.size());
    storesDone.clear();
    return lost;
}

bool SoakRig::ready() const {
    return m_state->linkConnected && m_state->linkConfirmed == 2;
}

bool SoakRig::quiescent() const {
    const CoreState& s = *m_state;
    // A repair still under way counts as not settled: the checkpoint waits for the verify read to agree.
    return ready() && s.scheduler.state == SchedState::Idle && !AnyDirty(s) && !s.scheduler.storeProgram &&
           s.scheduler.nameProgram == 0 && !AnyUnitWritten(s) && !s.verify.onWire;
}

bool SoakRig::spinUntil(const std::function<bool()>& pred, int timeoutMs) {
    // A real event loop that sleeps between events; pred is looked at every 10 ms.
    if (pred()) return true;
    bool done = false;
    QEventLoop loop;
    QTimer poll, limit;
    poll.setInterval(10);
    limit.setSingleShot(true);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!done && pred()) {
            done = true;
            loop.quit();
        }
    });
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start();
    limit.start(timeoutMs);
    loop.exec();
    return done;
}

void SoakRig::spinFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool SoakRig::waitReady(int timeoutMs) {
    return spinUntil([this] { return ready(); }, timeoutMs);
}

void SoakRig::startClock() {
    m_tick.start();
    m_supervision.start();
    m_watchdog.start();
}

void SoakRig::stopClock() {
    m_tick.stop();
    m_supervision.stop();
    m_watchdog.stop();
}

int SoakRig::differingUnits() const {
    const DeviceImage sim = m_device.image();
    const DeviceImage& app = m_state->image;
    int units = 0;
    for (int c = 0; c < kInputCount; ++c) {
        const auto* a = reinterpret_cast<const uint8_t*>(&sim.inputs[c]);
        const auto* b = reinterpret_cast<const uint8_t*>(&app.inputs[c]);
        for (int u = 0; u < 12; ++u) units += std::memcmp(a + 8 * u, b + 8 * u, 8) != 0;
        for (int w = 0; w < kGeqWordCount; ++w) units += sim.inputs[c].geq[w] != app.inputs[c].geq[w];
    }
    for (int c = 0; c < kOutputCount; ++c) {
        const auto* a = reinterpret_cast<const uint8_t*>(&sim.outputs[c]);
        const auto* b = reinterpret_cast<const uint8_t*>(&app.outputs[c]);
        for (int u = 0; u < 15; ++u) units += std::memcmp(a + 8 * u, b + 8 * u, 8) != 0;
    }
    return units;
}

std::string SoakRig::describeDifferences() const {
    const DeviceImage sim = m_device.image();
    std::string out;
    auto hex = [](const uint8_t* p, int n) {
        std::string h;
        char b[4];
        for (int i = 0; i < n; ++i) {
            std::snprintf(b, sizeof b, "%02X ", p[i]);
            h += b;
        }
        return h;
    };
    for (int kind = 0; kind < 2; ++kind) {
        const int channels = kind == 0 ? kInputCount : kOutputCount;
        const int units = kind == 0 ? 20 : 15;
        for (int c = 0; c < channels; ++c) {
            const uint8_t* a = BlockBytes(m_state->image, kind == 0 ? kKindInput : kKindOutput, c);
            const uint8_t* b = BlockBytes(sim, kind == 0 ? kKindInput : kKindOutput, c);
            for (int u = 0; u < units; ++u) {
                if (std::memcmp(a + 8 * u, b + 8 * u, 8) == 0) continue;
                out += std::string(kind == 0 ? " in" : " out") + std::to_string(c) + " u" +
                       std::to_string(u) + " app " + hex(a + 8 * u, 8) + "unit " + hex(b + 8 * u, 8) + ";";
            }
        }
    }
    return out;
}

size_t SoakRig::differingBytes() const {
    const DeviceImage sim = m_device.image();
    const auto* a = reinterpret_cast<const uint8_t*>(&sim);
    const auto* b = reinterpret_cast<const uint8_t*>(&m_state->image);
    size_t n = 0;
    for (size_t i = 0; i < kImageSize; ++i) n += a[i] != b[i];
    return n;
}

} // namespace velmar::soak
