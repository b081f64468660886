// The race client on loopback (port 1234): our game connects to a scripted server that
// checks every byte the game sends and answers with exact bytes; hand-shake, race, the failure
// countdowns, and a hostile server that must leave the game running.
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
        QCOMPARE(gs.netState, 1);
        peer->send("TROTIX\n");
        QCOMPARE(peer->nextLine(), ownNameLine);
        QCOMPARE(gs.netState, 3);
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
        // The start sequence: the start signal goes out once, on race tick 4.
        for (int tick = 0; tick < 4; ++tick) {
            game.tick();
            QVERIFY(peer->staysQuiet(20));
        }
        log.clear();
        game.tick();
        QCOMPARE(peer->nextLine(), QByteArray("GOGOGO\n"));
        QVERIFY(log.text().contains("trotix: Fire! Race Start.\n"));
        QCOMPARE(gs.raceTick, 5);
        game.tick(2);
        QCOMPARE(gs.raceTick, 7);
        QVERIFY(peer->staysQuiet(20));

        // The race: one request per tick, each answered with the server's positions.
        int p1 = 0, p2 = 0, winner = 0;
        int ticks = 0;
        while (gs.mode == ModeClientRace && ticks++ < 200) {
            game.tick();
            if (gs.mode != ModeClientRace)
                break;
            QCOMPARE(peer->nextLine(), QByteArray("ASKPOS\n"));
            QCOMPARE(gs.askPosReady, 0);
            p1 += 40;
            p2 += 38;
            if (winner == 0 && p1 >= 2000)
                winner = 1;
            QVERIFY(answered(*peer, Protocol::positionReply(p1, p2, winner)));
            QCOMPARE(gs.pos1, p1);
            QCOMPARE(gs.pos2, p2);
            QCOMPARE(gs.winner, winner);
        }
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.winner, 1);
        QVERIFY(peer->waitForClose()); // the race end closes the client's socket
        QCOMPARE(gs.clientSocket->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(gs.netState, 0);
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

    // A server that hangs up in the middle of the hand-shake gave no race: shown as a connection
    // that failed.
    void serverHangingUpInTheHandshakeCannotBeConnected_data()
    {
        QTest::addColumn<int>("stage");
        QTest::newRow("after the greeting") << int(Stage::Greeted);
        QTest::newRow("after the name line") << int(Stage::Named);
    }

    void serverHangingUpInTheHandshakeCannotBeConnected()
    {
        QFETCH(int, stage);
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage(stage));
        QVERIFY(peer);
        LogCapture log;
        peer->socket().disconnectFromHost();
        QVERIFY(pumpUntil([] { return gs.netState == 10; }));
        QCOMPARE(log.text(), QByteArray("trotix: Start client connection Error!\n"));
        QCOMPARE(gs.mode, int(ModeClientConnect)); // "Host cannot be connected!" for four ticks
        QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
    }

    void greetingReplyMustBeExact_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("return before the line feed") << QByteArray("TROTIX\r\n");
        QTest::newRow("blank before the line feed") << QByteArray("TROTIX \n");
        QTest::newRow("longer keyword") << QByteArray("TROTIX-2\n");
    }

    void greetingReplyMustBeExact()
    {
        QFETCH(QByteArray, reply);
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage::Greeted);
        QVERIFY(peer);
        peer->send(reply);
        QVERIFY(peer->staysQuiet());
        QCOMPARE(gs.netState, 1);
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

    void halfALineChangesNothing()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage::Named);
        QVERIFY(peer);
        LogCapture log;
        peer->send("RED RU");
        QVERIFY(pumpUntil([&] { return log.text().contains("Something ready"); }));
        QVERIFY(peer->staysQuiet()); // no "OKOKOK" before the name
        QCOMPARE(gs.netState, 3);
        QCOMPARE(gs.opponentName, QStringLiteral("My Challenger"));
        peer->send("NNER     \n");
        QCOMPARE(peer->nextLine(), QByteArray("OKOKOK\n"));
        QCOMPARE(gs.opponentName, QStringLiteral("RED RUNNER     "));

        QVERIFY(askedMidRace(game, *peer));
        peer->send("16");
        QVERIFY(peer->staysQuiet());
        QCOMPARE(gs.pos1, 1500); // no zeroed positions
        QCOMPARE(gs.askPosReady, 0);
        QVERIFY(answered(*peer, "00+1450+0\n"));
        QCOMPARE(gs.pos1, 1600);
        QCOMPARE(gs.pos2, 1450);
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

    void connectedAgainSendsNothing()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect();
        QVERIFY(peer);
        game.call("ClientConnected");
        QVERIFY(peer->staysQuiet());
        QCOMPARE(gs.netState, 5);
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
        QVERIFY(!gs.disconnectButton->isVisibleTo(game.widget()));
    }

    void connectionErrorsCountDownToIdle_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("nobody listening") << QStringLiteral("127.0.0.1");
        QTest::newRow("empty address") << QString();
        QTest::newRow("no such host") << QStringLiteral("no-such-host.invalid");
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
        QVERIFY(gs.disconnectButton->isVisibleTo(game.widget()));
        game.call("disconnectNetwork");
        QVERIFY(peer->waitForClose());
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.netState, 0);
        QCOMPARE(gs.raceTick, 0);
        QCOMPARE(gs.pos1, 0);
        QCOMPARE(gs.pos2, 0);
        QCOMPARE(gs.gallopFrame, 1);

        // Nothing of the old connection reaches the next race.
        LogCapture log;
        ScriptedPeer *next = shakeHands(game, game.server);
        QVERIFY(next);
        QCOMPARE(log.text().count("Ping! Client Connected"), 1);
    }

    void floodingServerIsAConnectionError()
    {
        ClientGame game;
        const QByteArray name(gs.horseName);
        ScriptedPeer *peer = game.connect(Stage::Greeted);
        QVERIFY(peer);
        LogCapture log;
        peer->send(QByteArray(1 << 20, 'X'));
        QVERIFY(pumpUntil([] { return gs.netState == 10; }));
        QVERIFY(log.text().endsWith("trotix: Line too long from peer, connection dropped.\n"
                                    "trotix: Start client connection Error!\n"));
        QVERIFY(peer->waitForClose());
        QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
        QCOMPARE(QByteArray(gs.horseName), name);
    }

    void binaryRepliesDuringTheRaceKeepThePositions()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect();
        QVERIFY(peer);
        QVERIFY(askedMidRace(game, *peer));
        LogCapture log;
        QVERIFY(answered(*peer, QByteArray("\0\x01\xfe\xff garbage \x80\n", 15)));
        QVERIFY(log.text().contains("trotix: Position reply without two '+' ignored.\n"));
        QCOMPARE(gs.pos1, 1500);
        QCOMPARE(gs.pos2, 1400);
        QCOMPARE(gs.mode, int(ModeClientRace));
        game.tick();
        QCOMPARE(peer->nextLine(), QByteArray("ASKPOS\n"));
        QByteArray noise;
        for (int i = 0; i < 3000; ++i)
            noise += char((i * 131 + 7) & 0xff);
        peer->send(noise + "\n1600+1500+0\n");
        QVERIFY(pumpUntil([] { return gs.pos1 == 1600; }));
        game.tick(3);
        QCOMPARE(gs.mode, int(ModeClientRace));
    }
};

QTEST_MAIN(TestNetClient)
#include "tst_netclient.moc"
