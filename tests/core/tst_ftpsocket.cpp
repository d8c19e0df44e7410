// The timed socket against real loopback peers: refused and hanging connects, cancel from another
// thread, time-outs, peers that close, and sends to a closed peer.
#include "core/net/CTimedSocket.h"
#include "support/FtpServers.h"

#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A listener that never accepts, with its queue filled, so that a further connect hangs.
struct Blackhole
{
    int listener = -1;
    QList<int> fillers;
    int port = 0;

    bool Open()
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(listener, 0) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length) != 0)
            return false;
        port = ntohs(at.sin_port);
        for (int i = 0; i < 16; ++i) {
            const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            fillers.append(s);
            ::connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
            pollfd p { s, POLLOUT, 0 };
            if (::poll(&p, 1, 300) == 0)
                return true; // this one hangs: the queue is full
        }
        return false;
    }
    ~Blackhole()
    {
        for (int s : fillers)
            ::close(s);
        if (listener >= 0)
            ::close(listener);
    }
};

} // namespace

class TestFtpSocket : public QObject
{
    Q_OBJECT

private slots:
    void refusedConnectFails();
    void hangingConnectTimesOutAsConnectFailed();
    void cancelStopsHangingConnect();
    void cancelBelongsToItsRequest();
    void statusTexts_data();
    void statusTexts();
    void connectedPair();
    void interruptWakesBlockedRead();
    void sendToClosedPeerFailsWithoutSignal();
};

void TestFtpSocket::refusedConnectFails()
{
    const int port = TestFtpServer::FreePort();
    CTimedSocket socket(false);
    socket.m_connectTimeout = 5;
    QVERIFY(!socket.Connect("127.0.0.1", port));
    QCOMPARE(socket.GetStatus(), int(CTimedSocket::ConnectFailed));
    QCOMPARE(socket.StatusText(), QStringLiteral("Connect failed"));
    QVERIFY(!socket.IsOpen());
    // An unknown name never reaches a connect.
    QVERIFY(!socket.Connect("no-such-host.invalid", 21));
    QCOMPARE(socket.GetStatus(), int(CTimedSocket::ConnectFailed));
}

void TestFtpSocket::hangingConnectTimesOutAsConnectFailed()
{
    Blackhole hole;
    QVERIFY2(hole.Open(), "the loopback listener queue could not be filled, so no connect hangs");
    CTimedSocket socket(false);
    socket.m_connectTimeout = 1;
    QVERIFY(!socket.Connect("127.0.0.1", hole.port));
    QCOMPARE(socket.StatusText(), QStringLiteral("Connect failed"));
    QVERIFY(!socket.IsOpen());
}

void TestFtpSocket::cancelStopsHangingConnect()
{
    Blackhole hole;
    QVERIFY2(hole.Open(), "the loopback listener queue could not be filled, so no connect hangs");
    CTimedSocket socket(false);
    socket.m_connectTimeout = 0; // no limit: only the cancel can end it
    QElapsedTimer timer;
    std::thread canceller([&socket, &timer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        timer.start();
        socket.CancelConnect();
    });
    const bool connected = socket.Connect("127.0.0.1", hole.port);
    const qint64 afterCancel = timer.elapsed();
    canceller.join();
    qInfo("the connect returned %lld ms after the cancel", static_cast<long long>(afterCancel));
    QVERIFY2(afterCancel < 5000, qUtf8Printable(QString::number(afterCancel)));
    QVERIFY(!connected);
    QCOMPARE(socket.GetStatus(), int(CTimedSocket::OperationCanceled));
    QCOMPARE(socket.StatusText(), QStringLiteral("Operation canceled"));
    QVERIFY(!socket.IsOpen());
}

// Without a sleep: the cancel comes first, for the request whose Connect follows. It must stop
// that Connect at once, and only that one.
void TestFtpSocket::cancelBelongsToItsRequest()
{
    Blackhole hole;
    QVERIFY2(hole.Open(), "the loopback listener queue could not be filled, so no connect hangs");
    CTimedSocket listener(false);
    QVERIFY(listener.Listen("127.0.0.1", 0, 8));
    const int port = listener.GetLocalPort();
    CTimedSocket socket(false);
    socket.m_connectTimeout = 10; // a lost cancel waits all of it

    const CTimedSocket::Request first = socket.ConnectRequest();
    socket.CancelConnect(first);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!socket.Connect("127.0.0.1", hole.port));
    QVERIFY2(timer.elapsed() < 5000, qUtf8Printable(QString::number(timer.elapsed())));
    QCOMPARE(socket.StatusText(), QStringLiteral("Operation canceled"));
    QVERIFY(!socket.IsOpen());

    // The cancelled request is over: the next connect works.
    QVERIFY(socket.Connect("127.0.0.1", port));
    QVERIFY(socket.Close());

    // A cancel that arrives after its request has finished reaches no later request.
    const CTimedSocket::Request second = socket.ConnectRequest();
    QVERIFY(second != first);
    QVERIFY(socket.Connect("127.0.0.1", port));
    QVERIFY(socket.Close());
    socket.CancelConnect(second);
    socket.CancelConnect(first);
    QVERIFY(socket.Connect("127.0.0.1", port));
    QVERIFY(socket.Close());

    // Without a request named, the cancel is for the connect that comes next, and for no other.
    socket.CancelConnect();
    QVERIFY(!socket.Connect("127.0.0.1", port));
    QCOMPARE(socket.StatusText(), QStringLiteral("Operation canceled"));
    QVERIFY(socket.Connect("127.0.0.1", port));
}

void TestFtpSocket::statusTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const char* const texts[] = { "No error", "Invalid Socket", "Valid Socket", "Connect failed",
        "Listen failed", "Accept failed", "Read failed", "Send failed", "Wait failed", "Timed Out",
        "Get info failed", "Set mode failed", "Close failed", "Operation canceled" };
    for (int i = 0; i < int(std::size(texts)); ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(texts[i]);
    QTest::addRow("other") << 77 << QStringLiteral("Unknown Error");
}

void TestFtpSocket::statusTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    CTimedSocket socket(false);
    QCOMPARE(socket.SetStatus(code), code == 0);
    QCOMPARE(socket.StatusText(), text);
}

void TestFtpSocket::connectedPair()
{
    CTimedSocket listener(false);
    QVERIFY(listener.Listen(QByteArray(), 0, 1));
    const int port = listener.GetLocalPort();
    QVERIFY(port > 0);
    QCOMPARE(listener.GetLocalAddress(), QByteArray("0.0.0.0"));

    CTimedSocket client(false);
    client.m_connectTimeout = 5;
    client.m_readTimeout = 1;
    QVERIFY(client.Connect("127.0.0.1", port));
    CTimedSocket server(false);
    server.m_acceptTimeout = 5;
    QVERIFY(server.Accept(listener));

    // A second connect leaves the first connection as it was.
    QVERIFY(!client.Connect("127.0.0.1", port));
    QCOMPARE(client.StatusText(), QStringLiteral("Valid Socket"));
    QVERIFY(client.IsOpen());

    char buffer[16];
    QCOMPARE(client.Read(buffer, 0), qint64(0));
    QCOMPARE(client.GetStatus(), int(CTimedSocket::NoError));
    QCOMPARE(client.Read(buffer, sizeof buffer), qint64(-1));
    QCOMPARE(client.StatusText(), QStringLiteral("Timed Out"));

    QCOMPARE(server.Send("abc", 3), qint64(3));
    QCOMPARE(client.Read(buffer, sizeof buffer), qint64(3));
    QCOMPARE(QByteArray(buffer, 3), QByteArray("abc"));
    QVERIFY(client.Wait(0, false));

    QVERIFY(server.Close());
    QVERIFY(server.Close()); // closing a closed socket is fine
    QCOMPARE(client.Read(buffer, sizeof buffer), qint64(0));
    QCOMPARE(client.GetStatus(), int(CTimedSocket::NoError));

    QVERIFY(client.Close());
    QCOMPARE(client.Read(buffer, sizeof buffer), qint64(-1));
    QCOMPARE(client.StatusText(), QStringLiteral("Invalid Socket"));
    QCOMPARE(client.GetLocalPort(), -1);
    // The same object connects again.
    QVERIFY(client.Connect("127.0.0.1", port));
    QVERIFY(server.Accept(listener));
}

void TestFtpSocket::interruptWakesBlockedRead()
{
    CTimedSocket listener(false);
    QVERIFY(listener.Listen("127.0.0.1", 0, 1));
    CTimedSocket client(false);
    QVERIFY(client.Connect("127.0.0.1", listener.GetLocalPort()));
    CTimedSocket server(false);
    QVERIFY(server.Accept(listener));
    client.m_readTimeout = 0; // no limit
    std::thread interrupter([&client] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        client.Interrupt();
    });
    char buffer[8];
    const qint64 n = client.Read(buffer, sizeof buffer);
    interrupter.join();
    QCOMPARE(n, qint64(-1));
    QCOMPARE(client.StatusText(), QStringLiteral("Operation canceled"));
    client.ClearInterrupt();
    QCOMPARE(server.Send("x", 1), qint64(1));
    QCOMPARE(client.Read(buffer, sizeof buffer), qint64(1));
}

void TestFtpSocket::sendToClosedPeerFailsWithoutSignal()
{
    CTimedSocket listener(false);
    QVERIFY(listener.Listen("127.0.0.1", 0, 1));
    CTimedSocket client(false);
    client.m_sendTimeout = 2;
    QVERIFY(client.Connect("127.0.0.1", listener.GetLocalPort()));
    {
        CTimedSocket server(false);
        QVERIFY(server.Accept(listener));
    }
    // The process must survive every one of these sends; the later ones fail.
    const QByteArray block(64 * 1024, 'x');
    qint64 result = 0;
    for (int i = 0; i < 50 && result >= 0; ++i) {
        result = client.Send(block.constData(), block.size());
        QTest::qWait(10);
    }
    QCOMPARE(result, qint64(-1));
    QCOMPARE(client.StatusText(), QStringLiteral("Send failed"));
}

QTEST_GUILESS_MAIN(TestFtpSocket)
#include "tst_ftpsocket.moc"
