// The stylus's ways: the screen keyboard's keys and place (its look is filmed by tst_window), a name typed on it,
// press and hold for the window menu, a tap going on after a pause, and a TROTIX_SCALE too large for the screen.
#include "gamefixture.h"
#include "platform/rules/keyboardlayout.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/screenkeyboard.h"
#include "platform/rules/screenscale.h"
#include "platform/stylus.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

QPoint keyCentre(const QString &label)
{
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        if (key.label == label)
            return KeyboardLayout::keyRect(key, 1).center();
    }
    return {-1, -1};
}

QString labelAt(QPoint at, int scale)
{
    const KeyboardLayout::Key *key = KeyboardLayout::keyAt(at, scale);
    return key ? key->label : QStringLiteral("none");
}

void showGame(GameFixture &game)
{
    QPEApplication::presentMainWidget(game.widget(), false);
    QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
}

}

class TestHandheld : public QObject
{
    Q_OBJECT

private slots:
    void init() { qunsetenv("TROTIX_KEYBOARD"); qunsetenv("TROTIX_SCALE"); }

    void theKeyboardRules()
    {
        // Under the naming field, clear of OK; above a field with no room below; above when a
        // button sits below; at 2x in full screen, inside the centred picture.
        const QRect device(0, 0, 240, 320), field(50, 120, 150, 20), ok(100, 260, 35, 20);
        using KeyboardLayout::place;
        QCOMPARE(place(KeyboardLayout::size(1), device, field, {ok}), QRect(0, 140, 240, 117));
        QCOMPARE(place(KeyboardLayout::size(1), device, QRect(50, 250, 150, 20), {}), QRect(0, 133, 240, 117));
        QCOMPARE(place(KeyboardLayout::size(1), device, field, {QRect(100, 200, 35, 20)}), QRect(0, 3, 240, 117));
        QCOMPARE(place(KeyboardLayout::size(1), QRect(0, 0, 240, 217), QRect(50, 100, 150, 10), {}), QRect(0, 100, 240, 117));
        QCOMPARE(place(KeyboardLayout::size(2), QRect(80, 0, 480, 640), QRect(180, 240, 300, 40), {QRect(280, 520, 70, 40)}),
                 QRect(80, 280, 480, 234));
        // Keys to their edges, none on the rim.
        const QList<std::tuple<QPoint, int, QString>> points{
            {{0, 0}, 1, "none"},    {{0, 1}, 1, "1"},     {{239, 23}, 1, "0"},  {{0, 24}, 1, "Q"},
            {{191, 92}, 1, "."},    {{192, 92}, 1, "DEL"}, {{239, 115}, 1, "ENTER"}, {{239, 116}, 1, "none"},
            {{47, 2}, 2, "1"},      {{48, 2}, 2, "2"},     {{100, 100}, 2, "D"}};
        for (const auto &[at, scale, label] : points)
            QCOMPARE(labelAt(at, scale), label);
        bool bad = false;
        const QList<std::tuple<QByteArray, KeyboardLayout::Choice, bool>> texts{
            {"screen", KeyboardLayout::Choice::Screen, false}, {" NONE\n", KeyboardLayout::Choice::None, false},
            {"", KeyboardLayout::Choice::ByScreen, false}, {"tablet", KeyboardLayout::Choice::ByScreen, true}};
        for (const auto &[text, choice, wrong] : texts) {
            QCOMPARE(KeyboardLayout::choice(text, &bad), choice);
            QCOMPARE(bad, wrong);
        }
    }

    // A tap on the name field, the keys, and ENTER doing what OK does.
    void aNameTypedOnTheScreenKeyboard()
    {
        qputenv("TROTIX_KEYBOARD", "screen");
        GameFixture game(templateHorseFile);
        showGame(game);
        const int scale = game.widget()->screenScale();
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton, {}, part<QLineEdit>("nameEdit")->rect().center());
        ScreenKeyboard *keyboard = Stylus::attach(game.widget())->keyboard();
        QVERIFY(keyboard && keyboard->isVisible());
        QVERIFY(!keyboard->geometry().intersects(part<QLineEdit>("nameEdit")->geometry())
                && !keyboard->geometry().intersects(part<QPushButton>("okButton")->geometry()));
        for (const char *key : {"a/A", "B", "a/A", "E", "", "1", "-", ".", "DEL"})
            QTest::mouseClick(keyboard, Qt::LeftButton, {}, keyCentre(QString::fromLatin1(key)) * scale);
        // A stylus slid off its key to another types nothing.
        QTest::mousePress(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("Q")) * scale);
        QTest::mouseRelease(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("W")) * scale);
        QVERIFY(keyboard->isVisible());
        // A key held down as the keyboard goes is up when it opens again: lifted, it types nothing.
        QTest::mousePress(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("Q")) * scale);
        keyboard->hide();
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton, {}, part<QLineEdit>("nameEdit")->rect().center());
        QTest::mouseRelease(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("Q")) * scale);
        QCOMPARE(part<QLineEdit>("nameEdit")->text(), QStringLiteral("bE 1-"));
        QTest::mouseClick(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("ENTER")) * scale);
        QCOMPARE(QByteArray(gs.horseName), QByteArray("bE 1-          "));
        QVERIFY(!keyboard->isVisible());
    }

    // A setting it does not know leaves the choice to the screen, here a desktop's: no keyboard.
    void noScreenKeyboardWhereItIsOff()
    {
        qputenv("TROTIX_KEYBOARD", "tablet");
        LogCapture log;
        GameFixture game(templateHorseFile);
        showGame(game);
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton, {}, part<QLineEdit>("nameEdit")->rect().center());
        QVERIFY(!Stylus::attach(game.widget())->keyboard());
        QCOMPARE(logLines(log.text()).filter("TROTIX_KEYBOARD"),
                 QStringList("trotix: TROTIX_KEYBOARD=tablet is neither screen nor none; the screen decides.\n"));
    }

    void aHoldOpensTheWindowMenuATapDoesNot()
    {
        GameFixture game;
        showGame(game);
        auto *menu = game.widget()->findChild<QMenu *>(QStringLiteral("zoomMenu"));
        QSignalSpy opened(menu, &QMenu::aboutToShow);
        // The tap goes on after a pause, as a menu choice does.
        game.widget()->setPaused(true);
        QTest::mouseClick(game.widget(), Qt::LeftButton, {}, QPoint(100, 300));
        QTest::qWait(Stylus::holdMilliseconds * 2);
        QVERIFY(!menu->isVisible() && !game.widget()->isPaused());
        game.widget()->setPaused(true);
        game.widget()->findChild<QAction *>(QStringLiteral("statusAction"))->trigger();
        QVERIFY(!game.widget()->isPaused());
        // A hold may wander a little, not more.
        const int wander = Stylus::stillDistance * game.widget()->screenScale();
        for (const int moved : {wander + 1, wander}) {
            QTest::mousePress(game.widget(), Qt::LeftButton, {}, QPoint(100, 300));
            QTest::mouseMove(game.widget(), QPoint(100 + moved, 300));
            QTest::qWait(Stylus::holdMilliseconds * 3);
            QCOMPARE(menu->isVisible(), moved == wander);
            QTest::mouseRelease(game.widget(), Qt::LeftButton, {}, QPoint(100 + moved, 300));
        }
        QVERIFY(menu->isVisible() && opened.count() == 1); // once for a hold, however long
        menu->hide();
    }

    void aZoomTooLargeForTheScreenIsReduced()
    {
        qputenv("TROTIX_SCALE", "16");
        LogCapture log;
        GameFixture game;
        showGame(game);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const int fitting = ScreenScale::automaticScale(QGuiApplication::primaryScreen()->availableGeometry().size());
        QCOMPARE(game.widget()->screenScale(), fitting);
        QCOMPARE(logLines(log.text()).filter("TROTIX_SCALE"),
                 QStringList(QStringLiteral("trotix: TROTIX_SCALE=16 does not fit this %1 x %2 screen; the zoom is %3.\n")
                                 .arg(screen.width()).arg(screen.height()).arg(fitting)));
    }
};

QTEST_MAIN(TestHandheld)
#include "tst_handheld.moc"
