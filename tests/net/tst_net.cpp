// The race on loopback (port 1234), our game on either side, the other a scripted peer that sends
// exact bytes and checks every byte that comes back: hand-shakes, races, failures, strangers and a
// crowd. The screens are tst_window's films; hostile bytes as such are the fuzz targets' part.
#include "app/paint.h"
#include "game/racerecord.h"
#include "gamefixture.h"
#include "net/avahi.h"
#include "net/clientsocket.h"
#include "net/ownaddress.h"
#include "net/rules/lanlist.h"
#include "net/rules/protocol.h"
#include "net/simpleserver.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/rules/random.h"
#include "platform/windowsettings.h"
#include "race/rules/raceclock.h"
#include "screencheck.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {

// Runs the event loop until the predicate holds (true) or `ms` pass (false), never sleeping.
template <typename Predicate> bool pumpUntil(Predicate predicate, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    QTimer wake; // WaitForMoreEvents returns at the latest on its ticks
    for (wake.start(10); !predicate() && !deadline.hasExpired(); QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return predicate();
}

// The other game: a plain socket on loopback that sends exactly the bytes a test gives it and keeps
// every byte it receives, so the test can compare them whole.
struct ScriptedPeer
{
    // A connection the game accepted from us, or (given) one we accepted from the game.
    explicit ScriptedPeer(QTcpSocket *accepted = nullptr) : socket(accepted ? accepted : new QTcpSocket)
    {
        socket->setParent(nullptr);
        QObject::connect(socket.get(), &QIODevice::readyRead, socket.get(), [this] { received += socket->readAll(); });
        QObject::connect(socket.get(), &QAbstractSocket::disconnected, socket.get(), [this] { closed = true; });
        if (accepted)
            received += socket->readAll(); // whatever came before it was watched
    }

    bool waitForClose()
    {
        return pumpUntil([this] { return closed; });
    }
    void send(const QByteArray &bytes) { socket->write(bytes), socket->flush(); }
    QByteArray ask(const QByteArray &bytes) { return send(bytes), nextLine(); }
    bool connectToGame()
    {
        socket->connectToHost(QHostAddress::LocalHost, 1234);
        return pumpUntil([this] { return socket->state() == QAbstractSocket::ConnectedState; });
    }

    // Waits for the next complete line after what was taken before, and returns it.
    QByteArray nextLine()
    {
        pumpUntil([this] { return received.indexOf('\n', taken) >= 0; });
        const qsizetype end = received.indexOf('\n', taken);
        const QByteArray line = end < 0 ? QByteArray() : received.mid(taken, end + 1 - taken);
        taken = end < 0 ? taken : end + 1;
        return line;
    }

    // Nothing more arrives within a short while (for checks that something is not sent).
    bool staysQuiet(int ms = 150)
    {
        const qsizetype before = received.size();
        QTest::qWait(ms);
        return received.size() == before;
    }

    std::unique_ptr<QTcpSocket> socket;
    QByteArray received;
    qsizetype taken = 0;
    bool closed = false;
};

// A connection screen's failure display: from the failure state `first`, the next three ticks
// count on the screen `screen` and the fourth returns to idle.
inline bool countsDownToIdle(GameFixture &game, int first, int screen)
{
    for (int expected = first + 1; expected < first + 4; ++expected) {
        game.tick();
        if (gs.net.netState != expected || gs.shell.mode != screen)
            return false;
    }
    game.tick();
    return gs.net.netState == 0 && gs.shell.mode == ModeIdle;
}

// ---- Our game as the client

// From idle to the connecting screen: the menu item, the question screen, the games found, the
// address, and Return in its field.
void confirmAddress(GameFixture &game, const QString &address, const QList<Lan::FoundGame> &found = {})
{
    game.call("change2client");
    gs.net.askPosReady = 0; // as a client race may have left it
    game.tick();
    QCOMPARE(gs.net.askPosReady, 1);
    game.widget()->findChild<LanGames *>()->pretendFound(found);
    part<QLineEdit>("addressEdit")->setText(address);
    QTest::keyClick(part<QLineEdit>("addressEdit"), Qt::Key_Return);
}

// clang-format off
enum Leaving {
    ClientLeaves, ClientLeavesOnResult, ServerLeaves, ServerSilent, HostSilent, HostAtNoPosition, HostWithNoWinner
};
// clang-format on

// How far a test takes the hand-shake before it goes its own way (Refused: no server listens).
enum class Stage { Refused, Greeted, Named, Ready };

// Our game with a scripted server on port 1234 that takes its connection.
struct ClientGame : GameFixture
{
    QTcpServer server;
    std::unique_ptr<ScriptedPeer> peer;

    // The hand-shake taken up to `stage`, each message checked (Greeted: the game's "TROTIX" has come,
    // Named: its name line has answered ours, Ready: it has sent "OKOKOK"); null if a step fails.
    ScriptedPeer *connect(Stage stage = Stage::Ready)
    {
        if (!server.listen(QHostAddress::Any, 1234))
            return nullptr;
        confirmAddress(*this, QStringLiteral("127.0.0.1"));
        return shakeHands(stage);
    }

    // The game's next connection, through the hand-shake up to `stage`.
    ScriptedPeer *shakeHands(Stage stage)
    {
        if (!pumpUntil([this] { return server.hasPendingConnections(); }))
            return nullptr;
        peer = std::make_unique<ScriptedPeer>(server.nextPendingConnection());
        const std::pair<QByteArray, QByteArray> steps[] = {// each of our lines and the game's answer
                                                           {"", "TROTIX\n"},
                                                           {"TROTIX\n", "MY HORSE       +150\n"},
                                                           {"RED RUNNER     \n", "OKOKOK\n"}};
        for (int i = 0; i < int(stage); ++i)
            if (peer->ask(steps[i].first) != steps[i].second)
                return nullptr;
        return stage != Stage::Ready || gs.net.netState == 5 ? peer.get() : nullptr;
    }
};

// The server's reply to a position request has been taken.
bool answered(ScriptedPeer &peer, const QByteArray &reply)
{
    return peer.send(reply), pumpUntil([] { return gs.net.askPosReady == 1; });
}

// ---- Our game as the server

const QByteArray ownReply("MY HORSE       \n");

// From idle to the waiting screen, the port open and the first waiting tick accepting challengers;
// confirmed with Return, as a player with no mouse does.
bool openServer(GameFixture &game)
{
    game.call("change2server");
    game.tick();
    QTest::keyClick(game.widget(), Qt::Key_Return);
    if (!gs.net.server || gs.net.bindFailed != 0 || gs.shell.mode != ModeServerWait)
        return false;
    game.tick();
    return gs.net.serverAccepting == 1;
}

// Another connection that turns up while a challenger races, and what it does; or none, and the
// challenger races again after Race again on the first result.
enum Stranger { NoStranger, ConnectsAndCloses, Silent, Garbage, RacesAgain };
enum Moment { BeforeGreeting, InHandshake, InRace };

// A challenger through the whole hand-shake, each reply checked; `reached` runs once connected and
// once the greeting is answered (the next line is the name line).
bool shakeHands(ScriptedPeer &peer, const std::function<void(Moment)> &reached = [](Moment) {})
{
    if (!peer.connectToGame() || !pumpUntil([] { return gs.net.netState == 1; }))
        return false;
    reached(BeforeGreeting);
    if (peer.ask("TROTIX\n") != "TROTIX\n")
        return false;
    reached(InHandshake);
    if (peer.ask("BLUE BOLT      +150\n") != ownReply)
        return false;
    peer.send("OKOKOK\n");
    return pumpUntil([] { return gs.net.netState == 5; });
}

// Our server with a challenger through the hand-shake and on the course.
bool raceUnderWay(GameFixture &game, ScriptedPeer &challenger)
{
    return openServer(game) && shakeHands(challenger) && (game.tick(), gs.shell.mode == ModeServerRace);
}

struct RaceSeen
{
    QByteArray challengerGot; // every byte the challenger received, hand-shake to race end
    int winner = 0;           // the winner in the challenger's last reply, the same as the game's
    QByteArray strangerGot;
    bool wentOff = false; // the challenger's "GOGOGO" showed the "GO!" frame next
};

int serverConnections() { return gs.net.server ? int(gs.net.server->findChildren<ClientSocket *>().size()) : 0; }

// A whole race of a scripted challenger, the draws fixed, and a stranger doing its thing at `at`.
RaceSeen raceWithStranger(Stranger kind, int at)
{
    RaceSeen record;
    GameFixture game;
    if (!openServer(game))
        return record;
    std::unique_ptr<ScriptedPeer> stranger;
    const auto strike = [&] {
        if (kind == NoStranger || kind == RacesAgain)
            return;
        stranger = std::make_unique<ScriptedPeer>();
        stranger->connectToGame();
        pumpUntil([] { return serverConnections() == 2; });
        if (kind == ConnectsAndCloses) {
            stranger->socket->close();
            pumpUntil([] { return serverConnections() == 1; });
        } else if (kind == Garbage) { // a greeting, then every other keyword and bytes of no keyword
            stranger->send(QByteArray("TROTIX\nGOGOGO\nOKOKOK\n\xff\0zz\nASKPOS\n", 33));
            pumpUntil([&] { return stranger->received.count('\n') == 5; });
        }
    };
    for (int races = kind == RacesAgain ? 2 : 1; races > 0; --races) {
        record = RaceSeen(); // what the last race showed, or nothing if it never came
        ScriptedPeer challenger;
        if (!shakeHands(challenger, [&](Moment now) {
                if (now == at)
                    strike();
            }))
            return record;
        game.tick(7); // over to the course and through its start up to "READY..."
        challenger.send("GOGOGO\n");
        record.wentOff = pumpUntil([] { return gs.race.raceTick == RaceClock::off; });
        scriptRandomDraws({2000000000, 2000000000});
        QByteArray reply;
        for (int ticks = 0; gs.shell.mode == ModeServerRace && ticks < 200; ++ticks) {
            game.tick();
            if (races == 2 && gs.race.raceTick == RaceClock::firstResult + 2) // the pad's A on the offer, focused
                QTest::keyClick(game.widget()->focusWidget(), Qt::Key_Space);
            if (gs.shell.mode != ModeServerRace)
                break;
            if (ticks == 10 && at == InRace)
                strike();
            reply = challenger.ask("ASKPOS\n");
        }
        if (!challenger.waitForClose()) // each race's end closes its connection
            return RaceSeen();
        record.challengerGot = challenger.received;
        const int said = reply.mid(reply.lastIndexOf('+') + 1).trimmed().toInt();
        record.winner = said == gs.race.winner ? said : -1;
    }
    record.strangerGot = stranger ? stranger->received : QByteArray();
    return record;
}

}

class TestNet : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { gs.net.clientSocket->abort(); } // the one client socket outlives every game here

    // The client: every byte of the hand-shake checked, then a race to the result; there Race again
    // (Return) waits for the host to close that race, then the same hand-shake and race once more,
    // and that result runs out to the horse. Each race counts.
    void clientHandshakeAndRaceToTheResult()
    {
        ClientGame game;
        LogCapture log;
        QVERIFY(game.connect()); // every byte of the hand-shake checked on the way
        for (const bool again : {true, false}) {
            QCOMPARE(gs.race.opponentName, QStringLiteral("RED RUNNER     "));
            QVERIFY2(log.text().endsWith("trotix: Try to establish client connection\n"
                                         "trotix: Ping! Client Connected\n"
                                         "trotix: Something ready for read by client\n"
                                         "trotix: TROTIX Server found!\n"
                                         "trotix: Output to Server: MY HORSE       +150\n"
                                         "trotix: Something ready for read by client\n"),
                     log.text().constData());

            game.tick();
            QCOMPARE(gs.shell.mode, int(ModeClientRace));
            // The start signal goes out once, on race tick 4; then one request a tick, each answered.
            game.tick(4);
            QVERIFY(game.peer->staysQuiet(20));
            game.tick();
            QCOMPARE(game.peer->nextLine(), QByteArray("GOGOGO\n"));
            game.tick(2);
            QVERIFY(game.peer->staysQuiet(20));
            for (const QByteArray reply : {"1000+990+0\n", "2010+2005+1\n"}) {
                game.tick();
                QCOMPARE(game.peer->nextLine(), QByteArray("ASKPOS\n"));
                QVERIFY(answered(*game.peer, reply));
            }
            QCOMPARE(gs.race.positions.pos2, 2005);
            QVERIFY(part<QPushButton>("raceAgainButton")->isHidden());
            game.tick(again ? 2 : 13);
            if (!again)
                break;
            QTest::keyClick(game.widget(), Qt::Key_Return);
            QCOMPARE(gs.shell.mode, int(ModeClientConnect));
            // The first result frame's request went out; no connection until the host closes this one,
            // for as long as a hand-shake may take.
            QCOMPARE(game.peer->nextLine(), QByteArray("ASKPOS\n"));
            game.tick(Protocol::handshakePatience - 1);
            QVERIFY(game.peer->staysQuiet(20) && !game.server.hasPendingConnections());
            game.peer->socket->disconnectFromHost();
            QVERIFY(pumpUntil([&] { return game.server.hasPendingConnections() && gs.net.netState == 1; }));
            QCOMPARE(gs.net.clientQuietTicks, 0); // the new connection's hand-shake has the whole patience again
            QVERIFY(game.shakeHands(Stage::Ready));
        }
        QCOMPARE(std::pair(gs.shell.mode, gs.race.winner), std::pair(int(ModeIdle), 1));
        QVERIFY(game.peer->waitForClose()); // the race end closes the client's socket
        QCOMPARE(loadRaceRecord(Paths::raceRecordFile(), gs.horse.name).network.losses, 2);

        // The next start fills the field with the address raced against; a hand-edited one that is
        // no address is said and left out.
        for (const auto &[hand, field, said] :
             {std::tuple("", "127.0.0.1", ""),
              std::tuple("barn|\x1b", "", "trotix: The remembered address barn|? is no address; the address field starts empty.\n")}) {
            if (*hand)
                WindowSettings::setLastAddress(hand);
            LogCapture restart;
            const Trotix restarted;
            QCOMPARE(restarted.findChild<QLineEdit *>(QStringLiteral("addressEdit"))->text(), QString(field));
            QCOMPARE(restart.text().contains(said), true);
        }
    }

    // Refused, no address, or a server that hangs up in the middle of the hand-shake or sends a
    // line too long: no race, "Host cannot be connected!" for four ticks, the address kept.
    void failuresCountDownToIdle()
    {
        // clang-format off
        const QByteArray error("trotix: Start client connection Error!\n"), tooLong("trotix: Line too long from peer, connection dropped.\n");
        struct Row { Stage stage; QString address; QByteArray flood, log; };
        const Row rows[] = {{Stage::Refused, "127.0.0.1", {}, error},
                            {Stage::Greeted, "127.0.0.1", {}, error}, {Stage::Named, "127.0.0.1", {}, error},
                            {Stage::Greeted, "127.0.0.1", QByteArray(1 << 20, 'X'), tooLong + error}};
        // clang-format on
        for (const Row &r : rows) {
            ClientGame game;
            LogCapture log;
            if (r.stage == Stage::Refused) {
                confirmAddress(game, r.address);
            } else {
                QVERIFY(game.connect(r.stage));
                if (r.flood.isEmpty())
                    game.peer->socket->disconnectFromHost();
                else
                    game.peer->send(r.flood);
            }
            QVERIFY(pumpUntil([] { return gs.net.netState == 10; }, 20000));
            QVERIFY2(log.text().endsWith(r.log), log.text().constData());
            QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
            QCOMPARE(part<QLineEdit>("addressEdit")->text(), r.address);
            gs.net.clientSocket->abort();
        }
    }

    // CONFIRM with the field empty: the one game found is joined; with none or several the question
    // stays and says what it lacks, until the player types.
    void anEmptyAddressJoinsTheOneGameFound()
    {
        const Lan::FoundGame red{2, 0, "RED ARROW", "stable.local", "127.0.0.1"}, silver{2, 0, "SILVER HOOF", "barn.local", "192.0.2.7"};
        for (const QList<Lan::FoundGame> &found : {QList<Lan::FoundGame>{}, {red, silver}, {red}}) {
            ClientGame game;
            QVERIFY(game.server.listen(QHostAddress::Any, 1234));
            QStringList drawn;
            setDrawnTextObserver([&drawn](const DrawnText &text) { drawn.append(text.text); });
            const auto unobserved = qScopeGuard([] { setDrawnTextObserver({}); });
            confirmAddress(game, QString(), found);
            game.tick();
            const bool joins = found.size() == 1;
            QCOMPARE(gs.shell.mode, joins ? int(ModeClientConnect) : int(ModeClientAsk));
            QCOMPARE(drawn.count("Type an address or pick a game."), joins ? 0 : 2);
            QCOMPARE(pumpUntil([&game] { return game.server.hasPendingConnections(); }, joins ? 5000 : 100), joins);
            QCOMPARE(part<QLineEdit>("addressEdit")->text(), joins ? red.address : QString());
            part<QLineEdit>("addressEdit")->setText("x"), drawn.clear(), game.tick();
            QVERIFY(!drawn.contains("Type an address or pick a game."));
            gs.net.clientSocket->abort();
        }
    }

    // A server that sends two lines at once (the last counts, its name with a terminal's controls and
    // a right-to-left override in UTF-8), leaves a request unanswered (no second one goes out until
    // it is; after three silent ticks the course says it waits, until the answer), and closes first
    // after the race: a normal end, the name on the result as sent.
    void anOddServerStillGivesARace()
    {
        ClientGame game;
        QVERIFY(game.connect(Stage::Named));
        QCOMPARE(game.peer->ask("RED RUNNER     \n\x1b[31mRED\x07\xe2\x80\xae"
                                "BEL\n"),
                 QByteArray("OKOKOK\n"));
        QStringList drawn;
        setDrawnTextObserver([&drawn](const DrawnText &text) { drawn.append(text.text); });
        const auto unobserved = qScopeGuard([] { setDrawnTextObserver({}); });
        QVERIFY(game.peer->staysQuiet());
        LogCapture log;
        gs.shell.mode = ModeClientRace; // straight to the running race with known positions
        std::tie(gs.race.raceTick, gs.race.positions.pos1, gs.race.positions.pos2) = std::tuple(7, 1500, 1400);
        game.tick();
        QCOMPARE(game.peer->nextLine(), QByteArray("ASKPOS\n"));
        game.tick(3);
        QVERIFY(game.peer->staysQuiet());
        QCOMPARE(gs.race.positions.pos1, 1500);
        QVERIFY(answered(*game.peer, "100+90+0\n200+180+0\n"));
        QCOMPARE(std::pair(gs.race.positions.pos1, gs.race.positions.pos2), std::pair(200, 180));
        game.tick();
        QCOMPARE(drawn.count(QStringLiteral("Waiting for [31mRED\u00e2\u00aeBEL \u2026")),
                 1); // the third silent tick only
        QCOMPARE(game.peer->nextLine(), QByteArray("ASKPOS\n"));
        QVERIFY(answered(*game.peer, "12+34\n")); // answered, but without two "+": the positions stay
        QCOMPARE(gs.race.positions.pos1, 200);
        game.tick();
        QCOMPARE(game.peer->nextLine(), QByteArray("ASKPOS\n"));
        QVERIFY(answered(*game.peer, "2010+2005+1\n"));
        game.peer->socket->disconnectFromHost();
        QVERIFY(pumpUntil([] { return gs.net.clientSocket->state() == QAbstractSocket::UnconnectedState; }));
        game.tick(13);
        QCOMPARE(std::pair(gs.shell.mode, gs.race.winner), std::pair(int(ModeIdle), 1));
        QVERIFY(!log.text().contains("Error"));
        QVERIFY(drawn.contains(QStringLiteral("1. [31mRED\u00e2\u00aeBEL"))); // the result board
    }

    void disconnectOnTheCourseEndsTheRace()
    {
        for (const int resultKnown : {0, 1}) { // left on the result, the race counts, as the other game counts it
            ClientGame game;
            QVERIFY(game.connect());
            game.tick(9);
            QCOMPARE(gs.shell.mode, int(ModeClientRace));
            QCOMPARE(game.peer->nextLine(), QByteArray("GOGOGO\n"));
            std::tie(gs.net.resultKnown, gs.race.winner) = std::pair(resultKnown, 2);
            game.call("disconnectNetwork");
            QVERIFY(game.peer->waitForClose());
            QCOMPARE(gs.shell.mode, int(ModeIdle));
            QCOMPARE(loadRaceRecord(Paths::raceRecordFile(), gs.horse.name).network.wins, resultKnown);
        }
    }

    // The waiting screen's own address lines: home networks first, link-local last, each once.
    void ownAddressLines()
    {
        const auto lines = [](const QStringList &addresses) {
            return ::ownAddressLines(QList<QHostAddress>(addresses.begin(), addresses.end()));
        };
        QCOMPARE(lines({}), QStringList{"Your address: none (no network)"});
        QCOMPARE(lines({"::1", "127.0.0.1"}), QStringList({"Your address: 127.0.0.1", "(a game on this machine only)"}));
        QCOMPARE(lines({"169.254.7.1", "203.0.113.5", "10.0.0.2", "10.0.0.2"}),
                 QStringList({"Your addresses: 10.0.0.2", "203.0.113.5", "169.254.7.1"}));
        // Each home network's first address and the one just past its end.
        QCOMPARE(lines({"11.0.0.1", "172.32.0.1", "192.169.0.1", "192.168.0.1"}).first(), "Your addresses: 192.168.0.1");
        QCOMPARE(lines({"172.15.255.1", "172.16.0.1"}), QStringList({"Your addresses: 172.16.0.1", "172.15.255.1"}));
        QCOMPARE(lines({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"}),
                 QStringList({"Your addresses: 10.0.0.1", "10.0.0.2", "10.0.0.3 ..."}));
    }

    // Games found nearby: Down from the address field into the list, the arrows, then Return or
    // a tap fills the address; Up from the list's first line goes back to the field.
    void choosingAFoundGame()
    {
        GameFixture game;
        game.call("change2client");
        game.tick();
        auto *found = game.widget()->findChild<QListWidget *>(QStringLiteral("gameList"));
        auto *games = game.widget()->findChild<LanGames *>();
        game.widget()->show(); // the keys go where a real keyboard's go: to the focused widget
        game.widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(game.widget()));
        games->pretendFound({{2, 0, "RED ARROW", "stable.local", "192.0.2.1"}}); // one game is a list too
        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Down);
        QCOMPARE(game.widget()->focusWidget(), found);
        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Up);
        games->pretendFound({{2, 0, "RED ARROW", "stable.local", "192.0.2.1"},
                             {2, 0, "SILVER HOOF", "barn.local", "192.0.2.7"},
                             {2, 0, "RED ARROW", "theverylongnameofastablefarawaybehindthehills.local", "192.0.2.9"}});
        QVERIFY(!found->horizontalScrollBar()->isVisible()); // a long line wraps, however long its words
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(static_cast<QWidget *>(nullptr), key);
        QCOMPARE(part<QLineEdit>("addressEdit")->text(), QStringLiteral("192.0.2.7"));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(static_cast<QWidget *>(nullptr), key);
        QCOMPARE(game.widget()->focusWidget(), found);
        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Up);
        QCOMPARE(game.widget()->focusWidget(), part<QLineEdit>("addressEdit"));
        QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, found->visualItemRect(found->item(0)).center());
        QCOMPARE(part<QLineEdit>("addressEdit")->text(), QStringLiteral("192.0.2.1"));
    }

    // The server: a whole race as the challenger hears it, the last position line naming the game's
    // horse. Another connection in the middle of the hand-shake (state 3: the next line is the name
    // line) or of the race leaves it alone: the challenger hears exactly what it hears in a race
    // without it, and the stranger hears "BADREQ" to every line, as from a busy server. So does a
    // second race after Race again on the first one's result.
    void strangersLeaveTheRaceAlone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("at");
        const char *kinds[] = {"connects and closes", "stays silent", "greets and sends garbage"},
                   *moments[] = {"before the greeting", "in the hand-shake", "in the race"};
        for (int at : {BeforeGreeting, InHandshake, InRace})
            for (int kind : {ConnectsAndCloses, Silent, Garbage})
                if (at != BeforeGreeting || kind != Garbage) // before any greeting, the first to greet races
                    QTest::addRow("%s %s", kinds[kind - 1], moments[at]) << kind << at;
        QTest::addRow("race again") << int(RacesAgain) << int(InRace);
    }

    void strangersLeaveTheRaceAlone()
    {
        QFETCH(int, kind);
        QFETCH(int, at);
        LogCapture log;
        const RaceSeen alone = raceWithStranger(NoStranger, at);
        QVERIFY(alone.challengerGot.startsWith("TROTIX\n" + ownReply) && alone.challengerGot.endsWith("+1\n"));
        QCOMPARE(alone.winner, 1);
        QVERIFY(alone.wentOff);
        // 150 against our 150: a tie, which the draw gives to ours, narrowly.
        QVERIFY(log.text().contains("trotix: Ding! Server Connected\ntrotix: Challenger's weight: 150\n"));
        QVERIFY(log.text().contains("trotix: *** Win Scenario = 2\n"));
        const RaceSeen disturbed = raceWithStranger(Stranger(kind), at);
        QCOMPARE(disturbed.challengerGot, alone.challengerGot);
        QCOMPARE(disturbed.winner, alone.winner);
        QCOMPARE(disturbed.strangerGot, QByteArray("BADREQ\n").repeated(kind == Garbage ? 5 : 0));
    }

    void crowdAndQuietConnectionsGoTheRaceStays()
    {
        GameFixture game;
        ScriptedPeer racer;
        QVERIFY(raceUnderWay(game, racer));
        LogCapture log;
        // A hundred silent connections, open files capped at what the peers hold plus a small device's
        // share: the one quiet longest makes room each time, and the tick still has a file to save to.
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        const auto restore = qScopeGuard([files] { setrlimit(RLIMIT_NOFILE, &files); });
        files.rlim_cur = rlim_t(QDir(QStringLiteral("/proc/self/fd")).count()) + 100 + 16;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &files), 0);
        std::vector<std::unique_ptr<ScriptedPeer>> crowd;
        for (int i = 0; i < 100; ++i) {
            crowd.push_back(std::make_unique<ScriptedPeer>());
            QVERIFY(crowd.back()->connectToGame());
            QVERIFY(pumpUntil([&] { return log.text().count("Ding!") == i + 1; }));
        }
        const qsizetype kept = qsizetype(crowd.size()) - Protocol::maxOtherConnections; // the first one kept
        QCOMPARE(log.text().count("trotix: Too many connections, the one quiet longest dropped.\n"), kept);
        game.tick(10);
        QVERIFY(log.text().contains("trotix: Write Attribute File\n") && !log.text().contains("Cannot write"));
        QVERIFY(crowd[kept - 1]->waitForClose());
        for (qsizetype i = kept; i < qsizetype(crowd.size()); ++i)
            QVERIFY(!crowd[i]->closed);
        QTest::qWait(20); // one that spoke lately is not the quiet one: the next makes room for a newcomer
        QCOMPARE(crowd[kept]->ask("ASKPOS\n"), QByteArray("BADREQ\n"));
        crowd.push_back(std::make_unique<ScriptedPeer>());
        QVERIFY(crowd.back()->connectToGame() && crowd[kept + 1]->waitForClose() && !crowd[kept]->closed);

        // Quiet for the limit: every other connection goes, the race's own stays.
        for (ClientSocket *connection : gs.net.server->findChildren<ClientSocket *>())
            connection->findChild<QTimer *>()->start(20);
        for (qsizetype i = kept; i < qsizetype(crowd.size()); ++i)
            QVERIFY(crowd[i]->waitForClose());
        // Let go, not lost: none of them says it was disconnected.
        QVERIFY(log.text().contains("trotix: Connection quiet too long, dropped.\n") && !log.text().contains("Unexpectedly"));
        QVERIFY(racer.staysQuiet(200) && !racer.closed);
        QCOMPARE(gs.net.netState, 5);
        QCOMPARE(racer.ask("ASKPOS\n"), Protocol::positionReply(gs.race.positions.pos1, gs.race.positions.pos2, gs.race.winner));
    }

    // A partner that leaves or falls silent before the result, or a host that answers what no race
    // can reach: that side's failure, logged once, on four ticks of the course standing under the
    // banner naming the partner (in the hand-shake, of its progress screen; the first may be the
    // tick that notices; each drawn whole), then the horse, and no record. Leaving on the result
    // ends the race as usual, and it counts.
    void aPartnerThatLeavesIsNoticed_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QByteArray>("log");
        // clang-format off
        const char *lost = "Disconnected Unexpectedly...", *silent = "No answer from the host for %1 seconds, connection closed.",
                   *impossible = "Impossible position from the host (%1), connection closed.";
        const std::tuple<const char *, Leaving, QString> rows[] = {{"client lost mid-race", ClientLeaves, lost},
            {"client leaves on the result", ClientLeavesOnResult, lost}, {"server lost mid-race", ServerLeaves, "Start client connection Error!"},
            {"server silent mid-race", ServerSilent, QString(silent).arg(10)}, {"silent host", HostSilent, QString(silent).arg(15)},
            {"host at no position", HostAtNoPosition, QString(impossible).arg("2147483647+-2147483648+0")},
            {"host with no winner", HostWithNoWinner, QString(impossible).arg("2010+2005+7")}};
        // clang-format on
        for (const auto &[name, how, line] : rows)
            QTest::newRow(name) << int(how) << ("trotix: " + line + "\n").toLatin1();
    }

    void aPartnerThatLeavesIsNoticed()
    {
        QFETCH(int, how);
        QFETCH(QByteArray, log);
        ClientGame game;
        ScriptedPeer challenger;
        ScriptedPeer *peer = &challenger;
        const bool asServer = how == ClientLeaves || how == ClientLeavesOnResult;
        if (asServer) {
            QVERIFY(raceUnderWay(game, challenger));
            if (how == ClientLeavesOnResult) {
                gs.race.winner = 2;
                QCOMPARE(challenger.ask("ASKPOS\n"), QByteArray("0+0+2\n"));
            }
        } else {
            peer = game.connect(how == HostSilent ? Stage::Greeted : Stage::Ready);
            QVERIFY(peer);
            if (how != HostSilent) {
                game.tick(9); // the course, its start signal and the first position request
                QVERIFY(pumpUntil([peer] { return peer->received.endsWith("OKOKOK\nGOGOGO\nASKPOS\n"); }));
            }
        }
        LogCapture captured;
        QStringList drawn;
        setDrawnTextObserver([&drawn](const DrawnText &text) { drawn.append(text.text); });
        const auto unobserved = qScopeGuard([] { setDrawnTextObserver({}); });
        const int patience = how == HostSilent ? Protocol::handshakePatience : Protocol::answerPatience;
        if (how == HostAtNoPosition || how == HostWithNoWinner) {
            QVERIFY(answered(*peer, "1000+990+0\n")); // a frame to leave something behind
            game.tick();
            peer->send(how == HostAtNoPosition ? "2147483647+-2147483648+0\n" : "2010+2005+7\n");
            QVERIFY(peer->waitForClose());
            game.tick();
        } else if (how == ServerSilent || how == HostSilent) {
            game.tick(patience - 1);
            QVERIFY(peer->staysQuiet(20) && !peer->closed);
            game.tick(); // gives up, and shows it
            QVERIFY(peer->waitForClose());
            QCOMPARE(gs.net.netState, 11);
        } else {
            peer->socket->close();
            QVERIFY(pumpUntil([asServer] { return asServer ? gs.net.serverConnection == nullptr : gs.net.netState != 5; }));
            game.tick();
        }
        QVERIFY2(captured.text().count(log) == 1, captured.text().constData());
        ScriptedPeer newcomer; // while the course still stands, no new challenger takes the race's place
        QVERIFY(!asServer || (newcomer.connectToGame() && newcomer.ask("TROTIX\n") == "BADREQ\n"));
        const bool recorded = how == ClientLeavesOnResult;
        if (!recorded) { // the same screen drawn again on a clean buffer
            const QString shown = digest(game.screen());
            game.widget()->screenBuffer().fill(Qt::magenta), --gs.net.netState, game.tick();
            QCOMPARE(digest(game.screen()), shown);
        }
        QCOMPARE(gs.shell.mode, int(how == HostSilent ? ModeClientConnect : asServer ? ModeServerRace : ModeClientRace));
        if (recorded)
            gs.race.raceTick = 31; // the race runs on to its end
        else
            game.tick(2);
        QCOMPARE(gs.net.netState, recorded ? 5 : 13);
        game.tick();
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        const QString banner = (asServer ? "BLUE BOLT" : "RED RUNNER") + QStringLiteral(" left \u2014 not counted");
        QCOMPARE(drawn.count(banner), recorded || how == HostSilent ? 0 : 4 + 1); // four ticks, and one drawn again
        QCOMPARE(QFile::exists(Paths::raceRecordFile()), recorded);
        QCOMPARE(captured.text().contains("Error"), how == ServerLeaves);
        game.call("disconnectNetwork"); // nothing left to destroy
        QCOMPARE(gs.net.serverConnection, nullptr);
        ScriptedPeer late; // the port stays open after the race, but an idle game takes no challenge
        QVERIFY(!asServer || (late.connectToGame() && late.ask("TROTIX\n") == "BADREQ\n"));
    }

    void bindFailureShowsBusyThenRetriesAndServesDespiteAFlood()
    {
        GameFixture game;
        auto blocker = std::make_unique<QTcpServer>();
        QVERIFY(blocker->listen(QHostAddress::Any, 1234));
        game.call("change2server");
        game.tick();
        LogCapture log;
        QTest::keyClick(game.widget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(log.text(), QByteArray("trotix: Failed to bind to port!!!\n"));
        QCOMPARE(std::pair(gs.net.bindFailed, gs.net.netState), std::pair(1, 30));
        QVERIFY(game.widget()->findChildren<SimpleServer *>().isEmpty()); // nothing stays allocated
        QVERIFY(countsDownToIdle(game, 30, ModeServerWait));

        blocker.reset();
        QVERIFY(openServer(game));
        SimpleServer *first = gs.net.server; // a later confirm keeps the listening socket
        game.call("cancelNetwork");
        ScriptedPeer unasked; // cancelled: the port stays open, but an idle game takes no challenge
        QVERIFY(unasked.connectToGame() && unasked.ask("TROTIX\n") == "BADREQ\n");
        QVERIFY(openServer(game));
        QCOMPARE(gs.net.server, first);

        // One line past the cap: the line before it answered, that peer dropped, the next served.
        ScriptedPeer flood;
        QVERIFY(flood.connectToGame());
        QCOMPARE(flood.ask("TROTIX\n" + QByteArray(5000, 'B') + "\n"), QByteArray("TROTIX\n"));
        QVERIFY(flood.waitForClose());
        QVERIFY(log.text().contains("trotix: Line too long from peer, connection dropped.\n"));
        ScriptedPeer peer; // the next is served; named, it waits on the screen for its "OKOKOK"
        QVERIFY(peer.connectToGame() && pumpUntil([] { return gs.net.netState == 1; }) && peer.ask("TROTIX\n") == "TROTIX\n");
        QCOMPARE(peer.ask("BLUE BOLT      +150\n"), ownReply);
        game.tick();
        QCOMPARE(gs.shell.mode, int(ModeServerWait));
    }
};

QTEST_MAIN(TestNet)
#include "tst_net.moc"
