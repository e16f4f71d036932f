// The endpoints' stop pipe.
#include "sim/SimWaker.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

namespace velmar {

SimWaker::SimWaker() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
    read_.reset(fds[0]);
    write_.reset(fds[1]);
}

void SimWaker::wake() {
    woken_.store(true);
    const char c = 1;
    // A full pipe is already readable; nothing more to do then.
    [[maybe_unused]] const ssize_t n = ::write(write_.get(), &c, 1);
}

bool SimWaker::sleepMs(int ms) const {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (woken_.load()) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return true;
        pollfd p{read_.get(), POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r > 0) return false;
        if (r < 0 && errno != EINTR) return true;
    }
}

} // namespace velmar
