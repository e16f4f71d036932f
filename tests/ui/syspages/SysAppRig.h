// SysAppRig: the whole application (main window, links, languages) with recorded boxes and modal runs,
// and velmar-sim's processor on a loopback TCP port to connect it to. The scheduler is ticked by hand.
#pragma once

#include "core/CoreState.h"
#include "core/Scheduler.h"
#include "sim/SimDevice.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"
#include "ui/app/VelmarApp.h"
#include "ui/app/VelmarDlg.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmar::syspagestest {

class AppRig {
public:
    AppRig() {
        UiHooks hooks;
        hooks.message = [this](QWidget*, const UiMessage& m) { messages.append(m); };
        hooks.fileDialog = [](QWidget*, const FileDialogRequest&) { return QString(); };
        hooks.runModal = [this](QDialog& d) {
            modalsRun << QString::fromLatin1(d.metaObject()->className());
            return onModal ? onModal(d) : int(QDialog::Rejected);
        };
        m_app = std::make_unique<CVelmarApp>(nullptr, std::move(hooks));
        m_app->InitInstance();
        window().schedulerTimer().stop();
        // Every frame the application sends, as on the wire.
        core().hooks.traceSent = [this](const uint8_t* data, size_t size) {
            sent.emplace_back(data, data + size);
        };
    }

    CVelmarApp& app() { return *m_app; }
    AppState& state() { return m_app->state(); }
    CoreState& core() { return m_app->state().core; }
    CVelmarDlg& window() { return *m_app->mainWindow(); }

    // Ticks the scheduler and lets the event loop deliver socket data and posted messages until `done`
    // holds (false after `timeoutMs` of wall time: the processor did not answer).
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        return QTest::qWaitFor(
            [&] {
                SchedulerTick(core());
                QCoreApplication::processEvents();
                return done();
            },
            timeoutMs);
    }
    // Delivers what is queued (posted messages, queued boxes) without ticking.
    static void deliverPosted() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    // Connects over TCP to 127.0.0.1:port and waits for the handshake and the read-back.
    bool connectTcp(uint16_t port) {
        // The connection dialog starts every connection at RS485 address 1, which the processor answers.
        core().deviceAddress = 1;
        LinkController& links = m_app->links();
        links.setWifiAddress(QStringLiteral("127.0.0.1"));
        links.setWifiPort(port);
        links.openTcp();
        if (!runUntil([this] { return core().linkConfirmed == 2; })) return false;
        deliverPosted();
        return true;
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const UiMessage& m : messages) texts << m.text;
        return texts;
    }

    QList<UiMessage> messages;
    QStringList modalsRun;
    std::function<int(QDialog&)> onModal;
    std::vector<std::vector<uint8_t>> sent;

private:
    std::unique_ptr<CVelmarApp> m_app;
};

// velmar-sim's processor listening on a free loopback port; stopped when destroyed.
class SimProcessor {
public:
    explicit SimProcessor(SimModel model = SimModel::In4Out8)
        : device(SimDeviceConfig{model, 1, 7}), endpoint(device, SimFaultConfig{}, nullptr) {}
    ~SimProcessor() { endpoint.stop(); }
    bool start() { return endpoint.start(0, error); }
    uint16_t port() const { return endpoint.port(); }

    // The processor's name field as text (up to its first zero).
    QString name(int index) const {
        const auto bytes = device.programName(index);
        int n = 0;
        while (n < int(bytes.size()) && bytes[size_t(n)] != 0) ++n;
        return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), n);
    }

    SimDevice device;
    SimTcpEndpoint endpoint;
    std::string error;
};

} // namespace velmar::syspagestest
