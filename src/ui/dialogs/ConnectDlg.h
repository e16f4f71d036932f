// CConnectDlg: the connection dialog - a COM port with RS232 (and the RS485 address), USB, or the
// WiFi module over TCP - and the wait for the processor's answer to the handshake.
#pragma once

#include "transport/PortEnumeration.h"
#include "ui/app/AppState.h"

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmar {

class LinkController;

// Modal, created afresh for every run and living while it is shown. A link opened here stays open
// when the dialog closes (by confirmation, OK or Cancel); the scheduler goes on with the handshake.
// The failures of opening a link ("Unable to open COM-port", "Can't open the wifi", "Device
// disconnect") are shown by the main window, which watches the LinkController. UI thread only.
class CConnectDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTimerMs = 250;
    // The wait ends with "check, link again" on the tick after this many unanswered ticks: ten seconds,
    // so the handshake's six sends (1.6 s apart) all get their chance on a lossy line.
    static constexpr uint8_t kConnectTickLimit = 40;
    static constexpr int kAddressCount = 250;

    using PortSource = std::function<std::vector<SerialPortInfo>()>;
    // The system's serial ports (busy ones included).
    static std::vector<SerialPortInfo> systemPorts();

    // Fills the lists and starts the 250 ms timer; sets core.deviceAddress to 1. app.links must be set.
    CConnectDlg(AppState& app, QWidget* parent = nullptr, PortSource ports = systemPorts);
    ~CConnectDlg() override;

    // The connect buttons. Each first closes the link in use and restarts the wait.
    void OnRs232();
    void OnRs485();
    void OnUsb();
    void OnWifi();

    QString portName() const { return m_portName; }
    uint8_t connectTicks() const { return m_connectTicks; }
    QTimer& pollTimer() { return m_timer; }
    QComboBox* comList() const { return m_comList; }
    QComboBox* idList() const { return m_idList; }
    QLineEdit* ipField() const { return m_ip; }
    QLineEdit* portField() const { return m_port; }
    QPushButton* rs232Button() const { return m_rs232; }
    QPushButton* rs485Button() const { return m_rs485; }
    QPushButton* usbButton() const { return m_usb; }
    QPushButton* wifiButton() const { return m_wifi; }

public slots:
    // Timer 3: closes the dialog once the processor has answered, or gives up after 21 ticks.
    void OnTimer();

signals:
    // The processor answered the handshake; the dialog closes right after (accepted).
    void linkConfirmed();

protected:
    void changeEvent(QEvent* event) override;

private:
    void fillComList(const std::vector<SerialPortInfo>& ports);
    void beginConnect();
    void retranslate();

    AppState& m_app;
    LinkController& m_links;
    QString m_portName;
    uint8_t m_connectTicks = 0;
    QTimer m_timer;
    QComboBox* m_comList = nullptr;
    QComboBox* m_idList = nullptr;
    QLineEdit* m_ip = nullptr;
    QLineEdit* m_port = nullptr;
    QPushButton* m_rs232 = nullptr;
    QPushButton* m_rs485 = nullptr;
    QPushButton* m_usb = nullptr;
    QPushButton* m_wifi = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QGroupBox* m_comGroup = nullptr;
    QGroupBox* m_usbGroup = nullptr;
    QGroupBox* m_tcpGroup = nullptr;
    QLabel* m_comLabel = nullptr;
    QLabel* m_idLabel = nullptr;
    QLabel* m_ipLabel = nullptr;
    QLabel* m_portLabel = nullptr;
};

} // namespace velmar
