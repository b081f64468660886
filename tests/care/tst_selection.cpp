// Choosing activities: the order of a choice's steps, its log line, the Hop! item's life, and
// what Jump keeps or clears.
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A jump under way: a block on the track, the horse in the air with another hop asked for.
void blockOnItsWay()
{
    gs.blockDistance = 4;
    gs.blockActive = 1;
    gs.blockHit = 1;
    gs.inAir = 1;
    gs.hopRequested = 1;
}

}

class TestSelection : public QObject
{
    Q_OBJECT
private slots:
    void aChoiceSetsTheModeAndLogsOneLine_data();
    void aChoiceSetsTheModeAndLogsOneLine();
    void theNewActivityStartsAtTheNextTick();
    void idleGivesBackTheWholeMenu();
    void runAndJumpSetTheWidgetsBackground();
    void hopIsUsableOnlyWhileJumping();
    void hopTwiceWithinATickAsksOnce();
    void swipeOnlyLogs();
    void jumpKeepsTheBlockOnlyFromTheJump_data();
    void jumpKeepsTheBlockOnlyFromTheJump();
};

void TestSelection::aChoiceSetsTheModeAndLogsOneLine_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("line");
    QTest::newRow("idle") << QByteArray("change2idle") << 1 << "trotix: MenuSelect>>change to idle\n";
    QTest::newRow("eat") << QByteArray("change2eat") << 2 << "trotix: MenuSelect>>change to eat\n";
    QTest::newRow("sleep") << QByteArray("change2sleep") << 3 << "trotix: MenuSelect>>change to sleep\n";
    QTest::newRow("run") << QByteArray("change2run") << 4 << "trotix: MenuSelect>>change to run\n";
    QTest::newRow("jump") << QByteArray("change2jump") << 5 << "trotix: MenuSelect>>change to jump\n";
    QTest::newRow("status") << QByteArray("change2status") << 9 << "trotix: MenuSelect>>change to status\n";
}

void TestSelection::aChoiceSetsTheModeAndLogsOneLine()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, mode);
    QFETCH(QString, line);
    GameFixture game;
    // A half-made network set-up and the about screen's button are left behind.
    gs.mode = ModeServerWait;
    gs.netState = 3;
    gs.serverAccepting = 1;
    gs.okButton->show();
    gs.confirmButton->show();
    gs.nameEdit->show();
    LogCapture log;
    game.call(slot.constData());
    QCOMPARE(gs.mode, mode);
    QCOMPARE(gs.shownMode, int(ModeIdle));
    QCOMPARE(logLines(log.text()), QStringList{line});
    QCOMPARE(gs.netState, 0);
    QCOMPARE(gs.serverAccepting, 0);
    QVERIFY(gs.okButton->isHidden());
    QVERIFY(gs.confirmButton->isHidden());
    QVERIFY(gs.nameEdit->isHidden());
}

void TestSelection::theNewActivityStartsAtTheNextTick()
{
    GameFixture game;
    game.tick(3);
    game.call("change2sleep");
    QCOMPARE(gs.shownMode, int(ModeIdle));
    LogCapture log;
    game.tick();
    QCOMPARE(gs.actionTicks, 0);
    QCOMPARE(gs.shownMode, int(ModeSleep));
    QCOMPARE(logLines(log.text()), (QStringList{"trotix: Action>>call sleep()\n", "trotix: Action>>sleep step 1\n"}));
    game.tick();
    QCOMPARE(gs.actionTicks, 1);
}

void TestSelection::idleGivesBackTheWholeMenu()
{
    GameFixture game;
    for (int id : activityGroup)
        gs.menuBar->setItemEnabled(id, false);
    game.call("change2eat");
    QVERIFY(!gs.menuBar->isItemEnabled(IdIdle));
    game.call("change2idle");
    for (int id : activityGroup)
        QVERIFY2(gs.menuBar->isItemEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(!gs.menuBar->isItemEnabled(IdHop));
}

void TestSelection::runAndJumpSetTheWidgetsBackground()
{
    GameFixture game;
    QWidget *w = game.widget();
    game.call("change2eat");
    QVERIFY(!w->autoFillBackground());
    game.call("change2run");
    QVERIFY(w->autoFillBackground());
    QCOMPARE(w->palette().brush(QPalette::Window).color(), QColor(Qt::white));
    game.call("change2jump");
    const QBrush jump = w->palette().brush(QPalette::Window);
    QCOMPARE(jump.style(), gs.backgd1Pixmap->isNull() ? Qt::SolidPattern : Qt::TexturePattern);
    // Other choices leave it as it is.
    game.call("change2status");
    QCOMPARE(w->palette().brush(QPalette::Window).style(), jump.style());
}

void TestSelection::hopIsUsableOnlyWhileJumping()
{
    GameFixture game;
    QVERIFY(!gs.menuBar->isItemEnabled(IdHop));
    game.tick();
    game.call("change2jump");
    QVERIFY(gs.menuBar->isItemEnabled(IdHop));
    QCOMPARE(gs.hopItemUsed, 1);
    game.tick(3);
    QVERIFY(gs.menuBar->isItemEnabled(IdHop));
    game.call("change2status");
    QVERIFY(gs.menuBar->isItemEnabled(IdHop)); // until the next tick
    game.tick();
    QVERIFY(!gs.menuBar->isItemEnabled(IdHop));
    game.call("change2jump");
    QVERIFY(gs.menuBar->isItemEnabled(IdHop));
    game.call("change2idle"); // idle re-enables the group, never Hop!
    QVERIFY(gs.menuBar->isItemEnabled(IdHop));
    game.tick();
    QVERIFY(!gs.menuBar->isItemEnabled(IdHop));
    QCOMPARE(gs.hopItemUsed, 1);
}

void TestSelection::hopTwiceWithinATickAsksOnce()
{
    GameFixture game;
    game.call("change2jump");
    LogCapture log;
    game.call("hop");
    game.call("hop");
    QCOMPARE(gs.hopRequested, 1);
    QCOMPARE(logLines(log.text()), (QStringList{"trotix: MenuSelect>>press hop!\n", "trotix: MenuSelect>>press hop!\n"}));
}

void TestSelection::swipeOnlyLogs()
{
    GameFixture game;
    game.call("change2jump");
    LogCapture log;
    game.call("swipe");
    QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>press swipe!\n"});
    QCOMPARE(gs.hopRequested, 0);
    QCOMPARE(gs.mode, int(ModeJump));
}

void TestSelection::jumpKeepsTheBlockOnlyFromTheJump_data()
{
    QTest::addColumn<bool>("fromAnotherScreen");
    QTest::newRow("jump again keeps the block on its way") << false;
    QTest::newRow("jump from another screen starts clean") << true;
}

void TestSelection::jumpKeepsTheBlockOnlyFromTheJump()
{
    QFETCH(bool, fromAnotherScreen);
    GameFixture game;
    game.call("change2jump");
    game.tick();
    blockOnItsWay();
    if (fromAnotherScreen) {
        game.call("change2status");
        game.tick();
    }
    game.call("change2jump");
    const int kept = fromAnotherScreen ? 0 : 1;
    QCOMPARE(gs.blockDistance, 4 * kept);
    QCOMPARE(gs.blockActive, kept);
    QCOMPARE(gs.blockHit, kept);
    QCOMPARE(gs.inAir, kept);
    QCOMPARE(gs.hopRequested, kept);
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
