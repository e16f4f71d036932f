// The TCP client against loopback servers: whole frames out, 1280-byte receives, a refused connect and a
// peer that never answers the connect.
#include "TestSupport.h"

#include "transport/ClientSocket.h"
#include "transport/UniqueFd.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

namespace velmar {
namespace {

using test::Bytes;
using test::Hex;
using test::SpinUntil;

const Bytes kHeartbeat = Hex("5A 5A 5A 01 53 A9 00 00 00 00 00 00 A1 AA");

// A loopback server that keeps the first connection it accepts.
class LoopbackServer {
public:
    LoopbackServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            if (!m_peer) m_peer = m_server.nextPendingConnection();
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    QTcpSocket* peer() const { return m_peer; }
    Bytes read(size_t count) {
        Bytes out;
        SpinUntil([&] {
            if (m_peer) {
                const QByteArray data = m_peer->read(qint64(count - out.size()));
                out.insert(out.end(), data.begin(), data.end());
            }
            return out.size() >= count;
        });
        return out;
    }

private:
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
};

struct Connected {
    int connected = 0;
    int failed = 0;
    explicit Connected(ClientSocket& socket) {
        QObject::connect(&socket, &ClientSocket::connected, [this] { ++connected; });
        QObject::connect(&socket, &ClientSocket::connectFailed, [this](const QString&) { ++failed; });
    }
};

TEST(ClientSocketTest, connectsOverLoopbackAndSendsWholeFramesByteExact) {
    LoopbackServer server;
    ClientSocket socket;
    Connected events(socket);
    socket.OpenTcpLink("127.0.0.1", server.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1 && server.peer(); }));
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_FALSE(socket.IsConnecting()) << "the time-out is disarmed once connected";

    EXPECT_EQ(14, socket.Send(kHeartbeat.data(), kHeartbeat.size()));
    EXPECT_EQ(kHeartbeat, server.read(14));
    Bytes image(1614);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13);
    EXPECT_EQ(1614, socket.Send(image.data(), image.size()));
    EXPECT_EQ(image, server.read(1614));
    EXPECT_EQ(0, events.failed);
}

TEST(ClientSocketTest, eachReceiveNoticeTakesAtMost1280BytesUntilEverythingIsRead) {
    LoopbackServer server;
    ClientSocket socket;
    Connected events(socket);
    Bytes received;
    std::vector<int> sizes;
    QObject::connect(&socket, &ClientSocket::receiveReady, [&] {
        uint8_t buffer[1280];
        const int n = socket.Receive(buffer, sizeof buffer);
        sizes.push_back(n);
        if (n > 0) received.insert(received.end(), buffer, buffer + n);
    });
    socket.OpenTcpLink("127.0.0.1", server.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1 && server.peer(); }));

    Bytes burst(3000);
    for (size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<uint8_t>(i);
    server.peer()->write(reinterpret_cast<const char*>(burst.data()), qint64(burst.size()));
    ASSERT_TRUE(SpinUntil([&] { return received.size() == burst.size(); }));
    EXPECT_EQ(burst, received);
    EXPECT_GE(sizes.size(), 3u);
    for (int n : sizes) EXPECT_LE(n, 1280);
}

TEST(ClientSocketTest, aReceiveWithNothingThereGivesZeroAndAClosedSocketGivesMinusOne) {
    LoopbackServer server;
    ClientSocket socket;
    Connected events(socket);
    socket.OpenTcpLink("127.0.0.1", server.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1; }));
    uint8_t buffer[1280];
    EXPECT_EQ(0, socket.Receive(buffer, sizeof buffer));
    EXPECT_TRUE(socket.CloseTcpLink());
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(-1, socket.Receive(buffer, sizeof buffer));
    EXPECT_EQ(-1, socket.Send(kHeartbeat.data(), kHeartbeat.size()));
}

TEST(ClientSocketTest, aRefusedConnectGivesUpWithinTwoSeconds) {
    quint16 closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    ClientSocket socket;
    Connected events(socket);
    QElapsedTimer timer;
    timer.start();
    socket.OpenTcpLink("127.0.0.1", closedPort);
    ASSERT_TRUE(SpinUntil([&] { return events.failed == 1; }, 3000));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(0, events.connected);
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_FALSE(socket.IsConnecting());
}

TEST(ClientSocketTest, aConnectNobodyAnswersIsAbandonedBetweenOneAndTwoSeconds) {
    // A listener with a full accept queue drops further SYNs, so the connect just waits.
    UniqueFd listener(::socket(AF_INET, SOCK_STREAM, 0));
    ASSERT_TRUE(listener.valid());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address));
    ASSERT_EQ(0, ::listen(listener.get(), 0));
    socklen_t length = sizeof address;
    ASSERT_EQ(0, ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length));
    UniqueFd filler(::socket(AF_INET, SOCK_STREAM, 0));
    ASSERT_EQ(0, ::connect(filler.get(), reinterpret_cast<sockaddr*>(&address), sizeof address));

    ClientSocket socket;
    Connected events(socket);
    QElapsedTimer timer;
    timer.start();
    socket.OpenTcpLink("127.0.0.1", ntohs(address.sin_port));
    ASSERT_TRUE(SpinUntil([&] { return events.failed + events.connected > 0; }, 4000));
    EXPECT_EQ(0, events.connected);
    EXPECT_EQ(1, events.failed);
    EXPECT_GE(timer.elapsed(), 1000);
    EXPECT_LT(timer.elapsed(), 2500); // two seconds, plus slack for a loaded test machine
    EXPECT_FALSE(socket.IsConnected());
}

TEST(ClientSocketTest, aPeerThatHangsUpIsReportedAsLostAndLeavesItsLastBytesReadable) {
    LoopbackServer server;
    ClientSocket socket;
    Connected events(socket);
    int lost = 0;
    QObject::connect(&socket, &ClientSocket::connectionLost, [&](const QString&) { ++lost; });
    socket.OpenTcpLink("127.0.0.1", server.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1 && server.peer(); }));
    server.peer()->write("\x5A\x5A\x5A", 3);
    server.peer()->flush();
    server.peer()->disconnectFromHost();
    ASSERT_TRUE(SpinUntil([&] { return lost == 1; }));
    EXPECT_EQ(0, events.failed);
    uint8_t buffer[1280];
    EXPECT_EQ(3, socket.Receive(buffer, sizeof buffer));
}

TEST(ClientSocketTest, closingOnPurposeRaisesNoError) {
    LoopbackServer server;
    ClientSocket socket;
    Connected events(socket);
    int lost = 0;
    QObject::connect(&socket, &ClientSocket::connectionLost, [&](const QString&) { ++lost; });
    socket.OpenTcpLink("127.0.0.1", server.port());
    socket.CloseTcpLink(); // while connecting
    socket.OpenTcpLink("127.0.0.1", server.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1; }));
    socket.CloseTcpLink(); // while connected
    test::SpinFor(50);
    EXPECT_EQ(0, lost);
    EXPECT_EQ(0, events.failed);
}

TEST(ClientSocketTest, openingAgainAbandonsTheConnectInProgress) {
    LoopbackServer first, second;
    ClientSocket socket;
    Connected events(socket);
    socket.OpenTcpLink("127.0.0.1", first.port());
    socket.OpenTcpLink("127.0.0.1", second.port());
    ASSERT_TRUE(SpinUntil([&] { return events.connected == 1 && second.peer(); }));
    test::SpinFor(50);
    EXPECT_EQ(1, events.connected);
    EXPECT_EQ(0, events.failed);
}

} // namespace
} // namespace velmar
