// An owned POSIX file descriptor, closed when the owner goes.
#pragma once

#include <unistd.h>

#include <utility>

namespace velmar {

class SimUniqueFd {
public:
    SimUniqueFd() = default;
    explicit SimUniqueFd(int fd) : fd_(fd) {}
    SimUniqueFd(SimUniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    SimUniqueFd& operator=(SimUniqueFd&& other) noexcept {
        if (this != &other) reset(std::exchange(other.fd_, -1));
        return *this;
    }
    SimUniqueFd(const SimUniqueFd&) = delete;
    SimUniqueFd& operator=(const SimUniqueFd&) = delete;
    ~SimUniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    explicit operator bool() const { return valid(); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

} // namespace velmar
