// Serial port enumeration from sysfs and /dev/serial/by-id: tty class, UART type, USB ancestry, names.
#include "PortEnumeration.h"

#include "UniqueFd.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace velmar {

namespace fs = std::filesystem;

namespace {

// The part before the number, and the number, of a name like "ttyUSB12".
struct NameKey {
    std::string prefix;
    long number = -1;
};

NameKey SplitName(const std::string& name) {
    size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9') --i;
    NameKey key{name.substr(0, i), -1};
    if (i < name.size()) key.number = std::stol(name.substr(i));
    return key;
}

bool IsSerialName(const std::string& name) {
    const NameKey key = SplitName(name);
    if (key.number < 0) return false;
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS", "ttyAMA", "ttyTHS", "rfcomm"})
        if (key.prefix == prefix) return true;
    return false;
}

// A Bluetooth serial link is a virtual tty: no device directory behind it, yet a real port while bound.
bool IsBluetoothName(const std::string& name) {
    return SplitName(name).prefix == "rfcomm";
}

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    if (!in || !std::getline(in, value)) return {};
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r' || value.back() == ' '))
        value.pop_back();
    return value;
}

std::string SubsystemOf(const fs::path& dir) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(dir / "subsystem", ec);
    return ec ? std::string() : target.filename().string();
}

struct Ancestry {
    bool usb = false;
    std::string product; // the USB device's product string
    std::string manufacturer;
};

// Walks from the port's device up to the root of the device tree, looking for a USB parent.
Ancestry InspectAncestry(const fs::path& device, const fs::path& sysfsRoot) {
    Ancestry result;
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    if (ec) return result;
    const fs::path root = fs::canonical(sysfsRoot, ec);
    if (ec) return result;
    for (; !dir.empty() && dir != root && dir != dir.parent_path(); dir = dir.parent_path()) {
        if (SubsystemOf(dir) != "usb") continue;
        result.usb = true;
        // The USB device itself (not one of its interfaces) carries idVendor and the strings.
        if (fs::exists(dir / "idVendor")) {
            result.product = ReadAttribute(dir / "product");
            result.manufacturer = ReadAttribute(dir / "manufacturer");
            break;
        }
    }
    return result;
}

// A ttyS name exists for every possible legacy port; only a port whose UART type is known is real.
bool HasUart(const fs::path& classEntry) {
    const std::string type = ReadAttribute(classEntry / "type");
    return !type.empty() && type != "0";
}

bool CanOpen(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    return fd.valid();
}

// Puts each port that has a by-id link under that link. A link whose tty is not a listed port (not a
// serial device, or gone from the tree) adds nothing; a second link to the same tty is ignored.
void RenameByIdLinks(std::vector<SerialPortInfo>& list, const fs::path& byId) {
    std::error_code ec;
    fs::directory_iterator it(byId, ec);
    if (ec) return; // no adapter with a serial number is plugged in
    std::vector<fs::path> links;
    for (const fs::directory_entry& entry : it)
        if (entry.is_symlink(ec)) links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const fs::path target = fs::read_symlink(link, ec);
        if (ec) continue;
        const std::string tty = (link.parent_path() / target).lexically_normal().filename().string();
        const auto port = std::find_if(list.begin(), list.end(), [&](const SerialPortInfo& p) {
            return p.ttyName == tty && p.portName == p.ttyName;
        });
        if (port == list.end()) continue;
        port->portName = link.string();
        port->devicePath = link.string();
    }
}

} // namespace

bool EnumeratePorts(std::vector<SerialPortInfo>& list, bool skipBusyPorts, std::string* error,
                    const PortEnumerationRoots& roots) {
    list.clear();
    const fs::path classDir = fs::path(roots.sysfs) / "class" / "tty";
    std::error_code ec;
    fs::directory_iterator it(classDir, ec);
    if (ec) {
        if (error) {
            char text[512];
            std::snprintf(text, sizeof text, "Could not read from %s (err=%lx)", classDir.c_str(),
                          static_cast<unsigned long>(ec.value()));
            *error = text;
        }
        return false;
    }
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (!IsSerialName(name)) continue;
        // Virtual terminals and pseudo-terminals have no device behind them.
        const fs::path device = entry.path() / "device";
        const bool bluetooth = IsBluetoothName(name);
        if (!bluetooth && !fs::exists(device, ec)) continue;
        if (SplitName(name).prefix == "ttyS" && !HasUart(entry.path())) continue;

        const Ancestry ancestry = bluetooth ? Ancestry{} : InspectAncestry(device, roots.sysfs);
        SerialPortInfo info;
        info.portName = name;
        info.ttyName = name;
        info.devicePath = (fs::path(roots.dev) / name).string();
        info.usbAttached = ancestry.usb;
        std::string label = ancestry.product;
        if (label.empty() && ancestry.usb)
            label = ancestry.manufacturer.empty() ? "USB Serial Port" : ancestry.manufacturer;
        if (label.empty()) label = bluetooth ? "Bluetooth Serial Port" : "Serial Port";
        info.friendlyName = label + " (" + name + ")";
        list.push_back(std::move(info));
    }

    RenameByIdLinks(list, fs::path(roots.dev) / "serial" / "by-id");

    std::sort(list.begin(), list.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        const bool linkA = a.portName != a.ttyName, linkB = b.portName != b.ttyName;
        if (linkA != linkB) return linkA;
        if (linkA) return a.portName < b.portName;
        const NameKey ka = SplitName(a.portName), kb = SplitName(b.portName);
        if (ka.prefix != kb.prefix) return ka.prefix < kb.prefix;
        return ka.number < kb.number;
    });

    std::vector<SerialPortInfo> kept;
    for (SerialPortInfo& info : list) {
        if (skipBusyPorts && !CanOpen(info.devicePath)) continue;
        if (info.friendlyName.empty()) info.friendlyName = info.portName;
        if (info.description.empty()) {
            info.description = info.friendlyName;
            // "Name (port)" becomes "Name".
            const size_t open = info.description.rfind(" (");
            if (open != std::string::npos && open > 0 && info.description.back() == ')')
                info.description.erase(open);
        }
        kept.push_back(std::move(info));
    }
    list = std::move(kept);
    return true;
}

} // namespace velmar
