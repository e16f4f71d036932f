// A velmarctl session driven in-process over the USB link, against the simulator's fake HID backend.
#include "ctl/CtlSession.h"
#include "sim/SimDevice.h"
#include "sim/SimHidBackend.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace velmar::ctl {
namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "tools_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        auto* a = new QCoreApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return a;
    }();
    (void)app;
}

CtlOptions UsbOptions(Command command) {
    CtlOptions o;
    o.link = LinkChoice::Usb;
    o.command = command;
    return o;
}

class CtlSessionUsb : public ::testing::Test {
protected:
    CtlSessionUsb() { EnsureApplication(); }

    int run(const CtlOptions& options, std::function<void(SimHidBackend&)> during = {}) {
        auto hid = std::make_unique<SimHidBackend>(device);
        SimHidBackend* backend = hid.get();
        CtlSession session(options, out, err, std::move(hid));
        if (during) QTimer::singleShot(300, &session, [&] { during(*backend); });
        return session.run();
    }

    SimDevice device;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CtlSessionUsb, setWritesTheFieldThroughUsbReportsAndWaitsForTheAcknowledgement) {
    CtlOptions o = UsbOptions(Command::Set);
    o.channel = "out3";
    o.field = "peq2.gain";
    o.value = "-4.5";
    EXPECT_EQ(run(o), 0) << err.str();
    EXPECT_EQ(out.str(), "out3 peq2.gain -4.5dB\n");
    EXPECT_EQ(device.image().outputs[2].peq[1].gain, 155);
}

// A unit that keeps putting out3's gain back (as a front-panel lock would): every write of it is
// acknowledged, no read-back shows it, and after the core's rounds of repair set names it, with the
// processor's value and ours, and fails. The field the unit took is not listed.
TEST_F(CtlSessionUsb, setNamesTheFieldsTheProcessorDoesNotKeepAndFails) {
    CtlOptions o = UsbOptions(Command::Set);
    o.settings = {{"out3", "gain", "-6"}, {"out1", "gain", "2"}};
    QTimer revert;
    revert.setInterval(20);
    QObject::connect(&revert, &QTimer::timeout, [this] {
        DeviceImage image = device.image();
        image.outputs[2].gain = 360;
        device.setImage(image);
    });
    revert.start();
    EXPECT_EQ(run(o), 1);
    EXPECT_TRUE(out.str().empty()) << out.str();
    EXPECT_EQ(err.str(), "velmarctl: 1 not confirmed after 3 rounds of repair (the processor's value, then "
                         "ours):\nout3 gain 0.0dB ours -6.0dB\n");
    EXPECT_EQ(device.image().outputs[0].gain, 380);
}

TEST_F(CtlSessionUsb, loadSendsTheWholeImageAcrossTwentySixReports) {
    const std::string path = ::testing::TempDir() + "/usb-load.vq";
    DeviceImage image = device.image();
    image.inputs[2].gain = 100;
    image.outputs[7].compRatio = 9;
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(&image), sizeof image);
    }
    CtlOptions o = UsbOptions(Command::Load);
    o.file = path;
    EXPECT_EQ(run(o), 0) << err.str();
    const DeviceImage now = device.image();
    EXPECT_EQ(std::memcmp(&now, &image, sizeof image), 0);
}

TEST_F(CtlSessionUsb, aMissingDeviceEndsAtOnceWithExitOne) {
    auto hid = std::make_unique<SimHidBackend>(device);
    hid->remove(); // unplugged before the run: the search finds no processor
    CtlSession session(UsbOptions(Command::Info), out, err, std::move(hid));
    EXPECT_EQ(session.run(), 1);
    EXPECT_EQ(err.str(), "velmarctl: Can't find the device, please check it\n");
    EXPECT_TRUE(out.str().empty());
}

TEST_F(CtlSessionUsb, aDeviceUnpluggedWhileAReplyIsAwaitedEndsWithExitOne) {
    CtlOptions o = UsbOptions(Command::Meters);
    o.count = 1000; // still reading when the device goes
    EXPECT_EQ(run(o, [](SimHidBackend& b) { b.remove(); }), 1);
    EXPECT_TRUE(err.str().find("velmarctl: Can't find the device, please check it\n") != std::string::npos)
        << err.str();
}

} // namespace
} // namespace velmar::ctl
