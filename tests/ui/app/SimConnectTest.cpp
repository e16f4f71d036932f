// End to end against the processor simulator started in the test: connecting over TCP, a
// pseudo-terminal and simulated USB through the connection dialog as a user does, the image read
// back, the address in every frame, the time-out, and link loss and removal turning the indicators off.
#include "support/TestApp.h"

#include "controls/RenderOutput.h"

#include "core/CoreState.h"
#include "sim/SimHidBackend.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"
#include "ui/app/DemoSimulator.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/dialogs/ConnectDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::test::TestApp;
using Button = CVelmarDlg::LinkButton;

namespace {

constexpr int kConnectTimeoutMs = 10000;

// Runs the connection dialog from the Remote menu for real: the dialog's own timer and the scheduler
// run, `press` clicks a button once the dialog is up, and the dialog closes itself on confirmation.
int connectThroughTheMenu(TestApp& t, std::function<void(CConnectDlg&)> press) {
    int result = -1;
    t.onModal = [&](QDialog& d) {
        auto& dialog = static_cast<CConnectDlg&>(d);
        QTimer::singleShot(0, &dialog, [&dialog, press] { press(dialog); });
        QTimer::singleShot(kConnectTimeoutMs, &dialog, [&dialog] { dialog.reject(); });
        result = dialog.exec();
        return result;
    };
    t.window().action(CVelmarDlg::Command::Connect)->trigger();
    return result;
}

bool sameImage(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A processor image that differs from the application's start image.
DeviceImage distinctImage() {
    DeviceImage image{};
    for (auto& in : image.inputs) in = InputTemplate();
    for (auto& out : image.outputs) out = OutputTemplate();
    image.inputs[0].gain = 111;
    image.inputs[2].peq[4].freq = 777;
    image.outputs[5].delay = 321;
    image.outputs[7].routeMask = 0x05;
    return image;
}

void stopGraphTimer(TestApp& t) {
    for (QTimer* timer : t.state().graph->findChildren<QTimer*>()) timer->stop();
}

} // namespace

class SimConnectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CVelmarApp::ApplyLook(*qApp); }

    void demoPointsTheDialogAtTheSimulator() {
        DemoSimulator sim;
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        TestApp t;
        sim.attach(t.state(), t.app().links());
        QCOMPARE(t.app().links().wifiAddress(), QStringLiteral("127.0.0.1"));
        QCOMPARE(t.app().links().wifiPort(), int(sim.tcpPort()));
        CConnectDlg dialog(t.state(), &t.window());
        QCOMPARE(dialog.comList()->itemText(0), sim.ptyPath());
        QCOMPARE(dialog.portName(), sim.ptyPath());
        QCOMPARE(dialog.ipField()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(dialog.portField()->text(), QString::number(sim.tcpPort()));
    }

    void oneClickOnWifiConnectsAndReadsTheImageBack() {
        DemoSimulator sim(SimModel::In2Out4);
        QVERIFY(sim.start());
        sim.device().setImage(distinctImage());
        TestApp t(nullptr, /*stopTimers=*/false);
        sim.attach(t.state(), t.app().links());
        CVelmarDlg& w = t.window();

        const int result = connectThroughTheMenu(t, [](CConnectDlg& d) { d.wifiButton()->click(); });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(t.core().activeLink, LinkType::Tcp);
        QCOMPARE(w.linkButtonBitmap(Button::Tcp), 449);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:WIFI Connect"));

        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, kConnectTimeoutMs);
        QTRY_VERIFY(sameImage(t.core().image, sim.device().image()));
        // The 2-in 4-out unit's model digits chose configuration 3 on the Home tab.
        QTRY_COMPARE(int(t.core().deviceConfig), 3);
        QCOMPARE(w.tabCtrl()->GetItemCount(), 11);
        QCOMPARE(t.state().currentTab, 0);
        QCOMPARE(w.statusText(3), QStringLiteral("Version:V1.20.4"));
        QCOMPARE(w.statusText(2), QStringLiteral("Device Addr:1"));
        QVERIFY(t.messages.isEmpty());
        // For a person to look at: the window connected to a 2-in 4-out unit over WiFi.
        w.SelectTab(7);
        QVERIFY(test::saveRender(w.grab().toImage(), QStringLiteral("app-connected-wifi-cfg3-out-1.png")));
    }

    void rs232OnThePtyCarriesTheChosenAddressInEveryFrame() {
        DemoSimulator sim(SimModel::In4Out8, /*address=*/9);
        QVERIFY(sim.start());
        sim.device().setImage(distinctImage());
        TestApp t(nullptr, /*stopTimers=*/false);
        sim.attach(t.state(), t.app().links());
        QList<uint8_t> addresses;
        t.core().hooks.traceSent = [&addresses](const uint8_t* data, size_t size) {
            if (size > 3) addresses << data[3];
        };

        const int result = connectThroughTheMenu(t, [](CConnectDlg& d) {
            d.idList()->setCurrentIndex(8);
            d.rs232Button()->click();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(t.core().activeLink, LinkType::Serial);
        QCOMPARE(t.window().linkButtonBitmap(Button::Serial), 445);
        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, kConnectTimeoutMs);
        QTRY_VERIFY(sameImage(t.core().image, sim.device().image()));
        QVERIFY(addresses.size() >= 2);
        for (uint8_t a : addresses) QCOMPARE(a, uint8_t(9));
    }

    void aUnitAtAnotherAddressNeverAnswersAndTheDialogGivesUp() {
        DemoSimulator sim(SimModel::In4Out8, /*address=*/3);
        QVERIFY(sim.start());
        TestApp t;
        sim.attach(t.state(), t.app().links());
        CConnectDlg dialog(t.state(), &t.window());
        dialog.pollTimer().stop();
        dialog.OnRs232(); // address 1, as the dialog opens
        QCOMPARE(t.core().linkConnected, 1);
        for (int i = 0; i < 5; ++i) {
            t.window().OnTimer();
            QTest::qWait(100); // real I/O: the simulator would answer within this time
            dialog.OnTimer();
        }
        QCOMPARE(t.core().linkConfirmed, 0);
        for (int i = 5; i <= CConnectDlg::kConnectTickLimit; ++i) dialog.OnTimer();
        QCOMPARE(t.messageTexts(), QStringList{"check, link again"});
        QCOMPARE(t.core().linkConnected, 0);
    }

    void silenceAfterConnectingTurnsTheIndicatorsOff() {
        DemoSimulator sim;
        QVERIFY(sim.start());
        TestApp t(nullptr, /*stopTimers=*/false);
        sim.attach(t.state(), t.app().links());
        CVelmarDlg& w = t.window();
        QCOMPARE(connectThroughTheMenu(t, [](CConnectDlg& d) { d.wifiButton()->click(); }),
                 int(QDialog::Accepted));
        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, kConnectTimeoutMs);

        stopGraphTimer(t);
        sim.tcp()->faults().setSilent(true);
        QTest::qWait(300); // let replies already on their way arrive
        for (int i = 0; i < 62; ++i) w.graph()->TimerTick();
        TestApp::deliverPosted();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(w.linkButtonBitmap(Button::Tcp), 448);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 316);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:UnConnect"));
        QCOMPARE(t.messageTexts(), QStringList{"WIFI connect error"});
        QVERIFY(!t.app().links().tcpLink().IsConnected());
    }

    void usbConnectsToTheSimulatedDeviceAndRemovalClearsIt() {
        DemoSimulator sim;
        QVERIFY(sim.start());
        sim.device().setImage(distinctImage());
        TestApp t(sim.makeHidBackend(), /*stopTimers=*/false);
        CVelmarDlg& w = t.window();
        QCOMPARE(connectThroughTheMenu(t, [](CConnectDlg& d) { d.usbButton()->click(); }),
                 int(QDialog::Accepted));
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 447);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:USB Connect"));
        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, kConnectTimeoutMs);
        QTRY_VERIFY(sameImage(t.core().image, sim.device().image()));

        sim.usb()->remove();
        QTRY_COMPARE(t.messageTexts(), QStringList{"Can't find the device, please check it"});
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 446);
    }
};

QTEST_MAIN(SimConnectTest)
#include "SimConnectTest.moc"
