// Pseudo-terminal endpoint of the simulator.
#include "sim/SimPtyEndpoint.h"

#include "sim/SimIo.h"
#include "sim/SimSession.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

namespace velmar {

namespace {

constexpr int kIdleMs = 50;          // a partial frame older than this is abandoned
constexpr int kHangupPollMs = 20;    // how often a closed slave is checked for a new open
constexpr int kWriteTimeoutMs = 500; // a slave nobody reads fills up; the rest of the reply is dropped
constexpr int kHangupLingerMs = 100; // between the last reply and a hang-up

} // namespace

SimPtyEndpoint::SimPtyEndpoint(SimDevice& device, SimFaultConfig faults, SimFrameLog* log, int baud)
    : device_(device), faults_(faults), log_(log), baud_(baud) {}

SimPtyEndpoint::~SimPtyEndpoint() {
    stop();
}

void SimPtyEndpoint::setPathChangedHandler(std::function<void(const std::string&)> handler) {
    pathChanged_ = std::move(handler);
}

std::string SimPtyEndpoint::slavePath() const {
    std::lock_guard lock(pathMutex_);
    return slavePath_;
}

bool SimPtyEndpoint::openPair(std::string& error) {
    SimUniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master) {
        error = SimErrnoText("posix_openpt");
        return false;
    }
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        error = SimErrnoText("grantpt/unlockpt");
        return false;
    }
    char name[128];
    if (::ptsname_r(master.get(), name, sizeof name) != 0) {
        error = SimErrnoText("ptsname_r");
        return false;
    }
    // Termios calls on the master act on the slave: raw 8N1, no echo, no line editing, so no byte of a
    // frame is ever changed or sent back.
    termios t{};
    if (::tcgetattr(master.get(), &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B19200);
        ::cfsetospeed(&t, B19200);
        ::tcsetattr(master.get(), TCSANOW, &t);
    }
    if (!SimSetNonBlocking(master.get())) {
        error = SimErrnoText("fcntl");
        return false;
    }
    master_ = std::move(master);
    {
        std::lock_guard lock(pathMutex_);
        slavePath_ = name;
    }
    return updateLink(error);
}

bool SimPtyEndpoint::updateLink(std::string& error) {
    if (linkPath_.empty()) return true;
    struct stat st {};
    if (::lstat(linkPath_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = linkPath_ + " exists and is not a symbolic link; not replacing it";
        return false;
    }
    // Make the new link beside the old one and rename it over, so the path never dangles.
    const std::string tmp = linkPath_ + ".tmp" + std::to_string(::getpid());
    ::unlink(tmp.c_str());
    if (::symlink(slavePath().c_str(), tmp.c_str()) != 0 || ::rename(tmp.c_str(), linkPath_.c_str()) != 0) {
        error = SimErrnoText(("symlink " + linkPath_).c_str());
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool SimPtyEndpoint::start(const std::string& linkPath, std::string& error) {
    if (thread_.joinable()) {
        error = "the pty endpoint is already running";
        return false;
    }
    linkPath_ = linkPath;
    if (!openPair(error)) return false;
    thread_ = std::thread([this] { run(); });
    return true;
}

void SimPtyEndpoint::stop() {
    if (thread_.joinable()) {
        waker_.wake();
        thread_.join();
    }
    master_.reset();
    if (!linkPath_.empty()) {
        // Remove the link only while it still points at our slave.
        char target[256];
        const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (n > 0) {
            target[n] = 0;
            if (slavePath() == target) ::unlink(linkPath_.c_str());
        }
        linkPath_.clear();
    }
}

bool SimPtyEndpoint::releaseSlave() {
    SimUniqueFd slave(::open(slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave) return false;
    ::ioctl(slave.get(), TIOCNXCL);
    // Replies the last user never read must not greet the next one.
    ::tcflush(slave.get(), TCIFLUSH);
    return true;
}

void SimPtyEndpoint::writePaced(const std::vector<uint8_t>& bytes) {
    if (baud_ <= 0) {
        SimWriteAll(master_.get(), bytes.data(), bytes.size(), kWriteTimeoutMs, waker_, false);
        return;
    }
    // Pieces of about 5 ms of line time, each handed over once the UART would have shifted it out, so
    // the last byte of a reply arrives one full frame time after the first bit.
    using Clock = std::chrono::steady_clock;
    const size_t piece = std::max<size_t>(1, static_cast<size_t>(baud_) / 10 / 200);
    const auto begin = Clock::now();
    size_t sent = 0;
    while (sent < bytes.size()) {
        const size_t n = std::min(piece, bytes.size() - sent);
        const auto due =
            begin + std::chrono::microseconds(static_cast<int64_t>(sent + n) * 10'000'000 / baud_);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
        if (left > 0 && !waker_.sleepMs(static_cast<int>(left))) return;
        if (!SimWriteAll(master_.get(), bytes.data() + sent, n, kWriteTimeoutMs, waker_, false)) return;
        sent += n;
    }
}

void SimPtyEndpoint::run() {
    const std::string link = "pty";
    auto session = std::make_unique<SimSession>(device_, faults_, log_, link);
    faults_.beginConnection();
    bool hungUp = false;

    auto remake = [&](const char* why) {
        if (log_) log_->note(link, why);
        // The new pair is made while the old master is still open, so it never gets the old number:
        // a user of the old path must not land on the new unit by accident. Replacing master_ then
        // closes the old master, which hangs up its slave.
        std::string error;
        if (!openPair(error)) {
            if (log_) log_->note(link, "cannot make a new pseudo-terminal: " + error);
            return false;
        }
        if (pathChanged_) pathChanged_(slavePath());
        session = std::make_unique<SimSession>(device_, faults_, log_, link);
        faults_.beginConnection();
        hungUp = false;
        return true;
    };
    auto onHangup = [&]() {
        if (log_) log_->note(link, "slave closed by the other side");
        hungUp = true;
        if (!releaseSlave()) {
            if (!remake("slave left exclusive; making a new pseudo-terminal")) waker_.wake();
        }
    };
    auto perform = [&](const SimOutput& out) {
        for (const SimTransmission& t : out.transmissions) {
            if (t.delayMs > 0 && !waker_.sleepMs(t.delayMs)) return;
            writePaced(t.bytes);
        }
        if (out.closeConnection) {
            // Give the other side time to read the last reply: a hang-up discards what it has not read.
            if (!waker_.sleepMs(kHangupLingerMs)) return;
            if (!remake("hanging up (fault): making a new pseudo-terminal")) waker_.wake();
        }
    };

    uint8_t buffer[4096];
    while (!waker_.woken()) {
        if (hungUp) {
            // A closed slave keeps POLLHUP raised; look again now and then until someone opens it.
            if (!waker_.sleepMs(kHangupPollMs)) break;
            pollfd p{master_.get(), POLLIN, 0};
            if (::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP)) {
                hungUp = false;
                session = std::make_unique<SimSession>(device_, faults_, log_, link);
                faults_.beginConnection();
                if (log_) log_->note(link, "slave opened");
            }
            continue;
        }
        pollfd fds[2] = {{waker_.fd(), POLLIN, 0}, {master_.get(), POLLIN, 0}};
        const int r = ::poll(fds, 2, session->hasPartialFrame() ? kIdleMs : -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) break;
        if (r == 0) {
            perform(session->lineIdle());
            continue;
        }
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(master_.get(), buffer, sizeof buffer);
            if (n > 0) {
                perform(session->receive(buffer, static_cast<size_t>(n)));
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            onHangup();
            continue;
        }
        if (fds[1].revents & (POLLHUP | POLLERR)) onHangup();
    }
}

} // namespace velmar
