// The client side of a network race: the one client socket, its hand-shake and the position
// requests. The rules are in protocol.cpp; these slots move fields and bytes.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/protocol.h"
#include "net/wire.h"
#include "platform/log.h"
#include "race/raceweight.h"

#include <QTcpSocket>

namespace {

// The connection cannot carry the race: the connecting screen shows "Host cannot be connected!".
void connectionFailed()
{
    logText("trotix: Start client connection Error!\n");
    gs.netState = Protocol::NetLost;
}

// What a line changed, into the game.
void takeStep(const Protocol::ClientStep &step)
{
    gs.netState = step.netState;
    if (step.opponentName)
        gs.opponentName = *step.opponentName;
    if (!step.answer)
        return;
    gs.askPosReady = 1;
    if (step.answer->wellFormed) {
        gs.pos1 = step.answer->pos1;
        gs.pos2 = step.answer->pos2;
        gs.winner = step.answer->winner;
    }
}

}

void Trotix::ClientError()
{
    // Qt reports the server's orderly close as an error too; after the hand-shake it is the
    // normal end of a race and goes unnoticed.
    const bool closedByServer = gs.clientSocket->error() == QAbstractSocket::RemoteHostClosedError;
    if (Protocol::clientConnectionFailed(gs.netState, closedByServer))
        connectionFailed();
}

void Trotix::ClientConnected()
{
    logText("trotix: Ping! Client Connected\n");
    if (gs.netState == Protocol::NetIdle) {
        gs.netState = Protocol::NetConnected;
        sendMessage(*gs.clientSocket, Protocol::keywordLine(Protocol::Keyword::Trotix));
    }
}

void Trotix::ClientRead()
{
    logText("trotix: Something ready for read by client\n");
    // Only the last complete line counts; a notification without one changes nothing.
    const Protocol::WaitingLines waiting = Protocol::takeLines(*gs.clientSocket);
    if (waiting.tooLong) {
        logText("%s", Protocol::lineTooLongLog().constData());
        gs.clientSocket->abort();
        connectionFailed();
        return;
    }
    if (waiting.lines.isEmpty())
        return;
    const QByteArray &line = waiting.lines.last();
    gs.receivedLine = QString::fromLatin1(line);
    const int weight = raceWeight(attributesOf(gs));
    const Protocol::ClientStep step = Protocol::clientStep(gs.netState, line, QByteArray(gs.horseName), weight);
    takeStep(step);
    logAndSend(*gs.clientSocket, step.log, step.send);
}

void Trotix::ClientFire()
{
    logText("trotix: Fire! Race Start.\n");
    sendMessage(*gs.clientSocket, Protocol::keywordLine(Protocol::Keyword::Gogogo));
}

void Trotix::getPos()
{
    if (gs.askPosReady != 1)
        return;
    gs.askPosReady = 0;
    logText("trotix: getPOS from Server...\n");
    sendMessage(*gs.clientSocket, Protocol::keywordLine(Protocol::Keyword::Askpos));
}

void Trotix::closeClientSocket()
{
    // The signals go first, so that closing reports nothing to the game.
    QTcpSocket *socket = gs.clientSocket;
    disconnect(socket, &QAbstractSocket::errorOccurred, this, &Trotix::ClientError);
    disconnect(socket, &QAbstractSocket::connected, this, &Trotix::ClientConnected);
    disconnect(socket, &QIODevice::readyRead, this, &Trotix::ClientRead);
    socket->close();
    // A close still sending would hold the socket in its closing state, and the next race's
    // connect would then be refused.
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
}
