// A pipe that stops an endpoint thread out of poll() or out of an interruptible sleep.
#pragma once

#include "sim/SimUniqueFd.h"

#include <atomic>

namespace velmar {

// Thread-safety: wake() from any thread; the other functions on the endpoint thread.
class SimWaker {
public:
    SimWaker(); // throws std::system_error when no pipe can be made
    int fd() const { return read_.get(); }
    void wake();
    bool woken() const { return woken_.load(); }
    // Sleeps up to ms milliseconds; returns false at once when woken.
    bool sleepMs(int ms) const;

private:
    SimUniqueFd read_, write_;
    std::atomic<bool> woken_{false};
};

} // namespace velmar
