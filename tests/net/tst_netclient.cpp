// The race client on loopback (port 1234): our game connects to a scripted server that checks
// every byte the game sends and answers with exact bytes; hand-shake, race, failures, a server that
// sends a line too long. And the connection screens as the player sees them: every text at its
// place in its font over the field, and the buttons each screen offers.
#include "gamefixture.h"
#include "net/ownaddress.h"
#include "net/protocol.h"
#include "platform/log.h"
#include "screencheck.h"
#include "scriptedpeer.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

namespace {

const QByteArray ownNameLine("MY HORSE       +150\n");

// From idle to the connecting screen: the menu item, the question screen, the address, CONFIRM.
void confirmAddress(GameFixture &game, const QString &address)
{
    game.call("change2client");
    game.tick();
    gs.addressEdit->setText(address);
    game.call("confirmNetwork");
}

// How far a test takes the hand-shake before it goes its own way (Refused: no server listens).
enum class Stage { Refused, Greeted, Named, Ready };

// Our game with a scripted server on port 1234 that takes its connection.
struct ClientGame : GameFixture
{
    QTcpServer server;
    std::unique_ptr<ScriptedPeer> peer;

    // The hand-shake taken up to `stage`, each message checked: Greeted, the game's "TROTIX" has
    // come; Named, its name line has answered ours; Ready, it has taken our name and sent
    // "OKOKOK". Null if a step fails or the port is taken.
    ScriptedPeer *connect(Stage stage = Stage::Ready)
    {
        if (!server.listen(QHostAddress::Any, 1234))
            return nullptr;
        confirmAddress(*this, QStringLiteral("127.0.0.1"));
        if (!pumpUntil([this] { return server.hasPendingConnections(); }))
            return nullptr;
        peer = std::make_unique<ScriptedPeer>(server.nextPendingConnection());
        if (peer->nextLine() != "TROTIX\n")
            return nullptr;
        if (stage == Stage::Greeted)
            return peer.get();
        peer->send("TROTIX\n");
        if (peer->nextLine() != ownNameLine)
            return nullptr;
        if (stage == Stage::Named)
            return peer.get();
        peer->send("RED RUNNER     \n");
        return peer->nextLine() == "OKOKOK\n" && gs.netState == 5 ? peer.get() : nullptr;
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


using Texts = QList<ScreenText>;

ScreenText heading(int x, int y, const char *text) { return {x, y, 12, 75, QString::fromLatin1(text)}; }
ScreenText lineText(int y, const char *text) { return {5, y, 10, 50, QString::fromLatin1(text)}; }

// The field background as the tick paints it, with the given texts drawn over it in black.
QImage expectedScreen(GameFixture &game, const Texts &texts)
{
    game.setupBackgd(1);
    QImage image = game.screen();
    QPainter painter(&image);
    drawTexts(painter, texts);
    return image;
}

bool shown(GameFixture &game, QWidget *widget) { return widget->isVisibleTo(game.widget()); }

// The rows of the waiting screen where the device's own address is shown, between the texts
// and the button.
constexpr int addressTop = 160;
constexpr int addressBottom = 200;

QImage outsideAddressRows(QImage image)
{
    QPainter(&image).fillRect(0, addressTop, image.width(), addressBottom - addressTop, Qt::magenta);
    return image;
}

bool sameAddressRows(const QImage &a, const QImage &b)
{
    return a.copy(0, addressTop, a.width(), addressBottom - addressTop)
           == b.copy(0, addressTop, b.width(), addressBottom - addressTop);
}

QList<QHostAddress> homeAddress() { return {QHostAddress(QStringLiteral("192.168.1.10"))}; }

}

class TestNetClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setOwnAddressSource(homeAddress); }
    void cleanup()
    {
        // The one client socket outlives every game of this process: leave it closed.
        gs.clientSocket->abort();
    }

    void handshakeAndRaceToTheResult()
    {
        ClientGame game;
        LogCapture log;
        ScriptedPeer *peer = game.connect(); // every byte of the hand-shake checked on the way
        QVERIFY(peer);
        QCOMPARE(gs.opponentName, QStringLiteral("RED RUNNER     "));
        QVERIFY2(log.text().endsWith("trotix: Try to establish client connection\n"
                                     "trotix: Ping! Client Connected\n"
                                     "trotix: Something ready for read by client\n"
                                     "trotix: TROTIX Server found!\n"
                                     "trotix: Output to Server: MY HORSE       +150\n"
                                     "trotix: Something ready for read by client\n"),
                 log.text().constData());

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

    // Refused, no address, or a server that hangs up in the middle of the hand-shake or sends a
    // line too long: no race, "Host cannot be connected!" for four ticks, the address kept.
    void failuresCountDownToIdle()
    {
        const QByteArray error("trotix: Start client connection Error!\n");
        const QByteArray tooLong("trotix: Line too long from peer, connection dropped.\n");
        struct Row { Stage stage; QString address; QByteArray flood, log; };
        const Row rows[] = {{Stage::Refused, "127.0.0.1", {}, error}, {Stage::Refused, "", {}, error},
                            {Stage::Greeted, "127.0.0.1", {}, error}, {Stage::Named, "127.0.0.1", {}, error},
                            {Stage::Greeted, "127.0.0.1", QByteArray(1 << 20, 'X'), tooLong + error}};
        for (const Row &r : rows) {
            ClientGame game;
            LogCapture log;
            if (r.stage == Stage::Refused) {
                confirmAddress(game, r.address);
            } else {
                QVERIFY(game.connect(r.stage));
                if (r.flood.isEmpty())
                    game.peer->socket().disconnectFromHost();
                else
                    game.peer->send(r.flood);
            }
            QVERIFY(pumpUntil([] { return gs.netState == 10; }, 20000));
            QVERIFY2(log.text().endsWith(r.log), log.text().constData());
            QVERIFY(countsDownToIdle(game, 10, ModeClientConnect));
            QCOMPARE(gs.addressEdit->text(), r.address);
            gs.clientSocket->abort();
        }
    }

    // A server that sends two lines at once (the last counts), leaves a request unanswered (no
    // second one goes out until it is), and closes first after the race: a normal end.
    void anOddServerStillGivesARace()
    {
        ClientGame game;
        ScriptedPeer *peer = game.connect(Stage::Named);
        QVERIFY(peer);
        peer->send("RED RUNNER     \nSECOND LINE    \n");
        QCOMPARE(peer->nextLine(), QByteArray("OKOKOK\n"));
        QCOMPARE(gs.opponentName, QStringLiteral("SECOND LINE    "));
        QVERIFY(peer->staysQuiet());
        LogCapture log;
        QVERIFY(askedMidRace(game, *peer));
        game.tick(3);
        QVERIFY(peer->staysQuiet());
        QCOMPARE(gs.pos1, 1500);
        QVERIFY(answered(*peer, "100+90+0\n200+180+0\n"));
        QCOMPARE(gs.pos1, 200);
        QCOMPARE(gs.pos2, 180);
        game.tick();
        QCOMPARE(peer->nextLine(), QByteArray("ASKPOS\n"));
        QVERIFY(answered(*peer, "2010+2005+1\n"));
        peer->socket().disconnectFromHost();
        QVERIFY(pumpUntil([] { return gs.clientSocket->state() == QAbstractSocket::UnconnectedState; }));
        game.tick(13);
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(gs.winner, 1);
        QVERIFY(!log.text().contains("Error"));
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
    }

    // The waiting screen's own address lines: home networks first, link-local last, each once.
    void ownAddressLines()
    {
        const auto lines = [](const QStringList &addresses) {
            QList<QHostAddress> list;
            for (const QString &address : addresses)
                list.append(QHostAddress(address));
            return ::ownAddressLines(list);
        };
        QCOMPARE(lines({}), QStringList{"Your address: none (no network)"});
        QCOMPARE(lines({"169.254.7.1", "203.0.113.5", "10.0.0.2", "10.0.0.2"}),
                 QStringList({"Your addresses: 10.0.0.2", "203.0.113.5", "169.254.7.1"}));
        QCOMPARE(lines({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"}),
                 QStringList({"Your addresses: 10.0.0.1", "10.0.0.2", "10.0.0.3 ..."}));
    }

    // The question screens: texts, buttons, and the address field for the client only.
    void questionScreens()
    {
        const Texts over{heading(55, 85, "over the Network?")};
        const Texts server = Texts{heading(50, 70, "Wait for Challengers")} + over;
        const Texts client = Texts{heading(53, 70, "Seek Challengers"),
                                   {20, 110, 10, 75, QStringLiteral("Hostname/IP Address of the Challenger:")}} + over;
        for (bool isClient : {false, true}) {
            GameFixture game;
            game.call(isClient ? "change2client" : "change2server");
            game.tick();
            const QImage screen = game.screen();
            QCOMPARE(screen, expectedScreen(game, isClient ? client : server));
            QVERIFY(shown(game, gs.confirmButton) && shown(game, gs.cancelButton));
            QVERIFY(!shown(game, gs.disconnectButton));
            QCOMPARE(shown(game, gs.addressEdit), isClient);
        }
    }

    // A connection screen in each state: its texts (and the device's own addresses while the
    // server waits for its challenger), and the state and screen after the tick.
    void progressScreens()
    {
        const ScreenText s = heading(5, 70, "Wait for Challengers ...");
        const ScreenText c = heading(5, 70, "Finding Challengers ...");
        const ScreenText connected = lineText(95, "A connection is established.");
        const ScreenText here = lineText(110, "Here comes a Trotix challenger!");
        const ScreenText found = lineText(110, "A Trotix challenger is found!");
        const Texts named{lineText(125, "Name of Challenger: "), {105, 125, 10, 50, QStringLiteral("BLUE BOLT      ")}};
        const ScreenText ready = lineText(140, "Ready for racing ...");
        const int wait = ModeServerWait, connect = ModeClientConnect, idle = ModeIdle;
        struct Row { int mode, netState; Texts texts; int stateAfter, modeAfter; bool addressShown; };
        const Row rows[] = {
            {wait, 4, Texts{s, connected, here} + named, 4, wait, true},
            {wait, 5, Texts{s, connected, here} + named + Texts{ready}, 5, ModeServerRace, false},
            {wait, 13, {s, lineText(155, "Disconnected unexpectedly.")}, 0, idle, false},
            {wait, 33, {s, lineText(95, "Network subsystem busy, please retry later.")}, 0, idle, false},
            {connect, 5, Texts{c, connected, found} + named + Texts{ready}, 5, ModeClientRace, false},
            {connect, 10, {c, lineText(95, "Host cannot be connected!")}, 11, connect, false},
            {connect, 33, {c, lineText(95, "Host rejected connection request. (perhaphs already in racing)")}, 0, idle, false},
        };
        for (const Row &r : rows) {
            GameFixture game;
            gs.mode = r.mode;
            gs.netState = r.netState;
            gs.opponentName = QStringLiteral("BLUE BOLT      ");
            gs.raceTick = 25;
            gs.backgroundOffset = 300;
            game.tick();
            const QImage screen = game.screen();
            QCOMPARE(gs.netState, r.stateAfter);
            QCOMPARE(gs.mode, r.modeAfter);
            if (r.modeAfter == ModeServerRace || r.modeAfter == ModeClientRace)
                QCOMPARE(gs.raceTick, 0); // the race starts afresh on the next tick
            gs.backgroundOffset = 300; // the field as it was drawn
            const QImage expected = expectedScreen(game, r.texts);
            QCOMPARE(outsideAddressRows(screen), outsideAddressRows(expected));
            QCOMPARE(!sameAddressRows(screen, expected), r.addressShown);
        }
    }
};

QTEST_MAIN(TestNetClient)
#include "tst_netclient.moc"
