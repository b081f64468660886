// Races as the player starts them: the first race after a fresh start through the tick, the Race
// menu's slots and the position slots.
#include "gamefixture.h"
#include "platform/paths.h"

#include "platform/log.h"
#include "platform/random.h"

#include <QFile>
#include <QTest>

#include <climits>

namespace {

// Draws that choose "SUPER FAST     " (the third draw) and pattern 4.
const std::initializer_list<int> superFastPattern4 = {0, 0, 2000000000, 2000000000};

}

class TestRaceGame : public QObject
{
    Q_OBJECT

private slots:
    // The first race after a fresh start, from the menu choice to the idle horse. The draws are
    // never seeded, so every start meets the same opponent with the same pattern: the C library's
    // first draws 1804289383 (EMBEDDED STAR), 846930886 (no), 1681692777 (SUPER FAST), then
    // 1714636915 (pattern 4); so this runs first, before anything else draws. The start sequence
    // takes 7 ticks, the race 58 moving ticks (the own horse, bonus 1, first at 2013 against 1962
    // on the 57th, both past 2000 on the 58th), then the jump to the result, eleven result frames,
    // the tick that ends the race and the idle screen.
    void aWholeRaceAgainstTheComputer()
    {
        GameFixture game;
#ifndef __GLIBC__
        scriptRandomDraws(superFastPattern4); // another C library draws otherwise
#endif
        LogCapture capture;
        game.call("change2racedemo");
        QList<int> clock; // the race clock after each tick
        int ticks = 0;
        int winnerFirstSeen = 0;
        while (gs.mode == ModeDemoRace && ticks < 500) {
            game.tick();
            ++ticks;
            clock << gs.raceTick;
            if (winnerFirstSeen == 0 && gs.winner != 0)
                winnerFirstSeen = ticks;
        }
        QCOMPARE(ticks, 77);
        game.tick(); // the idle screen

        QCOMPARE(gs.opponentName, QStringLiteral("SUPER FAST     "));
        QCOMPARE(gs.winner, 1);
        QCOMPARE(winnerFirstSeen, 7 + 57);
        for (int t = 1; t <= 7; ++t)
            QCOMPARE(clock[t - 1], t);
        QCOMPARE(clock[64], 7); // tick 65: both past 2000 in this step
        QCOMPARE(clock[65], 21); // tick 66: the result jump, and its first frame
        QCOMPARE(clock[75], 31); // tick 76: the last result frame
        QCOMPARE(clock[76], 31); // tick 77: the race ends, its last frame still drawn

        QStringList expected{QStringLiteral("trotix: MenuSelect>>change to race demo\n")};
        for (int t = 1; t <= 77; ++t) {
            if (t % 10 == 0)
                expected << QStringLiteral("trotix: Write Attribute File\n");
            expected << QStringLiteral("trotix: Action>>Display Demo RaceCourse()\n");
        }
        // The race ends within tick 77 and goes into the horse's first race record.
        const QString record = Paths::raceRecordFile();
        expected << QStringLiteral("trotix: No race record yet at %1; counting from zero.\n").arg(record);
        expected << QStringLiteral("trotix: MenuSelect>>change to idle\n");
        expected << QStringLiteral("trotix: Action>>call idle()\n");
        const QStringList logged = logLines(capture.text());
        QCOMPARE(logged.mid(0, expected.size()), expected); // the idle screen logs its own lines after
        game.tick(12);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().mid(16), QByteArray("computer 1 0\nnetwork 0 0\n")); // counted once
    }

    // Each Race menu choice: its screen, its log line, and a race that starts afresh.
    void menuSlotsPrepareTheRace()
    {
        struct Row { const char *slot; int mode; const char *log; };
        const Row rows[] = {{"change2server", 20, "trotix: MenuSelect>>change to server\n"},
                            {"change2client", 40, "trotix: MenuSelect>>change to client\n"},
                            {"change2racedemo", 60, "trotix: MenuSelect>>change to race demo\n"}};
        for (const Row &r : rows) {
            GameFixture game;
            gs.pos1 = gs.pos2 = 2222;
            gs.winner = gs.winScenario = gs.racePattern = 2;
            LogCapture capture;
            game.call(r.slot);
            QCOMPARE(capture.text(), QByteArray(r.log));
            QCOMPARE(gs.mode, r.mode);
            QCOMPARE(QList<int>({gs.pos1, gs.pos2, gs.winner, gs.winScenario, gs.racePattern}), QList<int>(5, 0));
        }
    }

    // A network race's scenario and pattern, chosen once; the server's horse weighs 150.
    void calculatePosChoosesFromTheWeightsAndLogs()
    {
        struct Row { int challengerWeight, draw1, draw2, scenario, pattern; };
        const Row rows[] = {{0, 0, 0, 1, 1}, {151, 0, 0, 4, 5}, {150, 1600000001, INT_MAX, 2, 4}};
        for (const Row &r : rows) {
            GameFixture game;
            game.call("change2server");
            gs.challengerWeight = r.challengerWeight;
            gs.raceTick = 7;
            scriptRandomDraws({r.draw1, r.draw2});
            LogCapture capture;
            game.call("calculatePos");
            QCOMPARE(gs.pos1, 30); // every pattern starts with 30 each; no bonus in a network race
            QCOMPARE(gs.pos2, 30);
            game.call("calculatePos"); // chosen once per race
            QCOMPARE(capture.text(), QStringLiteral("trotix: *** Win Scenario = %1\ntrotix: *** Race Pattern = %2\n")
                                         .arg(r.scenario).arg(r.pattern).toLatin1());
        }
    }
};

QTEST_MAIN(TestRaceGame)
#include "tst_racegame.moc"
