// The main widget: the screen buffer and its backgrounds, the child widgets' resting state, the
// menus, and what the window shows.
#include "gamefixture.h"
#include "platform/idmenubar.h"

#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// A strip whose every column has its own colour, so that a copied column tells where it came from.
QImage codedStrip(int width, int blue)
{
    QImage image(width, 320, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        const QRgb colour = qRgb(x & 0xff, (x >> 8) * 40, blue);
        for (int y = 0; y < 320; ++y)
            image.setPixel(x, y, colour);
    }
    return image;
}

int stripColumn(QRgb pixel) { return qRed(pixel) + 256 * (qGreen(pixel) / 40); }

void plantCodedPictures(const GameHome &home)
{
    QVERIFY(codedStrip(796, 10).save(home.root() + QStringLiteral("/pics/backgd1.png")));
    QVERIFY(codedStrip(494, 200).save(home.root() + QStringLiteral("/pics/backgd3.png")));
    QImage status(240, 320, QImage::Format_RGB32);
    status.fill(qRgb(1, 2, 3));
    QVERIFY(status.save(home.root() + QStringLiteral("/pics/backgd2.png")));
}

}

class TestTrotix : public QObject
{
    Q_OBJECT

private slots:
    void stripWindowWrapsRoundTheStripEnd_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("storedOffset");
        QTest::addColumn<int>("firstColumn");
        QTest::addColumn<int>("wrapAtX"); // screen x where column 0 of the strip appears, -1 if none

        QTest::newRow("field at 0") << 1 << 0 << 0 << 0 << -1;
        QTest::newRow("field at 556: one copy up to the strip end") << 1 << 556 << 556 << 556 << -1;
        QTest::newRow("field at 557: column 0 at x 239") << 1 << 557 << 557 << 557 << 239;
        QTest::newRow("field at 700: 96 columns, then 144 from 0") << 1 << 700 << 700 << 700 << 96;
        QTest::newRow("field at 796: not reset, same as 0 but wrapped at 0") << 1 << 796 << 796 << 796 << 0;
        QTest::newRow("field at 797: reset to 0") << 1 << 797 << 0 << 0 << -1;
        QTest::newRow("course at 0") << 4 << 0 << 0 << 0 << -1;
        QTest::newRow("course at 254: one copy") << 4 << 254 << 254 << 254 << -1;
        QTest::newRow("course at 255: column 0 at x 239") << 4 << 255 << 255 << 255 << 239;
        QTest::newRow("course at 494: not reset") << 4 << 494 << 494 << 494 << 0;
        QTest::newRow("course at 495: reset to 0") << 4 << 495 << 0 << 0 << -1;
    }

    void stripWindowWrapsRoundTheStripEnd()
    {
        QFETCH(int, kind);
        QFETCH(int, offset);
        QFETCH(int, storedOffset);
        QFETCH(int, firstColumn);
        QFETCH(int, wrapAtX);

        GameFixture game(defaultHorseFile, GameHome::WithoutPictures, plantCodedPictures);
        const int width = kind == 1 ? 796 : 494;
        const int blue = kind == 1 ? 10 : 200;
        gs.backgroundOffset = offset;
        game.setupBackgd(kind);
        QCOMPARE(gs.backgroundOffset, storedOffset);
        const QImage screen = game.screen();
        for (int x = 0; x < 240; ++x) {
            const int expected = (firstColumn + x) % width;
            QCOMPARE(stripColumn(screen.pixel(x, 0)), expected);
            QCOMPARE(screen.pixel(x, 319), screen.pixel(x, 0));
            QCOMPARE(qBlue(screen.pixel(x, 160)), blue);
        }
        if (wrapAtX >= 0)
            QCOMPARE(stripColumn(screen.pixel(wrapAtX, 100)), 0);
    }

    void plainBackgrounds()
    {
        GameFixture game(defaultHorseFile, GameHome::WithoutPictures, plantCodedPictures);
        game.setupBackgd(2);
        QCOMPARE(game.screen().pixel(0, 0), qRgb(1, 2, 3));
        QCOMPARE(game.screen().pixel(239, 319), qRgb(1, 2, 3));
        game.setupBackgd(3);
        QCOMPARE(game.screen().pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(game.screen().pixel(239, 319), qRgb(255, 255, 255));
        game.setupBackgd(1);
        const QImage before = game.screen();
        game.setupBackgd(5); // an unknown kind paints nothing
        game.setupBackgd(0);
        QCOMPARE(game.screen(), before);
    }

    void theBufferStartsAsTheFieldPicture()
    {
        GameFixture game(defaultHorseFile, GameHome::WithoutPictures, plantCodedPictures);
        QCOMPARE(gs.screenBuffer->size(), QSize(796, 320));
        QCOMPARE(stripColumn(game.screen().pixel(123, 45)), 123);
    }

    void missingPicturesDrawNothingAndTheGameGoesOn()
    {
        GameFixture game(defaultHorseFile, GameHome::WithoutPictures);
        QCOMPARE(gs.screenBuffer->size(), QSize(240, 320));
        QVERIFY(gs.titleImage.isNull());
        for (int mode : {1, 2, 3, 4, 5, 9, 10, 20, 40, 60}) {
            gs.mode = mode;
            game.tick(3);
        }
        QCOMPARE(game.screen().size(), QSize(240, 320));
    }

    void clearScreenPutsTheWidgetsToRest_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("okHidden");
        QTest::addColumn<bool>("editsHidden");
        QTest::addColumn<bool>("groupEnabled");

        QTest::newRow("idle enables the activity group") << 1 << true << true << true;
        QTest::newRow("about keeps OK") << 10 << false << true << false;
        QTest::newRow("address entry keeps both line edits") << 40 << true << false << false;
        QTest::newRow("eat") << 2 << true << true << false;
    }

    void clearScreenPutsTheWidgetsToRest()
    {
        QFETCH(int, mode);
        QFETCH(bool, okHidden);
        QFETCH(bool, editsHidden);
        QFETCH(bool, groupEnabled);

        GameFixture game;
        for (int id : activityGroup)
            gs.menuBar->setItemEnabled(id, false);
        for (QWidget *w : std::initializer_list<QWidget *>{gs.okButton, gs.disconnectButton, gs.confirmButton,
                                                           gs.cancelButton, gs.nameEdit, gs.addressEdit})
            w->show();
        gs.confirmButton->setEnabled(false);
        gs.cancelButton->setEnabled(false);
        gs.mode = mode;
        game.call("clearScreen");

        QCOMPARE(gs.okButton->isHidden(), okHidden);
        QVERIFY(gs.disconnectButton->isHidden());
        QVERIFY(gs.confirmButton->isHidden() && gs.confirmButton->isEnabled());
        QVERIFY(gs.cancelButton->isHidden() && gs.cancelButton->isEnabled());
        QCOMPARE(gs.nameEdit->isHidden(), editsHidden);
        QCOMPARE(gs.addressEdit->isHidden(), editsHidden);
        for (int id : activityGroup)
            QCOMPARE(gs.menuBar->isItemEnabled(id), groupEnabled);
        QVERIFY(!gs.menuBar->isItemEnabled(IdHop)); // never by clearScreen
    }

    void childWidgetsHaveTheirTextsAndPlaces()
    {
        GameFixture game;
        const struct {
            QPushButton *button;
            const char *text;
            QRect geometry;
        } buttons[] = {
            {gs.confirmButton, "CONFIRM", QRect(40, 260, 55, 20)},
            {gs.cancelButton, "CANCEL", QRect(140, 260, 55, 20)},
            {gs.okButton, "OK", QRect(100, 260, 35, 20)},
            {gs.disconnectButton, "CANCEL", QRect(90, 260, 55, 20)},
        };
        for (const auto &b : buttons) {
            QCOMPARE(b.button->text(), QString::fromLatin1(b.text));
            QCOMPARE(b.button->geometry(), b.geometry);
            QVERIFY(b.button->isHidden());
        }
        QCOMPARE(gs.nameEdit->geometry(), QRect(50, 120, 150, 20));
        QCOMPARE(gs.addressEdit->geometry(), QRect(50, 120, 150, 20));
        QCOMPARE(gs.lifeTimer->objectName(), QStringLiteral("movement handler"));
        QCOMPARE(gs.lifeTimer->interval(), 1000);
        QCOMPARE(game.widget()->windowTitle(), QStringLiteral("Trotix"));
        QCOMPARE(game.widget()->objectName(), QStringLiteral("TrotixBase"));
    }

    void menusHoldTheirItemsByIdWithTheirKeys()
    {
        GameFixture game;
        const struct {
            int id;
            const char *text;
            QKeySequence key;
            bool enabled;
        } items[] = {
            {IdIdle, "&Idle", {}, true},          {IdEat, "&Eat", {}, true},
            {IdSleep, "&Sleep", {}, true},        {IdRun, "&Run", {}, true},
            {IdJump, "&Jump", {}, true},          {IdStatus, "&Status", QKeySequence(Qt::Key_U), true},
            {IdServer, "&Server(Red)", {}, true}, {IdClient, "&Client(Blue)", {}, true},
            {IdComputer, "&Computer", {}, true},  {IdHop, "&Hop!", QKeySequence(Qt::Key_H), false},
            {IdAbout, "&About", QKeySequence(Qt::Key_B), true},
        };
        for (const auto &item : items) {
            QAction *action = gs.menuBar->item(item.id);
            QVERIFY2(action, item.text);
            QCOMPARE(action->text(), QString::fromLatin1(item.text));
            QCOMPARE(action->shortcut(), item.key);
            QCOMPARE(action->isEnabled(), item.enabled);
        }
        QStringList titles;
        for (QAction *action : gs.menuBar->actions())
            titles << action->text();
        QCOMPARE(titles, QStringList({"&Action", "&Status", "&Race", "&Hop!", "&About"}));
    }

    void theWindowShowsTheWholeBufferAfterEachTick()
    {
        GameFixture game(defaultHorseFile, GameHome::WithoutPictures, plantCodedPictures);
        game.widget()->resize(240, 320);
        game.widget()->show();
        QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
        gs.mode = 10; // about: plain white over the field picture
        game.tick();
        QImage shown(240, 320, QImage::Format_RGB32);
        QTRY_VERIFY_WITH_TIMEOUT((game.widget()->render(&shown), shown.pixel(230, 300) == qRgb(255, 255, 255)), 2000);
        // A repaint between ticks shows the same buffer again.
        game.widget()->repaint();
        QImage again(240, 320, QImage::Format_RGB32);
        game.widget()->render(&again);
        QCOMPARE(again.pixel(230, 300), qRgb(255, 255, 255));
        QCOMPARE(again.pixel(5, 310), game.screen().pixel(5, 310));
    }
};

QTEST_MAIN(TestTrotix)
#include "tst_trotix.moc"
