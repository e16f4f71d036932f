// ClientSocket: the TCP client to the processor's WiFi module, with the connection time-out of one to
// two seconds and the receive notice that makes the owner read up to 1280 bytes.
#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <cstddef>
#include <cstdint>

namespace velmar {

// The module's own address on the network it provides, and its port.
inline constexpr const char* kDefaultWifiAddress = "192.168.4.1";
inline constexpr int kDefaultWifiPort = 8080;

// Lives on the user-interface thread; every function is called there and every signal is delivered
// there. Connecting never blocks: OpenTcpLink starts it and connected() or connectFailed() follows.
class ClientSocket : public QObject {
    Q_OBJECT
public:
    static constexpr int kConnectTimeoutMs = 1500;
    static constexpr int kReceiveChunk = 1280;

    explicit ClientSocket(QObject* parent = nullptr);
    ~ClientSocket() override;

    // Closes any connection, then starts connecting to address:port. Exactly one of connected() and
    // connectFailed() follows, unless CloseTcpLink comes first; a connect that has not completed after
    // kConnectTimeoutMs is abandoned.
    void OpenTcpLink(const QString& address, quint16 port);
    // Closes at once, dropping unsent and unread bytes. Always true.
    bool CloseTcpLink();

    bool IsConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool IsConnecting() const { return m_connectTimer.isActive(); }

    // Queues one whole frame. The byte count, or -1 when not connected.
    qint64 Send(const uint8_t* data, size_t size);
    // Takes up to size bytes of what has arrived. The count (0 when nothing is there), or -1 when not
    // connected. When bytes remain, another receiveReady() is queued, so each notice means one read.
    int Receive(uint8_t* buffer, int size);

    // Arms the connection time-out (the argument is the time-out in milliseconds).
    void SetTimeOut(int milliseconds);
    // Disarms it.
    void KillTimeOut();

signals:
    void connected();
    void connectFailed(const QString& reason);
    // Bytes can be received (the main window's receive message).
    void receiveReady();
    // The peer closed or the connection broke after it was made. Nothing has to react: the link
    // supervision notices the silence.
    void connectionLost(const QString& reason);

private:
    void OnReceive();
    void fail(const QString& reason);

    QTcpSocket m_socket;
    QTimer m_connectTimer;
    bool m_timeOutArmed = false;
    bool m_receiveQueued = false;
};

} // namespace velmar
