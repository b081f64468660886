#pragma once
// The other game in a network test: a plain socket on loopback that sends exactly the bytes a
// test gives it and keeps every byte it receives, so the test can compare them whole.
#include "gamefixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

// Runs the event loop until the predicate holds (true) or `ms` pass (false), never sleeping.
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
    // A connection the game accepted from us, or (given) one we accepted from the game.
    explicit ScriptedPeer(QTcpSocket *accepted = nullptr) : m_socket(accepted ? accepted : new QTcpSocket)
    {
        m_socket->setParent(nullptr);
        QObject::connect(m_socket.get(), &QIODevice::readyRead, m_socket.get(), [this] { m_received += m_socket->readAll(); });
        QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, m_socket.get(), [this] { m_closed = true; });
        if (accepted)
            m_received += m_socket->readAll(); // whatever came before it was watched
    }

    QTcpSocket &socket() { return *m_socket; }
    const QByteArray &received() const { return m_received; }
    bool closed() const { return m_closed; }
    bool waitForClose() { return pumpUntil([this] { return m_closed; }); }

    bool connectToGame()
    {
        m_socket->connectToHost(QHostAddress::LocalHost, 1234);
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
        const QByteArray line = end < 0 ? QByteArray() : m_received.mid(m_taken, end + 1 - m_taken);
        m_taken = end < 0 ? m_taken : end + 1;
        return line;
    }

    // Nothing more arrives within a short while (for checks that something is not sent).
    bool staysQuiet(int ms = 150)
    {
        const qsizetype before = m_received.size();
        QTest::qWait(ms);
        return m_received.size() == before;
    }

private:
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
    qsizetype m_taken = 0;
    bool m_closed = false;
};

// A connection screen's failure display: from the failure state `first`, the next three ticks
// count on the screen `screen` and the fourth returns to idle.
inline bool countsDownToIdle(GameFixture &game, int first, int screen)
{
    for (int expected = first + 1; expected < first + 4; ++expected) {
        game.tick();
        if (gs.netState != expected || gs.mode != screen)
            return false;
    }
    game.tick();
    return gs.netState == 0 && gs.mode == ModeIdle;
}
