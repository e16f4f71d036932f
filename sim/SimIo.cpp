// Descriptor writes with time-outs.
#include "sim/SimIo.h"

#include "sim/SimWaker.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmar {

bool SimWriteAll(int fd, const uint8_t* data, size_t size, int timeoutMs, const SimWaker& waker,
                 bool socket) {
    while (size > 0) {
        const ssize_t n = socket ? ::send(fd, data, size, MSG_NOSIGNAL) : ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        pollfd p[2] = {{fd, POLLOUT, 0}, {waker.fd(), POLLIN, 0}};
        const int r = ::poll(p, 2, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0 || (p[1].revents & POLLIN) || (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
    }
    return true;
}

bool SimSetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string SimErrnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace velmar
