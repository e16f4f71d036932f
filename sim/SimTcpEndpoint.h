// The processor's WiFi module: a TCP server on 127.0.0.1 that carries the frames of one connection.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFaultInjector.h"
#include "sim/SimFrameLog.h"
#include "sim/SimUniqueFd.h"
#include "sim/SimWaker.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace velmar {

// Listens on 127.0.0.1 only, never another interface. One connection at a time: a new connection
// replaces the current one (a client that restarts is not locked out by its own stale connection),
// and after a connection closed the next one is accepted. TCP_NODELAY, one reply per send().
//
// Thread-safety: start()/stop() and the destructor from the owning thread; port(), faults() and
// connectionsAccepted() from any thread. The device and log must outlive the endpoint.
class SimTcpEndpoint {
public:
    SimTcpEndpoint(SimDevice& device, SimFaultConfig faults, SimFrameLog* log);
    ~SimTcpEndpoint();
    SimTcpEndpoint(const SimTcpEndpoint&) = delete;
    SimTcpEndpoint& operator=(const SimTcpEndpoint&) = delete;

    // Binds 127.0.0.1:port (0: the system picks a free port), listens and starts the server thread.
    // On failure returns false with a message in `error`.
    bool start(uint16_t port, std::string& error);
    void stop();

    uint16_t port() const { return port_.load(); }
    SimFaultInjector& faults() { return faults_; }
    int connectionsAccepted() const { return accepted_.load(); }

private:
    void run();

    SimDevice& device_;
    SimFaultInjector faults_;
    SimFrameLog* log_;
    SimWaker waker_;
    SimUniqueFd listen_;
    std::atomic<uint16_t> port_{0};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

} // namespace velmar
