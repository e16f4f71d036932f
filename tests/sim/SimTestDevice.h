// A device with a session and no faults, asked with golden frames, for the device and fault tests.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimSession.h"

#include "SimTestSupport.h"

namespace simtest {

// Sends bytes through a fault-free session and returns each reply as its bytes.
struct Bench {
    explicit Bench(velmar::SimDeviceConfig config = {}, velmar::SimFaultConfig faults = {})
        : device(config), injector(faults), session(device, injector, nullptr, "test") {}

    std::vector<std::vector<uint8_t>> ask(const std::vector<uint8_t>& bytes) {
        last = session.receive(bytes.data(), bytes.size());
        std::vector<std::vector<uint8_t>> replies;
        for (const auto& t : last.transmissions) {
            if (t.startsReply || replies.empty()) replies.emplace_back();
            replies.back().insert(replies.back().end(), t.bytes.begin(), t.bytes.end());
        }
        return replies;
    }
    // Exactly one reply expected; an empty vector otherwise.
    std::vector<uint8_t> askOne(const std::vector<uint8_t>& bytes) {
        auto replies = ask(bytes);
        return replies.size() == 1 ? replies[0] : std::vector<uint8_t>{};
    }

    velmar::SimDevice device;
    velmar::SimFaultInjector injector;
    velmar::SimSession session;
    velmar::SimOutput last;
};

inline const std::vector<uint8_t> kHeartbeat = Hex("5A 5A 5A | 01 53 | A9 | 00 00 00 00 | 00 00 | A1 AA");
inline const std::vector<uint8_t> kHandshake = Hex("5A 5A 5A | 01 53 | A2 | 06 00 00 00 | 00 00 | AC AA");
inline const std::vector<uint8_t> kReadImage = Hex("5A 5A 5A | 01 53 | A6 | 00 00 00 00 | 00 00 | AE AA");

template <typename T> std::vector<uint8_t> BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    return {p, p + sizeof(T)};
}

} // namespace simtest
