// The race protocol without sockets: the bytes of every message (each in the rows of the rule that
// sends it), the number reading at its limits, both sides' rules line by line with their log lines,
// and the line framing with its length cap; each rule by rows at its boundaries.
#include "net/rules/lanlist.h"
#include "net/rules/protocol.h"

#include <QBuffer>
#include <QTest>

using namespace Protocol;

namespace {

const QByteArray ownName("MY HORSE       ");
const QByteArray ignored("trotix: Position reply without two '+' ignored.\n");
NetSession serverIn(int netState, int accepting = 1) { return {netState, 1, accepting}; }
// The race a server answers "ASKPOS" from.
Race raceAt(RacePositions positions, int winner = 0) { return {QString(), QString(), 0, positions, winner}; }

}

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    // Every line but the name line names no challenger and logs nothing.
    void serverRules()
    {
        // clang-format off
        struct Row { int netState, accepting; QByteArray line; int newState; bool starts; QByteArray reply; };
        const Row rows[] = {
            {1, 1, "TROTIX\n", 3, false, "TROTIX\n"}, {1, 1, "TROTIX\r\n", 3, false, "TROTIX\n"},
            {0, 0, "TROTIX\n", 0, false, "BADREQ\n"}, // not taking challengers
            {1, 1, "TROTI\n", 1, false, "BADREQ\n"},
            {4, 1, "OKOKOK\n", 5, false, ""}, {5, 1, "OKOKOK\n", 5, false, "BADREQ\n"},
            {5, 1, "GOGOGO\n", 5, true, ""}, {4, 1, "GOGOGO\n", 4, false, "BADREQ\n"},
            {5, 1, "ASKPOS\n", 5, false, "1234+987+0\n"}, {0, 0, "ASKPOS\n", 0, false, "NOTAVA\n"},
            {1, 1, "ASKPOS\n", 1, false, "BADREQ\n"}, {0, 1, QByteArray("\0\xff\x80\n", 4), 0, false, "BADREQ\n"},
        };
        // clang-format on
        QVERIFY(serverStep(serverIn(5), raceAt({2010, 1995}, 1), "ASKPOS\n", ownName).sharesResult); // the winner is told
        for (const Row &r : rows) {
            const ServerStep step = serverStep(serverIn(r.netState, r.accepting), raceAt({1234, 987}), r.line, ownName);
            QCOMPARE(std::tuple(step.netState, step.startsRace, step.takesRace, step.reply),
                     std::tuple(r.newState, r.starts, r.newState == 3 && r.netState != 3, r.reply));
            QVERIFY(step.log.isEmpty() && !step.sharesResult && !step.challenger);
        }
        // Only from the greeting to the race does a connection own it, and only while it is open.
        for (const auto &[state, owned] : {std::pair{1, false}, {3, true}, {5, true}, {6, false}}) {
            QCOMPARE(senderOf(state, true, false), owned ? Sender::Stranger : Sender::Anyone);
            QCOMPARE(senderOf(state, false, true), Sender::Anyone);
        }
    }

    void serverTakesTheNameLineInState3()
    {
        // clang-format off
        struct Row { QByteArray line; QString name; int weight; };
        const Row rows[] = {
            {"MY HORSE       +150\n", "MY HORSE       ", 150}, {"MY HORSE       +-20\n", "MY HORSE       ", 0},
            {"MY HORSE       \n", "MY HORSE       ", 0}, {"AB\n", "AB", 0},
            {"\x01\x1b[31mRED\x07" "BELL+5\n", "[31mREDBELL ", 5}, // kept without control characters
            {"\xe2\x80\xae" "esroh live+5\n", "\u00e2\u00ae" "esroh live  ", 5}, // a right-to-left override in UTF-8
            {"MY HORSE       +7\r\n", "MY HORSE       ", 7}, {"BLUE COMET+500\n", "BLUE COMET     ", 500},
            {"ABCDEFGHIJKLMNOPQ+5\n", "ABCDEFGHIJKLMNO", 5}, {"TROTIX STAR    +9\n", "TROTIX STAR    ", 9}, // no second greeting
        };
        // clang-format on
        for (const Row &r : rows) {
            const ServerStep step = serverStep(serverIn(3), Race(), r.line, "RED RUNNER"); // answered padded to 15
            QVERIFY(step.netState == 4 && step.challenger);
            QCOMPARE(std::pair(step.challenger->name, step.challenger->weight), std::pair(r.name, r.weight));
            QCOMPARE(std::pair(step.reply, step.log),
                     std::pair(QByteArray("RED RUNNER     \n"), "trotix: Challenger's weight: " + QByteArray::number(r.weight) + "\n"));
        }
    }

    // In the race (state 5) every line is a position reply; before it, none is.
    void clientRules()
    {
        using Name = std::optional<QString>;
        // clang-format off
        struct Row { int netState; QByteArray line; int newState; QByteArray sent, log; Name opponent; };
        const Row rows[] = {
            {1, "TROTIX\n", 3, "MY HORSE       +150\n",
             "trotix: TROTIX Server found!\ntrotix: Output to Server: MY HORSE       +150\n", {}},
            {1, "TROTIX\r\n", 1, "", "", {}}, {1, "TROTIX-2\n", 1, "", "", {}}, // exact only
            {1, "BADREQ\n", 30, "", "trotix: Bad request is answered by server.\n", {}},
            {5, "NOTAVA\n", 10, "", "", {}},
            {3, "RED RUNNER     \n", 5, "OKOKOK\n", "", "RED RUNNER     "},
            {3, "\x01\x1b[31mRED\x07" "BELL\n", 5, "OKOKOK\n", "", "[31mREDBELL"}, // kept without its controls
            {10, "TROTIX\n", 10, "", "", {}}, // a failure ignores lines
            {5, "12+34\n", 5, "", ignored, {}},
        };
        // clang-format on
        for (const Row &r : rows) {
            const ClientStep step = clientStep(r.netState, r.line, ownName, 150);
            QCOMPARE(std::tuple(step.netState, step.send, step.log), std::tuple(r.newState, r.sent, r.log));
            QCOMPARE(step.opponentName, r.opponent);
            QCOMPARE(bool(step.answer), r.netState == 5 && r.newState == 5);
            QCOMPARE(step.awaited, !r.sent.isEmpty() || step.answer);
        }
        // A weight below 0 goes out as it is (the server reads it as 0; a name of any length: fuzz_replies).
        QCOMPARE(nameLine(ownName, -5), QByteArray("MY HORSE       +-5\n"));
    }

    // A reply no race can give (a position below 0 or past the farthest a horse gets: the finish
    // and twice twelve steps of 48; a winner but 1 or 2 once a horse is home, or one before) is the
    // host breaking the protocol: nothing of it taken, one line logged.
    void impossibleRepliesBreakTheRace()
    {
        // clang-format off
        const std::pair<QByteArray, bool> rows[] = {
            {"0+0+0", true}, {"3152+3152+2", true}, {"-1+0+0", false}, {"0+-1+1", false},
            {"3153+0+1", false}, {"0+3153+2", false}, {"2000+0+3", false}, {"0+2000+-1", false},
            {"1999+1999+0", true}, {"0+2000+2", true}, {"2000+0+0", false}, {"1999+1999+1", false},
            {"2147483647+-2147483648+0", false}, {"5+5+7", false}};
        // clang-format on
        for (const auto &[reply, possible] : rows) {
            const ClientStep step = clientStep(NetReady, reply + "\n", ownName, 150);
            QCOMPARE(std::tuple(step.netState, step.hostBroke, bool(step.answer), step.awaited),
                     std::tuple(int(NetReady), !possible, possible, possible));
            if (!possible)
                QCOMPARE(step.log, "trotix: Impossible position from the host (" + reply + "), connection closed.\n");
        }
    }

    // A lost connection is a failure until the result is known, then the race's end; the client
    // waits for what the host owes it (the hand-shake's next step, an asked position) and no more.
    void lossAndPatience()
    {
        // clang-format off
        struct Loss { int netState; bool known; int after; bool broken; };
        for (const Loss &r : {Loss{0, false, 10, true}, Loss{4, false, 10, true}, Loss{5, false, 10, true},
                              Loss{5, true, 5, false}, Loss{13, false, 13, true}, Loss{31, true, 31, false}}) {
            QCOMPARE(std::pair(netStateAfterLoss(r.netState, r.known), raceBroken(r.after, r.known)), std::pair(r.after, r.broken));
        }
        struct Wait { int quiet, netState; bool racing, asked, known; int after; bool givesUp; };
        const Wait waits[] = {
            {0, 0, false, false, false, 1, false}, {13, 1, false, false, false, 14, false},
            {14, 3, false, false, false, 15, true}, {14, 5, false, false, false, 0, false},
            {8, 5, true, true, false, 9, false}, {9, 5, true, true, false, 10, true},
            {9, 5, true, false, false, 0, false}, {9, 5, true, true, true, 0, false},
        };
        // clang-format on
        for (const Wait &r : waits) {
            const Patience patience = clientWaits(r.quiet, r.netState, r.racing, r.asked, r.known);
            QCOMPARE(std::pair(patience.quietTicks, patience.givesUp), std::pair(r.after, r.givesUp));
        }
    }

    void positionReplies()
    {
        // clang-format off
        struct Row { QByteArray line; bool wellFormed; int pos1, pos2, winner; QByteArray log; };
        const Row rows[] = {
            {"2010+1995+1\n", true, 2010, 1995, 1,
             "trotix: Position converted from QString to Int\ntrotix: Len: 7 Splitter: 4\n"
             "trotix: Position got is Player 1: 2010, Player 2: 1995, Winner: 1\n "},
            {"+12+x\n", true, 0, 12, 0, // nothing before the first "+"
             "trotix: Position Conversion failed\ntrotix: Len: 5 Splitter: 2\n"
             "trotix: Position got is Player 1: 0, Player 2: 12, Winner: 0\n "},
            {"12+34\n", false, 0, 0, 0, ignored}, {QByteArray("\0\xff\n", 3), false, 0, 0, 0, ignored},
        };
        // clang-format on
        for (const Row &r : rows) {
            const PositionReply reply = parsePositionReply(r.line);
            QCOMPARE(std::tuple(reply.wellFormed, reply.pos1, reply.pos2, reply.winner, reply.log),
                     std::tuple(r.wellFormed, r.pos1, r.pos2, r.winner, r.log));
        }
    }

    // Games found nearby: newest first, one seen again moves up, the host only where names clash.
    void foundGames()
    {
        QList<Lan::FoundGame> games = Lan::withGame({}, {2, 0, "RED RUNNER", "stable.local", "192.0.2.1"});
        games = Lan::withGame(games, {2, 0, "BLUE BOLT", "barn.local", "192.0.2.7"});
        QCOMPARE(Lan::gameLabels(games), QStringList({"BLUE BOLT", "RED RUNNER"}));
        games = Lan::withGame(games, {3, 0, "RED RUNNER", "barn.local", "192.0.2.7"});
        QCOMPARE(Lan::gameLabels(games), QStringList({"RED RUNNER (barn.local)", "BLUE BOLT", "RED RUNNER (stable.local)"}));
        games = Lan::withGame(games, {2, 0, "BLUE BOLT", "barn.local", "192.0.2.8"});
        QCOMPARE(std::pair(games.size(), games.first().address), std::pair(qsizetype(3), QStringLiteral("192.0.2.8")));
        QCOMPARE(Lan::gameLabels(Lan::withoutGame(games, 2, 0, "RED RUNNER")), QStringList({"BLUE BOLT", "RED RUNNER"}));
        QCOMPARE(Lan::announcedName("MY HORSE       "), QStringLiteral("MY HORSE"));
        QCOMPARE(Lan::announcedName("               "), QStringLiteral("Trotix"));
        QCOMPARE(Lan::emptyListLine(""), QStringLiteral("Looking for games nearby..."));
        // Listed as sent: no control or bidi character hides or turns a name or host, and two names
        // that read alike show their hosts.
        // clang-format off
        QCOMPARE(Lan::gameLabels({{2, 0, "\x01\x1b[31mRED\x07" "BELL", "a\x1b.local", ""},
                                  {2, 0, QStringLiteral("\u202eesroh live\u202d OK\u200e\u200f\u202a\u2066\u2069\u061c"),
                                   "b.local", ""},
                                  {2, 0, "[31mREDBELL", "c.local", ""}}),
                 QStringList({"[31mREDBELL (a.local)", "esroh live OK", "[31mREDBELL (c.local)"}));
        // clang-format on
    }

    void linesAreTakenWhole()
    {
        using L = QList<QByteArray>;
        const QByteArray cap(maxLineLength - 1, 'x');
        // clang-format off
        struct Row { QByteArray waiting; int maxLines; L lines; bool tooLong; QByteArray left; };
        const Row rows[] = {
            {"", 0, {}, false, ""}, {"TROT", 0, {}, false, "TROT"}, {"A\nB\n", 1, {"A\n"}, false, "B\n"},
            {cap + "\n", 0, {cap + "\n"}, false, ""}, {cap + "x\n", 0, {}, true, ""}, // the longest line, one more
            {cap + "x", 0, {}, true, ""}, {"OK\n" + cap + "xy", 0, {"OK\n"}, true, ""},
        };
        // clang-format on
        for (Row r : rows) {
            QBuffer device(&r.waiting);
            QVERIFY(device.open(QIODevice::ReadOnly));
            const WaitingLines taken = takeLines(device, r.maxLines);
            QCOMPARE(std::pair(taken.lines, taken.tooLong), std::pair(r.lines, r.tooLong));
            if (!r.tooLong)
                QCOMPARE(device.readAll(), r.left);
        }
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
