// The race protocol without sockets: the bytes of every message, the number reading at its
// limits, both sides' rules line by line with their log lines, and the line framing with its
// length cap; each rule by rows at its boundaries.
#include "net/protocol.h"

#include <QBuffer>
#include <QTest>

using namespace Protocol;

namespace {

const QByteArray ownName("MY HORSE       ");
const QString oldName = QStringLiteral("OLD NAME");

ServerSide serverIn(int netState, int accepting = 1)
{
    ServerSide s;
    s.netState = netState;
    s.serverAccepting = accepting;
    s.raceTick = 12;
    s.pos1 = 1234;
    s.pos2 = 987;
    s.winner = 0;
    s.challengerWeight = 77;
    s.opponentName = oldName;
    return s;
}

ClientSide clientIn(int netState)
{
    ClientSide s;
    s.netState = netState;
    s.askPosReady = 0;
    s.pos1 = 1500;
    s.pos2 = 1400;
    s.winner = 0;
    s.opponentName = oldName;
    return s;
}

}

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void messagesAreByteExact()
    {
        QCOMPARE(keywordLine(Keyword::Trotix), QByteArray("TROTIX\n"));
        QCOMPARE(keywordLine(Keyword::Okokok), QByteArray("OKOKOK\n"));
        QCOMPARE(keywordLine(Keyword::Gogogo), QByteArray("GOGOGO\n"));
        QCOMPARE(keywordLine(Keyword::Badreq), QByteArray("BADREQ\n"));
        QCOMPARE(nameLine(ownName, 150), QByteArray("MY HORSE       +150\n"));
        QCOMPARE(nameLine(ownName, -5), QByteArray("MY HORSE       +-5\n")); // read as 0 by the server
        // A name of another length (a hand-edited save) still goes out as 15 characters.
        QCOMPARE(nameLine("BLUE COMET", 500), QByteArray("BLUE COMET     +500\n"));
        QCOMPARE(nameLine("SIXTEEN CHARS ..", 1), QByteArray("SIXTEEN CHARS .+1\n"));
        QCOMPARE(nameReply("RED"), QByteArray("RED            \n"));
        QCOMPARE(positionReply(1234, 987, 0), QByteArray("1234+987+0\n"));
    }

    // Every line but the name line changes no name or weight and logs nothing.
    void serverRules()
    {
        struct Row { int netState, accepting; QByteArray line; int newState, raceTick; QByteArray reply; };
        const Row rows[] = {
            {1, 1, "TROTIX\n", 3, 12, "TROTIX\n"}, {1, 1, "TROTIX\r\n", 3, 12, "TROTIX\n"},
            {0, 0, "TROTIX\n", 0, 12, "BADREQ\n"}, // not taking challengers
            {1, 1, "TROTI\n", 1, 12, "BADREQ\n"},
            {4, 1, "OKOKOK\n", 5, 12, ""}, {5, 1, "OKOKOK\n", 5, 12, "BADREQ\n"},
            {5, 1, "GOGOGO\n", 5, 5, ""}, {4, 1, "GOGOGO\n", 4, 12, "BADREQ\n"},
            {5, 1, "ASKPOS\n", 5, 12, "1234+987+0\n"}, {0, 0, "ASKPOS\n", 0, 12, "NOTAVA\n"},
            {1, 1, "ASKPOS\n", 1, 12, "BADREQ\n"}, {0, 1, QByteArray("\0\xff\x80\n", 4), 0, 12, "BADREQ\n"},
        };
        for (const Row &r : rows) {
            const ServerStep step = serverStep(serverIn(r.netState, r.accepting), r.line, ownName);
            QCOMPARE(step.state.netState, r.newState);
            QCOMPARE(step.state.raceTick, r.raceTick);
            QCOMPARE(step.reply, r.reply);
            QCOMPARE(step.log, QByteArray());
            QCOMPARE(step.state.opponentName, oldName);
            QCOMPARE(step.state.challengerWeight, 77);
        }
    }

    void serverTakesTheNameLineInState3()
    {
        struct Row { QByteArray line; QString name; int weight; };
        const Row rows[] = {
            {"MY HORSE       +150\n", "MY HORSE       ", 150}, {"MY HORSE       +-20\n", "MY HORSE       ", 0},
            {"MY HORSE       \n", "MY HORSE       ", 0}, {"AB\n", "AB\n", 0},
            {"MY HORSE       +7\r\n", "MY HORSE       ", 7}, {"BLUE COMET+500\n", "BLUE COMET     ", 500},
            {"ABCDEFGHIJKLMNOPQ+5\n", "ABCDEFGHIJKLMNO", 5},
        };
        for (const Row &r : rows) {
            const ServerStep step = serverStep(serverIn(3), r.line, "RED RUNNER     ");
            QCOMPARE(step.state.netState, 4);
            QCOMPARE(step.state.opponentName, r.name);
            QCOMPARE(step.state.challengerWeight, r.weight);
            QCOMPARE(step.reply, QByteArray("RED RUNNER     \n"));
            QCOMPARE(step.log, "trotix: Challenger's weight: " + QByteArray::number(r.weight) + "\n");
        }
    }

    void clientRules()
    {
        struct Row { int netState; QByteArray line; int newState; QByteArray sent, log; QString opponent; };
        const Row rows[] = {
            {1, "TROTIX\n", 3, "MY HORSE       +150\n",
             "trotix: TROTIX Server found!\ntrotix: Output to Server: MY HORSE       +150\n", oldName},
            {1, "TROTIX\r\n", 1, "", "", oldName}, {1, "TROTIX-2\n", 1, "", "", oldName}, // exact only
            {1, "BADREQ\n", 30, "", "trotix: Bad request is answered by server.\n", oldName},
            {5, "NOTAVA\n", 10, "", "", oldName},
            {3, "RED RUNNER     \n", 5, "OKOKOK\n", "", "RED RUNNER     "},
            {10, "TROTIX\n", 10, "", "", oldName}, // a failure ignores lines
        };
        for (const Row &r : rows) {
            const ClientStep step = clientStep(clientIn(r.netState), r.line, ownName, 150);
            QCOMPARE(step.state.netState, r.newState);
            QCOMPARE(step.send, r.sent);
            QCOMPARE(step.log, r.log);
            QCOMPARE(step.state.opponentName, r.opponent);
            QCOMPARE(step.state.pos1, 1500);
        }
    }

    void clientTakesPositionReplies()
    {
        struct Row { QByteArray line; int pos1, pos2, winner; QByteArray log; };
        const QByteArray ignored("trotix: Position reply without two '+' ignored.\n");
        const Row rows[] = {
            {"2010+1995+1\n", 2010, 1995, 1,
             "trotix: Position converted from QString to Int\ntrotix: Len: 7 Splitter: 4\n"
             "trotix: Position got is Player 1: 2010, Player 2: 1995, Winner: 1\n "},
            {"abc+12+x\n", 0, 12, 0,
             "trotix: Position Conversion failed\ntrotix: Len: 5 Splitter: 2\n"
             "trotix: Position got is Player 1: 0, Player 2: 12, Winner: 0\n "},
            {"12+34\n", 1500, 1400, 0, ignored}, {QByteArray("\0\xff\n", 3), 1500, 1400, 0, ignored},
        };
        for (const Row &r : rows) {
            const ClientStep step = clientStep(clientIn(5), r.line, ownName, 150);
            QCOMPARE(step.state.askPosReady, 1); // answered: the next request may go out
            QCOMPARE(step.state.pos1, r.pos1);
            QCOMPARE(step.state.pos2, r.pos2);
            QCOMPARE(step.state.winner, r.winner);
            QCOMPARE(step.log, r.log);
        }
    }

    void linesAreTakenWhole()
    {
        using L = QList<QByteArray>;
        const QByteArray cap(maxLineLength - 1, 'x');
        struct Row { QByteArray waiting; int maxLines; L lines; bool tooLong; QByteArray left; };
        const Row rows[] = {
            {"", 0, {}, false, ""}, {"TROT", 0, {}, false, "TROT"}, {"A\nB\n", 1, {"A\n"}, false, "B\n"},
            {cap + "\n", 0, {cap + "\n"}, false, ""}, {cap + "x\n", 0, {}, true, ""}, // the longest line, one more
            {cap + "x", 0, {}, true, ""}, {"OK\n" + cap + "xy", 0, {"OK\n"}, true, ""},
        };
        for (Row r : rows) {
            QBuffer device(&r.waiting);
            QVERIFY(device.open(QIODevice::ReadOnly));
            const WaitingLines taken = takeLines(device, r.maxLines);
            QCOMPARE(taken.lines, r.lines);
            QCOMPARE(taken.tooLong, r.tooLong);
            if (!r.tooLong)
                QCOMPARE(device.readAll(), r.left);
        }
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
