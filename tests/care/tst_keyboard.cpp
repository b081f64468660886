// Playing with the keyboard as on the device: the plain letters U, H and B for Status, Hop! and
// About, the menus' Alt mnemonics, a focused entry field taking those letters as text, Return
// and Escape on the field and question screens, and Ctrl+Q.
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

bool showAndActivate(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

QMenu *actionMenu() { return gs.menuBar->actions().first()->menu(); }

}

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void plainLettersChooseStatusAboutAndHop();
    void hIsIgnoredWhileHopIsDisabled();
    void lettersTypedIntoTheNameGoIntoTheName();
    void lettersTypedIntoTheAddressGoIntoTheAddress();
    void altOpensTheActionMenuAndItsLettersChoose();
    void altChoosesStatusFromTheBar();
    void pHoldsTheTickUntilPressedAgain_data();
    void pHoldsTheTickUntilPressedAgain();
    void minimisingPausesAndShowingCarriesOn_data();
    void minimisingPausesAndShowingCarriesOn();
    void theKeyboardFollowsTheScreensThroughAFirstSession();
};

void TestKeyboard::plainLettersChooseStatusAboutAndHop()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    LogCapture log;
    QTest::keyClick(game.widget(), Qt::Key_U);
    QCOMPARE(gs.mode, int(ModeStatus));
    QTest::keyClick(game.widget(), Qt::Key_B);
    QCOMPARE(gs.mode, int(ModeAbout));
    game.call("change2jump");
    QTest::keyClick(game.widget(), Qt::Key_H);
    QCOMPARE(gs.hopRequested, 1);
    QCOMPARE(logLines(log.text()),
             (QStringList{"trotix: MenuSelect>>change to status\n", "trotix: About selected\n",
                          "trotix: MenuSelect>>change to jump\n", "trotix: MenuSelect>>press hop!\n"}));
}

void TestKeyboard::hIsIgnoredWhileHopIsDisabled()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    LogCapture log;
    QTest::keyClick(game.widget(), Qt::Key_H);
    QCOMPARE(gs.hopRequested, 0);
    QVERIFY(log.text().isEmpty());
}

void TestKeyboard::lettersTypedIntoTheNameGoIntoTheName()
{
    GameFixture game(templateHorseFile);
    QVERIFY(showAndActivate(game.widget()));
    // Even with every item enabled the field keeps its letters.
    for (int id : activityGroup)
        gs.menuBar->setItemEnabled(id, true);
    gs.menuBar->setItemEnabled(IdHop, true);
    gs.nameEdit->setFocus();
    QVERIFY(gs.nameEdit->hasFocus());
    LogCapture log;
    QTest::keyClicks(gs.nameEdit, QStringLiteral("hub HUB"));
    QCOMPARE(gs.nameEdit->text(), QStringLiteral("hub HUB"));
    QCOMPARE(gs.mode, int(ModeNaming));
    QCOMPARE(gs.hopRequested, 0);
    QVERIFY(log.text().isEmpty());
}

void TestKeyboard::lettersTypedIntoTheAddressGoIntoTheAddress()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    game.call("change2jump");
    gs.addressEdit->show();
    gs.addressEdit->setFocus();
    QVERIFY(gs.addressEdit->hasFocus());
    LogCapture log;
    QTest::keyClicks(gs.addressEdit, QStringLiteral("hub.example"));
    QCOMPARE(gs.addressEdit->text(), QStringLiteral("hub.example"));
    QCOMPARE(gs.mode, int(ModeJump));
    QCOMPARE(gs.hopRequested, 0);
    QVERIFY(log.text().isEmpty());
}

void TestKeyboard::altOpensTheActionMenuAndItsLettersChoose()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    QTest::keyClick(game.widget(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(actionMenu()->isVisible());
    QTest::keyClick(actionMenu(), Qt::Key_E);
    QTRY_COMPARE(gs.mode, int(ModeEat));
    QVERIFY(!actionMenu()->isVisible());
}

void TestKeyboard::altChoosesStatusFromTheBar()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    QTest::keyClick(game.widget(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(gs.mode, int(ModeStatus));
}

// Paused, nothing happens at the tick: no count (so no save), no ageing, no screen. A network
// race and its set-up screens cannot be paused.
void TestKeyboard::pHoldsTheTickUntilPressedAgain_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("pauses");
    QTest::newRow("eating") << int(ModeEat) << true;
    QTest::newRow("racing the computer") << int(ModeDemoRace) << true;
    QTest::newRow("server question") << int(ModeServerAsk) << false;
    QTest::newRow("client connecting") << int(ModeClientConnect) << false;
    QTest::newRow("network race") << int(ModeClientRace) << false;
}

void TestKeyboard::pHoldsTheTickUntilPressedAgain()
{
    QFETCH(int, mode);
    QFETCH(bool, pauses);
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    game.tick(9);
    gs.mode = mode;
    const float age = gs.age;
    LogCapture log;
    QTest::keyClick(game.widget(), Qt::Key_P);
    QCOMPARE(game.widget()->isPaused(), pauses);
    if (!pauses) {
        QVERIFY(log.text().isEmpty());
        return;
    }
    game.tick(25);
    QCOMPARE(gs.tickCount, 9);
    QCOMPARE(gs.age, age);
    QCOMPARE(log.text(), QByteArray("trotix: Paused\n"));
    QTest::keyClick(game.widget(), Qt::Key_P);
    QVERIFY(!game.widget()->isPaused());
    game.tick();
    QCOMPARE(gs.tickCount, 10);
    QVERIFY(log.text().startsWith("trotix: Paused\ntrotix: Play goes on\ntrotix: Write Attribute File\n"));
}

void TestKeyboard::minimisingPausesAndShowingCarriesOn_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("pausedBefore");
    QTest::addColumn<bool>("pausedWhileMinimised");
    QTest::addColumn<bool>("pausedAfter");
    QTest::newRow("idle") << int(ModeIdle) << false << true << false;
    QTest::newRow("paused by P stays paused") << int(ModeIdle) << true << true << true;
    QTest::newRow("server waiting") << int(ModeServerWait) << false << false << false;
}

void TestKeyboard::minimisingPausesAndShowingCarriesOn()
{
    QFETCH(int, mode);
    QFETCH(bool, pausedBefore);
    QFETCH(bool, pausedWhileMinimised);
    QFETCH(bool, pausedAfter);
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    gs.mode = mode;
    game.widget()->setPaused(pausedBefore);
    game.widget()->setWindowState(Qt::WindowMinimized);
    QCOMPARE(game.widget()->isPaused(), pausedWhileMinimised);
    game.widget()->setWindowState(Qt::WindowNoState);
    QCOMPARE(game.widget()->isPaused(), pausedAfter);
}

void TestKeyboard::theKeyboardFollowsTheScreensThroughAFirstSession()
{
    // Every key goes where a real one goes: to the window's focused widget, through the shortcuts.
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(static_cast<QWidget *>(nullptr), k, modifiers);
    };
    GameFixture game(templateHorseFile);
    QVERIFY(showAndActivate(game.widget()));
    QVERIFY(gs.nameEdit->hasFocus());
    QTest::keyClicks(nullptr, QStringLiteral("Star"));
    key(Qt::Key_Return);
    QCOMPARE(gs.mode, int(ModeIdle));
    QCOMPARE(QByteArray(gs.horseName), QByteArray("Star           "));
    key(Qt::Key_U); // the hidden name field no longer takes it
    QCOMPARE(gs.mode, int(ModeStatus));

    game.call("change2client");
    game.tick();
    QVERIFY(gs.addressEdit->hasFocus()); // typing goes in at once
    QTest::keyClicks(nullptr, QStringLiteral("hub"));
    QCOMPARE(gs.addressEdit->text(), QStringLiteral("hub"));
    key(Qt::Key_Escape);
    QCOMPARE(gs.mode, int(ModeIdle));
    key(Qt::Key_B);
    QCOMPARE(gs.mode, int(ModeAbout));

    game.call("change2server");
    game.tick();
    key(Qt::Key_Escape);
    QCOMPARE(gs.mode, int(ModeIdle));

    game.call("change2client");
    game.tick();
    gs.addressEdit->clear(); // no address: nothing is reached
    key(Qt::Key_Return);
    QCOMPARE(gs.mode, int(ModeClientConnect));
    game.call("disconnectNetwork");
    key(Qt::Key_U);
    QCOMPARE(gs.mode, int(ModeStatus));

    key(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!game.widget()->isVisible());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
