// Reading and writing the simulator's state file.
#include "sim/SimStateFile.h"

#include "sim/SimIo.h"
#include "sim/SimUniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmar {

namespace {

constexpr char kMagic[8] = {'V', 'M', 'S', 'I', 'M', 'S', 'T', '1'};
constexpr uint32_t kVersion = 1;
constexpr size_t kPayloadSize =
    kImageSize + 1 + kSimNameCount * kSimNameSize + kSimProgramCount * kImageSize; // 21137
constexpr size_t kFileSize = sizeof kMagic + 4 + 4 + kPayloadSize + 4;

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::string Folder(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::vector<uint8_t> SimStateFile::serialise(const SimDeviceState& s) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutU32(out, kVersion);
    PutU32(out, static_cast<uint32_t>(kPayloadSize));
    const size_t payloadAt = out.size();
    const auto* image = reinterpret_cast<const uint8_t*>(&s.image);
    out.insert(out.end(), image, image + kImageSize);
    out.push_back(s.currentProgram);
    for (const auto& name : s.names) out.insert(out.end(), name.begin(), name.end());
    for (const auto& p : s.programs) {
        const auto* b = reinterpret_cast<const uint8_t*>(&p);
        out.insert(out.end(), b, b + kImageSize);
    }
    PutU32(out, Crc32(out.data() + payloadAt, kPayloadSize));
    return out;
}

bool SimStateFile::deserialise(const std::vector<uint8_t>& bytes, SimDeviceState& state, std::string& error) {
    if (bytes.size() != kFileSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        error = "not a velmar-sim state file";
        return false;
    }
    const uint8_t* p = bytes.data() + sizeof kMagic;
    if (GetU32(p) != kVersion || GetU32(p + 4) != kPayloadSize) {
        error = "unsupported state file version";
        return false;
    }
    p += 8;
    if (Crc32(p, kPayloadSize) != GetU32(p + kPayloadSize)) {
        error = "state file checksum mismatch (damaged file)";
        return false;
    }
    SimDeviceState s;
    std::memcpy(&s.image, p, kImageSize);
    p += kImageSize;
    s.currentProgram = *p++;
    for (auto& name : s.names) {
        std::memcpy(name.data(), p, kSimNameSize);
        p += kSimNameSize;
    }
    for (auto& program : s.programs) {
        std::memcpy(&program, p, kImageSize);
        p += kImageSize;
    }
    state = s;
    return true;
}

SimStateFile::LoadResult SimStateFile::load(const std::string& path, SimDeviceState& state,
                                            std::string& error) {
    SimUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) return LoadResult::Missing;
        error = SimErrnoText(path.c_str());
        return LoadResult::Invalid;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = SimErrnoText(path.c_str());
            return LoadResult::Invalid;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > kFileSize) break; // too long to be ours; no need to read the rest
    }
    if (!deserialise(bytes, state, error)) {
        error = path + ": " + error;
        return LoadResult::Invalid;
    }
    return LoadResult::Loaded;
}

bool SimStateFile::save(const std::string& path, const SimDeviceState& state, std::string& error) {
    const std::vector<uint8_t> bytes = serialise(state);
    std::string tmp = path + ".XXXXXX";
    SimUniqueFd fd(::mkstemp(tmp.data()));
    if (!fd) {
        error = SimErrnoText(tmp.c_str());
        return false;
    }
    ::fchmod(fd.get(), 0644);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = SimErrnoText(tmp.c_str());
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
        error = SimErrnoText(path.c_str());
        ::unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable.
    SimUniqueFd dir(::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
    return true;
}

} // namespace velmar
