// The race client on loopback (port 1234): our game connects to a scripted server that
// checks every byte the game sends and answers with exact bytes; hand-shake, race, the failure
// countdowns, and a server that sends a line too long.
#include "failuredisplay.h"
#include "gamefixture.h"
#include "net/protocol.h"
#include "platform/log.h"
#include "scriptedpeer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QByteArray ownNameLine("MY HORSE       +150\n");

// From idle to the connecting screen: the menu item, the question screen, the address typed,
// CONFIRM.
void confirmAddress(GameFixture &game, const QString &address)
{
    game.call("change2client");
    game.tick();
    gs.addressEdit->setText(address);
    game.call("confirmNetwork");
}

// How far a test takes the hand-shake before it goes its own way.
enum class Stage { Greeted, Named, Ready };

// Connects to the scripted server and takes the hand-shake up to `stage`, each message checked:
// Greeted, the game's "TROTIX" has come; Named, its name line has answered ours; Ready, it has
// taken our name and sent "OKOKOK".
ScriptedPeer *shakeHands(GameFixture &game, ScriptedServer &server, Stage stage = Stage::Ready)
{
    confirmAddress(game, QStringLiteral("127.0.0.1"));
    ScriptedPeer *peer = server.accept();
    if (!peer || peer->nextLine() != "TROTIX\n")
        return nullptr;
    if (stage == Stage::Greeted)
        return peer;
    peer->send("TROTIX\n");
    if (peer->nextLine() != ownNameLine)
        return nullptr;
    if (stage == Stage::Named)
        return peer;
    peer->send("RED RUNNER     \n");
    if (peer->nextLine() != "OKOKOK\n" || gs.netState != 5)
        return nullptr;
    return peer;
}

// Our game with a scripted server listening for it on port 1234.
struct ClientGame : GameFixture
{
    ScriptedServer server;
    // The server's connection with the hand-shake taken up to `stage`; null if the port is taken.
    ScriptedPeer *connect(Stage stage = Stage::Ready)
    {
        return server.listen() ? shakeHands(*this, server, stage) : nullptr;
    }
};

// The server's reply to a position request has been taken.
bool answered(ScriptedPeer &peer, const QByteArray &reply)
{
    peer.send(reply);
    return pumpUntil([] { return gs.askPosReady == 1; });
}

// Straight to the running race with known positions, and the first request out.
bool askedMidRace(GameFixture &game, ScriptedPeer &peer)
{
    gs.mode = ModeClientRace;
    gs.raceTick = 7;
    gs.pos1 = 1500;
    gs.pos2 = 1400;
    game.tick();
    return peer.nextLine() == "ASKPOS\n";
}

}

class TestNetClient : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // The one client socket outlives every game of this process: leave it closed.
        gs.clientSocket->abort();
    }

    void handshakeAndRaceToTheResult()
    {
        ClientGame game;
        QVERIFY(game.server.listen());
        game.call("change2client");
        game.tick();
        gs.addressEdit->setText(QStringLiteral("127.0.0.1"));
        LogCapture log;
        game.call("confirmNetwork");
        QCOMPARE(gs.mode, int(ModeClientConnect));
        ScriptedPeer *peer = game.server.accept();
        QVERIFY(peer);
        QCOMPARE(peer->nextLine(), QByteArray("TROTIX\n"));
        peer->send("TROTIX\n");
        QCOMPARE(peer->nextLine(), ownNameLine);
        peer->send("RED RUNNER     \n");
        QCOMPARE(peer->nextLine(), QByteArray("OKOKOK\n"));
        QCOMPARE(gs.netState, 5);
        QCOMPARE(gs.opponentName, QStringLiteral("RED RUNNER     "));
        QCOMPARE(logLines(log.text()), QStringList({"trotix: Try to establish client connection\n",
                                                    "trotix: Ping! Client Connected\n",
                                                    "trotix: Something ready for read by client\n",
                                                    "trotix: TROTIX Server found!\n",
                                                    "trotix: Output to Server: MY HORSE       +150\n",
                                                    "trotix: Something ready for read by client\n"}));

        game.tick();
        QCOMPARE(gs.mode, int(ModeClientRace));
        // The start signal goes out once, on race tick 4; then one request a tick, each answered.
        game.tick(4);
        QVERIFY(peer->staysQuiet(20));
        game.tick();
        QCOMPARE(peer->nextLine(), QByteArray("GOGOGO\n"));
        game.tick(2);
        QVERIFY(peer->staysQuiet(20));
        for (const QByteArray reply : {"1000+990+0\n", "2010+2005+1\n"}) {
            game.tick();
            QCOMPARE(peer->nextLine(), QByteArray("ASKPOS\n"));
            QVERIFY(answered(*peer, reply));
        }
        QCOMPARE(gs.pos2, 2005);
        game.tick(13);
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.winner, 1);
        QVERIFY(peer->waitForClose()); // the race end closes the client's socket
    }

    // The server ends its race a tick before the client and closes first: a normal end, not an
    // error, and the client's race runs to its result.
    void serverClosingAfterTheRaceIsNoError()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect();
        QVERIFY(peer);
        LogCapture log;
        QVERIFY(askedMidRace(game, *peer));
        QVERIFY(answered(*peer, "2010+2005+1\n"));
        peer->socket().disconnectFromHost();
        QVERIFY(pumpUntil([] { return gs.clientSocket->state() == QAbstractSocket::UnconnectedState; }));
        game.tick(13);
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.winner, 1);
        QVERIFY(!log.text().contains("Error"));
    }

    // A server that hangs up in the middle of the hand-shake, or sends a line too long, gave no
    // race: shown as a connection that failed ("Host cannot be connected!" for four ticks).
    void serverFailingInTheHandshakeCannotBeConnected_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QByteArray>("flood");
        QTest::addColumn<QByteArray>("log");
        const QByteArray error("trotix: Start client connection Error!\n");
        QTest::newRow("hang-up after the greeting") << int(Stage::Greeted) << QByteArray() << error;
        QTest::newRow("hang-up after the name line") << int(Stage::Named) << QByteArray() << error;
        QTest::newRow("line too long") << int(Stage::Greeted) << QByteArray(1 << 20, 'X')
                                       << "trotix: Line too long from peer, connection dropped.\n" + error;
    }

    void serverFailingInTheHandshakeCannotBeConnected()
    {
        QFETCH(int, stage);
        QFETCH(QByteArray, flood);
        QFETCH(QByteArray, log);
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage(stage));
        QVERIFY(peer);
        LogCapture logged;
        if (flood.isEmpty())
            peer->socket().disconnectFromHost();
        else
            peer->send(flood);
        QVERIFY(pumpUntil([] { return gs.netState == 10; }));
        QVERIFY2(logged.text().endsWith(log), logged.text().constData());
        QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
    }

    void onlyTheLastOfTwoLinesCounts()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage::Named);
        QVERIFY(peer);
        peer->send("RED RUNNER     \nSECOND LINE    \n");
        QCOMPARE(peer->nextLine(), QByteArray("OKOKOK\n"));
        QCOMPARE(gs.opponentName, QStringLiteral("SECOND LINE    "));
        QVERIFY(peer->staysQuiet());

        QVERIFY(askedMidRace(game, *peer));
        QVERIFY(answered(*peer, "100+90+0\n200+180+0\n"));
        QCOMPARE(gs.pos1, 200);
        QCOMPARE(gs.pos2, 180);
    }

    void unansweredRequestBlocksLaterOnes()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect();
        QVERIFY(peer);
        QVERIFY(askedMidRace(game, *peer));
        game.tick(3);
        QVERIFY(peer->staysQuiet());
        QCOMPARE(gs.pos1, 1500);
        QCOMPARE(gs.pos2, 1400);
        QVERIFY(answered(*peer, "1540+1438+0\n"));
        game.tick();
        QCOMPARE(peer->nextLine(), QByteArray("ASKPOS\n"));
    }

    void refusalsCountDownToIdle_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("bad request") << QByteArray("BADREQ\n") << 30
                                     << QByteArray("trotix: Something ready for read by client\n"
                                                   "trotix: Bad request is answered by server.\n");
        QTest::newRow("not available") << QByteArray("NOTAVA\n") << 10
                                       << QByteArray("trotix: Something ready for read by client\n");
    }

    void refusalsCountDownToIdle()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, failure);
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage::Greeted);
        QVERIFY(peer);
        LogCapture log;
        peer->send(answer);
        QVERIFY(pumpUntil([&] { return gs.netState == failure; }));
        QTEST(log.text(), "log");
        QVERIFY(countsDownToIdle(game, failure, ModeClientConnect));
        QVERIFY(peer->waitForClose()); // torn down at the end of the display
    }

    void connectionErrorsCountDownToIdle_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("nobody listening") << QStringLiteral("127.0.0.1");
        QTest::newRow("empty address") << QString();
    }

    void connectionErrorsCountDownToIdle()
    {
        QFETCH(QString, address);
        GameFixture game;
        LogCapture log;
        confirmAddress(game, address);
        QVERIFY(pumpUntil([] { return gs.netState == 10; }, 20000));
        QVERIFY(log.text().contains("trotix: Start client connection Error!\n"));
        QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
        QCOMPARE(gs.addressEdit->text(), address); // kept for the next try
    }

    void disconnectOnTheCourseEndsTheRace()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect();
        QVERIFY(peer);
        game.tick(9);
        QCOMPARE(gs.mode, int(ModeClientRace));
        QCOMPARE(peer->nextLine(), QByteArray("GOGOGO\n"));
        game.call("disconnectNetwork");
        QVERIFY(peer->waitForClose());
        QCOMPARE(gs.mode, int(ModeIdle));

        // Nothing of the old connection reaches the next race.
        LogCapture log;
        ScriptedPeer *next = shakeHands(game, game.server);
        QVERIFY(next);
        QCOMPARE(log.text().count("Ping! Client Connected"), 1);
    }
};

QTEST_MAIN(TestNetClient)
#include "tst_netclient.moc"
