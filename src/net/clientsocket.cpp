#include "net/clientsocket.h"

#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "net/wire.h"
#include "platform/log.h"
#include "race/rules/race.h"

#include <algorithm>

namespace {

// The race's connection is let go: the race it owned is over with it.
void forget(const ClientSocket *connection)
{
    if (gs.net.serverConnection != connection)
        return;
    gs.net.serverConnection = nullptr;
    gs.net.serverConnectionOwnsRace = 0;
}

// What a line changed, into the game.
void takeStep(const Protocol::ServerStep &step)
{
    gs.net.netState = step.netState;
    if (step.startsRace)
        raceOff(gs.race);
    if (step.sharesResult)
        gs.net.resultKnown = 1;
    if (step.challenger)
        meetChallenger(gs.race, step.challenger->name, step.challenger->weight);
}

}

ClientSocket::ClientSocket(qintptr socket, QObject *parent) : QTcpSocket(parent)
{
    connect(this, &QTcpSocket::readyRead, this, &ClientSocket::readClient);
    connect(this, &QTcpSocket::disconnected, this, &ClientSocket::connectionClosed);
    m_quietSince.start();
    m_quiet.setParent(this); // a child, so a test can find it and shorten the limit
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(Protocol::quietLimitMs);
    connect(&m_quiet, &QTimer::timeout, this, &ClientSocket::quietTooLong);
    m_quiet.start();
    // Never more than one line's worth waits here: a peer that sends no line feed fills it and
    // is dropped when readClient finds it full.
    setReadBufferSize(Protocol::maxLineLength);
    setSocketDescriptor(socket);
}

ClientSocket::~ClientSocket()
{
    // Closing in the base class's destructor must not reach this object's slots.
    detach();
    forget(this);
}

Protocol::Sender ClientSocket::arriving()
{
    return Protocol::senderOf(gs.net.netState, gs.net.serverConnection && gs.net.serverConnectionOwnsRace == 1, false);
}

Protocol::Sender ClientSocket::sender() const
{
    return Protocol::senderOf(gs.net.netState, gs.net.serverConnection && gs.net.serverConnectionOwnsRace == 1,
                              gs.net.serverConnection == this);
}

void ClientSocket::detach()
{
    m_done = true;
    m_quiet.stop();
    disconnect(this, nullptr, this, nullptr);
}

void ClientSocket::dispose()
{
    detach();
    forget(this);
    close();
    deleteLater();
}

void ClientSocket::readClient()
{
    // Each line is answered before the next is read. The state is the game's one netState; once a
    // connection's greeting is accepted, only that connection's lines change it.
    while (!m_done) {
        const Protocol::WaitingLines waiting = Protocol::takeLines(*this, 1);
        if (waiting.tooLong) {
            logText("%s", Protocol::lineTooLongLog().constData());
            connectionClosed();
            return;
        }
        if (waiting.lines.isEmpty())
            return;
        const QByteArray &line = waiting.lines.first();
        m_quietSince.start();
        m_quiet.start();
        const Protocol::Sender from = sender();
        const Protocol::ServerStep step = Protocol::serverStep(gs.net, gs.race, line, QByteArray(gs.horse.name), from);
        takeStep(step);
        if (step.takesRace) {
            gs.net.serverConnection = this;
            gs.net.serverConnectionOwnsRace = 1;
        }
        logAndSend(*this, step.log, step.reply);
        // A game asks once and reads the answer; answers piling up unsent are a peer that never
        // reads, and would be kept without end.
        if (bytesToWrite() >= Protocol::maxLineLength) {
            logText("trotix: Peer does not read its answers, connection dropped.\n");
            connectionClosed();
            return;
        }
    }
}

void ClientSocket::connectionClosed()
{
    if (m_done)
        return;
    logText("trotix: Disconnected Unexpectedly...\n");
    // The race's own connection leaving ends the race. Before anyone greets, a leaving connection
    // ends the wait only when it was the last: another may yet greet.
    const auto connections = parent()->findChildren<ClientSocket *>(Qt::FindDirectChildrenOnly);
    const auto served =
        std::count_if(connections.begin(), connections.end(), [](const ClientSocket *c) { return c->served(); });
    const Protocol::Sender from = sender();
    if (gs.net.serverAccepting == 1
        && (from == Protocol::Sender::Owner || (from == Protocol::Sender::Anyone && served == 1))) {
        gs.net.netState = Protocol::netStateAfterLoss(gs.net.netState, gs.net.resultKnown == 1);
        gs.shell.shownMode = 0;
    }
    dispose();
}

void ClientSocket::quietTooLong()
{
    // The race's own connection may be quiet as long as its player likes.
    if (sender() == Protocol::Sender::Owner) {
        m_quiet.start();
        return;
    }
    logText("trotix: Connection quiet too long, dropped.\n");
    dispose();
}
