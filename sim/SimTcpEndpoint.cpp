// TCP server thread of the simulator.
#include "sim/SimTcpEndpoint.h"

#include "sim/SimIo.h"
#include "sim/SimSession.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>

namespace velmar {

namespace {

constexpr int kIdleMs = 50; // a partial frame older than this is abandoned
constexpr int kWriteTimeoutMs = 1000;
constexpr int kLingerMs = 200; // the close fault waits this long for the peer to close too

std::string PeerText(const sockaddr_in& a) {
    char host[INET_ADDRSTRLEN] = "?";
    ::inet_ntop(AF_INET, &a.sin_addr, host, sizeof host);
    return std::string(host) + ':' + std::to_string(ntohs(a.sin_port));
}

} // namespace

SimTcpEndpoint::SimTcpEndpoint(SimDevice& device, SimFaultConfig faults, SimFrameLog* log)
    : device_(device), faults_(faults), log_(log) {}

SimTcpEndpoint::~SimTcpEndpoint() {
    stop();
}

bool SimTcpEndpoint::start(uint16_t port, std::string& error) {
    if (thread_.joinable()) {
        error = "the TCP endpoint is already running";
        return false;
    }
    SimUniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) {
        error = SimErrnoText("socket");
        return false;
    }
    const int one = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error = SimErrnoText(("bind 127.0.0.1:" + std::to_string(port)).c_str());
        return false;
    }
    if (::listen(fd.get(), 4) != 0) {
        error = SimErrnoText("listen");
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &len);
    port_.store(ntohs(addr.sin_port));
    listen_ = std::move(fd);
    thread_ = std::thread([this] { run(); });
    return true;
}

void SimTcpEndpoint::stop() {
    if (!thread_.joinable()) return;
    waker_.wake();
    thread_.join();
    listen_.reset();
}

void SimTcpEndpoint::run() {
    SimUniqueFd client;
    std::unique_ptr<SimSession> session;
    const std::string link = "tcp";

    auto hangUp = [&](const char* why) {
        if (log_) log_->note(link, why);
        client.reset();
        session.reset();
    };
    auto perform = [&](const SimOutput& out) {
        for (const SimTransmission& t : out.transmissions) {
            if (t.delayMs > 0 && !waker_.sleepMs(t.delayMs)) return;
            if (!SimWriteAll(client.get(), t.bytes.data(), t.bytes.size(), kWriteTimeoutMs, waker_, true)) {
                if (!waker_.woken()) hangUp("write failed, connection closed");
                return;
            }
        }
        if (out.closeConnection) {
            // Close gracefully: FIN after the last reply, then drain until the peer closes too (or a
            // while), so unread input never turns the close into a reset that loses that reply.
            ::shutdown(client.get(), SHUT_WR);
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLingerMs);
            uint8_t sink[512];
            for (;;) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      until - std::chrono::steady_clock::now())
                                      .count();
                pollfd p[2] = {{client.get(), POLLIN, 0}, {waker_.fd(), POLLIN, 0}};
                if (left <= 0 || ::poll(p, 2, static_cast<int>(left)) <= 0 || p[1].revents) break;
                if (::recv(client.get(), sink, sizeof sink, 0) <= 0) break;
            }
            hangUp("connection closed by the simulator");
        }
    };

    uint8_t buffer[4096];
    while (!waker_.woken()) {
        pollfd fds[3] = {{waker_.fd(), POLLIN, 0}, {listen_.get(), POLLIN, 0}, {client.get(), POLLIN, 0}};
        const nfds_t count = client ? 3 : 2;
        const int timeout = session && session->hasPartialFrame() ? kIdleMs : -1;
        const int r = ::poll(fds, count, timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) break;
        if (r == 0) {
            if (session) perform(session->lineIdle());
            continue;
        }
        if (fds[1].revents & POLLIN) {
            sockaddr_in peer{};
            socklen_t len = sizeof peer;
            SimUniqueFd accepted(::accept4(listen_.get(), reinterpret_cast<sockaddr*>(&peer), &len,
                                           SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (accepted) {
                if (client) hangUp("connection replaced by a new one");
                const int one = 1;
                ::setsockopt(accepted.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                client = std::move(accepted);
                session = std::make_unique<SimSession>(device_, faults_, log_, link);
                faults_.beginConnection();
                accepted_.fetch_add(1);
                if (log_) log_->note(link, "connection from " + PeerText(peer));
                continue; // the old client's poll entry is stale now
            }
        }
        if (client && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::recv(client.get(), buffer, sizeof buffer, 0);
            if (n > 0) {
                perform(session->receive(buffer, static_cast<size_t>(n)));
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                hangUp("connection closed by the peer");
            }
        }
    }
}

} // namespace velmar
