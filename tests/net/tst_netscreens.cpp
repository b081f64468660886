// The connection screens as the player sees them: every text at its place in its font over the
// field, the buttons each screen offers, and the moves between the screens.
#include "gamefixture.h"
#include "net/ownaddress.h"
#include "screencheck.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace {

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

Q_DECLARE_METATYPE(Texts)

class TestNetScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setOwnAddressSource(homeAddress); }
    void cleanup() { gs.clientSocket->abort(); }

    void ownAddressLines_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no network") << QStringList{} << QStringList{"Your address: none (no network)"};
        QTest::newRow("home network first, link-local last, each once")
            << QStringList{"169.254.7.1", "203.0.113.5", "10.0.0.2", "10.0.0.2"}
            << QStringList{"Your addresses: 10.0.0.2", "203.0.113.5", "169.254.7.1"};
        QTest::newRow("more than fit") << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"}
                                       << QStringList{"Your addresses: 10.0.0.1", "10.0.0.2", "10.0.0.3 ..."};
    }

    void ownAddressLines()
    {
        QFETCH(QStringList, addresses);
        QList<QHostAddress> list;
        for (const QString &address : addresses)
            list.append(QHostAddress(address));
        QTEST(::ownAddressLines(list), "lines");
    }

    void questionScreens_data()
    {
        QTest::addColumn<QByteArray>("menuSlot");
        QTest::addColumn<int>("mode");
        QTest::addColumn<Texts>("texts");
        QTest::addColumn<bool>("addressShown");
        QTest::newRow("server") << QByteArray("change2server") << int(ModeServerAsk)
                                << Texts{heading(50, 70, "Wait for Challengers"), heading(55, 85, "over the Network?")}
                                << false;
        QTest::newRow("client") << QByteArray("change2client") << int(ModeClientAsk)
                                << Texts{heading(53, 70, "Seek Challengers"), heading(55, 85, "over the Network?"),
                                         {20, 110, 10, 75, QStringLiteral("Hostname/IP Address of the Challenger:")}}
                                << true;
    }

    void questionScreens()
    {
        QFETCH(QByteArray, menuSlot);
        QFETCH(int, mode);
        QFETCH(Texts, texts);
        QFETCH(bool, addressShown);
        GameFixture game;
        game.call(menuSlot.constData());
        game.tick();
        QCOMPARE(gs.shownMode, mode);
        const QImage screen = game.screen();
        QCOMPARE(screen, expectedScreen(game, texts));
        QVERIFY(shown(game, gs.confirmButton));
        QVERIFY(shown(game, gs.cancelButton));
        QVERIFY(!shown(game, gs.disconnectButton));
        QCOMPARE(shown(game, gs.addressEdit), addressShown);
    }

    void typedAddressSurvivesTicksAndLaterVisits()
    {
        GameFixture game;
        game.call("change2client");
        game.tick();
        gs.addressEdit->setText(QStringLiteral("trotix-red.local"));
        game.tick(3);
        QVERIFY(shown(game, gs.addressEdit));
        QCOMPARE(gs.addressEdit->text(), QStringLiteral("trotix-red.local"));
        game.call("cancelNetwork");
        QVERIFY(!shown(game, gs.addressEdit));
        game.call("change2client");
        game.tick();
        QCOMPARE(gs.addressEdit->text(), QStringLiteral("trotix-red.local"));
    }

    void progressScreens_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("netState");
        QTest::addColumn<Texts>("texts");
        QTest::addColumn<int>("stateAfter");
        QTest::addColumn<int>("modeAfter");
        QTest::addColumn<bool>("addressShown");

        const QString name = QStringLiteral("BLUE BOLT      ");
        const int wait = ModeServerWait;
        const ScreenText s = heading(5, 70, "Wait for Challengers ...");
        const ScreenText connected = lineText(95, "A connection is established.");
        const ScreenText here = lineText(110, "Here comes a Trotix challenger!");
        const ScreenText nameLabel = lineText(125, "Name of Challenger: ");
        const ScreenText nameText{105, 125, 10, 50, name};
        const ScreenText ready = lineText(140, "Ready for racing ...");
        QTest::newRow("server named") << wait << 4 << Texts{s, connected, here, nameLabel, nameText} << 4 << wait << true;
        QTest::newRow("server ready") << wait << 5 << Texts{s, connected, here, nameLabel, nameText, ready} << 5
                                      << int(ModeServerRace) << false;
        QTest::newRow("server lost, last tick") << wait << 13 << Texts{s, lineText(155, "Disconnected unexpectedly.")}
                                                << 0 << int(ModeIdle) << false;
        QTest::newRow("server busy, last tick") << wait << 33
                                                << Texts{s, lineText(95, "Network subsystem busy, please retry later.")}
                                                << 0 << int(ModeIdle) << false;

        const int connect = ModeClientConnect;
        const ScreenText c = heading(5, 70, "Finding Challengers ...");
        const ScreenText found = lineText(110, "A Trotix challenger is found!");
        const ScreenText cannot = lineText(95, "Host cannot be connected!");
        const ScreenText rejected = lineText(95, "Host rejected connection request. (perhaphs already in racing)");
        QTest::newRow("client ready") << connect << 5 << Texts{c, connected, found, nameLabel, nameText, ready} << 5
                                      << int(ModeClientRace) << false;
        QTest::newRow("client failed, last tick") << connect << 13 << Texts{c, cannot} << 0 << int(ModeIdle) << false;
        QTest::newRow("client rejected, last tick") << connect << 33 << Texts{c, rejected} << 0 << int(ModeIdle) << false;
    }

    void progressScreens()
    {
        QFETCH(int, mode);
        QFETCH(int, netState);
        QFETCH(Texts, texts);
        GameFixture game;
        gs.mode = mode;
        gs.netState = netState;
        gs.opponentName = QStringLiteral("BLUE BOLT      ");
        gs.raceTick = 25;
        gs.backgroundOffset = 300;
        gs.lastPos1 = gs.lastPos2 = 2100;
        game.tick();
        QCOMPARE(gs.shownMode, mode);
        const QImage screen = game.screen();
        QTEST(gs.netState, "stateAfter");
        QTEST(gs.mode, "modeAfter");
        if (gs.mode == ModeServerRace || gs.mode == ModeClientRace) {
            // The race starts afresh on the next tick.
            QCOMPARE(gs.raceTick, 0);
            QCOMPARE(gs.backgroundOffset, 0);
            QCOMPARE(gs.mode == ModeServerRace ? gs.lastPos1 : gs.lastPos2, 0);
            QCOMPARE(gs.mode == ModeServerRace ? gs.lastPos2 : gs.lastPos1, 2100);
        }
        gs.backgroundOffset = 300; // the field as it was drawn
        const QImage expected = expectedScreen(game, texts);
        QCOMPARE(outsideAddressRows(screen), outsideAddressRows(expected));
        QFETCH(bool, addressShown);
        QCOMPARE(!sameAddressRows(screen, expected), addressShown);
    }
};

QTEST_MAIN(TestNetScreens)
#include "tst_netscreens.moc"
