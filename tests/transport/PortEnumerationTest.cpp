// Serial port enumeration against a fake sysfs tree: USB adapters, CDC devices, built-in UARTs with and
// without hardware, board UARTs and Bluetooth links, by-id names, virtual terminals, order, busy ports.
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

    // A /dev/serial/by-id link to the node of tty, relative as udev makes it.
    fs::path byId(const std::string& name, const std::string& tty) {
        const fs::path dir = dev() / "serial" / "by-id";
        fs::create_directories(dir);
        fs::create_symlink(fs::path("../..") / tty, dir / name);
        return dir / name;
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

TEST(PortEnumeration, armBoardUartsAndBoundBluetoothLinksArePorts) {
    FakeSysfs sys;
    sys.tty("ttyAMA0", sys.device("platform/fe201000.serial", "amba"));
    sys.tty("ttyTHS1", sys.device("platform/3100000.serial", "platform"));
    sys.tty("rfcomm0", {}); // virtual, like every rfcomm tty
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    EXPECT_EQ((std::vector<std::string>{"rfcomm0", "ttyAMA0", "ttyTHS1"}), Names(list));
    EXPECT_EQ("Bluetooth Serial Port (rfcomm0)", list[0].friendlyName);
    EXPECT_EQ("Serial Port (ttyAMA0)", list[1].friendlyName);
    EXPECT_FALSE(list[0].usbAttached);
}

TEST(PortEnumeration, byIdLinksComeFirstUnderTheirStableNameAndEachTtyOnce) {
    FakeSysfs sys;
    sys.tty("ttyUSB0", sys.usbInterface("1-1", "FT232R USB UART"));
    sys.tty("ttyUSB1", sys.usbInterface("1-2", "CP2102 USB to UART Bridge Controller"));
    sys.tty("ttyUSB2", sys.usbInterface("1-3", "USB2.0-Serial")); // no serial number: no link
    sys.tty("ttyS0", sys.device("pnp0/00:05", "pnp"), "4");
    const fs::path ftdi = sys.byId("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
    const fs::path cp210x = sys.byId("usb-Silicon_Labs_CP2102_0001-if00-port0", "ttyUSB1");
    sys.byId("usb-Gone_Adapter_42-if00-port0", "ttyUSB9");          // a stale link lists nothing
    sys.byId("usb-Other_Name_Of_The_FT232R-if00-port0", "ttyUSB0"); // a second name, not a second port
    std::vector<SerialPortInfo> list;
    ASSERT_TRUE(EnumeratePorts(list, false, nullptr, sys.roots()));
    EXPECT_EQ((std::vector<std::string>{ftdi.string(), cp210x.string(), "ttyS0", "ttyUSB2"}), Names(list));
    // The dialog opens the link as typed; the display names the adapter and the tty it is now.
    EXPECT_EQ(ftdi.string(), list[0].devicePath);
    EXPECT_EQ("ttyUSB0", list[0].ttyName);
    EXPECT_EQ("FT232R USB UART (ttyUSB0)", list[0].friendlyName);
    EXPECT_EQ("FT232R USB UART", list[0].description);
    EXPECT_TRUE(list[0].usbAttached);
    EXPECT_EQ("ttyUSB1", list[1].ttyName);

    // A link opens as the tty it names: a busy check follows it.
    std::ofstream(sys.dev() / "ttyUSB1") << "";
    ASSERT_TRUE(EnumeratePorts(list, true, nullptr, sys.roots()));
    EXPECT_EQ(std::vector<std::string>{cp210x.string()}, Names(list));
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
