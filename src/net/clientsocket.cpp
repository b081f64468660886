#include "net/clientsocket.h"

#include "game/gamestate.h"
#include "net/protocol.h"
#include "net/wire.h"
#include "platform/log.h"

namespace {

Protocol::ServerSide serverSideOf(const GameState &state)
{
    return {state.netState, state.serverAccepting, state.raceTick, state.pos1, state.pos2, state.winner,
            state.challengerWeight, state.opponentName, state.myName};
}

void takeServerSide(GameState &state, const Protocol::ServerSide &side)
{
    state.netState = side.netState;
    state.raceTick = side.raceTick;
    state.challengerWeight = side.challengerWeight;
    state.opponentName = side.opponentName;
    state.myName = side.myName;
}

}

ClientSocket::ClientSocket(qintptr socket, QObject *parent) : QTcpSocket(parent)
{
    connect(this, &QTcpSocket::readyRead, this, &ClientSocket::readClient);
    connect(this, &QTcpSocket::disconnected, this, &ClientSocket::connectionClosed);
    // Never more than one line's worth waits here: a peer that sends no line feed fills it and
    // is dropped when readClient finds it full.
    setReadBufferSize(Protocol::maxLineLength);
    setSocketDescriptor(socket);
}

ClientSocket::~ClientSocket()
{
    // Closing in the base class's destructor must not reach this object's slots.
    detach();
    if (gs.serverConnection == this)
        gs.serverConnection = nullptr;
}

void ClientSocket::detach()
{
    m_done = true;
    disconnect(this, nullptr, this, nullptr);
}

void ClientSocket::dispose()
{
    detach();
    if (gs.serverConnection == this)
        gs.serverConnection = nullptr;
    close();
    deleteLater();
}

void ClientSocket::readClient()
{
    // Each line is answered before the next is read; the state is the game's one netState, shared
    // by every open connection.
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
        gs.receivedLine = QString::fromLatin1(line);
        const Protocol::ServerStep step = Protocol::serverStep(serverSideOf(gs), line, QByteArray(gs.horseName));
        takeServerSide(gs, step.state);
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
    if (gs.serverAccepting == 1) {
        gs.netState = 10;
        gs.shownMode = 0;
    }
    dispose();
}
