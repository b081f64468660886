#include "net/rules/protocol.h"

#include "platform/rules/outsidetext.h"
#include "race/rules/racemodel.h"

#include <QIODevice>

namespace Protocol {

bool addressKeeps(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining: return true;
    default: return QChar::isLetterOrNumber(c) || (c < 0x80 && QByteArray(".-:%_").contains(char(c)));
    }
}

namespace {

QByteArray number(int value) { return QByteArray::number(value); } // as printf's "%d" prints it

// The one place a protocol line is framed: its text and one line feed.
QByteArray line(const QByteArray &text) { return text + '\n'; }

// The first six characters of a line (fewer if it is shorter) against a keyword.
bool beginsWith(const QByteArray &received, Keyword keyword)
{
    return received.left(6) == keywordLine(keyword).left(6);
}

}

QByteArray keywordLine(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Trotix: return line("TROTIX");
    case Keyword::Okokok: return line("OKOKOK");
    case Keyword::Gogogo: return line("GOGOGO");
    case Keyword::Askpos: return line("ASKPOS");
    case Keyword::Notava: return line("NOTAVA");
    case Keyword::Badreq: return line("BADREQ");
    }
    return QByteArray();
}

namespace {

// A horse's name as it travels: exactly 15 characters.
QByteArray fifteen(const QByteArray &name) { return name.left(15).leftJustified(15, ' '); }

// The other game's name as this one keeps and draws it.
QString receivedName(const QByteArray &name) { return withoutControls(QString::fromLatin1(name)); }

}

QByteArray nameLine(const QByteArray &name, int weight) { return line(fifteen(name) + '+' + number(weight)); }

QByteArray nameReply(const QByteArray &name) { return line(fifteen(name)); }

QByteArray positionReply(int pos1, int pos2, int winner)
{
    return line(number(pos1) + '+' + number(pos2) + '+' + number(winner));
}

NameLine parseNameLine(const QByteArray &received)
{
    NameLine parsed;
    // The game's own lines have the "+" at offset 15; a name of another length moves it, and then
    // the weight is what follows the last "+" (a name may hold "+" too).
    const qsizetype lastPlus = received.lastIndexOf('+');
    const bool plusAt15 = received.size() > 15 && received[15] == '+';
    if (!plusAt15 && lastPlus >= 0 && lastPlus < received.size() - 1) {
        parsed.name = receivedName(fifteen(received.left(lastPlus)));
        parsed.weight = received.mid(lastPlus + 1, received.size() - lastPlus - 2).toInt();
        return parsed;
    }
    parsed.name = receivedName(received.left(15));
    if (received.size() > 16)
        parsed.weight = received.mid(15, received.size() - 16).toInt();
    return parsed;
}

Sender senderOf(int netState, bool raceOwner, bool isOwner)
{
    if (!raceOwner || netState < NetGreeted || netState > NetReady)
        return Sender::Anyone;
    return isOwner ? Sender::Owner : Sender::Stranger;
}

ServerStep serverStep(const NetSession &s, const Race &race, const QByteArray &received, const QByteArray &ownName,
                      Sender sender)
{
    ServerStep step;
    step.netState = s.netState;
    if (sender == Sender::Stranger) {
        step.reply = keywordLine(Keyword::Badreq);
    } else if (s.serverAccepting == 1 && s.netState < NetGreeted && beginsWith(received, Keyword::Trotix)) {
        step.netState = NetGreeted;
        step.reply = keywordLine(Keyword::Trotix);
        step.takesRace = true;
    } else if (s.netState == NetGreeted) {
        step.challenger = parseNameLine(received);
        step.netState = NetNamed;
        step.log = "trotix: Challenger's weight: " + number(step.challenger->weight) + "\n";
        step.reply = nameReply(ownName);
    } else if (s.netState == NetNamed && beginsWith(received, Keyword::Okokok)) {
        step.netState = NetReady;
    } else if (s.netState == NetReady && beginsWith(received, Keyword::Gogogo)) {
        step.startsRace = true;
    } else if (s.netState == NetReady && beginsWith(received, Keyword::Askpos)) {
        step.reply = positionReply(race.positions.pos1, race.positions.pos2, race.winner);
        step.sharesResult = race.winner != 0;
    } else if (s.netState == NetIdle && beginsWith(received, Keyword::Askpos)) {
        step.reply = keywordLine(Keyword::Notava);
    } else {
        step.reply = keywordLine(Keyword::Badreq);
    }
    return step;
}

int netStateAfterLoss(int netState, bool resultKnown)
{
    if (netState >= NetLost || (netState == NetReady && resultKnown))
        return netState;
    return NetLost;
}

void forgetSetUp(NetSession &net)
{
    net.netState = NetIdle;
    net.serverAccepting = 0;
}

void readyToAsk(NetSession &net) { net.askPosReady = 1; }

void raceStarts(NetSession &net, bool againstComputer)
{
    net.resultKnown = 0;
    if (againstComputer)
        net.serverAccepting = 0;
}

bool raceBroken(int netState, bool resultKnown) { return netState >= NetLost && !resultKnown; }

Patience clientWaits(int quietTicks, int netState, bool racing, bool asked, bool resultKnown)
{
    const bool owed = racing ? netState == NetReady && asked && !resultKnown : netState < NetReady;
    if (!owed)
        return {};
    const int waited = quietTicks + 1;
    return {waited, waited >= (racing ? answerPatience : handshakePatience)};
}

PositionReply parsePositionReply(const QByteArray &received)
{
    PositionReply reply;
    const qsizetype first = received.indexOf('+');
    const QByteArray remainder = first < 0 ? QByteArray() : received.mid(first + 1);
    const qsizetype splitter = remainder.indexOf('+');
    if (first < 0 || splitter < 0) {
        reply.log = "trotix: Position reply without two '+' ignored.\n";
        return reply;
    }
    reply.wellFormed = true;
    reply.pos1 = received.left(first).toInt();
    reply.pos2 = remainder.left(splitter).toInt();
    bool winnerOk = false;
    reply.winner = remainder.mid(splitter + 1).toInt(&winnerOk);
    reply.log = winnerOk ? "trotix: Position converted from QString to Int\n" : "trotix: Position Conversion failed\n";
    reply.log += "trotix: Len: " + number(int(remainder.size())) + " Splitter: " + number(int(splitter)) + "\n";
    // The blank after the line feed is part of the game's log as it always was.
    reply.log += "trotix: Position got is Player 1: " + number(reply.pos1) + ", Player 2: " + number(reply.pos2)
                 + ", Winner: " + number(reply.winner) + "\n ";
    return reply;
}

bool possibleReply(const PositionReply &reply)
{
    const auto reachable = [](int pos) { return pos >= 0 && pos <= farthestPosition; };
    // The winner is decided in the step that brings a horse to the finish, and never before.
    const bool home = reply.pos1 >= finishLine || reply.pos2 >= finishLine;
    return reachable(reply.pos1) && reachable(reply.pos2) && reply.winner >= 0 && reply.winner <= 2
           && (reply.winner != 0) == home;
}

ClientStep clientStep(int netState, const QByteArray &received, const QByteArray &ownName, int ownWeight)
{
    ClientStep step;
    step.netState = netState;
    if (netState < NetGreeted && received == keywordLine(Keyword::Trotix)) {
        step.netState = NetGreeted;
        step.log = "trotix: TROTIX Server found!\n";
        step.send = nameLine(ownName, ownWeight);
        step.log += "trotix: Output to Server: " + step.send.chopped(1) + "\n";
        step.awaited = true;
    } else if (received == keywordLine(Keyword::Badreq)) {
        step.log = "trotix: Bad request is answered by server.\n";
        step.netState = NetRefused;
    } else if (received == keywordLine(Keyword::Notava)) {
        step.netState = NetLost;
    } else if (netState == NetGreeted) {
        step.opponentName = receivedName(received.left(15));
        step.netState = NetReady;
        step.send = keywordLine(Keyword::Okokok);
        step.awaited = true;
    } else if (netState == NetReady) {
        const PositionReply reply = parsePositionReply(received);
        if (reply.wellFormed && !possibleReply(reply)) {
            step.hostBroke = true;
            step.log = "trotix: Impossible position from the host ("
                       + positionReply(reply.pos1, reply.pos2, reply.winner).chopped(1) + "), connection closed.\n";
            return step;
        }
        step.answer = reply;
        step.log = reply.log;
        step.awaited = true;
    }
    return step;
}

WaitingLines takeLines(QIODevice &device, int maxLines)
{
    WaitingLines waiting;
    while (maxLines == 0 || waiting.lines.size() < maxLines) {
        if (!device.canReadLine()) {
            // No line feed in what is waiting: once that much has come, no line can be short enough.
            waiting.tooLong = device.bytesAvailable() >= maxLineLength;
            break;
        }
        QByteArray received = device.readLine(maxLineLength + 1);
        if (!received.endsWith('\n')) {
            waiting.tooLong = true;
            break;
        }
        waiting.lines.append(received);
    }
    return waiting;
}

QByteArray lineTooLongLog() { return "trotix: Line too long from peer, connection dropped.\n"; }

}
