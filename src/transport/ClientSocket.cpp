// ClientSocket on QTcpSocket.
#include "ClientSocket.h"

#include <QMetaObject>
#include <QSignalBlocker>

namespace velmar {

ClientSocket::ClientSocket(QObject* parent) : QObject(parent), m_socket(this), m_connectTimer(this) {
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("connection timed out")); });
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimer.stop();
        // Small frames go out at once instead of waiting for more.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit connected();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_connectTimer.isActive())
            fail(m_socket.errorString());
        else
            emit connectionLost(m_socket.errorString());
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { OnReceive(); });
}

ClientSocket::~ClientSocket() {
    m_socket.abort();
}

void ClientSocket::OpenTcpLink(const QString& address, quint16 port) {
    CloseTcpLink();
    SetTimeOut(kConnectTimeoutMs);
    m_socket.connectToHost(address, port);
}

bool ClientSocket::CloseTcpLink() {
    KillTimeOut();
    // Closing on purpose raises no error of its own.
    const QSignalBlocker quiet(m_socket);
    m_socket.abort();
    return true;
}

void ClientSocket::fail(const QString& reason) {
    CloseTcpLink();
    emit connectFailed(reason);
}

void ClientSocket::SetTimeOut(int milliseconds) {
    m_timeOutArmed = true;
    m_connectTimer.start(milliseconds);
}

void ClientSocket::KillTimeOut() {
    m_timeOutArmed = false;
    m_connectTimer.stop();
}

qint64 ClientSocket::Send(const uint8_t* data, size_t size) {
    if (!IsConnected()) return -1;
    const qint64 n = m_socket.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    m_socket.flush();
    return n;
}

int ClientSocket::Receive(uint8_t* buffer, int size) {
    if (!IsConnected() && m_socket.bytesAvailable() == 0) return -1;
    const qint64 n = m_socket.read(reinterpret_cast<char*>(buffer), size);
    if (m_socket.bytesAvailable() > 0 && !m_receiveQueued) {
        // Qt announces new bytes only; what is left over gets a notice of its own.
        m_receiveQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_receiveQueued = false;
                if (m_socket.bytesAvailable() > 0) OnReceive();
            },
            Qt::QueuedConnection);
    }
    return static_cast<int>(n);
}

void ClientSocket::OnReceive() {
    m_timeOutArmed = false;
    emit receiveReady();
}

} // namespace velmar
