// The race server on loopback (port 1234): our game listens, a scripted challenger sends exact
// bytes and checks every byte that comes back; hand-shake, race, failures, strangers and a crowd
// that must leave the race alone. Hostile bytes as such are the fuzz targets' part.
#include "gamefixture.h"
#include "net/clientsocket.h"
#include "net/protocol.h"
#include "net/simpleserver.h"
#include "platform/log.h"
#include "platform/random.h"
#include "scriptedpeer.h"

#include <QDir>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/resource.h>

namespace {

const QByteArray ownReply("MY HORSE       \n");

// From idle to the waiting screen, the port open and the first waiting tick accepting challengers.
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

// A challenger through the whole hand-shake, each reply checked; `greeted` runs once the greeting
// is answered (the next line is the name line).
bool shakeHands(ScriptedPeer &peer, const std::function<void()> &greeted = [] {})
{
    if (!peer.connectToGame() || !pumpUntil([] { return gs.netState == 1; }))
        return false;
    peer.send("TROTIX\n");
    if (peer.nextLine() != "TROTIX\n")
        return false;
    greeted();
    peer.send("BLUE BOLT      +150\n");
    if (peer.nextLine() != ownReply)
        return false;
    peer.send("OKOKOK\n");
    return pumpUntil([] { return gs.netState == 5; });
}

// Another connection that turns up while a challenger races, and what it does.
enum Stranger { NoStranger, ConnectsAndCloses, Silent, Garbage };
enum Moment { InHandshake, InRace };

struct RaceRecord
{
    QByteArray challengerGot; // every byte the challenger received, hand-shake to race end
    int winner = 0;           // the winner in the challenger's last reply, the same as the game's
    QByteArray strangerGot;
};

int serverConnections();

// A whole race of a scripted challenger, the draws fixed, and a stranger doing its thing at `at`.
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
        case Garbage: // a greeting, then every other keyword and bytes of no keyword
            stranger->send(QByteArray("TROTIX\nGOGOGO\nOKOKOK\n\xff\0zz\nASKPOS\n", 33));
            pumpUntil([&] { return stranger->received().count('\n') == 5; });
            break;
        default:
            break;
        }
    };
    if (!shakeHands(challenger, [&] {
            if (at == InHandshake)
                strike();
        }))
        return record;
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

}

class TestNetServer : public QObject
{
    Q_OBJECT

private slots:
    // A whole race as the challenger hears it, the last position line naming the game's horse.
    void handshakeAndRaceToTheResult()
    {
        LogCapture log;
        const RaceRecord race = raceWithStranger(NoStranger, InRace);
        QVERIFY(race.challengerGot.startsWith("TROTIX\n" + ownReply));
        QVERIFY(race.challengerGot.endsWith("+1\n"));
        QCOMPARE(race.winner, 1);
        QVERIFY(log.text().contains("trotix: Ding! Server Connected\ntrotix: Challenger's weight: 150\n"));
    }

    // Another connection in the middle of the hand-shake (state 3: the next line is the name
    // line) or of the race leaves the race alone: the challenger hears exactly what it hears in
    // a race without it, and the stranger hears "BADREQ" to every line, as from a busy server.
    void strangersLeaveTheRaceAlone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("at");
        const char *kinds[] = {"connects and closes", "stays silent", "greets and sends garbage"};
        const char *moments[] = {"in the hand-shake", "in the race"};
        for (int at : {InHandshake, InRace})
            for (int kind : {ConnectsAndCloses, Silent, Garbage})
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
        QCOMPARE(disturbed.strangerGot, QByteArray("BADREQ\n").repeated(kind == Garbage ? 5 : 0));
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
        // A hundred silent connections, with this process's open files capped at what the peers
        // hold plus a small device's share for the game: the one quiet longest makes room each
        // time, and the tick still has a file to save to.
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        const struct Restore { rlimit saved; ~Restore() { setrlimit(RLIMIT_NOFILE, &saved); } } restore{files};
        files.rlim_cur = rlim_t(QDir(QStringLiteral("/proc/self/fd")).count()) + 100 + 16;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &files), 0);
        std::vector<std::unique_ptr<ScriptedPeer>> crowd;
        for (int i = 0; i < 100; ++i) {
            crowd.push_back(std::make_unique<ScriptedPeer>());
            QVERIFY(crowd.back()->connectToGame());
            QVERIFY(pumpUntil([&] { return log.text().count("Ding!") == i + 1; }));
        }
        QVERIFY(log.text().contains("trotix: Too many connections, the one quiet longest dropped.\n"));
        game.tick(10);
        QVERIFY(log.text().contains("trotix: Write Attribute File\n"));
        QVERIFY(!log.text().contains("Cannot write"));
        const qsizetype kept = qsizetype(crowd.size()) - Protocol::maxOtherConnections;
        QVERIFY(crowd[kept - 1]->waitForClose());
        for (qsizetype i = kept; i < qsizetype(crowd.size()); ++i)
            QVERIFY(!crowd[i]->closed());

        // Quiet for the limit: every other connection goes, the race's own stays.
        for (ClientSocket *connection : gs.server->findChildren<ClientSocket *>())
            connection->findChild<QTimer *>()->start(20);
        for (qsizetype i = kept; i < qsizetype(crowd.size()); ++i)
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
        QCOMPARE(gs.bindFailed, 1);
        QCOMPARE(gs.netState, 30);
        QVERIFY(game.widget()->findChildren<SimpleServer *>().isEmpty()); // nothing stays allocated
        QVERIFY(countsDownToIdle(game, 30, ModeServerWait));

        blocker.reset();
        QVERIFY(openServer(game));
        SimpleServer *first = gs.server; // a later confirm keeps the listening socket
        game.call("cancelNetwork");
        QVERIFY(openServer(game));
        QCOMPARE(gs.server, first);
    }

    // One line past the cap: the line before it answered, that peer dropped, the next served.
    void lineTooLongDropsOnlyThatPeer()
    {
        GameFixture game;
        QVERIFY(openServer(game));
        LogCapture log;
        ScriptedPeer flood;
        QVERIFY(flood.connectToGame());
        flood.send("TROTIX\n" + QByteArray(5000, 'B') + "\n");
        QCOMPARE(flood.nextLine(), QByteArray("TROTIX\n"));
        QVERIFY(flood.waitForClose());
        QVERIFY(log.text().contains("trotix: Line too long from peer, connection dropped.\n"));
        ScriptedPeer peer;
        QVERIFY(shakeHands(peer));
    }
};

QTEST_MAIN(TestNetServer)
#include "tst_netserver.moc"
