// The processor's serial port: a pseudo-terminal whose slave side the application opens like a COM port.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFaultInjector.h"
#include "sim/SimFrameLog.h"
#include "sim/SimUniqueFd.h"
#include "sim/SimWaker.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace velmar {

// A pty has no line rate of its own, so replies are paced at `baud` (10 bits a byte, as 8N1 on a
// UART delivers them); 0 sends them unpaced. The slave starts in raw mode.
//
// When the application closes the slave the endpoint waits for the next open, with a fresh decoder.
// A slave left exclusive (TIOCEXCL) by its last user cannot be opened again by an unprivileged process,
// so if the endpoint cannot clear that it makes a new pair. The close-connection fault also makes a new
// pair (the old slave hangs up, as an unplugged USB-serial adapter does). In both cases the path
// changes: the --link symlink follows and the path-change handler is told.
//
// Thread-safety: start()/stop() from the owning thread; slavePath() and faults() from any thread. The
// path-change handler is called on the endpoint thread. The device and log must outlive the endpoint.
class SimPtyEndpoint {
public:
    SimPtyEndpoint(SimDevice& device, SimFaultConfig faults, SimFrameLog* log, int baud);
    ~SimPtyEndpoint();
    SimPtyEndpoint(const SimPtyEndpoint&) = delete;
    SimPtyEndpoint& operator=(const SimPtyEndpoint&) = delete;

    // Set before start(): called with the new slave path whenever the pair is made again.
    void setPathChangedHandler(std::function<void(const std::string& slavePath)> handler);

    // Makes the pair (and the symlink when linkPath is not empty) and starts the thread.
    bool start(const std::string& linkPath, std::string& error);
    void stop();

    std::string slavePath() const;
    SimFaultInjector& faults() { return faults_; }
    int baud() const { return baud_; }

private:
    bool openPair(std::string& error);
    bool updateLink(std::string& error);
    bool releaseSlave(); // after a hang-up: clear exclusivity and stale input; false if it cannot
    void writePaced(const std::vector<uint8_t>& bytes);
    void run();

    SimDevice& device_;
    SimFaultInjector faults_;
    SimFrameLog* log_;
    const int baud_;
    std::string linkPath_;
    std::function<void(const std::string&)> pathChanged_;
    SimWaker waker_;
    SimUniqueFd master_;           // endpoint thread only once started
    mutable std::mutex pathMutex_; // guards slavePath_
    std::string slavePath_;
    std::thread thread_;
};

} // namespace velmar
