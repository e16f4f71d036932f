// The simulated processor's command handling.
#include "sim/SimDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmar {

namespace {

DeviceImage TemplateImage() {
    alignas(int16_t) DeviceImage image{};
    for (auto& in : image.inputs) in = InputTemplate();
    for (auto& out : image.outputs) out = OutputTemplate();
    ClampImage(image);
    return image;
}

std::array<uint8_t, kSimNameSize> StartName(int index) {
    std::array<uint8_t, kSimNameSize> name;
    name.fill(' ');
    char text[32];
    const int len = index == 0 ? std::snprintf(text, sizeof text, " SYSTEM DEFAULT ")
                               : std::snprintf(text, sizeof text, "     USER %d", index);
    std::memcpy(name.data(), text, static_cast<size_t>(std::min(len, kSimNameSize)));
    return name;
}

SimFrame ReplyTo(const SimFrame& command, uint8_t address, uint8_t replyCommand) {
    SimFrame reply;
    reply.address = address;
    reply.marker = kSimMarker;
    reply.command = replyCommand;
    reply.p1 = command.p1;
    reply.p2 = command.p2;
    reply.p3 = command.p3;
    reply.p4 = command.p4;
    return reply;
}

template <typename T> void AppendBytes(std::vector<uint8_t>& out, const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof(T));
}

SimDevice::Outcome Rejected(const char* why) {
    return {SimDevice::Disposition::Rejected, std::nullopt, why};
}

} // namespace

SimDevice::SimDevice(SimDeviceConfig config) : config_(config), meters_(config.seed) {
    state_.image = TemplateImage();
    for (auto& p : state_.programs) p = state_.image;
    for (int i = 0; i < kSimNameCount; ++i) state_.names[i] = StartName(i);
}

std::string SimDevice::identification(SimModel model) {
    const SimModelInfo& info = ModelInfo(model);
    char text[32];
    std::snprintf(text, sizeof text, "VMP%dx%d  %s", info.inputs, info.outputs, kFirmwareVersion);
    return text;
}

std::array<uint8_t, kSimSystemBlockSize> SimDevice::systemBlockLocked() const {
    std::array<uint8_t, kSimSystemBlockSize> block{};
    block[10] = config_.address;
    block[15] = state_.currentProgram;
    const std::string id = identification(config_.model); // 15 characters, byte 79 stays 0
    std::memcpy(block.data() + 64, id.data(), std::min<size_t>(id.size(), 15));
    return block;
}

SimDevice::Outcome SimDevice::handle(const SimFrame& command) {
    bool persistentChange = false;
    Outcome outcome;
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        outcome = handleLocked(command, persistentChange);
        if (persistentChange) handler = persistentChange_;
    }
    if (handler) handler();
    return outcome;
}

SimDevice::Outcome SimDevice::handleLocked(const SimFrame& c, bool& persistentChange) {
    if (c.address != config_.address) return {Disposition::OtherAddress, std::nullopt, "other address"};
    const size_t length = c.payload.size();
    DeviceImage& image = state_.image;

    switch (c.command) {
    case simcmd::kParamWrite: {
        if (c.p1 == kKindInput) {
            if (c.p3 >= kInputCount) return Rejected("no such input");
            auto* block = reinterpret_cast<uint8_t*>(&image.inputs[c.p3]);
            if (c.p4 >= 1 && c.p4 <= 11) {
                if (length != 8) return Rejected("bad length");
                std::memcpy(block + 8 * c.p4, c.payload.data(), 8);
            } else if (c.p4 >= 12 && c.p4 <= 43) {
                if (length != 2) return Rejected("bad length");
                std::memcpy(block + offsetof(InputBlock, geq) + 2 * (c.p4 - 12), c.payload.data(), 2);
            } else {
                return Rejected("no such input parameter");
            }
        } else if (c.p1 == kKindOutput) {
            if (c.p3 >= kOutputCount) return Rejected("no such output");
            if (c.p4 < 1 || c.p4 > 13) return Rejected("no such output parameter");
            if (length != 8) return Rejected("bad length");
            std::memcpy(reinterpret_cast<uint8_t*>(&image.outputs[c.p3]) + 8 * c.p4, c.payload.data(), 8);
        } else if (c.p1 == kKindProgramName) {
            if (c.p2 < 1 || c.p2 > kSimProgramCount) return Rejected("no such program");
            if (length != kSimNameSize) return Rejected("bad length");
            // The name ends at its first zero; what follows the terminator is not significant and is
            // not kept, so it never comes back in a handshake.
            auto& name = state_.names[c.p2];
            name.fill(0);
            const auto end = std::find(c.payload.begin(), c.payload.end(), uint8_t{0});
            std::copy(c.payload.begin(), end, name.begin());
            persistentChange = true;
            return {Disposition::Answered, ReplyTo(c, config_.address, simcmd::kAck), "program name"};
        } else {
            return Rejected("no such block kind");
        }
        ClampImage(image);
        return {Disposition::Answered, ReplyTo(c, config_.address, simcmd::kAck), "parameter write"};
    }
    case simcmd::kHandshake: {
        if (length != 0) return Rejected("bad length");
        SimFrame reply = ReplyTo(c, config_.address, simcmd::kHandshake);
        if (c.p1 == 6) {
            const auto block = systemBlockLocked();
            reply.payload.assign(block.begin(), block.end());
            for (const auto& name : state_.names)
                reply.payload.insert(reply.payload.end(), name.begin(), name.end());
            return {Disposition::Answered, std::move(reply), "handshake"};
        }
        if (c.p1 == 5) {
            // Names 1..19, 15 characters and a zero each; record 0 is not used.
            reply.payload.assign(20 * kSimNameSize, 0);
            for (int i = 1; i < 20; ++i)
                std::copy_n(state_.names[i].begin(), 15, reply.payload.begin() + 16 * i);
            return {Disposition::Answered, std::move(reply), "program names"};
        }
        return Rejected("no such handshake sub-code");
    }
    case simcmd::kBlockWrite: {
        if (c.p1 == kKindInput) {
            if (c.p3 >= kInputCount) return Rejected("no such input");
            if (length != kInputBlockSize) return Rejected("bad length");
            std::memcpy(&image.inputs[c.p3], c.payload.data(), kInputBlockSize);
        } else if (c.p1 == kKindOutput) {
            if (c.p3 >= kOutputCount) return Rejected("no such output");
            if (length != kOutputBlockSize) return Rejected("bad length");
            std::memcpy(&image.outputs[c.p3], c.payload.data(), kOutputBlockSize);
        } else {
            return Rejected("no such block kind");
        }
        ClampImage(image);
        return {Disposition::Answered, ReplyTo(c, config_.address, simcmd::kBlockWrite), "block write"};
    }
    case simcmd::kStoreProgram: {
        if (length != 0) return Rejected("bad length");
        if (c.p2 < 1 || c.p2 > kSimProgramCount) return Rejected("no such program");
        state_.programs[c.p2 - 1] = image;
        state_.currentProgram = c.p2;
        persistentChange = true;
        return {Disposition::Answered, ReplyTo(c, config_.address, simcmd::kStoreProgram), "store program"};
    }
    case simcmd::kLoadProgram: {
        if (length != 0) return Rejected("bad length");
        if (c.p2 > kSimProgramCount) return Rejected("no such program");
        if (c.p2 != 0) {
            image = state_.programs[c.p2 - 1];
            state_.currentProgram = c.p2;
            persistentChange = true;
        }
        SimFrame reply = ReplyTo(c, config_.address, simcmd::kLoadProgram);
        AppendBytes(reply.payload, image);
        return {Disposition::Answered, std::move(reply), c.p2 == 0 ? "read image" : "load program"};
    }
    case simcmd::kImageWrite: {
        if (length != kImageSize) return Rejected("bad length");
        std::memcpy(&image, c.payload.data(), kImageSize);
        ClampImage(image);
        // 0xA4 is the reply that ends the application's wait for an image write.
        return {Disposition::Answered, ReplyTo(c, config_.address, simcmd::kImageWriteDone), "image write"};
    }
    case simcmd::kHeartbeat: {
        if (length != 0) return Rejected("bad length");
        const auto p = SimMeters::payload(meters_.compute(image, config_.model, heartbeats_), config_.model);
        ++heartbeats_;
        SimFrame reply = ReplyTo(c, config_.address, simcmd::kHeartbeat);
        reply.payload.assign(p.begin(), p.end());
        return {Disposition::Answered, std::move(reply), "heartbeat"};
    }
    default:
        return Rejected("unknown command");
    }
}

DeviceImage SimDevice::image() const {
    std::lock_guard lock(mutex_);
    return state_.image;
}

std::array<uint8_t, kSimSystemBlockSize> SimDevice::systemBlock() const {
    std::lock_guard lock(mutex_);
    return systemBlockLocked();
}

std::array<uint8_t, kSimNameSize> SimDevice::programName(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= kSimNameCount) return {};
    return state_.names[index];
}

DeviceImage SimDevice::storedProgram(int program) const {
    std::lock_guard lock(mutex_);
    if (program < 1 || program > kSimProgramCount) return state_.image;
    return state_.programs[program - 1];
}

uint8_t SimDevice::currentProgram() const {
    std::lock_guard lock(mutex_);
    return state_.currentProgram;
}

uint32_t SimDevice::heartbeatCount() const {
    std::lock_guard lock(mutex_);
    return heartbeats_;
}

SimDeviceState SimDevice::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void SimDevice::setImage(const DeviceImage& image) {
    std::lock_guard lock(mutex_);
    state_.image = image;
    ClampImage(state_.image);
}

void SimDevice::setState(const SimDeviceState& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
    ClampImage(state_.image);
    for (auto& p : state_.programs) ClampImage(p);
    if (state_.currentProgram > kSimProgramCount) state_.currentProgram = 0;
}

void SimDevice::useDemoProgramme() {
    std::lock_guard lock(mutex_);
    meters_.useDemoProgramme();
}

SimMeters::Levels SimDevice::meterLevels() const {
    std::lock_guard lock(mutex_);
    return meters_.compute(state_.image, config_.model, heartbeats_);
}

std::array<uint8_t, 16> SimDevice::meterPayload() const {
    std::lock_guard lock(mutex_);
    return SimMeters::payload(meters_.compute(state_.image, config_.model, heartbeats_), config_.model);
}

void SimDevice::setProgrammeLevel(int input, std::optional<double> dBu) {
    std::lock_guard lock(mutex_);
    meters_.setProgramme(input, dBu);
}

void SimDevice::setPersistentChangeHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    persistentChange_ = std::move(handler);
}

} // namespace velmar
