// The race server on loopback (port 1234): our game listens, a scripted challenger
// sends exact bytes and checks every byte that comes back; hand-shake, race, failures, and hostile
// peers that must leave the game running and answering.
#include "failuredisplay.h"
#include "gamefixture.h"
#include "net/clientsocket.h"
#include "net/protocol.h"
#include "net/simpleserver.h"
#include "platform/log.h"
#include "platform/random.h"
#include "scriptedpeer.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray ownReply("MY HORSE       \n");

// From idle to the waiting screen with the port open: the menu item, its question screen, CONFIRM
// and the first waiting tick (which starts accepting challengers).
bool openServer(GameFixture &game)
{
    game.call("change2server");
    game.tick();
    game.call("confirmNetwork");
    if (!gs.server || gs.bindFailed != 0 || gs.mode != ModeServerWait)
        return false;
    game.tick();
    return gs.serverAccepting == 1;
}

// A challenger through the whole hand-shake, each reply checked.
bool shakeHands(ScriptedPeer &peer, const QByteArray &nameLine = "BLUE BOLT      +150\n")
{
    if (!peer.connectToGame() || !pumpUntil([] { return gs.netState == 1; }))
        return false;
    peer.send("TROTIX\n");
    if (peer.nextLine() != "TROTIX\n")
        return false;
    peer.send(nameLine);
    if (peer.nextLine() != ownReply)
        return false;
    peer.send("OKOKOK\n");
    return pumpUntil([] { return gs.netState == 5; });
}

// Another connection that turns up while a challenger races, and what it does.
enum Stranger { NoStranger, ConnectsAndCloses, Silent, Greets, Garbage };
enum Moment { InHandshake, InRace };

struct RaceRecord
{
    QByteArray challengerGot; // every byte the challenger received, hand-shake to race end
    int winner = 0;           // the winner in the challenger's last reply, the same as the game's
    QByteArray strangerGot;
};

int serverConnections();

// A whole race of a scripted challenger against the game, with the computer's draws fixed, and a
// stranger doing its thing at `at`.
RaceRecord raceWithStranger(Stranger kind, int at)
{
    RaceRecord record;
    GameFixture game;
    if (!openServer(game))
        return record;
    ScriptedPeer challenger;
    std::unique_ptr<ScriptedPeer> stranger;
    const auto strike = [&] {
        if (kind == NoStranger)
            return;
        stranger = std::make_unique<ScriptedPeer>();
        stranger->connectToGame();
        pumpUntil([] { return serverConnections() == 2; });
        switch (kind) {
        case ConnectsAndCloses:
            stranger->socket().close();
            pumpUntil([] { return serverConnections() == 1; });
            break;
        case Greets:
            stranger->send("TROTIX\n");
            stranger->nextLine();
            break;
        case Garbage:
            stranger->send(QByteArray("GOGOGO\nOKOKOK\n\xff\0zz\nASKPOS\n", 26));
            pumpUntil([&] { return stranger->received().count('\n') == 4; });
            break;
        default:
            break;
        }
    };
    if (!challenger.connectToGame() || !pumpUntil([] { return gs.netState == 1; }))
        return record;
    challenger.send("TROTIX\n");
    challenger.nextLine();
    if (at == InHandshake)
        strike();
    challenger.send("BLUE BOLT      +150\n");
    challenger.nextLine();
    challenger.send("OKOKOK\n");
    pumpUntil([] { return gs.netState == 5; });
    game.tick(7); // over to the course and through its start up to "READY..."
    challenger.send("GOGOGO\n");
    pumpUntil([] { return gs.raceTick == 5; });
    scriptRandomDraws({2000000000, 2000000000});
    QByteArray reply;
    for (int ticks = 0; gs.mode == ModeServerRace && ticks < 200; ++ticks) {
        game.tick();
        if (gs.mode != ModeServerRace)
            break;
        if (ticks == 10 && at == InRace)
            strike();
        challenger.send("ASKPOS\n");
        reply = challenger.nextLine();
    }
    challenger.waitForClose();
    record.challengerGot = challenger.received();
    record.winner = reply.mid(reply.lastIndexOf('+') + 1).trimmed().toInt();
    if (record.winner != gs.winner)
        record.winner = -1;
    if (stranger)
        record.strangerGot = stranger->received();
    return record;
}

int serverConnections() { return gs.server ? int(gs.server->findChildren<ClientSocket *>().size()) : 0; }

struct HorseSnapshot
{
    QByteArray name = QByteArray(gs.horseName, 16);
    float age = gs.age, muscle = gs.muscle, fat = gs.fat, power = gs.power, spirit = gs.spirit;
    bool operator==(const HorseSnapshot &o) const
    {
        return name == o.name && age == o.age && muscle == o.muscle && fat == o.fat && power == o.power
            && spirit == o.spirit;
    }
};

}

class TestNetServer : public QObject
{
    Q_OBJECT

private slots:
    void handshakeAndRaceToTheResult()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        LogCapture log;
        ScriptedPeer peer;
        QVERIFY(peer.connectToGame());
        QVERIFY(pumpUntil([] { return gs.netState == 1; }));
        peer.send("TROTIX\n");
        QCOMPARE(peer.nextLine(), QByteArray("TROTIX\n"));
        QCOMPARE(gs.netState, 3);
        peer.send("BLUE BOLT      +150\n");
        QCOMPARE(peer.nextLine(), ownReply);
        QCOMPARE(gs.netState, 4);
        QCOMPARE(gs.opponentName, QStringLiteral("BLUE BOLT      "));
        QCOMPARE(gs.challengerWeight, 150);
        QCOMPARE(gs.receivedLine, QStringLiteral("BLUE BOLT      +150\n"));
        peer.send("OKOKOK\n");
        QVERIFY(pumpUntil([] { return gs.netState == 5; }));
        QVERIFY(peer.staysQuiet());
        QCOMPARE(logLines(log.text()),
                 QStringList({"trotix: Ding! Server Connected\n", "trotix: Challenger's weight: 150\n"}));

        // Asked before the race moves, the positions are those the Race menu cleared.
        peer.send("ASKPOS\n");
        QCOMPARE(peer.nextLine(), QByteArray("0+0+0\n"));

        game.tick(); // "Ready for racing ..." and over to the course
        QCOMPARE(gs.mode, int(ModeServerRace));
        QCOMPARE(gs.raceTick, 0);
        game.tick(6);
        QCOMPARE(gs.raceTick, 4); // held at "READY..." until the challenger starts the race
        peer.send("GOGOGO\n");
        QVERIFY(pumpUntil([] { return gs.raceTick == 5; }));

        scriptRandomDraws({2000000000, 2000000000}); // equal weights: the tie draw, then the pattern
        QByteArray reply;
        int ticks = 0;
        while (gs.mode == ModeServerRace && ticks++ < 200) {
            game.tick();
            if (gs.mode != ModeServerRace)
                break;
            peer.send("ASKPOS\n");
            reply = peer.nextLine();
            QCOMPARE(reply, Protocol::positionReply(gs.pos1, gs.pos2, gs.winner));
        }
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.winScenario, 2);
        QCOMPARE(gs.winner, 1);
        QVERIFY(reply.endsWith("+1\n"));
        QVERIFY(peer.waitForClose()); // the race end closes the connection
        QCOMPARE(gs.serverConnection, nullptr);
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));
        QCOMPARE(gs.netState, 0);
        QCOMPARE(gs.serverAccepting, 0);
        QVERIFY(gs.server->isListening());
    }

    void secondStartSignalRestartsTheStart()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
        game.tick();
        gs.raceTick = 12;
        peer.send("GOGOGO\n");
        QVERIFY(pumpUntil([] { return gs.raceTick == 5; }));
        QVERIFY(peer.staysQuiet());
    }

    void greetingBeforeTheFirstWaitingTickIsRefused()
    {
        GameFixture game;
        game.call("change2server");
        game.tick();
        game.call("confirmNetwork"); // no tick yet: not accepting challengers
        QCOMPARE(gs.serverAccepting, 0);
        LogCapture log;
        ScriptedPeer peer;
        QVERIFY(peer.connectToGame());
        QVERIFY(pumpUntil([&] { return log.text().contains("Ding!"); }));
        QCOMPARE(gs.netState, 0);
        peer.send("TROTIX\n");
        QCOMPARE(peer.nextLine(), QByteArray("BADREQ\n"));
        QCOMPARE(gs.netState, 0);
    }

    // Another connection in the middle of the hand-shake (state 3: the next line is the name
    // line) or of the race leaves the race alone: the challenger hears exactly what it hears in
    // a race without it, and the stranger hears "BADREQ" to every line, as from a busy server.
    void strangersLeaveTheRaceAlone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("at");
        const char *kinds[] = {"connects and closes", "stays silent", "greets", "sends garbage"};
        const char *moments[] = {"in the hand-shake", "in the race"};
        for (int at : {InHandshake, InRace})
            for (int kind : {ConnectsAndCloses, Silent, Greets, Garbage})
                QTest::addRow("%s %s", kinds[kind - 1], moments[at]) << kind << at;
    }

    void strangersLeaveTheRaceAlone()
    {
        QFETCH(int, kind);
        QFETCH(int, at);
        const RaceRecord alone = raceWithStranger(NoStranger, at);
        QVERIFY(alone.winner == 1 || alone.winner == 2);
        const RaceRecord disturbed = raceWithStranger(Stranger(kind), at);
        QCOMPARE(disturbed.challengerGot, alone.challengerGot);
        QCOMPARE(disturbed.winner, alone.winner);
        QCOMPARE(disturbed.strangerGot, kind == Greets ? QByteArray("BADREQ\n")
                                        : kind == Garbage ? QByteArray("BADREQ\n").repeated(4)
                                                          : QByteArray());
    }

    void crowdAndQuietConnectionsGoTheRaceStays()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer racer;
        QVERIFY(shakeHands(racer));
        game.tick();
        QCOMPARE(gs.mode, int(ModeServerRace));
        LogCapture log;
        // One more silent connection than the game keeps besides the race's own: the first to
        // come, quiet longest, makes room.
        std::vector<std::unique_ptr<ScriptedPeer>> crowd;
        for (int i = 0; i <= Protocol::maxOtherConnections; ++i) {
            crowd.push_back(std::make_unique<ScriptedPeer>());
            QVERIFY(crowd.back()->connectToGame());
            QVERIFY(pumpUntil([&] { return log.text().count("Ding!") == i + 1; }));
        }
        QVERIFY(crowd.front()->waitForClose());
        QVERIFY(log.text().contains("trotix: Too many connections, the one quiet longest dropped.\n"));
        for (qsizetype i = 1; i < qsizetype(crowd.size()); ++i)
            QVERIFY(!crowd[i]->closed());

        // Quiet for the limit: every other connection goes, the race's own stays.
        for (ClientSocket *connection : gs.server->findChildren<ClientSocket *>())
            connection->findChild<QTimer *>()->start(20);
        for (qsizetype i = 1; i < qsizetype(crowd.size()); ++i)
            QVERIFY(crowd[i]->waitForClose());
        QVERIFY(log.text().contains("trotix: Connection quiet too long, dropped.\n"));
        QVERIFY(racer.staysQuiet(200));
        QVERIFY(!racer.closed());
        QCOMPARE(gs.netState, 5);
        racer.send("ASKPOS\n");
        QCOMPARE(racer.nextLine(), Protocol::positionReply(gs.pos1, gs.pos2, gs.winner));
    }

    void challengerClosingFirstIsLetGoOnce()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
        game.tick();
        LogCapture log;
        peer.socket().close();
        QVERIFY(pumpUntil([] { return gs.serverConnection == nullptr; }));
        QCOMPARE(log.text(), QByteArray("trotix: Disconnected Unexpectedly...\n"));
        QCOMPARE(gs.netState, 10);
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));
        game.tick(3); // the race runs on
        QCOMPARE(gs.mode, int(ModeServerRace));
        gs.raceTick = 31;
        game.tick();
        QCOMPARE(gs.mode, int(ModeIdle));
        game.call("disconnectNetwork"); // nothing left to destroy
        QCOMPARE(gs.serverConnection, nullptr);
    }

    void challengerLeavingDuringTheHandshakeShowsFourTicks()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer peer;
        QVERIFY(peer.connectToGame());
        peer.send("TROTIX\n");
        QCOMPARE(peer.nextLine(), QByteArray("TROTIX\n"));
        peer.socket().close();
        QVERIFY(pumpUntil([] { return gs.netState == 10; }));
        QCOMPARE(gs.shownMode, 0);
        QVERIFY(countsDownToIdle(game, 10, ModeServerWait));
        QCOMPARE(gs.serverAccepting, 1); // left as it was until the next menu choice

        // So a challenger still completes the hand-shake, but no race starts on this device.
        ScriptedPeer late;
        QVERIFY(shakeHands(late));
        game.tick(2);
        QCOMPARE(gs.mode, int(ModeIdle));
        late.socket().close();
    }

    void bindFailureShowsBusyForFourTicksThenRetries()
    {
        GameFixture game;
        auto blocker = std::make_unique<QTcpServer>();
        QVERIFY(blocker->listen(QHostAddress::Any, 1234));
        game.call("change2server");
        game.tick();
        LogCapture log;
        game.call("confirmNetwork");
        QCOMPARE(log.text(), QByteArray("trotix: Failed to bind to port!!!\n"));
        QCOMPARE(gs.server, nullptr);
        QCOMPARE(gs.serverCreated, 0);
        QCOMPARE(gs.bindFailed, 1);
        QCOMPARE(gs.netState, 30);
        QCOMPARE(gs.mode, int(ModeServerWait));
        QVERIFY(gs.disconnectButton->isVisibleTo(game.widget()));
        QVERIFY(game.widget()->findChildren<SimpleServer *>().isEmpty()); // nothing stays allocated
        QVERIFY(countsDownToIdle(game, 30, ModeServerWait));

        blocker.reset();
        QVERIFY(openServer(game));
        QCOMPARE(gs.serverCreated, 1);
        QCOMPARE(gs.netState, 0);
    }

    void laterConfirmKeepsTheListeningSocket()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        SimpleServer *first = gs.server;
        game.call("cancelNetwork");
        QVERIFY(openServer(game));
        QCOMPARE(gs.server, first);
        QCOMPARE(game.widget()->findChildren<SimpleServer *>().size(), 1);
    }

    void disconnectOnTheCourseEndsTheRaceAndKeepsListening()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
        game.tick(3);
        QCOMPARE(gs.mode, int(ModeServerRace));
        QVERIFY(gs.disconnectButton->isVisibleTo(game.widget()));
        game.call("disconnectNetwork");
        QVERIFY(peer.waitForClose());
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.netState, 0);
        QCOMPARE(gs.serverAccepting, 0);
        QCOMPARE(gs.raceTick, 0);
        QCOMPARE(gs.pos1, 0);
        QCOMPARE(gs.gallopFrame, 1);
        QVERIFY(!gs.disconnectButton->isVisibleTo(game.widget()));

        // Still listening, no longer taking challengers.
        ScriptedPeer late;
        QVERIFY(late.connectToGame());
        late.send("TROTIX\n");
        QCOMPARE(late.nextLine(), QByteArray("BADREQ\n"));
        late.send("ASKPOS\n");
        QCOMPARE(late.nextLine(), QByteArray("NOTAVA\n"));
    }

    void megabyteWithoutLineFeedDropsOnlyThatPeer()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        const HorseSnapshot horse;
        LogCapture log;
        ScriptedPeer flood;
        QVERIFY(flood.connectToGame());
        flood.send(QByteArray(1 << 20, 'A'));
        QVERIFY(flood.waitForClose());
        QVERIFY(log.text().contains("trotix: Line too long from peer, connection dropped.\n"
                                    "trotix: Disconnected Unexpectedly...\n"));
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));
        QVERIFY(flood.received().isEmpty());

        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
        QVERIFY(horse == HorseSnapshot());
    }

    void longLineWithLineFeedIsDroppedToo()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        ScriptedPeer flood;
        QVERIFY(flood.connectToGame());
        flood.send("TROTIX\n" + QByteArray(5000, 'B') + "\n");
        QCOMPARE(flood.nextLine(), QByteArray("TROTIX\n")); // the good line before it is answered
        QVERIFY(flood.waitForClose());
    }

    void binaryBytesAreRefusedAndTheGameGoesOn()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        const HorseSnapshot horse;
        ScriptedPeer noise;
        QVERIFY(noise.connectToGame());
        QByteArray bytes;
        for (int i = 0; i < 4096; ++i)
            bytes += char((i * 37 + i / 256) & 0xff);
        noise.send(bytes);
        QVERIFY(pumpUntil([&] { return noise.received().count('\n') >= bytes.count('\n'); }));
        // Every line was answered, each with one whole reply.
        const QList<QByteArray> replies = noise.received().split('\n');
        for (const QByteArray &reply : replies.first(replies.size() - 1))
            QVERIFY2(reply == "BADREQ" || reply == "TROTIX" || reply == "MY HORSE       " || reply == "NOTAVA"
                         || reply == "0+0+0",
                     reply.constData());
        game.tick(5);
        QVERIFY(horse == HorseSnapshot());
        noise.socket().close();
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));
        ScriptedPeer peer;
        QVERIFY(peer.connectToGame());
        QVERIFY(pumpUntil([] { return gs.netState == 1; }));
        peer.send("TROTIX\n");
        QCOMPARE(peer.nextLine(), QByteArray("TROTIX\n"));
    }

    void thousandConnectsAndDropsLeaveNothingBehind()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        const HorseSnapshot horse;
        LogCapture log;
        for (int i = 0; i < 1000; ++i) {
            ScriptedPeer peer;
            QVERIFY(peer.connectToGame());
            const int dings = i + 1;
            QVERIFY(pumpUntil([&] { return log.text().count("Ding!") == dings; }));
            switch (i % 4) {
            case 0:
                peer.socket().abort();
                break;
            case 1:
                peer.send("TROT"); // half a greeting
                peer.socket().close();
                break;
            case 2:
                peer.send("TROTIX\nMY");
                peer.socket().disconnectFromHost();
                break;
            default:
                break; // dropped with the peer object
            }
        }
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));
        QCOMPARE(gs.serverConnection, nullptr);

        // Several open at once, dropped in another order than they came.
        std::vector<std::unique_ptr<ScriptedPeer>> open;
        for (int i = 0; i < 5; ++i) {
            open.push_back(std::make_unique<ScriptedPeer>());
            QVERIFY(open.back()->connectToGame());
            QVERIFY(pumpUntil([&] { return serverConnections() == i + 1; }));
        }
        for (int i : {3, 0, 4, 1, 2})
            open[i].reset();
        QVERIFY(pumpUntil([] { return serverConnections() == 0; }));

        game.tick();
        QVERIFY(horse == HorseSnapshot());
        game.tick(4); // let the failure countdown of the last drop run out
        QVERIFY(openServer(game));
        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
    }
};

QTEST_MAIN(TestNetServer)
#include "tst_netserver.moc"
