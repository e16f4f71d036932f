// One link's conversation with the processor: bytes in, decoded frames, faults, replies out.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFaultInjector.h"
#include "sim/SimFrameDecoder.h"
#include "sim/SimFrameLog.h"
#include "sim/SimTransmission.h"

#include <string>

namespace velmar {

// Pure protocol plumbing without I/O: an endpoint hands in what it read and performs the returned
// transmissions, in order, each in its own write. The endpoints create one session per connection.
//
// Thread-safety: one thread at a time (the endpoint's). The device, injector and log must outlive it.
class SimSession {
public:
    SimSession(SimDevice& device, SimFaultInjector& faults, SimFrameLog* log, std::string link);

    // Bytes as they came off the link, any chunking, any noise.
    SimOutput receive(const uint8_t* data, size_t size);
    // The line has been quiet for a while: an incomplete frame is abandoned (see SimFrameDecoder).
    SimOutput lineIdle();
    bool hasPartialFrame() const { return decoder_.hasPartial(); }

    const SimFrameDecoder& decoder() const { return decoder_; }
    const std::string& link() const { return link_; }

private:
    void onFrame(const SimFrame& frame, SimOutput& out);
    void logDiscarded();
    void closeIfDue(SimOutput& out);

    SimDevice& device_;
    SimFaultInjector& faults_;
    SimFrameLog* log_;
    std::string link_;
    SimFrameDecoder decoder_;
    uint64_t discardedLogged_ = 0;
};

} // namespace velmar
