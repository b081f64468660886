// The one-second tick: its bookkeeping and the dispatch on the mode number.
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"

#include <QTest>

class TestTick : public QObject
{
    Q_OBJECT

private slots:
    void savesOnEveryTenthTickWhileAHorseIsNamed()
    {
        GameFixture game;
        const QByteArray original = game.home().readAttr();
        LogCapture capture;
        for (int tick = 1; tick <= 30; ++tick) {
            gs.age = float(tick); // what each save writes is what the tick before left
            capture.clear();
            game.tick();
            const bool saves = tick % 10 == 0;
            QCOMPARE(capture.text().startsWith("trotix: Write Attribute File\n"), saves);
            if (saves)
                QVERIFY(game.home().readAttr().contains(QByteArray::number(tick) + ".000000\n150.000000"));
            else if (tick < 10)
                QCOMPARE(game.home().readAttr(), original);
        }
    }

    void neverSavesWhileTheHorseWaitsForItsName()
    {
        GameFixture game(QByteArray("%%%%%%%%%%%%%%%%\n"));
        LogCapture capture;
        game.tick(25);
        QVERIFY(!capture.text().contains("Write Attribute File"));
        QCOMPARE(game.home().readAttr(), QByteArray("%%%%%%%%%%%%%%%%\n"));
    }

    void actionTicksRestartWithANewMode()
    {
        GameFixture game;
        game.tick(5);
        QCOMPARE(gs.actionTicks, 5); // the initial idle screen counts as on display from the start
        gs.mode = 2;
        game.tick();
        QCOMPARE(gs.actionTicks, 0);
        game.tick();
        QCOMPARE(gs.actionTicks, 1);
    }

    void hopIsDisabledOutsideTheJumpOnceUsed_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("hopItemUsed");
        QTest::addColumn<bool>("enabledAfter");
        QTest::newRow("jumping keeps it") << 5 << 1 << true;
        QTest::newRow("idle disables it") << 1 << 1 << false;
        QTest::newRow("unknown mode disables it") << 7 << 1 << false;
        QTest::newRow("never used: left alone") << 1 << 0 << true;
    }

    void hopIsDisabledOutsideTheJumpOnceUsed()
    {
        QFETCH(int, mode);
        QFETCH(int, hopItemUsed);
        QFETCH(bool, enabledAfter);
        GameFixture game;
        gs.menuBar->setItemEnabled(IdHop, true);
        gs.hopItemUsed = hopItemUsed;
        gs.mode = mode;
        game.tick();
        QCOMPARE(gs.menuBar->isItemEnabled(IdHop), enabledAfter);
    }

    void unknownModesOnlyKeepTheBooks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("7") << 7;
        QTest::newRow("100") << 100;
        QTest::newRow("-1") << -1;
    }

    void unknownModesOnlyKeepTheBooks()
    {
        QFETCH(int, mode);
        GameFixture game;
        gs.mode = mode;
        const QImage before = game.screen();
        LogCapture capture;
        game.tick(9);
        QCOMPARE(capture.text(), QByteArray());
        QCOMPARE(game.screen(), before);
        QCOMPARE(gs.tickCount, 9);
        QCOMPARE(gs.mode, mode);
        game.tick();
        QCOMPARE(capture.text(), QByteArray("trotix: Write Attribute File\n"));
    }

    void eachModeLogsItsLineAndPaintsItsBackground_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("line");

        QTest::newRow("0") << 0 << QByteArray("trotix: Action>>Naming()\n");
        QTest::newRow("1") << 1 << QByteArray("trotix: Action>>call idle()\n");
        QTest::newRow("2") << 2 << QByteArray("trotix: Action>>call eat()\n");
        QTest::newRow("3") << 3 << QByteArray("trotix: Action>>call sleep()\n");
        QTest::newRow("4") << 4 << QByteArray("trotix: Action>>call run()\n");
        QTest::newRow("5") << 5 << QByteArray("trotix: Action>>call jump()\n");
        QTest::newRow("9") << 9 << QByteArray("trotix: Action>>call status()\n");
        QTest::newRow("10") << 10 << QByteArray("trotix: Action>>about()\n");
        QTest::newRow("20") << 20 << QByteArray("trotix: Action>>askServer()\n");
        QTest::newRow("21") << 21 << QByteArray("trotix: Action>>startServer()\n");
        QTest::newRow("30") << 30 << QByteArray("trotix: Action>>Display Server's RaceCourse()\n");
        QTest::newRow("40") << 40 << QByteArray("trotix: Action>>askClient()\n");
        QTest::newRow("41") << 41 << QByteArray("trotix: Action>>startClient()\n");
        QTest::newRow("50") << 50 << QByteArray("trotix: Action>>Display Client's RaceCourse()\n");
        QTest::newRow("60") << 60 << QByteArray("trotix: Action>>Display Demo RaceCourse()\n");
    }

    void eachModeLogsItsLineAndPaintsItsBackground()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, line);
        GameFixture game;
        gs.mode = mode;
        LogCapture capture;
        game.tick();
        QCOMPARE(logLines(capture.text()).value(0), QString::fromLatin1(line));
        // The mode-specific flags set before the screen is drawn.
        if (mode == 20)
            QCOMPARE(gs.isServer, 1);
        if (mode == 40)
            QVERIFY(gs.isServer == 0 && gs.askPosReady == 1);
        if (mode == 21)
            QCOMPARE(gs.serverAccepting, 1);
        if (mode == 21 || mode == 41) {
            for (int id : activityGroup)
                QVERIFY(!gs.menuBar->isItemEnabled(id));
        }
        if (mode == 30 || mode == 50 || mode == 60)
            QCOMPARE(gs.shownMode, mode);
    }

    void theRaceClockJumpsToTheResultOnlyWhenBothArePast2000_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<bool>("jumps");
        QTest::newRow("2001/2000: no") << 2001 << 2000 << 7 << false;
        QTest::newRow("2001/2001 at 19: yes") << 2001 << 2001 << 19 << true;
        QTest::newRow("2001/2001 at 20: already there") << 2001 << 2001 << 20 << false;
        QTest::newRow("2001/2001 at 25: left alone") << 2001 << 2001 << 25 << false;
    }

    void theRaceClockJumpsToTheResultOnlyWhenBothArePast2000()
    {
        QFETCH(int, pos1);
        QFETCH(int, pos2);
        QFETCH(int, raceTick);
        QFETCH(bool, jumps);
        GameFixture game;
        gs.mode = 30; // the server's course: nothing moves the clock while no client is there
        gs.shownMode = 30;
        gs.pos1 = pos1;
        gs.pos2 = pos2;
        gs.raceTick = raceTick;
        gs.racePattern = 9; // no pattern moves the horses
        game.tick();
        if (jumps)
            QVERIFY(gs.raceTick == 20 || gs.raceTick == 21); // the result frame itself advances it
        else
            QVERIFY(gs.raceTick == raceTick || gs.raceTick == raceTick + 1);
    }

    void aFinishedRaceReturnsToIdleAfterItsLastFrame_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("server") << 30;
        QTest::newRow("client") << 50;
        QTest::newRow("computer") << 60;
    }

    void aFinishedRaceReturnsToIdleAfterItsLastFrame()
    {
        QFETCH(int, mode);
        GameFixture game;
        gs.mode = gs.shownMode = mode;
        gs.raceTick = 30;
        gs.pos1 = gs.pos2 = 2100;
        gs.racePattern = 1;
        game.tick();
        QCOMPARE(gs.mode, mode); // 30: the race goes on
        gs.raceTick = 31;
        LogCapture capture;
        game.tick();             // 31: ends, but this tick still draws the course
        QCOMPARE(gs.mode, 1);
        QCOMPARE(gs.shownMode, mode);
        capture.clear();
        game.tick();
        QCOMPARE(logLines(capture.text()).value(0), QStringLiteral("trotix: Action>>call idle()\n"));
        QCOMPARE(gs.actionTicks, 0);
    }
};

QTEST_MAIN(TestTick)
#include "tst_tick.moc"
