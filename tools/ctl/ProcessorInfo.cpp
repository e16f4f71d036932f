// The processor's identification, channel counts and programs as velmarctl prints them.
#include "ctl/ProcessorInfo.h"

#include "core/DeviceConfigTable.h"
#include "ctl/JsonWriter.h"

#include <cstdio>

namespace velmar::ctl {

namespace {

constexpr int kModelAt = 64;
constexpr int kModelEnd = 80;
constexpr int kVersionAt = 72;
constexpr int kVersionChars = 7;

std::string ZeroTerminated(const uint8_t* bytes, size_t max) {
    std::string text;
    for (size_t i = 0; i < max && bytes[i] != 0; ++i) text += static_cast<char>(bytes[i]);
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + ProcessorInfo::Printable(text) + "\"";
}

} // namespace

uint8_t ProcessorInfo::DeviceConfigFor(const SystemBlock& system) {
    return DeviceConfigFromModelDigits(system.inputDigit(), system.outputDigit());
}

std::string ProcessorInfo::Model(const SystemBlock& system) {
    return ZeroTerminated(system.bytes + kModelAt, kModelEnd - kModelAt);
}

std::string ProcessorInfo::Version(const SystemBlock& system) {
    return ZeroTerminated(system.bytes + kVersionAt, kVersionChars);
}

std::string ProcessorInfo::ProgramName(const CoreState& s, int program) {
    if (program < 0 || program >= kProgramNameCount) return {};
    return ZeroTerminated(reinterpret_cast<const uint8_t*>(s.programNames[program]), kProgramNameChars);
}

std::string ProcessorInfo::Printable(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) c = '?';
    }
    return out;
}

std::string ProcessorInfo::Text(const CoreState& s) {
    const uint8_t config = DeviceConfigFor(s.system);
    const int current = s.system.currentProgram();
    std::string text;
    text += "Model: " + Printable(Model(s.system)) + "\n";
    text += "Channels: " + std::to_string(DeviceConfigInputCount(config)) + " inputs, " +
            std::to_string(DeviceConfigOutputCount(config)) + " outputs\n";
    text += "Version: " + Printable(Version(s.system)) + "\n";
    text += "Device Addr: " + std::to_string(s.system.deviceAddress()) + "\n";
    text += "Program: " + std::to_string(current) + " " + Quoted(ProgramName(s, current)) + "\n";
    text += "Programs:\n";
    for (int n = 1; n <= kUserPrograms; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%4d ", n);
        text += number + Quoted(ProgramName(s, n)) + "\n";
    }
    return text;
}

std::string ProcessorInfo::Json(const CoreState& s) {
    const uint8_t config = DeviceConfigFor(s.system);
    const int current = s.system.currentProgram();
    JsonWriter j;
    j.beginObject();
    j.key("model").value(Model(s.system));
    j.key("inputs").value(DeviceConfigInputCount(config));
    j.key("outputs").value(DeviceConfigOutputCount(config));
    j.key("version").value(Version(s.system));
    j.key("address").value(static_cast<int>(s.system.deviceAddress()));
    j.key("program").value(current);
    j.key("programName").value(ProgramName(s, current));
    j.key("programs").beginArray();
    for (int n = 1; n <= kUserPrograms; ++n) {
        j.beginObject();
        j.key("number").value(n);
        j.key("name").value(ProgramName(s, n));
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return j.str() + "\n";
}

} // namespace velmar::ctl
