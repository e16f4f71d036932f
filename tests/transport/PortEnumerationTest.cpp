// Serial port enumeration against a fake sysfs tree: USB adapters, CDC devices, built-in UARTs with and
// without hardware, virtual terminals, order, busy ports.
#include "transport/PortEnumeration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

namespace velmar {
namespace {

namespace fs = std::filesystem;

// A throw-away tree shaped like /sys (device directories, subsystem links, the tty class) and a /dev.
class FakeSysfs {
public:
    FakeSysfs() {
        static std::atomic<int> counter{0};
        m_root = fs::temp_directory_path() /
                 ("velmar-sysfs-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(m_root / "sys" / "class" / "tty");
        fs::create_directories(m_root / "dev");
        for (const char* bus : {"usb", "usb-serial", "pnp", "platform", "pci"})
            fs::create_directories(m_root / "sys" / "bus" / bus);
    }
    ~FakeSysfs() { fs::remove_all(m_root); }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    PortEnumerationRoots roots() const { return {(m_root / "sys").string(), (m_root / "dev").string()}; }
    fs::path dev() const { return m_root / "dev"; }

    // A device directory below devices/ with its subsystem link.
    fs::path device(const std::string& path, const std::string& subsystem) {
        const fs::path dir = m_root / "sys" / "devices" / path;
        fs::create_directories(dir);
        if (!subsystem.empty())
            fs::create_directory_symlink(m_root / "sys" / "bus" / subsystem, dir / "subsystem");
        return dir;
    }
    static void attribute(const fs::path& dir, const std::string& name, const std::string& value) {
        std::ofstream(dir / name) << value << "\n";
    }
    // A USB device with its strings, and one interface below it.
    fs::path usbInterface(const std::string& bus, const std::string& product,
                          const std::string& manufacturer = "") {
        const fs::path usb = device("pci0000:00/0000:00:14.0/usb1/" + bus, "usb");
        attribute(usb, "idVendor", "0403");
        if (!product.empty()) attribute(usb, "product", product);
        if (!manufacturer.empty()) attribute(usb, "manufacturer", manufacturer);
        const fs::path interface = usb / (bus + ":1.0");
        fs::create_directories(interface);
        fs::create_directory_symlink(m_root / "sys" / "bus" / "usb", interface / "subsystem");
        return interface;
    }
    // The tty class entry for a port whose device is parent (empty: a virtual terminal).
    void tty(const std::string& name, const fs::path& parent, const std::string& type = "") {
        const fs::path base =
            parent.empty() ? m_root / "sys" / "devices" / "virtual" / "tty" : parent / "tty";
        const fs::path dir = base / name;
        fs::create_directories(dir);
        if (!parent.empty()) fs::create_directory_symlink(parent, dir / "device");
        if (!type.empty()) attribute(dir, "type", type);
        fs::create_directory_symlink(dir, m_root / "sys" / "class" / "tty" / name);
    }

private:
    fs::path m_root;
};

std::vector<std::string> Names(const std::vector<SerialPortInfo>& list) {
    std::vector<std::string> names;
    for (const auto& p : list) names.push_back(p.portName);
    return names;
}

TEST(PortEnumeration, aUsbSerialAdapterIsListedWithItsProductNameAndTheUsbFlag) {
    FakeSysfs sys;
    const fs::path interface = sys.usbInterface("1-2", "FT232R USB UART", "FTDI");
    const fs::path port = interface / "ttyUSB0";
    fs::create_directories(port);
    sys.tty("ttyUSB0", port);

    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("ttyUSB0", list[0].portName);
    EXPECT_EQ((sys.dev() / "ttyUSB0").string(), list[0].devicePath);
    EXPECT_EQ("FT232R USB UART (ttyUSB0)", list[0].friendlyName);
    EXPECT_EQ("FT232R USB UART", list[0].description);
    EXPECT_TRUE(list[0].usbAttached);
}

TEST(PortEnumeration, aCdcDeviceSitsDirectlyOnItsUsbInterface) {
    FakeSysfs sys;
    sys.tty("ttyACM0", sys.usbInterface("1-3", "STM32 Virtual ComPort"));
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("STM32 Virtual ComPort (ttyACM0)", list[0].friendlyName);
    EXPECT_TRUE(list[0].usbAttached);
}

TEST(PortEnumeration, aUsbPortWithoutAProductStringIsNamedByItsMaker) {
    FakeSysfs sys;
    sys.tty("ttyUSB0", sys.usbInterface("1-4", "", "Prolific"));
    sys.tty("ttyUSB1", sys.usbInterface("1-5", ""));
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ("Prolific (ttyUSB0)", list[0].friendlyName);
    EXPECT_EQ("USB Serial Port (ttyUSB1)", list[1].friendlyName);
}

TEST(PortEnumeration, builtInUartsAreListedOnlyWhereAUartIsBehindTheName) {
    FakeSysfs sys;
    sys.tty("ttyS0", sys.device("pnp0/00:05", "pnp"), "4");
    const fs::path placeholders = sys.device("platform/serial8250", "platform");
    sys.tty("ttyS1", placeholders, "0");
    sys.tty("ttyS2", placeholders, "0");
    sys.tty("ttyS3", placeholders);
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    ASSERT_EQ(std::vector<std::string>{"ttyS0"}, Names(list));
    EXPECT_FALSE(list[0].usbAttached);
    EXPECT_EQ("Serial Port (ttyS0)", list[0].friendlyName);
    EXPECT_EQ("Serial Port", list[0].description);
}

TEST(PortEnumeration, virtualTerminalsAndOtherTtysAreNoPorts) {
    FakeSysfs sys;
    for (const char* name : {"tty0", "tty1", "console", "ptmx", "ttyUSB7"}) sys.tty(name, {});
    sys.tty("ttyprintk", sys.device("virtual/misc", ""));
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    EXPECT_TRUE(list.empty());
}

TEST(PortEnumeration, portsComeInNameOrderWithNumbersInNumericOrder) {
    FakeSysfs sys;
    sys.tty("ttyUSB10", sys.usbInterface("1-1", "A"));
    sys.tty("ttyUSB2", sys.usbInterface("1-2", "B"));
    sys.tty("ttyACM0", sys.usbInterface("1-3", "C"));
    sys.tty("ttyS0", sys.device("pnp0/00:05", "pnp"), "4");
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    EXPECT_EQ((std::vector<std::string>{"ttyACM0", "ttyS0", "ttyUSB2", "ttyUSB10"}), Names(list));
}

TEST(PortEnumeration, busyPortsAreLeftOutOnlyWhenAskedTo) {
    FakeSysfs sys;
    sys.tty("ttyUSB0", sys.usbInterface("1-1", "A"));
    sys.tty("ttyUSB1", sys.usbInterface("1-2", "B"));
    std::ofstream(sys.dev() / "ttyUSB0") << ""; // opens; ttyUSB1 has no node and cannot be opened
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    EXPECT_EQ((std::vector<std::string>{"ttyUSB0", "ttyUSB1"}), Names(list));
    ASSERT_TRUE(EnumeratePorts(list, true, nullptr, sys.roots()));
    EXPECT_EQ(std::vector<std::string>{"ttyUSB0"}, Names(list));
}

TEST(PortEnumeration, anUnreadableDeviceTreeFailsWithAReasonAndAnEmptyList) {
    std::vector<SerialPortInfo> list(3);
    std::string error;
    EXPECT_FALSE(EnumeratePorts(list, false, &error, {"/nonexistent-velmar-sysfs", "/dev"}));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0u, error.find("Could not read from /nonexistent-velmar-sysfs/class/tty (err="));
}

} // namespace
} // namespace velmar
