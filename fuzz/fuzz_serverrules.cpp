// The server's rules over any bytes a challenger can send, in every state the game can be in. The
// bytes arrive through a read buffer of the game's size and are framed into lines, one line taken
// at a time as readClient() takes them; a full buffer without a line feed drops the connection.
// Arriving all at once or in small pieces, the same lines come out and the drop comes at the same
// place. Each line then goes through the rules, in order, from every starting state.
#include "fuzzcheck.h"
#include "platform/rules/outsidetext.h"

#include <algorithm>

namespace {

const QByteArray ownName("RED RUNNER     ");

struct Framed
{
    QList<QByteArray> lines;
    bool dropped = false;
};

// One connection's bytes, arriving in pieces of pieceSize (0: all at once), as the server frames them.
Framed frame(const QByteArray &bytes, qsizetype pieceSize)
{
    Framed framed;
    ReadBuffer socket(Protocol::maxLineLength);
    deliver(socket, bytes, pieceSize, [&] {
        for (;;) {
            const QByteArrayView before = socket.waiting();
            const qsizetype waitingBytes = before.size();
            const qsizetype feed = before.indexOf('\n');
            // The cap: a line feed within the first maxLineLength bytes makes a line; a full
            // buffer without one drops the peer; anything shorter waits for more.
            const bool lineDue = feed >= 0 && feed < Protocol::maxLineLength;
            const bool overlong = !lineDue && waitingBytes >= Protocol::maxLineLength;
            const QByteArray expected = lineDue ? before.first(feed + 1).toByteArray() : QByteArray();
            const Protocol::WaitingLines waiting = Protocol::takeLines(socket, 1);
            FUZZ_CHECK(waiting.tooLong == overlong, "tooLong %d with %d bytes waiting, line feed at %d",
                       int(waiting.tooLong), int(waitingBytes), int(feed));
            FUZZ_CHECK(waiting.lines.size() == (lineDue ? 1 : 0), "%d lines taken, line feed at %d",
                       int(waiting.lines.size()), int(feed));
            if (waiting.tooLong) {
                framed.dropped = true; // nothing more is read from this peer
                return false;
            }
            if (waiting.lines.isEmpty()) {
                FUZZ_CHECK(socket.bytesAvailable() == waitingBytes, "a partial line stays for the next notification");
                return true;
            }
            FUZZ_CHECK(waiting.lines.first() == expected, "the line taken is the first one waiting");
            framed.lines.append(waiting.lines.first());
            socket.refill(); // the room the line left takes what the peer sent next
        }
    });
    return framed;
}

bool isKnownReply(const QByteArray &reply)
{
    using Protocol::Keyword;
    static const QByteArray known[] = {Protocol::keywordLine(Keyword::Trotix), Protocol::keywordLine(Keyword::Badreq),
                                       Protocol::keywordLine(Keyword::Notava), Protocol::positionReply(1234, 987, 0),
                                       ownName + '\n'};
    return std::find(std::begin(known), std::end(known), reply) != std::end(known);
}

// One line through the rules, and what must hold of the step whatever the line; the state the
// next line meets.
NetSession step(const NetSession &state, const Race &race, const QByteArray &line)
{
    const Protocol::ServerStep step = Protocol::serverStep(state, race, line, ownName);
    FUZZ_CHECK(isNetState(step.netState), "netState %d is no connection state", step.netState);
    if (step.netState != state.netState)
        FUZZ_CHECK((state.netState < 3 && step.netState == 3)
                       || (state.netState >= 3 && step.netState == state.netState + 1),
                   "netState went from %d to %d", state.netState, step.netState);
    FUZZ_CHECK(step.takesRace == (step.netState == 3 && state.netState != 3), "the race taken without a greeting");
    FUZZ_CHECK(!step.startsRace || state.netState == 5, "the race started in state %d", state.netState);
    if (!step.reply.isEmpty()) {
        FUZZ_CHECK(step.reply.endsWith('\n') && step.reply.count('\n') == 1, "a reply is one line");
        FUZZ_CHECK(isKnownReply(step.reply), "unknown reply %s", step.reply.toPercentEncoding().constData());
    }
    if (state.netState == 3) {
        FUZZ_CHECK(step.netState == 4 && step.reply.chopped(1) == ownName, "a name line is answered with the own name");
        FUZZ_CHECK(bool(step.challenger), "the name line names the challenger");
        const QString &name = step.challenger->name;
        FUZZ_CHECK(name.size() <= 15, "a challenger's name of %d characters", int(name.size()));
        // The game's own name lines have the "+" at offset 15 and their name before it.
        if (line.size() > 15 && line[15] == '+')
            FUZZ_CHECK(name == withoutControls(QString::fromLatin1(line.left(15))),
                       "the name is the line's first 15, without controls");
        FUZZ_CHECK(step.log == "trotix: Challenger's weight: " + QByteArray::number(step.challenger->weight) + "\n",
                   "weight log %s", step.log.constData());
    } else {
        FUZZ_CHECK(step.log.isEmpty(), "only the name line is logged");
        FUZZ_CHECK(!step.challenger, "only the name line names the challenger");
    }
    NetSession next = state;
    next.netState = step.netState;
    return next;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Framed framed = frame(bytes, 0);
    const Framed inPieces = frame(bytes, pieceSize(size));
    FUZZ_CHECK(inPieces.lines == framed.lines && inPieces.dropped == framed.dropped,
               "%d lines (dropped %d) at once, %d lines (dropped %d) in pieces", int(framed.lines.size()),
               int(framed.dropped), int(inPieces.lines.size()), int(inPieces.dropped));

    for (const int netState : netStates) {
        for (const int accepting : {0, 1}) {
            NetSession state;
            state.netState = netState;
            state.serverAccepting = accepting;
            Race race;
            takePositions(race, {1234, 987}, 0);
            for (const QByteArray &line : framed.lines.first(qMin(framed.lines.size(), maxRuledLines))) {
                // Another connection's lines, while this one owns the race, change nothing.
                const Protocol::ServerStep stranger =
                    Protocol::serverStep(state, race, line, ownName, Protocol::Sender::Stranger);
                FUZZ_CHECK(stranger.reply == Protocol::keywordLine(Protocol::Keyword::Badreq) && stranger.log.isEmpty()
                               && !stranger.takesRace && stranger.netState == state.netState && !stranger.startsRace
                               && !stranger.challenger,
                           "a stranger's line changed the race");
                state = step(state, race, line);
            }
        }
    }
    return 0;
}
