// The system back ends on this machine, whatever it has attached: the hidapi backend and the sysfs port
// enumeration must start, list and refuse without crashing or blocking.
#include "TestSupport.h"

#include "transport/HidapiBackend.h"
#include "transport/PortEnumeration.h"
#include "transport/UsbLink.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

TEST(SystemBackends, theHidapiBackendEnumeratesAndRefusesAPathThatIsNoDevice) {
    HidapiBackend backend;
    const std::vector<HidDeviceInfo> devices = backend.enumerate();
    for (const HidDeviceInfo& d : devices) EXPECT_FALSE(d.path.empty());
    EXPECT_EQ(nullptr, backend.open("/dev/velmar-no-such-hidraw"));
    // A link on it finds the processor or not, but always answers at once.
    UsbLink link(&backend);
    const bool found = link.OpenUsbDevice();
    EXPECT_EQ(found, link.usbOpen());
    link.CloseUsbDevice();
    test::SpinFor(20); // lets a removal notice of the monitor, if any, pass through the event loop
}

TEST(SystemBackends, theRealDeviceTreeListsPortsBelowDev) {
    std::vector<SerialPortInfo> ports;
    std::string error;
    if (!EnumeratePorts(ports, false, &error)) GTEST_SKIP() << error;
    for (const SerialPortInfo& p : ports) {
        EXPECT_FALSE(p.portName.empty());
        EXPECT_EQ("/dev/" + p.portName, p.devicePath);
        EXPECT_NE(std::string::npos, p.friendlyName.find("(" + p.portName + ")"));
    }
}

} // namespace
} // namespace velmar
