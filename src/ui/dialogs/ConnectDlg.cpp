// The connection dialog: port and address lists, the four connect buttons and the confirmation wait.
#include "ui/dialogs/ConnectDlg.h"

#include "transport/LinkController.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmar {

namespace {

// Four numbers 0..255 separated by dots, as the address field of a network dialog takes them.
const QRegularExpression& ipv4Pattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}(25[0-5]|2[0-4][0-9]|1[0-9][0-"
                       "9]|[1-9]?[0-9])$"));
    return pattern;
}

QPushButton* connectButton(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setMinimumSize(96, 30);
    b->setAutoDefault(false);
    return b;
}

} // namespace

std::vector<SerialPortInfo> CConnectDlg::systemPorts() {
    std::vector<SerialPortInfo> ports;
    // A device tree that cannot be read leaves the list empty, which shows as "NULL".
    EnumeratePorts(ports, false);
    return ports;
}

CConnectDlg::CConnectDlg(AppState& app, QWidget* parent, PortSource ports)
    : QDialog(parent), m_app(app), m_links(*app.links) {
    m_comList = new QComboBox(this);
    m_comList->setEditable(true); // a pseudo-terminal path can be typed in
    m_comList->setInsertPolicy(QComboBox::NoInsert);
    m_comList->setMinimumWidth(200);
    m_idList = new QComboBox(this);
    m_rs232 = connectButton(this);
    m_rs485 = connectButton(this);
    m_usb = connectButton(this);
    m_wifi = connectButton(this);
    m_ip = new QLineEdit(this);
    m_ip->setValidator(new QRegularExpressionValidator(ipv4Pattern(), m_ip));
    m_port = new QLineEdit(this);
    m_port->setValidator(new QIntValidator(1, 65535, m_port));
    m_port->setMaximumWidth(80);
    m_ok = new QPushButton(this);
    m_cancel = new QPushButton(this);
    m_ok->setDefault(true);
    m_comGroup = new QGroupBox(this);
    m_usbGroup = new QGroupBox(this);
    m_tcpGroup = new QGroupBox(this);
    m_comLabel = new QLabel(this);
    m_idLabel = new QLabel(this);
    m_ipLabel = new QLabel(this);
    m_portLabel = new QLabel(this);

    auto* com = new QGridLayout(m_comGroup);
    com->addWidget(m_comLabel, 0, 0);
    com->addWidget(m_comList, 0, 1, 1, 2);
    com->addWidget(m_idLabel, 1, 0);
    com->addWidget(m_idList, 1, 1, 1, 2);
    com->addWidget(m_rs232, 2, 1);
    com->addWidget(m_rs485, 2, 2);
    com->setColumnStretch(1, 1);
    com->setColumnStretch(2, 1);

    auto* usb = new QHBoxLayout(m_usbGroup);
    usb->addWidget(m_usb);
    usb->addStretch(1);

    auto* tcp = new QGridLayout(m_tcpGroup);
    tcp->addWidget(m_ipLabel, 0, 0);
    tcp->addWidget(m_ip, 0, 1);
    tcp->addWidget(m_portLabel, 0, 2);
    tcp->addWidget(m_port, 0, 3);
    tcp->addWidget(m_wifi, 1, 1);
    tcp->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addWidget(m_comGroup);
    layout->addWidget(m_usbGroup);
    layout->addWidget(m_tcpGroup);
    layout->addLayout(buttons);

    connect(m_rs232, &QPushButton::clicked, this, &CConnectDlg::OnRs232);
    connect(m_rs485, &QPushButton::clicked, this, &CConnectDlg::OnRs485);
    connect(m_usb, &QPushButton::clicked, this, &CConnectDlg::OnUsb);
    connect(m_wifi, &QPushButton::clicked, this, &CConnectDlg::OnWifi);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    retranslate();

    // Initialisation: the port list, the network address, the timer, the address list.
    fillComList(ports ? ports() : std::vector<SerialPortInfo>{});
    connect(m_comList, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { m_portName = text; });
    m_ip->setText(m_links.wifiAddress());
    m_port->setText(QString::number(m_links.wifiPort()));
    m_timer.setInterval(kTimerMs);
    connect(&m_timer, &QTimer::timeout, this, &CConnectDlg::OnTimer);
    m_timer.start();
    for (int id = 1; id <= kAddressCount; ++id) m_idList->addItem(QString::number(id));
    // The list shows the address in use and the core keeps it until the user connects: on a live RS485
    // link, opening the dialog and pressing Cancel must not turn the frames to another unit.
    const int current = m_app.core.deviceAddress;
    m_idList->setCurrentIndex(current >= 1 && current <= kAddressCount ? current - 1 : 0);
}

CConnectDlg::~CConnectDlg() = default;

void CConnectDlg::fillComList(const std::vector<SerialPortInfo>& ports) {
    m_comList->clear();
    int preferred = -1;
    // The demo's simulator comes first and is the one chosen.
    for (const QString& extra : m_app.extraSerialPorts) {
        if (preferred < 0) preferred = m_comList->count();
        m_comList->addItem(extra);
    }
    int first = -1;
    int firstUsb = -1;
    for (const SerialPortInfo& info : ports) {
        if (info.portName.empty()) continue;
        if (first < 0) first = m_comList->count();
        if (info.usbAttached && firstUsb < 0) firstUsb = m_comList->count();
        m_comList->addItem(QString::fromStdString(info.portName));
    }
    if (m_comList->count() == 0) m_comList->addItem(QStringLiteral("NULL"));
    if (preferred < 0) preferred = firstUsb >= 0 ? firstUsb : 0;
    m_comList->setCurrentIndex(preferred);
    m_portName = m_comList->currentText();
}

void CConnectDlg::beginConnect() {
    m_connectTicks = 0;
    if (m_app.core.linkConnected == 1) m_links.closeLink();
    const int index = m_idList->currentIndex();
    m_app.core.deviceAddress = uint8_t(index >= 0 && index < kAddressCount ? index + 1 : 1);
}

void CConnectDlg::OnRs232() {
    beginConnect();
    // A failure shows "Unable to open COM-port" and leaves the state not connected.
    m_links.openSerial(m_portName);
}

void CConnectDlg::OnRs485() {
    // RS485 runs through the RS232 button with the address chosen in the ID list.
}

void CConnectDlg::OnUsb() {
    beginConnect();
    // Counts as connected whether or not the device was found: a missing device shows at the first
    // frame ("Device disconnect") and clears the state, so the wait below never runs out for it.
    m_links.openUsb();
}

void CConnectDlg::OnWifi() {
    beginConnect();
    // Only a full dotted quad: the address parser would also take shorthand such as "127.1".
    const QString text = m_ip->text().trimmed();
    const QHostAddress address(text);
    bool portOk = false;
    const int port = m_port->text().toInt(&portOk);
    if (!ipv4Pattern().match(text).hasMatch() || address.protocol() != QAbstractSocket::IPv4Protocol ||
        !portOk || port <= 0 || port > 65535) {
        m_app.core.linkConnected = 0;
        m_app.showMessage(this, tr("Can't open the wifi"), QString());
        return;
    }
    m_links.setWifiAddress(address.toString());
    m_links.setWifiPort(port);
    // The connect completes (or fails with "Can't open the wifi") within two seconds.
    m_links.openTcp();
}

void CConnectDlg::OnTimer() {
    if (m_app.core.linkConnected != 1) return;
    if (m_app.core.linkConfirmed) {
        emit linkConfirmed();
        accept();
        return;
    }
    if (++m_connectTicks <= kConnectTickLimit) return;
    m_connectTicks = 0;
    m_app.core.linkConnected = 0;
    // The link is closed before the box, so nothing from it arrives while the box is up.
    m_links.closeLink();
    m_app.showMessage(this, tr("check, link again"), QString());
}

void CConnectDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void CConnectDlg::retranslate() {
    setWindowTitle(tr("Port"));
    m_comGroup->setTitle(tr("COM CONNECT"));
    m_usbGroup->setTitle(tr("USB CONNECT"));
    m_tcpGroup->setTitle(tr("TCP/IP CONNECT"));
    m_comLabel->setText(tr("COM"));
    m_idLabel->setText(tr("ID"));
    m_ipLabel->setText(tr("IP"));
    m_portLabel->setText(tr("PORT"));
    m_rs232->setText(tr("RS232"));
    m_rs485->setText(tr("RS485"));
    m_usb->setText(tr("USB"));
    m_wifi->setText(tr("WIFI"));
    m_ok->setText(tr("OK"));
    m_cancel->setText(tr("Cancel"));
}

} // namespace velmar
