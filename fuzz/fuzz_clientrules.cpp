// The client's rules over any bytes a server can send, in every state the game can be in. Each
// notification takes every complete line waiting in a read buffer of the game's size and acts on
// the last one only, as ClientRead() does; a full buffer without a line feed drops the server. The
// bytes arrive all at once and again in small pieces (more notifications, so more lines acted on),
// and the lines acted on go through the rules from every starting state.
#include "fuzzcheck.h"

namespace {

const QByteArray ownName("BLUE BOLT      ");
constexpr int ownWeight = 150;

// The last line of each notification that brought one, in pieces of pieceSize (0: all at once).
QList<QByteArray> linesActedOn(const QByteArray &bytes, qsizetype pieceSize)
{
    QList<QByteArray> acted;
    ReadBuffer socket(Protocol::maxLineLength);
    deliver(socket, bytes, pieceSize, [&] {
        const QByteArray before = socket.waiting().toByteArray();
        const qsizetype lastFeed = before.lastIndexOf('\n');
        const Protocol::WaitingLines waiting = Protocol::takeLines(socket);
        // A full buffer without a line feed is a line past the cap: the server is dropped.
        FUZZ_CHECK(waiting.tooLong == (lastFeed < 0 && before.size() >= Protocol::maxLineLength),
                   "tooLong %d with %d bytes waiting", int(waiting.tooLong), int(before.size()));
        if (waiting.tooLong)
            return false;
        FUZZ_CHECK(socket.waiting() == before.mid(lastFeed + 1), "the partial line stays, the rest is taken");
        if (waiting.lines.isEmpty())
            return true; // a notification without a whole line changes nothing
        QByteArray joined;
        for (const QByteArray &line : waiting.lines) {
            FUZZ_CHECK(line.endsWith('\n') && line.indexOf('\n') == line.size() - 1, "one whole line");
            joined += line;
        }
        FUZZ_CHECK(joined == before.left(lastFeed + 1), "the lines are what came, in order");
        acted.append(waiting.lines.last());
        return true;
    });
    return acted;
}

// Whole log lines, each "trotix: ..." with its line feed (the position line has a blank after it).
bool isLogLines(QByteArray log)
{
    if (log.isEmpty())
        return true;
    if (log.endsWith("\n "))
        log.chop(1);
    if (!log.endsWith('\n'))
        return false;
    for (const QByteArray &line : log.chopped(1).split('\n')) {
        if (!line.startsWith("trotix: "))
            return false;
    }
    return true;
}

// One line through the rules, and what must hold of the step whatever the line; the state the
// next line meets.
int step(int netState, const QByteArray &line)
{
    const Protocol::ClientStep step = Protocol::clientStep(netState, line, ownName, ownWeight);
    FUZZ_CHECK(isNetState(step.netState), "netState %d is no connection state", step.netState);
    FUZZ_CHECK(!step.opponentName || step.opponentName->size() <= 15, "a server's name of %d characters",
               int(step.opponentName->size()));
    FUZZ_CHECK(!step.answer || netState == 5, "a position reply outside the race");
    FUZZ_CHECK(!step.answer || Protocol::possibleReply(*step.answer) || !step.answer->wellFormed,
               "a reply no race can give taken: %s", line.toPercentEncoding().constData());
    FUZZ_CHECK(isLogLines(step.log), "log is not whole lines: %s", step.log.toPercentEncoding().constData());
    FUZZ_CHECK(step.send.isEmpty() || step.send == Protocol::keywordLine(Protocol::Keyword::Okokok)
                   || step.send == Protocol::nameLine(ownName, ownWeight),
               "unknown message sent: %s", step.send.toPercentEncoding().constData());
    return step.netState;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QList<QByteArray> &lines : {linesActedOn(bytes, 0), linesActedOn(bytes, pieceSize(size))}) {
        for (const int netState : netStates) {
            int state = netState;
            for (const QByteArray &line : lines.first(qMin(lines.size(), maxRuledLines)))
                state = step(state, line);
        }
    }
    return 0;
}
