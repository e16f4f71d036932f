// Helpers for the velmarctl tests: child processes (velmar-sim and velmarctl) with their output
// captured, a running simulator, temporary folders and program-file bytes.
#pragma once

#include "core/DeviceImage.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmar::tooltest {

using Clock = std::chrono::steady_clock;

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A child process with stdout and stderr on pipes, started from argv and killed by its pid (SIGKILL)
// and reaped when the object goes, if it has not ended by then.
class ChildProcess {
public:
    ChildProcess(const std::string& binary, const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            std::vector<std::string> copy = args;
            std::string path = binary;
            std::vector<char*> argv{path.data()};
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    void signal(int sig) const { ::kill(pid_, sig); }

    // The next stdout line (without its newline); "" after the time-out or at the end of the output.
    std::string readLine(int timeoutMs = 5000) {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (const auto nl = outText_.find('\n', outRead_); nl != std::string::npos) {
                std::string line = outText_.substr(outRead_, nl - outRead_);
                outRead_ = nl + 1;
                return line;
            }
            if (!pump(until)) return {};
        }
    }

    // Collects the output until the process ends or the time-out passes; the exit status, or -1 when it
    // was still running (it is then killed) or ended by a signal.
    int wait(int timeoutMs) {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                while (pump(Clock::now() + std::chrono::milliseconds(200))) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (Clock::now() >= until) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                reaped_ = true;
                return -1;
            }
            pump(std::min(until, Clock::now() + std::chrono::milliseconds(20)));
        }
    }

    std::string stdoutText() const { return outText_; }
    std::string stderrText() const { return errText_; }

private:
    // Reads what is there on either pipe until `until`; false when both pipes are at their end or
    // nothing came in time.
    bool pump(Clock::time_point until) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        pollfd p[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(p, 2, static_cast<int>(std::max<long long>(0, left))) <= 0) return false;
        bool any = false;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
            char chunk[8192];
            const ssize_t n = ::read(p[i].fd, chunk, sizeof chunk);
            if (n <= 0) continue;
            (i == 0 ? outText_ : errText_).append(chunk, static_cast<size_t>(n));
            any = true;
        }
        return any;
    }

    pid_t pid_ = -1;
    bool reaped_ = false;
    int out_ = -1, err_ = -1;
    std::string outText_, errText_;
    size_t outRead_ = 0;
};

// velmar-sim, started on 127.0.0.1 with port 0 (and a pseudo-terminal when asked); its start-up lines
// give the port and the pty path. Stopped by its pid: SIGTERM (which writes a --state file), then
// SIGKILL by the ChildProcess if it does not end.
class Sim {
public:
    explicit Sim(std::vector<std::string> args)
        : process_(VELMAR_SIM_BINARY, WithEndpoints(std::move(args))) {
        for (;;) {
            const std::string line = process_.readLine();
            if (line.empty()) throw std::runtime_error("velmar-sim did not start: " + process_.stderrText());
            if (line == "ready") break;
            if (line.rfind("tcp 127.0.0.1:", 0) == 0) port_ = std::stoi(line.substr(14));
            if (line.rfind("pty ", 0) == 0) pty_ = line.substr(4);
        }
    }
    uint16_t port() const { return static_cast<uint16_t>(port_); }
    const std::string& pty() const { return pty_; }
    std::string tcpArg() const { return "127.0.0.1:" + std::to_string(port_); }

    // Stops the simulator as a user would (SIGTERM); its exit status.
    int stop() {
        process_.signal(SIGTERM);
        return process_.wait(5000);
    }
    std::string log() const { return process_.stderrText(); }

private:
    static std::vector<std::string> WithEndpoints(std::vector<std::string> args) {
        args.insert(args.begin(), {"--tcp", "0"});
        return args;
    }
    ChildProcess process_;
    int port_ = 0;
    std::string pty_;
};

struct CtlResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

// Runs velmarctl with args to its end (killed after timeoutMs, which then reads as exit -1).
inline CtlResult RunCtl(const std::vector<std::string>& args, int timeoutMs = 30000) {
    const auto start = Clock::now();
    ChildProcess ctl(VELMARCTL_BINARY, args);
    CtlResult r;
    r.exitCode = ctl.wait(timeoutMs);
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.out = ctl.stdoutText();
    r.err = ctl.stderrText();
    return r;
}

// The commands of the frames a --trace run sent ("sent" lines), in order.
inline std::vector<uint8_t> SentCommands(const std::string& trace) {
    std::vector<uint8_t> commands;
    for (const std::string& line : Lines(trace)) {
        std::istringstream in(line);
        std::string stamp, direction;
        in >> stamp >> direction;
        if (direction != "sent") continue;
        std::string byte;
        for (int i = 0; i < 6 && in >> byte; ++i) {
            if (i == 5) commands.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
        }
    }
    return commands;
}

inline int CountOf(const std::vector<uint8_t>& commands, uint8_t command) {
    int n = 0;
    for (uint8_t c : commands) n += c == command;
    return n;
}

inline std::string TempDir() {
    char dir[] = "/tmp/velmarctl-test-XXXXXX";
    if (!::mkdtemp(dir)) throw std::runtime_error("mkdtemp");
    return dir;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline DeviceImage ImageFromBytes(const std::vector<uint8_t>& bytes) {
    DeviceImage image{};
    if (bytes.size() >= kImageSize) std::memcpy(&image, bytes.data(), kImageSize);
    return image;
}

} // namespace velmar::tooltest
