#pragma once
// The other game in a network test: a plain socket on loopback that sends exactly the bytes a
// test gives it and keeps every byte it receives, so the test can compare them whole.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

// Runs the event loop until the predicate holds (true) or five seconds pass (false), never sleeping.
template <typename Predicate>
bool pumpUntil(Predicate predicate, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    QTimer wake; // WaitForMoreEvents returns at the latest on its ticks
    wake.start(10);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

class ScriptedPeer
{
public:
    // A peer that connects to the game (the game is the server).
    ScriptedPeer() : m_socket(std::make_unique<QTcpSocket>()) { watch(); }
    // A peer for a connection accepted from the game (the game is the client).
    explicit ScriptedPeer(QTcpSocket *accepted) : m_socket(accepted)
    {
        m_socket->setParent(nullptr);
        watch();
        m_received += m_socket->readAll(); // whatever came before it was watched
    }
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    QTcpSocket &socket() { return *m_socket; }
    const QByteArray &received() const { return m_received; }
    bool closed() const { return m_closed; }

    bool connectToGame(const QHostAddress &address = QHostAddress::LocalHost)
    {
        m_socket->connectToHost(address, 1234);
        return pumpUntil([this] { return m_socket->state() == QAbstractSocket::ConnectedState; });
    }

    void send(const QByteArray &bytes)
    {
        m_socket->write(bytes);
        m_socket->flush();
    }

    // Waits for the next complete line after what was taken before, and returns it.
    QByteArray nextLine()
    {
        pumpUntil([this] { return m_received.indexOf('\n', m_taken) >= 0; });
        const qsizetype end = m_received.indexOf('\n', m_taken);
        if (end < 0)
            return QByteArray();
        const QByteArray line = m_received.mid(m_taken, end + 1 - m_taken);
        m_taken = end + 1;
        return line;
    }

    bool waitForClose()
    {
        return pumpUntil([this] { return m_closed; });
    }

    // Nothing more arrives within a short while (for checks that something is not sent).
    bool staysQuiet(int ms = 150)
    {
        const qsizetype before = m_received.size();
        QTest::qWait(ms);
        return m_received.size() == before;
    }

private:
    void watch()
    {
        QObject::connect(m_socket.get(), &QIODevice::readyRead, m_socket.get(),
                         [this] { m_received += m_socket->readAll(); });
        QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, m_socket.get(), [this] { m_closed = true; });
    }

    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
    qsizetype m_taken = 0;
    bool m_closed = false;
};

// The other game when ours is the client: listens on port 1234 and keeps the connection it gets.
class ScriptedServer
{
public:
    bool listen() { return m_server.listen(QHostAddress::Any, 1234); }

    // Waits for the game's next connection.
    ScriptedPeer *accept()
    {
        if (!pumpUntil([this] { return m_server.hasPendingConnections(); }))
            return nullptr;
        m_peers.push_back(std::make_unique<ScriptedPeer>(m_server.nextPendingConnection()));
        return m_peers.back().get();
    }

private:
    QTcpServer m_server;
    std::vector<std::unique_ptr<ScriptedPeer>> m_peers;
};
