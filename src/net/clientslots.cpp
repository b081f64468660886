// The client side of a network race: the one client socket, its hand-shake and the position
// requests. The rules are in protocol.cpp; these slots move fields and bytes.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "net/wire.h"
#include "platform/log.h"
#include "platform/windowsettings.h"
#include "race/rules/race.h"
#include "race/rules/raceweight.h"

#include <QLineEdit>
#include <QTcpSocket>
#include <QTimer>

namespace {

// The connection is lost: before the result is known the connecting screen shows "Host cannot be
// connected!"; after it the race ends as usual and nothing is logged.
void connectionLost()
{
    const int state = Protocol::netStateAfterLoss(gs.net.netState, gs.net.resultKnown == 1);
    if (state == gs.net.netState)
        return;
    logText("trotix: Start client connection Error!\n");
    gs.net.netState = state;
}

// What a line changed, into the game.
void takeStep(const Protocol::ClientStep &step)
{
    gs.net.netState = step.netState;
    if (step.opponentName)
        meetOpponent(gs.race, *step.opponentName);
    if (!step.answer)
        return;
    gs.net.askPosReady = 1;
    if (step.answer->wellFormed) {
        takePositions(gs.race, {step.answer->pos1, step.answer->pos2}, step.answer->winner);
        if (gs.race.winner != 0)
            gs.net.resultKnown = 1;
    }
}

}

void Trotix::connectClient()
{
    QTcpSocket *socket = gs.net.clientSocket;
    // A socket still closing from an earlier race would refuse the new connection.
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
    socket->setReadBufferSize(Protocol::maxLineLength); // see ClientRead: a full buffer is a dropped peer
    // The signals are in place before connecting starts: a failure found at once is reported then.
    connect(socket, &QAbstractSocket::errorOccurred, this, &Trotix::ClientError, Qt::UniqueConnection);
    connect(socket, &QAbstractSocket::connected, this, &Trotix::ClientConnected, Qt::UniqueConnection);
    connect(socket, &QIODevice::readyRead, this, &Trotix::ClientRead, Qt::UniqueConnection);
    gs.net.clientQuietTicks = 0; // the hand-shake's patience starts with the connection
    socket->connectToHost(m_addressEdit->text(), Protocol::port);
    logText("trotix: Try to establish client connection\n");
}

void Trotix::ClientError()
{
    // The host closed the last race's connection: it waits for a challenger again, or says it
    // does not. Connected from the next event, when the socket is done with this one.
    if (m_rejoinOnClose) {
        m_rejoinOnClose = false;
        QTimer::singleShot(0, this, [this] {
            if (gs.shell.mode == ModeClientConnect)
                connectClient();
        });
        return;
    }
    // Qt reports the server's close as an error too: the race's end once its result is known.
    connectionLost();
}

void Trotix::ClientConnected()
{
    logText("trotix: Ping! Client Connected\n");
    WindowSettings::setLastAddress(gs.net.clientSocket->peerName()); // the name as typed, not what it resolved to
    if (gs.net.netState == Protocol::NetIdle) {
        gs.net.netState = Protocol::NetConnected;
        sendMessage(*gs.net.clientSocket, Protocol::keywordLine(Protocol::Keyword::Trotix));
    }
}

void Trotix::ClientRead()
{
    logText("trotix: Something ready for read by client\n");
    // Only the last complete line counts; a notification without one changes nothing.
    const Protocol::WaitingLines waiting = Protocol::takeLines(*gs.net.clientSocket);
    if (waiting.tooLong) {
        logText("%s", Protocol::lineTooLongLog().constData());
        gs.net.clientSocket->abort();
        connectionLost();
        return;
    }
    if (waiting.lines.isEmpty())
        return;
    const QByteArray &line = waiting.lines.last();
    const int weight = raceWeight(gs.horse.attributes);
    const Protocol::ClientStep step = Protocol::clientStep(gs.net.netState, line, QByteArray(gs.horse.name), weight);
    takeStep(step);
    if (step.awaited)
        gs.net.clientQuietTicks = 0;
    logAndSend(*gs.net.clientSocket, step.log, step.send);
    if (step.hostBroke) {
        // As if the host had left, said once: closed, nothing more of it is read.
        closeClientSocket();
        gs.net.netState = Protocol::netStateAfterLoss(gs.net.netState, gs.net.resultKnown == 1);
    }
}

void Trotix::ClientFire()
{
    logText("trotix: Fire! Race Start.\n");
    sendMessage(*gs.net.clientSocket, Protocol::keywordLine(Protocol::Keyword::Gogogo));
}

void Trotix::getPos()
{
    if (gs.net.askPosReady != 1)
        return;
    gs.net.askPosReady = 0;
    logText("trotix: getPOS from Server...\n");
    sendMessage(*gs.net.clientSocket, Protocol::keywordLine(Protocol::Keyword::Askpos));
}

void Trotix::watchConnection()
{
    if (gs.shell.mode == ModeClientConnect || gs.shell.mode == ModeClientRace) {
        const Protocol::Patience patience =
            Protocol::clientWaits(gs.net.clientQuietTicks, gs.net.netState, gs.shell.mode == ModeClientRace,
                                  gs.net.askPosReady == 0, gs.net.resultKnown == 1);
        gs.net.clientQuietTicks = patience.quietTicks;
        if (patience.givesUp) {
            logText("trotix: No answer from the host for %d seconds, connection closed.\n", patience.quietTicks);
            closeClientSocket();
            gs.net.netState = Protocol::netStateAfterLoss(gs.net.netState, gs.net.resultKnown == 1);
        }
    }
}

void Trotix::closeClientSocket()
{
    // The signals go first, so that closing reports nothing to the game.
    QTcpSocket *socket = gs.net.clientSocket;
    disconnect(socket, &QAbstractSocket::errorOccurred, this, &Trotix::ClientError);
    disconnect(socket, &QAbstractSocket::connected, this, &Trotix::ClientConnected);
    disconnect(socket, &QIODevice::readyRead, this, &Trotix::ClientRead);
    socket->close();
    // A close still sending would hold the socket in its closing state, and the next race's
    // connect would then be refused.
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
}
