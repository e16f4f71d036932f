// The connection dialog: its lists, the four buttons on a real pseudo-terminal and loopback TCP, the
// 250 ms wait with its confirmation and time-out, and the USB paths.
#include "support/FakeHid.h"
#include "support/TestApp.h"

#include "core/Encoder.h"
#include "transport/LinkController.h"
#include "ui/dialogs/ConnectDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using namespace velmar;
using velmar::test::TestApp;
using Button = CVelmarDlg::LinkButton;

namespace {

// A pseudo-terminal pair: the dialog opens the slave like a COM port, the test reads the master.
class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~Pty() {
        if (m_master >= 0) ::close(m_master);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return !m_slave.isEmpty(); }
    QString slave() const { return m_slave; }
    // Whatever the application has written within the time limit (real I/O, not a tick).
    QByteArray read(int minimum, int timeoutMs = 2000) {
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        while (data.size() < minimum && timer.elapsed() < timeoutMs) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buffer[512];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0) data.append(buffer, qsizetype(n));
        }
        return data;
    }

private:
    int m_master = -1;
    QString m_slave;
};

std::vector<SerialPortInfo> noPorts() {
    return {};
}

SerialPortInfo port(const char* name, bool usb) {
    SerialPortInfo info;
    info.portName = name;
    info.devicePath = std::string("/dev/") + name;
    info.usbAttached = usb;
    return info;
}

// A dialog as the main window makes it, with its timer stopped so the test drives the ticks.
std::unique_ptr<CConnectDlg> makeDialog(TestApp& t, CConnectDlg::PortSource ports = noPorts) {
    auto dialog = std::make_unique<CConnectDlg>(t.state(), &t.window(), std::move(ports));
    dialog->pollTimer().stop();
    return dialog;
}

// A port on 127.0.0.1 that nothing listens on.
quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

class ConnectDlgTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheAddressInUseAndTheCurrentNetworkAddress() {
        TestApp t;
        t.core().deviceAddress = 7;
        t.app().links().setWifiAddress(QStringLiteral("127.0.0.1"));
        t.app().links().setWifiPort(4321);
        CConnectDlg dialog(t.state(), &t.window(), noPorts);
        QCOMPARE(t.core().deviceAddress, 7);
        QCOMPARE(dialog.idList()->count(), 250);
        QCOMPARE(dialog.idList()->itemText(0), QStringLiteral("1"));
        QCOMPARE(dialog.idList()->itemText(249), QStringLiteral("250"));
        QCOMPARE(dialog.idList()->currentIndex(), 6);
        QCOMPARE(dialog.ipField()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(dialog.portField()->text(), QStringLiteral("4321"));
        QVERIFY(dialog.pollTimer().isActive());
        QCOMPARE(dialog.pollTimer().interval(), 250);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Port"));
    }

    void portListAndItsPreselection_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QList<bool>>("usb"); // one entry per port "p0", "p1", ...; empty names skipped
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("no port") << QStringList{} << QList<bool>{} << QStringList{"NULL"} << "NULL";
        QTest::newRow("first when none is USB")
            << QStringList{} << QList<bool>{false, false} << QStringList{"p0", "p1"} << "p0";
        QTest::newRow("a USB adapter is preselected")
            << QStringList{} << QList<bool>{false, true, true} << QStringList{"p0", "p1", "p2"} << "p1";
        QTest::newRow("the demo's simulator comes first") << QStringList{"/dev/pts/9"} << QList<bool>{true}
                                                          << QStringList{"/dev/pts/9", "p0"} << "/dev/pts/9";
    }
    void portListAndItsPreselection() {
        QFETCH(QStringList, extra);
        QFETCH(QList<bool>, usb);
        QFETCH(QStringList, listed);
        QFETCH(QString, selected);
        TestApp t;
        t.state().extraSerialPorts = extra;
        std::vector<SerialPortInfo> ports;
        ports.push_back(port("", true)); // a record without a short name is never listed
        for (int i = 0; i < usb.size(); ++i)
            ports.push_back(port(qPrintable(QStringLiteral("p%1").arg(i)), usb[i]));
        auto dialog = makeDialog(t, [ports] { return ports; });
        QStringList items;
        for (int i = 0; i < dialog->comList()->count(); ++i) items << dialog->comList()->itemText(i);
        QCOMPARE(items, listed);
        QCOMPARE(dialog->comList()->currentText(), selected);
        QCOMPARE(dialog->portName(), selected);
    }

    // The address in use stays until the user connects: Cancel on a live RS485 link changes nothing.
    void idListSetsTheAddressOnlyWhenTheUserConnects() {
        TestApp t;
        t.core().deviceAddress = 12;
        auto dialog = makeDialog(t);
        dialog->idList()->setCurrentIndex(249);
        QCOMPARE(t.core().deviceAddress, 12);
        dialog->reject();
        QCOMPARE(t.core().deviceAddress, 12);
        auto second = makeDialog(t);
        second->idList()->setCurrentIndex(249);
        second->OnUsb();
        QCOMPARE(t.core().deviceAddress, 250);
    }

    void rs232OnAMissingPortSaysSoAndStaysUnconnected() {
        TestApp t;
        auto dialog = makeDialog(t);
        QCOMPARE(dialog->portName(), QStringLiteral("NULL"));
        dialog->OnRs232();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(t.messageTexts(), QStringList{"Unable to open COM-port"});
        QCOMPARE(t.messages.first().icon, QMessageBox::Critical);
        QVERIFY(t.messages.first().detail.isEmpty()); // a missing port is no permission problem
        // Nothing to wait for.
        for (int i = 0; i < 30; ++i) dialog->OnTimer();
        QCOMPARE(t.messages.size(), 1);
    }

    // The box's text is the same for every failure; only a permission problem adds a detail that
    // names the port, the group to join and the command for it, in the current language.
    void serialOpenFailureDetail_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("detailHas"); // empty: no detail
        const QStringList english{"/dev/velmar-no-such-port", "\"dialout\"", "sudo usermod -aG dialout $USER",
                                  "log out and in again"};
        QTest::newRow("EACCES") << EACCES << 0 << english;
        QTest::newRow("EPERM") << EPERM << 0 << english;
        QTest::newRow("EACCES in Chinese")
            << EACCES << 1
            << QStringList{"/dev/velmar-no-such-port", "没有权限", "sudo usermod -aG dialout $USER"};
        QTest::newRow("ENOENT") << ENOENT << 0 << QStringList{};
        QTest::newRow("EBUSY") << EBUSY << 0 << QStringList{};
        QTest::newRow("ENOTTY") << ENOTTY << 1 << QStringList{};
    }
    void serialOpenFailureDetail() {
        QFETCH(int, error);
        QFETCH(int, language);
        QFETCH(QStringList, detailHas);
        TestApp t;
        t.window().SetLanguage(uint8_t(language));
        emit t.app().links().serialOpenFailed(QStringLiteral("velmar-no-such-port"), error);
        QCOMPARE(t.messageTexts(), QStringList{"Unable to open COM-port"});
        QCOMPARE(t.messages.first().icon, QMessageBox::Critical);
        const QString detail = t.messages.first().detail;
        QCOMPARE(detail.isEmpty(), detailHas.isEmpty());
        for (const QString& part : detailHas) QVERIFY2(detail.contains(part), qPrintable(detail));
    }

    void rs232OnAPortWithoutPermissionSaysWhy() {
        if (::geteuid() == 0) QSKIP("root opens every port; the error table above covers the detail");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyLocked"));
        QFile port(path);
        QVERIFY(port.open(QIODevice::WriteOnly));
        port.close();
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions{}));
        TestApp t;
        auto dialog = makeDialog(t);
        dialog->comList()->setEditText(path);
        dialog->OnRs232();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(t.messageTexts(), QStringList{"Unable to open COM-port"});
        QVERIFY2(t.messages.first().detail.contains(path), qPrintable(t.messages.first().detail));
        QVERIFY(t.messages.first().detail.contains(QStringLiteral("usermod -aG")));
    }

    void rs232OnATypedPtyPathSendsTheHandshakeWithTheChosenAddress() {
        Pty pty;
        QVERIFY(pty.ok());
        TestApp t;
        auto dialog = makeDialog(t);
        dialog->comList()->setEditText(pty.slave());
        QCOMPARE(dialog->portName(), pty.slave());
        dialog->idList()->setCurrentIndex(6);
        dialog->OnRs232();
        QCOMPARE(t.core().linkConnected, 1);
        QCOMPARE(t.core().activeLink, LinkType::Serial);
        QCOMPARE(t.core().linkConfirmed, 0);
        QCOMPARE(t.core().scheduler.state, SchedState::Handshake);
        t.window().OnTimer();
        const QByteArray frame = pty.read(14);
        QVERIFY(frame.size() >= 14);
        QCOMPARE(frame.left(6).toHex(' '), QByteArray("5a 5a 5a 07 53 a2"));

        // A second press closes the port and opens it again.
        dialog->OnRs232();
        QCOMPARE(t.core().linkConnected, 1);
        QVERIFY(t.app().links().serialPort().IsOpen());
        QVERIFY(t.messages.isEmpty());
    }

    void noAnswerGivesUpAfterTenSecondsOnTheFortyFirstTick_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("English") << 0 << "check, link again";
        QTest::newRow("Chinese") << 1 << "检查连线,再次联接";
    }
    void noAnswerGivesUpAfterTenSecondsOnTheFortyFirstTick() {
        QFETCH(int, language);
        QFETCH(QString, message);
        Pty pty;
        QVERIFY(pty.ok());
        TestApp t;
        t.window().SetLanguage(uint8_t(language));
        auto dialog = makeDialog(t);
        dialog->comList()->setEditText(pty.slave());
        dialog->OnRs232();
        for (int i = 0; i < CConnectDlg::kConnectTickLimit; ++i) dialog->OnTimer();
        QCOMPARE(dialog->connectTicks(), int(CConnectDlg::kConnectTickLimit));
        QVERIFY(t.messages.isEmpty());
        QCOMPARE(t.core().linkConnected, 1);
        dialog->OnTimer();
        QCOMPARE(t.messageTexts(), QStringList{message});
        QCOMPARE(t.core().linkConnected, 0);
        QVERIFY(!t.app().links().serialPort().IsOpen());
        QCOMPARE(dialog->connectTicks(), 0);
        QCOMPARE(dialog->result(), 0);
    }

    void confirmationClosesTheDialogAndLightsTheIndicator() {
        Pty pty;
        QVERIFY(pty.ok());
        TestApp t;
        CVelmarDlg& w = t.window();
        int result = -1;
        t.onModal = [&](QDialog& d) {
            auto& dialog = static_cast<CConnectDlg&>(d);
            dialog.pollTimer().stop();
            dialog.comList()->setEditText(pty.slave());
            dialog.OnRs232();
            dialog.OnTimer();
            dialog.OnTimer(); // still waiting
            // The processor's handshake reply arrives between two ticks ...
            t.core().linkConfirmed = 1;
            // ... and the next tick closes the dialog.
            dialog.OnTimer();
            result = dialog.result();
            return result;
        };
        w.action(CVelmarDlg::Command::Connect)->trigger();
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(w.linkButtonBitmap(Button::Serial), 445);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 315);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:RS232 Connect"));
        // The link stays open after the dialog.
        QVERIFY(t.app().links().serialPort().IsOpen());
    }

    void wifiToAClosedPortCannotOpen() {
        TestApp t;
        auto dialog = makeDialog(t);
        const quint16 port = closedPort();
        dialog->ipField()->setText(QStringLiteral("127.0.0.1"));
        dialog->portField()->setText(QString::number(port));
        dialog->OnWifi();
        QCOMPARE(t.app().links().wifiAddress(), QStringLiteral("127.0.0.1"));
        QCOMPARE(t.app().links().wifiPort(), int(port));
        QTRY_COMPARE(t.messageTexts(), QStringList{"Can't open the wifi"});
        QCOMPARE(t.core().linkConnected, 0);
    }

    void wifiRefusesAnAddressThatIsNotOne_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::newRow("octet above 255") << "300.1.1.1"
                                         << "8080";
        QTest::newRow("three octets") << "127.0.1"
                                      << "8080";
        QTest::newRow("no port") << "127.0.0.1"
                                 << "";
        QTest::newRow("port above 65535") << "127.0.0.1"
                                          << "70000";
    }
    void wifiRefusesAnAddressThatIsNotOne() {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        TestApp t;
        auto dialog = makeDialog(t);
        dialog->ipField()->setText(ip);
        dialog->portField()->setText(port);
        dialog->OnWifi();
        QCOMPARE(t.messageTexts(), QStringList{"Can't open the wifi"});
        QCOMPARE(t.core().linkConnected, 0);
        QVERIFY(!t.app().links().tcpConnecting());
    }

    void wifiConnectsAndEveryFrameCarriesTheAddress() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        TestApp t;
        auto dialog = makeDialog(t);
        dialog->idList()->setCurrentIndex(11);
        dialog->ipField()->setText(QStringLiteral("127.0.0.1"));
        dialog->portField()->setText(QString::number(server.serverPort()));
        dialog->OnWifi();
        QTRY_COMPARE(t.core().linkConnected, 1);
        QCOMPARE(t.core().activeLink, LinkType::Tcp);
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket* peer = server.nextPendingConnection();
        t.window().OnTimer();
        QTRY_VERIFY(peer->bytesAvailable() >= 14);
        QCOMPARE(peer->readAll().left(6).toHex(' '), QByteArray("5a 5a 5a 0c 53 a2"));

        // USB while connected over TCP closes the socket first.
        dialog->OnUsb();
        QVERIFY(!t.app().links().tcpLink().IsConnected());
        QCOMPARE(t.core().activeLink, LinkType::Usb);
        QCOMPARE(t.core().scheduler.state, SchedState::Handshake);
    }

    void usbWithoutADeviceDisconnectsAtTheFirstFrameAndTheDialogStays() {
        TestApp t(std::make_unique<test::FakeHid>());
        auto dialog = makeDialog(t);
        dialog->OnUsb();
        QCOMPARE(t.core().linkConnected, 1);
        t.window().OnTimer();
        TestApp::deliverPosted();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(t.messageTexts(), QStringList{"Device disconnect"});
        for (int i = 0; i < 30; ++i) dialog->OnTimer();
        QCOMPARE(t.messages.size(), 1);
        QCOMPARE(dialog->result(), 0);
    }

    void rs485DoesNothing() {
        Pty pty;
        QVERIFY(pty.ok());
        TestApp t;
        auto dialog = makeDialog(t);
        dialog->comList()->setEditText(pty.slave());
        dialog->OnRs232();
        dialog->OnTimer();
        dialog->OnRs485();
        QCOMPARE(t.core().linkConnected, 1);
        QVERIFY(t.app().links().serialPort().IsOpen());
        QCOMPARE(dialog->connectTicks(), 1);
    }
};

QTEST_MAIN(ConnectDlgTest)
#include "ConnectDlgTest.moc"
