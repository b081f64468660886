// Playing with the keyboard as on the device: the plain letters U, H and B, the Alt mnemonics, a
// focused field taking those letters as text, Return and Escape on each screen, and Ctrl+Q.
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
    void aFocusedFieldTakesTheLetters();
    void altOpensTheMenusAndTheirLettersChoose();
    void theKeyboardFollowsTheScreensThroughAFirstSession();
};

void TestKeyboard::plainLettersChooseStatusAboutAndHop()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    LogCapture log;
    QTest::keyClick(game.widget(), Qt::Key_H); // Hop! is off outside the jump
    QCOMPARE(gs.hopRequested, 0);
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

// Even with every item enabled, in the jump, a focused field keeps its letters.
void TestKeyboard::aFocusedFieldTakesTheLetters()
{
    for (QLineEdit **field : {&gs.nameEdit, &gs.addressEdit}) {
        GameFixture game(templateHorseFile);
        QVERIFY(showAndActivate(game.widget()));
        game.call("change2jump");
        (*field)->show();
        (*field)->setFocus();
        LogCapture log;
        QTest::keyClicks(*field, QStringLiteral("hub HUB"));
        QCOMPARE((*field)->text(), QStringLiteral("hub HUB"));
        QCOMPARE(gs.mode, int(ModeJump));
        QCOMPARE(gs.hopRequested, 0);
        QVERIFY(log.text().isEmpty());
    }
}

void TestKeyboard::altOpensTheMenusAndTheirLettersChoose()
{
    GameFixture game;
    QVERIFY(showAndActivate(game.widget()));
    QTest::keyClick(game.widget(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(actionMenu()->isVisible());
    QTest::keyClick(actionMenu(), Qt::Key_E);
    QTRY_COMPARE(gs.mode, int(ModeEat));
    QVERIFY(!actionMenu()->isVisible());
    QTest::keyClick(game.widget(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(gs.mode, int(ModeStatus));
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
