// The serial ports present on this system, for the connection dialog's port list.
#pragma once

#include <string>
#include <vector>

namespace velmar {

struct SerialPortInfo {
    std::string devicePath;   // path for opening the port, e.g. "/dev/ttyUSB0"
    std::string portName;     // name the dialog lists and opens: "ttyUSB0", or a by-id link's whole path
    std::string ttyName;      // the tty behind the port, e.g. "ttyUSB0" (for a by-id link, its target)
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
// (ttyACM*), built-in UARTs (ttyS*) only where a UART is actually behind the name, the UARTs of ARM
// boards (ttyAMA*, ttyTHS*) and bound Bluetooth serial links (rfcomm*).
//
// A port with a link in <dev>/serial/by-id is listed under that link instead of its tty: the link is
// named after the adapter and its serial number, so it still names the same adapter after replugging,
// when the tty number may have changed. Those come first, in name order, with the link's full path as
// portName and devicePath (the dialog opens it as typed) and "adapter (ttyUSB0)" as friendlyName; each
// tty is listed once. The other ports follow, sorted by name, numbers in numeric order.
//
// With skipBusyPorts, ports that cannot be opened now are left out. Returns false, with a reason in
// error when given, when the device tree cannot be read. Any thread.
bool EnumeratePorts(std::vector<SerialPortInfo>& list, bool skipBusyPorts, std::string* error = nullptr,
                    const PortEnumerationRoots& roots = {});

} // namespace velmar
