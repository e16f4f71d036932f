// The serial ports present on this system, for the connection dialog's port list.
#pragma once

#include <string>
#include <vector>

namespace velmar {

struct SerialPortInfo {
    std::string devicePath;   // path for opening the port, e.g. "/dev/ttyUSB0"
    std::string portName;     // short name the dialog lists and opens, e.g. "ttyUSB0"
    std::string friendlyName; // full display name, e.g. "FT232R USB UART (ttyUSB0)"
    bool usbAttached = false; // the port is provided through a USB connection
    std::string description;  // display name without the port name in parentheses
};

// Where the system's device tree and device nodes are; tests point these at a fake tree.
struct PortEnumerationRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
};

// Fills list with the real serial ports: USB serial adapters (ttyUSB*), USB modems and CDC devices
// (ttyACM*), and built-in UARTs (ttyS*) only where a UART is actually behind the name. Sorted by name,
// numbers in numeric order. With skipBusyPorts, ports that cannot be opened now are left out. Returns
// false, with a reason in error when given, when the device tree cannot be read. Any thread.
bool EnumeratePorts(std::vector<SerialPortInfo>& list, bool skipBusyPorts, std::string* error = nullptr,
                    const PortEnumerationRoots& roots = {});

} // namespace velmar
