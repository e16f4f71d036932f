// Helpers for the simulator tests: golden hex, an independent frame check, a child velmar-sim process.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace simtest {

// "5A 5A 5A | 01 53" -> bytes; spaces and '|' between fields are ignored.
inline std::vector<uint8_t> Hex(std::string_view text) {
    std::vector<uint8_t> out;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c == ' ' || c == '|')
            continue;
        else
            throw std::invalid_argument("bad hex");
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) throw std::invalid_argument("odd hex");
    return out;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Closes a hand-written header + payload with its checksum and end byte. The XOR is written out here
// on purpose, independent of the simulator's and the application's encoders.
inline std::vector<uint8_t> Close(std::vector<uint8_t> headerAndPayload) {
    uint8_t x = 0;
    for (size_t i = 2; i < headerAndPayload.size(); ++i) x ^= headerAndPayload[i];
    headerAndPayload.push_back(x);
    headerAndPayload.push_back(0xAA);
    return headerAndPayload;
}

// True when bytes are exactly one well-formed frame: sync, marker, length, checksum, end byte.
inline bool IsFrame(const std::vector<uint8_t>& f) {
    if (f.size() < 14 || f[0] != 0x5A || f[1] != 0x5A || f[2] != 0x5A || f[4] != 0x53) return false;
    const size_t length = f[10] | (f[11] << 8);
    if (f.size() != length + 14 || f.back() != 0xAA) return false;
    uint8_t x = 0;
    for (size_t i = 2; i < f.size() - 2; ++i) x ^= f[i];
    return x == f[f.size() - 2];
}

inline std::vector<uint8_t> PayloadOf(const std::vector<uint8_t>& f) {
    return f.size() < 14 ? std::vector<uint8_t>{} : std::vector<uint8_t>(f.begin() + 12, f.end() - 2);
}

// Reads from fd until `want` bytes arrived or the time-out passed.
inline std::vector<uint8_t> ReadBytes(int fd, size_t want, int timeoutMs) {
    std::vector<uint8_t> got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        uint8_t buffer[4096];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, want - got.size()));
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// Reads exactly one frame (header first, then the length it announces).
inline std::vector<uint8_t> ReadFrame(int fd, int timeoutMs = 2000) {
    std::vector<uint8_t> f = ReadBytes(fd, 12, timeoutMs);
    if (f.size() < 12) return f;
    const size_t length = f[10] | (f[11] << 8);
    const std::vector<uint8_t> rest = ReadBytes(fd, length + 2, timeoutMs);
    f.insert(f.end(), rest.begin(), rest.end());
    return f;
}

// velmar-sim started as a child process with its stdout on a pipe; killed (by its pid) and reaped
// when the object goes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            std::vector<char*> argv;
            std::string binary = VELMAR_SIM_BINARY;
            argv.push_back(binary.data());
            std::vector<std::string> copy = args;
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(binary.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    pid_t pid() const { return pid_; }

    // The next stdout line (without the newline), or "" after the time-out or at the end.
    std::string readLine(int timeoutMs = 5000) { return readLineFrom(out_, outBuffer_, timeoutMs); }
    // Everything on stdout / stderr until it closes (call after the process ended) or the time-out.
    std::string readAllStdout(int timeoutMs = 2000) {
        std::string all;
        all.swap(outBuffer_);
        return all + readAll(out_, timeoutMs);
    }
    std::string readAllStderr(int timeoutMs = 2000) { return readAll(err_, timeoutMs); }

    void signal(int sig) { ::kill(pid_, sig); }

    // Waits for the exit; returns the exit status, or -1 after the time-out / when killed by a signal.
    int wait(int timeoutMs = 5000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() >= until) return -1;
            ::usleep(5000);
        }
    }

private:
    static std::string readAll(int fd, int timeoutMs) {
        std::string all;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  until - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0) break;
            all.append(chunk, static_cast<size_t>(n));
        }
        return all;
    }

    std::string readLineFrom(int fd, std::string& buffer, int timeoutMs) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (const auto nl = buffer.find('\n'); nl != std::string::npos) {
                std::string line = buffer.substr(0, nl);
                buffer.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  until - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) return {};
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0) {
                std::string rest;
                rest.swap(buffer);
                return rest;
            }
            buffer.append(chunk, static_cast<size_t>(n));
        }
    }

    pid_t pid_ = -1;
    bool reaped_ = false;
    int out_ = -1, err_ = -1;
    std::string outBuffer_;
};

} // namespace simtest
