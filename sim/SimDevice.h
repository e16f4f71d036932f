// The simulated loudspeaker processor: its parameter memory, system block, program names and stored
// programs, and its answer to every command the application sends.
#pragma once

#include "core/DeviceImage.h"
#include "sim/SimFrame.h"
#include "sim/SimMeters.h"
#include "sim/SimModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace velmar {

inline constexpr int kSimProgramCount = 12; // stored programs 1..12
inline constexpr int kSimNameCount = 21;    // names 0..20 travel with the handshake
inline constexpr int kSimNameSize = 16;
inline constexpr int kSimSystemBlockSize = 80;
inline constexpr int kSimHandshakePayload = kSimSystemBlockSize + kSimNameCount * kSimNameSize; // 416

// Command bytes on the wire.
namespace simcmd {
inline constexpr uint8_t kParamWrite = 0xA1;
inline constexpr uint8_t kHandshake = 0xA2;
inline constexpr uint8_t kBlockWrite = 0xA3;
inline constexpr uint8_t kImageWriteDone = 0xA4;
inline constexpr uint8_t kStoreProgram = 0xA5;
inline constexpr uint8_t kLoadProgram = 0xA6;
inline constexpr uint8_t kImageWrite = 0xA7;
inline constexpr uint8_t kHeartbeat = 0xA9;
inline constexpr uint8_t kAck = 0xAA;
} // namespace simcmd

struct SimDeviceConfig {
    SimModel model = SimModel::In4Out8;
    uint8_t address = 1; // RS485 address 1..250
    uint64_t seed = 1;   // meters
};

// What a unit keeps over a power cycle (and the state file keeps between runs).
// The images are kept 2-byte aligned: DeviceImage is packed (alignment 1), but its 16-bit fields are
// read and clamped in place, which needs them on even addresses.
struct SimDeviceState {
    alignas(int16_t) DeviceImage image{};
    uint8_t currentProgram = 0;
    std::array<std::array<uint8_t, kSimNameSize>, kSimNameCount> names{};
    alignas(int16_t) std::array<DeviceImage, kSimProgramCount> programs{};
};

// One processor. Every endpoint (TCP, pty, USB) talks to the same object.
//
// Thread-safety: every public function may be called from any thread; mutex_ guards all state below
// it. The change handler is called after the lock has been released, on the thread whose command caused
// the change.
class SimDevice {
public:
    enum class Disposition : uint8_t {
        Answered,     // applied (if it changes anything) and answered with `reply`
        OtherAddress, // addressed to another unit on the bus: ignored
        Rejected,     // not a command this processor knows, or its fields do not fit: ignored
    };
    struct Outcome {
        Disposition disposition = Disposition::Rejected;
        std::optional<SimFrame> reply;
        const char* what = ""; // short description for the frame log ("handshake", "bad length", ..)
    };

    explicit SimDevice(SimDeviceConfig config = {});

    // Applies one command frame and gives the reply, one per command:
    //   A1 (kind 1 input unit 1..11 / geq word 12..43, kind 4 output unit 1..13, kind 5 name 1..12) -> AA
    //   A2 P1=6 -> A2 P1=6 with the system block and names 0..20;  A2 P1=5 -> A2 P1=5, names 1..19
    //   A3 whole input/output block -> A3;  A5 store program 1..12 -> A5
    //   A6 load program 0..12 (0 = as it stands) -> A6 with the whole image;  A7 whole image -> A4
    //   A9 -> A9 with 16 meter bytes (and the meter simulation steps on by one heartbeat)
    // Replies carry the unit's own address, marker 0x53 and the command's P1..P4. The memory is
    // clamped after every write, as the unit's DSP only takes values it can use.
    Outcome handle(const SimFrame& command);

    SimModel model() const { return config_.model; }
    uint8_t address() const { return config_.address; }

    // Snapshots (copies) of the state, for tests, the state file and the log.
    DeviceImage image() const;
    std::array<uint8_t, kSimSystemBlockSize> systemBlock() const;
    std::array<uint8_t, kSimNameSize> programName(int index) const; // 0..20; zeros when out of range
    DeviceImage storedProgram(int program) const;                   // 1..12; the current image otherwise
    uint8_t currentProgram() const;
    uint32_t heartbeatCount() const;
    SimDeviceState state() const;

    // Replace state (tests, state file). Both clamp the images.
    void setImage(const DeviceImage& image);
    void setState(const SimDeviceState& state);

    // The meters the next heartbeat would report, in channel order / in the model's payload order.
    SimMeters::Levels meterLevels() const;
    std::array<uint8_t, 16> meterPayload() const;
    // The meters follow the demo's music-like programme, one heartbeat a tenth of a second.
    void useDemoProgramme();
    // Fixes an input's programme level in dBu (nullopt: simulated again).
    void setProgrammeLevel(int input, std::optional<double> dBu);

    // Called after a program store, a program load or a rename: what a state file has to keep changed.
    void setPersistentChangeHandler(std::function<void()> handler);

    // The identification text at system block bytes 64..79, e.g. "VMP4x8  V1.20.4".
    static std::string identification(SimModel model);
    static constexpr const char* kFirmwareVersion = "V1.20.4"; // seven characters, bytes 72..78

private:
    Outcome handleLocked(const SimFrame& command, bool& persistentChange);
    std::array<uint8_t, kSimSystemBlockSize> systemBlockLocked() const;

    const SimDeviceConfig config_;

    mutable std::mutex mutex_; // guards everything below
    SimDeviceState state_;
    SimMeters meters_;
    uint32_t heartbeats_ = 0;
    std::function<void()> persistentChange_;
};

} // namespace velmar
