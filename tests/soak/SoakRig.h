// SoakRig: the protocol core on a real link to the simulated processor, driven by 100 ms timers as the
// application drives it, with the counters and the stall watchdog the soak and the link-fault runs read.
#pragma once

#include "RemovingHidBackend.h"
#include "StallWatchdog.h"

#include "core/CoreState.h"
#include "sim/SimDevice.h"
#include "sim/SimFrameLog.h"
#include "sim/SimHidBackend.h"
#include "sim/SimPtyEndpoint.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmar::soak {

enum class SoakLink { Tcp, Pty, Usb };
const char* LinkName(SoakLink link);

// The simulator runs in this process: a TCP server on 127.0.0.1, a pseudo-terminal paced at `baud`
// (0 unpaced), or the fake HID backend. The core, the LinkController and the timers live on the
// thread that creates the rig, which must run a Qt event loop (the rig's spin functions run it).
class SoakRig : public QObject {
    Q_OBJECT
public:
    SoakRig(SoakLink link, SimFaultConfig faults, int baud = 19200);
    ~SoakRig() override;

    // Opens the link as the connection dialog does (the handshake is queued when it opens).
    void connectLink();
    // Runs the event loop until the link is connected and the processor's image has been read back.
    bool waitReady(int timeoutMs);
    bool spinUntil(const std::function<bool()>& pred, int timeoutMs);
    void spinFor(int ms);

    // Starts the scheduler tick and the link supervision, each on its own 100 ms timer, and the watchdog.
    void startClock();
    void stopClock();

    // Connected, the image read back, nothing pending, dirty or waiting: every edit has been sent.
    bool quiescent() const;
    bool ready() const;
    // Channel units (and graphic-equaliser words) whose bytes differ between the simulated processor's
    // memory and the application's image; and the differing bytes.
    int differingUnits() const;
    size_t differingBytes() const;
    // "out3 u1 app 01 01 68 01 ... unit 01 00 ..." for every differing unit (for a run's diagnostics).
    std::string describeDifferences() const;

    CoreState& core() { return *m_state; }
    LinkController& links() { return *m_links; }
    SimDevice& device() { return m_device; }
    SimFaultInjector& faults();
    RemovingHidBackend* usbPlug() { return m_plug; }
    SimHidBackend* hid() { return m_hid.get(); }
    StallWatchdog& watchdog() { return m_watchdog; }
    SoakLink link() const { return m_link; }

    // Called (queued, on the rig's thread) when the core declares the link lost.
    std::function<void()> onLinkLost;

    // Counters of the run.
    uint64_t framesSent = 0;     // every frame the core handed to the link
    uint64_t framesReceived = 0; // every verified frame the core's parser took
    uint64_t bytesFed = 0;       // received bytes handed to the parser
    int linkLosses = 0;          // 0x464 (0xAA, 0xBB) posted
    std::vector<std::string> boxes;
    int usbRemovedNotices = 0;
    int usbDisconnectNotices = 0;
    // Supervision ticks counted since the last received chunk, and that count when the link was lost.
    int ticksSinceChunk = 0;
    int lossTick = 0;
    std::vector<uint8_t> pendingAtLoss; // the pending command at each loss

    // Stores the processor answered, each with the image it was asked to keep; checked against the
    // unit's stored programs at the checkpoints.
    std::vector<std::pair<int, DeviceImage>> storesDone;
    int storeSentProgram = 0;
    DeviceImage storeSentImage{};
    int storesFailed = 0, storesChecked = 0;
    int processorChangedFields = 0;
    int verifyReads = 0, repairs = 0; // compare reads answered; fields sent again after one
    // Stores answered since the last call whose program in the unit is not the image stored; forgets them.
    int storesLost();
    // The verify read's idle period in ticks for the runs (VELMAR_SOAK_VERIFY_PERIOD, default 50).
    static int VerifyPeriodTicks();

    // From the simulator's frame log.
    std::atomic<uint64_t> simFramesIn{0}, simFramesDropped{0}, simRepliesOut{0}, simRepliesDropped{0},
        simRepliesCorrupted{0};

private:
    void onSimLine(const std::string& line);

    const SoakLink m_link;
    SimFrameLog m_log;
    SimDevice m_device;
    std::unique_ptr<SimTcpEndpoint> m_tcp;
    std::unique_ptr<SimPtyEndpoint> m_pty;
    std::unique_ptr<SimHidBackend> m_hid;
    RemovingHidBackend* m_plug = nullptr; // owned by m_links
    std::unique_ptr<CoreState> m_state;
    std::unique_ptr<LinkController> m_links;
    QTimer m_tick, m_supervision;
    StallWatchdog m_watchdog;
};

} // namespace velmar::soak
