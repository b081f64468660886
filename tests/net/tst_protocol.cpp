// The race protocol without sockets: the bytes of every message, the number reading against Qt's
// own conversion, both sides' rules line by line, the parsing with its log lines, and the line
// framing with its length cap.
#include "net/protocol.h"

#include <QBuffer>
#include <QTest>

using namespace Protocol;

namespace {

const QByteArray ownName("MY HORSE       ");

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
    s.opponentName = QStringLiteral("OLD NAME");
    s.myName = QStringLiteral("My Horse");
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
    s.opponentName = QStringLiteral("OLD NAME");
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
        QCOMPARE(keywordLine(Keyword::Askpos), QByteArray("ASKPOS\n"));
        QCOMPARE(keywordLine(Keyword::Notava), QByteArray("NOTAVA\n"));
        QCOMPARE(keywordLine(Keyword::Badreq), QByteArray("BADREQ\n"));
        QCOMPARE(nameLine(ownName, 150), QByteArray("MY HORSE       +150\n"));
        QCOMPARE(nameLine(ownName, 150).size(), 20);
        QCOMPARE(nameLine("A+B            ", 0), QByteArray("A+B            +0\n"));
        // A negative weight goes out as printed; the server then reads "+-5" as 0.
        QCOMPARE(nameLine(ownName, -5), QByteArray("MY HORSE       +-5\n"));
        QCOMPARE(nameLine(ownName, 2147483647), QByteArray("MY HORSE       +2147483647\n"));
        // A name of another length (a hand-edited save) still goes out as 15 characters.
        QCOMPARE(nameLine("BLUE COMET", 500), QByteArray("BLUE COMET     +500\n"));
        QCOMPARE(nameLine("SIXTEEN CHARS ..", 1), QByteArray("SIXTEEN CHARS .+1\n"));
        QCOMPARE(nameReply("RED"), QByteArray("RED            \n"));
        QCOMPARE(nameReply(ownName), QByteArray("MY HORSE       \n"));
        QCOMPARE(nameReply(ownName).size(), 16);
        QCOMPARE(positionReply(1234, 987, 0), QByteArray("1234+987+0\n"));
        QCOMPARE(positionReply(0, 0, 0), QByteArray("0+0+0\n"));
        QCOMPARE(positionReply(-1, 2147483647, 2), QByteArray("-1+2147483647+2\n"));
    }

    void serverRules_data()
    {
        QTest::addColumn<int>("netState");
        QTest::addColumn<int>("accepting");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("newState");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<QByteArray>("reply");

        QTest::newRow("greeting while waiting") << 1 << 1 << QByteArray("TROTIX\n") << 3 << 12 << QByteArray("TROTIX\n");
        QTest::newRow("greeting in state 0") << 0 << 1 << QByteArray("TROTIX\n") << 3 << 12 << QByteArray("TROTIX\n");
        QTest::newRow("keyword prefix counts") << 1 << 1 << QByteArray("TROTIX-2\n") << 3 << 12 << QByteArray("TROTIX\n");
        QTest::newRow("greeting with return") << 1 << 1 << QByteArray("TROTIX\r\n") << 3 << 12 << QByteArray("TROTIX\n");
        QTest::newRow("greeting while not waiting") << 0 << 0 << QByteArray("TROTIX\n") << 0 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("greeting in state 4") << 4 << 1 << QByteArray("TROTIX\n") << 4 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("greeting in state 5") << 5 << 1 << QByteArray("TROTIX\n") << 5 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("greeting after a lost client") << 10 << 1 << QByteArray("TROTIX\n") << 10 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("short greeting") << 1 << 1 << QByteArray("TROTI\n") << 1 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("ready in state 4") << 4 << 1 << QByteArray("OKOKOK\n") << 5 << 12 << QByteArray();
        QTest::newRow("ready in state 5") << 5 << 1 << QByteArray("OKOKOK\n") << 5 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("start in state 5") << 5 << 1 << QByteArray("GOGOGO\n") << 5 << 5 << QByteArray();
        QTest::newRow("start before the hand-shake") << 4 << 1 << QByteArray("GOGOGO\n") << 4 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("positions in state 5") << 5 << 1 << QByteArray("ASKPOS\n") << 5 << 12 << QByteArray("1234+987+0\n");
        QTest::newRow("positions, words after") << 5 << 0 << QByteArray("ASKPOS now\n") << 5 << 12 << QByteArray("1234+987+0\n");
        QTest::newRow("positions while idle") << 0 << 0 << QByteArray("ASKPOS\n") << 0 << 12 << QByteArray("NOTAVA\n");
        QTest::newRow("positions in state 1") << 1 << 1 << QByteArray("ASKPOS\n") << 1 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("binary") << 0 << 1 << QByteArray("\0\xff\x80\n", 4) << 0 << 12 << QByteArray("BADREQ\n");
        QTest::newRow("empty line") << 1 << 1 << QByteArray("\n") << 1 << 12 << QByteArray("BADREQ\n");
    }

    void serverRules()
    {
        QFETCH(int, netState);
        QFETCH(int, accepting);
        QFETCH(QByteArray, line);
        const ServerStep step = serverStep(serverIn(netState, accepting), line, ownName);
        QTEST(step.state.netState, "newState");
        QTEST(step.state.raceTick, "raceTick");
        QTEST(step.reply, "reply");
        QCOMPARE(step.log, QByteArray());
        QCOMPARE(step.state.opponentName, QStringLiteral("OLD NAME"));
        QCOMPARE(step.state.challengerWeight, 77);
        QCOMPARE(step.state.serverAccepting, accepting);
    }

    void serverTakesTheNameLineInState3_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("weight");
        QTest::newRow("default horse") << QByteArray("MY HORSE       +150\n") << QStringLiteral("MY HORSE       ") << 150;
        QTest::newRow("plus in the name") << QByteArray("A+B+C          +42\n") << QStringLiteral("A+B+C          ") << 42;
        QTest::newRow("two signs") << QByteArray("MY HORSE       +-20\n") << QStringLiteral("MY HORSE       ") << 0;
        QTest::newRow("no weight") << QByteArray("MY HORSE       +\n") << QStringLiteral("MY HORSE       ") << 0;
        QTest::newRow("sixteen characters") << QByteArray("MY HORSE       \n") << QStringLiteral("MY HORSE       ") << 0;
        QTest::newRow("short line") << QByteArray("AB\n") << QStringLiteral("AB\n") << 0;
        QTest::newRow("a keyword is a name here") << QByteArray("TROTIX\n") << QStringLiteral("TROTIX\n") << 0;
        QTest::newRow("weight with return") << QByteArray("MY HORSE       +7\r\n") << QStringLiteral("MY HORSE       ") << 7;
        QTest::newRow("weight past int") << QByteArray("MY HORSE       +2147483648\n") << QStringLiteral("MY HORSE       ") << 0;
        QTest::newRow("short name") << QByteArray("BLUE COMET+500\n") << QStringLiteral("BLUE COMET     ") << 500;
        QTest::newRow("short name with plus") << QByteArray("A+B+7\n") << QStringLiteral("A+B            ") << 7;
        QTest::newRow("long name") << QByteArray("ABCDEFGHIJKLMNOPQ+5\n") << QStringLiteral("ABCDEFGHIJKLMNO") << 5;
        QTest::newRow("latin-1 name") << QByteArray("CH\xc9VAL         +3\n") << QStringLiteral("CH\u00c9VAL         ") << 3;
    }

    void serverTakesTheNameLineInState3()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        QFETCH(int, weight);
        const ServerStep step = serverStep(serverIn(3), line, "RED RUNNER     ");
        QCOMPARE(step.state.netState, 4);
        QCOMPARE(step.state.opponentName, name);
        QCOMPARE(step.state.challengerWeight, weight);
        QCOMPARE(step.state.myName, QStringLiteral("RED RUNNER     "));
        QCOMPARE(step.reply, QByteArray("RED RUNNER     \n"));
        QCOMPARE(step.log, "trotix: Challenger's weight: " + QByteArray::number(weight) + "\n");
        QCOMPARE(parseNameLine(line).name, name);
        QCOMPARE(parseNameLine(line).weight, weight);
    }

    // One race, one connection: who owns it, and a stranger's every line answered as by a busy
    // server, changing nothing.
    void strangerIsAnsweredAsBusy()
    {
        QCOMPARE(senderOf(5, true, true), Sender::Owner);
        QCOMPARE(senderOf(3, true, false), Sender::Stranger);
        QCOMPARE(senderOf(5, false, false), Sender::Anyone);   // nobody owns the race
        QCOMPARE(senderOf(1, true, false), Sender::Anyone);    // before a greeting is accepted
        QCOMPARE(senderOf(10, true, false), Sender::Anyone);   // the race is over
        QCOMPARE(senderOf(0, true, true), Sender::Anyone);     // the game left the race
        for (int netState : {3, 4, 5}) {
            for (const char *line : {"TROTIX\n", "MY HORSE       +150\n", "OKOKOK\n", "GOGOGO\n", "ASKPOS\n", "\n"}) {
                const ServerStep step = serverStep(serverIn(netState), line, ownName, Sender::Stranger);
                QCOMPARE(step.reply, QByteArray("BADREQ\n"));
                QCOMPARE(step.state.netState, netState);
                QCOMPARE(step.state.raceTick, 12);
                QCOMPARE(step.state.opponentName, QStringLiteral("OLD NAME"));
                QVERIFY(!step.takesRace);
            }
        }
        QVERIFY(serverStep(serverIn(1), "TROTIX\n", ownName).takesRace);
        QVERIFY(!serverStep(serverIn(1, 0), "TROTIX\n", ownName).takesRace);
    }

    // The server's close is the normal end of a race, and a failure only before the hand-shake
    // is done; every other socket error is a failure.
    void clientFailsOnRealErrorsOnly()
    {
        QVERIFY(!clientConnectionFailed(5, true));
        QVERIFY(!clientConnectionFailed(30, true)); // "rejected" stays on the screen
        QVERIFY(clientConnectionFailed(1, true));
        QVERIFY(clientConnectionFailed(3, true));
        QVERIFY(clientConnectionFailed(5, false));
        QVERIFY(clientConnectionFailed(0, false));
    }

    void serverAnswersPositionsAsTheyStand()
    {
        ServerSide s = serverIn(5);
        s.pos1 = s.pos2 = s.winner = 0;
        QCOMPARE(serverStep(s, "ASKPOS\n", ownName).reply, QByteArray("0+0+0\n"));
        s.pos1 = 2010;
        s.pos2 = 1995;
        s.winner = 1;
        QCOMPARE(serverStep(s, "ASKPOS\n", ownName).reply, QByteArray("2010+1995+1\n"));
    }

    void clientRules_data()
    {
        QTest::addColumn<int>("netState");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("newState");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("opponent");

        const QString old = QStringLiteral("OLD NAME");
        const QByteArray found("trotix: TROTIX Server found!\ntrotix: Output to Server: MY HORSE       +150\n");
        QTest::newRow("greeting reply") << 1 << QByteArray("TROTIX\n") << 3 << QByteArray("MY HORSE       +150\n") << found << old;
        QTest::newRow("greeting reply in state 0") << 0 << QByteArray("TROTIX\n") << 3 << QByteArray("MY HORSE       +150\n") << found << old;
        QTest::newRow("with return: no match") << 1 << QByteArray("TROTIX\r\n") << 1 << QByteArray() << QByteArray() << old;
        QTest::newRow("with blank: no match") << 1 << QByteArray("TROTIX \n") << 1 << QByteArray() << QByteArray() << old;
        QTest::newRow("prefix: no match") << 1 << QByteArray("TROTIX-2\n") << 1 << QByteArray() << QByteArray() << old;
        QTest::newRow("bad request") << 1 << QByteArray("BADREQ\n") << 30 << QByteArray()
                                     << QByteArray("trotix: Bad request is answered by server.\n") << old;
        QTest::newRow("bad request in the race") << 5 << QByteArray("BADREQ\n") << 30 << QByteArray()
                                                 << QByteArray("trotix: Bad request is answered by server.\n") << old;
        QTest::newRow("not available") << 5 << QByteArray("NOTAVA\n") << 10 << QByteArray() << QByteArray() << old;
        QTest::newRow("server's name") << 3 << QByteArray("RED RUNNER     \n") << 5 << QByteArray("OKOKOK\n") << QByteArray()
                                       << QStringLiteral("RED RUNNER     ");
        QTest::newRow("a greeting is a name in state 3") << 3 << QByteArray("TROTIX\n") << 5 << QByteArray("OKOKOK\n")
                                                         << QByteArray() << QStringLiteral("TROTIX\n");
        QTest::newRow("state 4 is unused") << 4 << QByteArray("RED\n") << 4 << QByteArray() << QByteArray() << old;
        QTest::newRow("failure state ignores lines") << 10 << QByteArray("TROTIX\n") << 10 << QByteArray() << QByteArray() << old;
    }

    void clientRules()
    {
        QFETCH(int, netState);
        QFETCH(QByteArray, line);
        const ClientStep step = clientStep(clientIn(netState), line, ownName, 150);
        QTEST(step.state.netState, "newState");
        QTEST(step.send, "sent");
        QTEST(step.log, "log");
        QTEST(step.state.opponentName, "opponent");
        QCOMPARE(step.state.askPosReady, 0);
        QCOMPARE(step.state.pos1, 1500);
    }

    void clientTakesPositionReplies_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("race end") << QByteArray("2010+1995+1\n") << 2010 << 1995 << 1
                                  << QByteArray("trotix: Position converted from QString to Int\n"
                                                "trotix: Len: 7 Splitter: 4\n"
                                                "trotix: Position got is Player 1: 2010, Player 2: 1995, Winner: 1\n ");
        QTest::newRow("mid race") << QByteArray("1234+987+0\n") << 1234 << 987 << 0
                                  << QByteArray("trotix: Position converted from QString to Int\n"
                                                "trotix: Len: 6 Splitter: 3\n"
                                                "trotix: Position got is Player 1: 1234, Player 2: 987, Winner: 0\n ");
        QTest::newRow("bad fields read as 0") << QByteArray("abc+12+x\n") << 0 << 12 << 0
                                              << QByteArray("trotix: Position Conversion failed\n"
                                                            "trotix: Len: 5 Splitter: 2\n"
                                                            "trotix: Position got is Player 1: 0, Player 2: 12, Winner: 0\n ");
        QTest::newRow("third plus stays in the winner") << QByteArray("1+2+3+4\n") << 1 << 2 << 0
                                                        << QByteArray("trotix: Position Conversion failed\n"
                                                                      "trotix: Len: 6 Splitter: 1\n"
                                                                      "trotix: Position got is Player 1: 1, Player 2: 2, Winner: 0\n ");
        QTest::newRow("empty fields") << QByteArray("++\n") << 0 << 0 << 0
                                      << QByteArray("trotix: Position Conversion failed\n"
                                                    "trotix: Len: 2 Splitter: 0\n"
                                                    "trotix: Position got is Player 1: 0, Player 2: 0, Winner: 0\n ");
        const QByteArray ignored("trotix: Position reply without two '+' ignored.\n");
        QTest::newRow("one plus: ignored") << QByteArray("12+34\n") << 1500 << 1400 << 0 << ignored;
        QTest::newRow("no plus: ignored") << QByteArray("1234\n") << 1500 << 1400 << 0 << ignored;
        QTest::newRow("binary: ignored") << QByteArray("\0\xff\n", 3) << 1500 << 1400 << 0 << ignored;
    }

    void clientTakesPositionReplies()
    {
        QFETCH(QByteArray, line);
        const ClientStep step = clientStep(clientIn(5), line, ownName, 150);
        QCOMPARE(step.state.netState, 5);
        QCOMPARE(step.state.askPosReady, 1); // answered: the next request may go out
        QTEST(step.state.pos1, "pos1");
        QTEST(step.state.pos2, "pos2");
        QTEST(step.state.winner, "winner");
        QTEST(step.log, "log");
        QCOMPARE(step.send, QByteArray());
    }

    void linesAreTakenWhole_data()
    {
        QTest::addColumn<QByteArray>("waiting");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<bool>("tooLong");
        QTest::addColumn<QByteArray>("left");
        using L = QList<QByteArray>;
        const QByteArray cap(maxLineLength - 1, 'x');
        QTest::newRow("nothing") << QByteArray() << 0 << L{} << false << QByteArray();
        QTest::newRow("half a line waits") << QByteArray("TROT") << 0 << L{} << false << QByteArray("TROT");
        QTest::newRow("two and a half") << QByteArray("A\nB\nC") << 0 << L{"A\n", "B\n"} << false << QByteArray("C");
        QTest::newRow("one at a time") << QByteArray("A\nB\n") << 1 << L{"A\n"} << false << QByteArray("B\n");
        QTest::newRow("longest line") << cap + "\n" << 0 << L{cap + "\n"} << false << QByteArray();
        QTest::newRow("one byte too long") << cap + "x\n" << 0 << L{} << true << QByteArray();
        QTest::newRow("longest partial") << cap << 0 << L{} << false << cap;
        QTest::newRow("partial past the cap") << cap + "x" << 0 << L{} << true << QByteArray();
        QTest::newRow("good line, then too long") << "OK\n" + cap + "xy" << 0 << L{"OK\n"} << true << QByteArray();
        QTest::newRow("megabyte") << QByteArray(1 << 20, 'z') << 0 << L{} << true << QByteArray();
    }

    void linesAreTakenWhole()
    {
        QFETCH(QByteArray, waiting);
        QFETCH(int, maxLines);
        QFETCH(bool, tooLong);
        QBuffer device(&waiting);
        QVERIFY(device.open(QIODevice::ReadOnly));
        const WaitingLines taken = takeLines(device, maxLines);
        QTEST(taken.lines, "lines");
        QCOMPARE(taken.tooLong, tooLong);
        if (!tooLong)
            QTEST(device.readAll(), "left");
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
