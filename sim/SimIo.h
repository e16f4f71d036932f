// Small POSIX helpers shared by the endpoints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmar {

class SimWaker;

// Writes all bytes to a non-blocking descriptor, waiting for room up to timeoutMs each time it is full.
// MSG_NOSIGNAL is used for sockets, so a peer that went away gives false, never SIGPIPE. Returns false
// on an error, a time-out or when woken.
bool SimWriteAll(int fd, const uint8_t* data, size_t size, int timeoutMs, const SimWaker& waker, bool socket);

bool SimSetNonBlocking(int fd);

// "what: strerror(errno)".
std::string SimErrnoText(const char* what);

} // namespace velmar
