// The stylus's ways: the screen keyboard's keys and place (its look is filmed by tst_window), a name typed on it,
// press and hold for the window menu, and a tap going on after a pause (a TROTIX_SCALE too large for the screen:
// tst_window's presentation films).
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/fingertarget.h"
#include "platform/rules/keyboardlayout.h"
#include "platform/screenkeyboard.h"
#include "platform/stylus.h"
#include "platform/windowsettings.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

namespace {

QPoint keyCentre(const QString &label)
{
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        if (key.label == label)
            return KeyboardLayout::keyRect(key, {1, 1}).center();
    }
    return {-1, -1};
}

QString labelAt(QPoint at, qreal scale)
{
    const KeyboardLayout::Key *key = KeyboardLayout::keyAt(at, {scale, scale});
    return key ? key->label : QStringLiteral("none");
}

// Presses ('p'), moves ('m') and lifts ('r') of a stylus (the mouse) or a finger on a widget.
void point(QWidget *on, bool finger, const QList<std::pair<char, QPoint>> &steps)
{
    static QPointingDevice *const touchScreen = QTest::createTouchDevice();
    for (const auto &[what, at] : steps) {
        // A mouse event goes to the child under it, as the window system's would.
        QWidget *to = on->childAt(at) && !finger ? on->childAt(at) : on;
        const QPoint local = to->mapFrom(on, at);
        if (finger) {
            auto touch = QTest::touchEvent(on, touchScreen);
            what == 'p' ? touch.press(0, at) : what == 'm' ? touch.move(0, at) : touch.release(0, at);
        } else if (what == 'm') {
            // With the button held, as QTest::mouseMove does not.
            QMouseEvent move(QEvent::MouseMove, local, to->mapToGlobal(local), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(to, &move);
        } else if (what == 'p') {
            QTest::mousePress(to, Qt::LeftButton, {}, local);
        } else {
            QTest::mouseRelease(to, Qt::LeftButton, {}, local);
        }
        QTest::qWait(20);
    }
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
    void init()
    {
        qunsetenv("TROTIX_KEYBOARD");
        qunsetenv("TROTIX_SCALE");
    }

    void theKeyboardRules()
    {
        // Under the naming field, clear of OK; above a field with no room below; above when a
        // button sits below; at 2x in full screen, inside the centred picture.
        const QRect device(0, 0, 240, 320), field(50, 120, 150, 20), ok(100, 260, 35, 20);
        using KeyboardLayout::place;
        QCOMPARE(place(KeyboardLayout::size({1, 1}), device, field, {ok}), QRect(0, 140, 240, 117));
        QCOMPARE(place(KeyboardLayout::size({1, 1}), device, QRect(50, 250, 150, 20), {}), QRect(0, 133, 240, 117));
        QCOMPARE(place(KeyboardLayout::size({1, 1}), device, field, {QRect(100, 200, 35, 20)}), QRect(0, 3, 240, 117));
        QCOMPARE(place(KeyboardLayout::size({1, 1}), QRect(0, 0, 240, 217), QRect(50, 100, 150, 10), {}), QRect(0, 100, 240, 117));
        QCOMPARE(place(KeyboardLayout::size({2, 2}), QRect(80, 0, 480, 640), QRect(180, 240, 300, 40), {QRect(280, 520, 70, 40)}),
                 QRect(80, 280, 480, 234));
        // Keys to their edges, none on the rim.
        const QList<std::tuple<QPoint, int, QString>> points{{{0, 0}, 1, "none"},      {{0, 1}, 1, "1"},        {{239, 23}, 1, "0"},
                                                             {{0, 24}, 1, "Q"},        {{191, 92}, 1, "."},     {{192, 92}, 1, "DEL"},
                                                             {{239, 115}, 1, "ENTER"}, {{239, 116}, 1, "none"}, {{47, 2}, 2, "1"},
                                                             {{48, 2}, 2, "2"},        {{100, 100}, 2, "D"}};
        for (const auto &[at, scale, label] : points)
            QCOMPARE(labelAt(at, scale), label);
        // What a finger hits: a phone's screen is upright, larger than the device's and narrower than
        // a small tablet's; there the keys span the width, at least 32 pixels each way, and so do
        // the entries.
        // clang-format off
        for (const auto &[screen, phone] : QList<std::pair<QSize, bool>>{
                 {{240, 320}, false}, {{320, 480}, true}, {{599, 1000}, true}, {{600, 1024}, false}, {{720, 360}, false}})
            QCOMPARE(FingerTarget::isPhoneSized(screen), phone);
        const QList<std::tuple<qreal, int, bool, QSize>> boards{
            {1.5, 360, true, {360, 176}}, {4 / 3.0, 320, true, {320, 163}}, {1.25, 300, false, {300, 146}}, {2, 640, false, {480, 234}}};
        // clang-format on
        for (const auto &[zoom, width, phone, size] : boards) {
            QCOMPARE(KeyboardLayout::size(FingerTarget::keyboardZoom(zoom, width, phone)), size);
        }
        QCOMPARE(KeyboardLayout::keyRect(KeyboardLayout::keys()[0], FingerTarget::keyboardZoom(4 / 3.0, 320, true)), QRect(0, 1, 32, 32));
        const QList<std::tuple<QSize, bool, QSize>> entries{
            {{100, 31}, true, {360, 32}}, {{400, 33}, true, {400, 33}}, {{100, 31}, false, {100, 31}}};
        for (const auto &[natural, phone, entry] : entries)
            QCOMPARE(FingerTarget::entry(natural, 360, phone), entry);
        bool bad = false;
        const QList<std::tuple<QByteArray, KeyboardLayout::Choice, bool>> texts{{"screen", KeyboardLayout::Choice::Screen, false},
                                                                                {" NONE\n", KeyboardLayout::Choice::None, false},
                                                                                {"", KeyboardLayout::Choice::ByScreen, false},
                                                                                {"tablet", KeyboardLayout::Choice::ByScreen, true}};
        for (const auto &[text, choice, wrong] : texts) {
            QCOMPARE(KeyboardLayout::choice(text, &bad), choice);
            QCOMPARE(bad, wrong);
        }
    }

    void aNameTypedOnTheScreenKeyboard_data() { aHoldOpensTheWindowMenuATapDoesNot_data(); }

    // A tap on the name field, the keys, and ENTER doing what OK does.
    void aNameTypedOnTheScreenKeyboard()
    {
        QFETCH(bool, finger);
        const auto tap = [finger](QWidget *on, QPoint at) { point(on, finger, {{'p', at}, {'r', at}}); };
        qputenv("TROTIX_KEYBOARD", "screen");
        GameFixture game(templateHorseFile);
        showGame(game);
        const qreal scale = game.widget()->screenScale();
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton);
        ScreenKeyboard *keyboard = Stylus::attach(game.widget())->keyboard();
        QVERIFY(keyboard && keyboard->isVisible());
        QVERIFY(!keyboard->geometry().intersects(part<QLineEdit>("nameEdit")->geometry())
                && !keyboard->geometry().intersects(part<QPushButton>("okButton")->geometry()));
        for (const char *key : {"a/A", "B", "a/A", "E", "", "1", "-", ".", "DEL"})
            tap(keyboard, keyCentre(QString::fromLatin1(key)) * scale);
        // A stylus slid off its key to another types nothing.
        point(keyboard, finger, {{'p', keyCentre(QStringLiteral("Q")) * scale}, {'r', keyCentre(QStringLiteral("W")) * scale}});
        QVERIFY(keyboard->isVisible());
        // A touch the system takes back (a gesture, a call) leaves no key drawn down on the screen.
        const auto shown = [keyboard] {
            QTest::qWait(50);
            const QPoint at = keyboard->mapTo(keyboard->window(), QPoint());
            return keyboard->screen()
                ->grabWindow(keyboard->window()->winId(), at.x(), at.y(), keyboard->width(), keyboard->height())
                .toImage();
        };
        const QImage up = shown();
        point(keyboard, finger, {{'p', keyCentre(QStringLiteral("Q")) * scale}});
        QVERIFY(shown() != up);
        QTouchEvent cancel(QEvent::TouchCancel);
        finger ? QApplication::sendEvent(keyboard, &cancel) : (QTest::mouseRelease(keyboard, Qt::LeftButton, {}, {-1, -1}), true);
        QCOMPARE(shown(), up);
        // A key held down as the keyboard goes is up when it opens again: lifted, it types nothing.
        QTest::mousePress(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("Q")) * scale);
        keyboard->hide();
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton);
        QTest::mouseRelease(keyboard, Qt::LeftButton, {}, keyCentre(QStringLiteral("Q")) * scale);
        QCOMPARE(part<QLineEdit>("nameEdit")->text(), QStringLiteral("bE 1-"));
        tap(keyboard, keyCentre(QStringLiteral("ENTER")) * scale);
        QCOMPARE(QByteArray(gs.horse.name), QByteArray("bE 1-          "));
        QVERIFY(!keyboard->isVisible());
    }

    // A setting it does not know leaves the choice to the screen, here a desktop's: no keyboard.
    void noScreenKeyboardWhereItIsOff()
    {
        qputenv("TROTIX_KEYBOARD", "tablet");
        LogCapture log;
        GameFixture game(templateHorseFile);
        showGame(game);
        QTest::mouseClick(part<QLineEdit>("nameEdit"), Qt::LeftButton);
        QVERIFY(!Stylus::attach(game.widget())->keyboard());
        QCOMPARE(logLines(log.text()).filter("TROTIX_KEYBOARD"),
                 QStringList("trotix: TROTIX_KEYBOARD=tablet is neither screen nor none; the screen decides.\n"));
    }

    void aHoldOpensTheWindowMenuATapDoesNot_data()
    {
        QTest::addColumn<bool>("finger");
        QTest::newRow("stylus") << false;
        QTest::newRow("finger") << true;
    }

    // The finger by its own touch events, as a touch screen sends them.
    void aHoldOpensTheWindowMenuATapDoesNot()
    {
        QFETCH(bool, finger);
        GameFixture game;
        showGame(game);
        QWidget *window = game.widget();
        auto *menu = window->findChild<QMenu *>(QStringLiteral("zoomMenu"));
        QSignalSpy opened(menu, &QMenu::aboutToShow);
        QSignalSpy chosen(menu, &QMenu::triggered);
        point(window, finger, {{'p', {100, 300}}, {'r', {100, 300}}});
        QTest::qWait(Stylus::holdMilliseconds * 2);
        QVERIFY(!menu->isVisible());
        // A tap on the bar is its click.
        auto *bar = part<QMenuBar>("menuBar");
        const QList<QAction *> titles = bar->actions();
        const auto status = std::find_if(titles.begin(), titles.end(), [](QAction *title) { return title->text().contains("Status"); });
        const QPoint title = bar->mapTo(window, bar->actionGeometry(*status).center());
        point(window, finger, {{'p', title}, {'r', title}});
        QCOMPARE(gs.shell.mode, ModeStatus);
        // The tap goes on after a pause, as a menu choice does.
        game.widget()->setPaused(true);
        point(window, finger, {{'p', {100, 300}}, {'r', {100, 300}}});
        QTest::qWait(Stylus::holdMilliseconds * 2);
        QVERIFY(!menu->isVisible() && !game.widget()->isPaused());
        game.widget()->setPaused(true);
        game.widget()->findChild<QAction *>(QStringLiteral("statusAction"))->trigger();
        QVERIFY(!game.widget()->isPaused());
        // A hold may wander a little, not more.
        const int wander = Stylus::stillDistance * game.widget()->screenScale();
        for (const int moved : {wander + 1, wander}) {
            point(window, finger, {{'p', {100, 300}}, {'m', {100 + moved, 300}}});
            QTest::qWait(Stylus::holdMilliseconds * 3);
            QCOMPARE(menu->isVisible(), moved == wander);
            point(window, finger, {{'r', {100 + moved, 300}}});
        }
        QVERIFY(menu->isVisible() && opened.count() == 1 && chosen.isEmpty()); // once for a hold, however long
        menu->hide();
        // A finger's drag over the help scrolls it and selects nothing.
        game.widget()->showHelp();
        auto *help = game.widget()->findChild<QTextBrowser *>(QStringLiteral("helpText"));
        QVERIFY(QTest::qWaitForWindowExposed(help->window()));
        QList<std::pair<char, QPoint>> drag{{'p', {50, 200}}};
        for (int y = 190; y >= 40; y -= 10)
            drag.append({'m', {50, y}});
        drag.append({'r', {50, 40}});
        point(help->viewport(), finger, drag);
        QTRY_VERIFY(finger == (help->verticalScrollBar()->value() > 0));
        QCOMPARE(help->textCursor().hasSelection(), !finger);
    }

    // Fit to window is a zoom to choose, and remembered.
    void fitToWindowIsAChoice()
    {
        GameFixture game;
        showGame(game);
        for (QAction *entry : game.widget()->findChild<QMenu *>(QStringLiteral("zoomMenu"))->actions())
            if (entry->text() == QLatin1String("Fit to window"))
                entry->trigger();
        QCOMPARE(WindowSettings::zoom(), ScreenScale::fit);
    }

    // Any one of the three names a place to show the game; with none it says how to play instead.
    void aDisplayIsAnyOfItsThreeNames()
    {
        const char *names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
        QByteArray before[3];
        for (int i = 0; i < 3; ++i)
            before[i] = qgetenv(names[i]);
        for (const char *only : {"", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            for (const char *name : names)
                qstrcmp(name, only) == 0 ? qputenv(name, ":9") : qunsetenv(name);
            QString help;
            QCOMPARE(QPEApplication::displayAvailable(&help), *only != 0);
        }
        for (int i = 0; i < 3; ++i)
            before[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], before[i]);
    }
};

QTEST_MAIN(TestHandheld)
#include "tst_handheld.moc"
