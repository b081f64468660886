// The race without a screen: race weight, the draws, the scenario, the steps and the winner, each
// rule by rows at its boundaries (a failing row names its index).
#include "game/rules/soundcues.h"
#include "platform/rules/random.h"
#include "race/rules/racemodel.h"
#include "race/rules/raceweight.h"

#include <QTest>

#include <climits>
#include <limits>

class TestRaceModel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clearScriptedDraws(); }

    void raceWeightOfAHorse()
    {
        const float inf = std::numeric_limits<float>::infinity();
        const float nan = std::numeric_limits<float>::quiet_NaN();
        // clang-format off
        struct Row { float age, muscle, fat, power, spirit; int weight; };
        const Row rows[] = {
            {1.0f, 150.0f, 50.0f, 100.0f, 100.0f, 150},      // a new horse
            {5.0f, 150.0f, 50.0f, 100.0f, 100.0f, 150},      // no factor at 5 itself
            {5.0001f, 150.0f, 50.0f, 100.0f, 100.0f, 120},   // x 0.8 just past 5
            {20.0f, 150.0f, 50.0f, 100.0f, 100.0f, 60},      // x 0.8 x 0.5 at 20
            {10.0f, 150.0f, 50.0f, 100.0f, 100.0f, 120},     // still x 0.8 at 10
            {20.5f, 150.0f, 50.0f, 100.0f, 100.0f, 18},      // x 0.8 x 0.5 x 0.3
            {25.0f, 1.0f, 2.0f, 100.0f, 100.0f, 8},          // factors one by one: 0.12 at once gives 7
            {10.5f, 36.0f, 2.7f, 194.0f, 730.5f, 344},       // single precision: double gives 343
            {1.0f, 10.0f, -30.0f, 100.0f, 100.0f, 2000},     // muscle + fat below 0 divides by 1
            {1.0f, 1.0f, 0.0f, 2147483648.0f, 0.0f, INT_MAX}, // just past the int range
            {1.0f, 1.0f, 0.0f, 2147483520.0f, 0.0f, 2147483520},
            {1.0f, 150.0f, 50.0f, inf, -inf, 0},             // infinity minus infinity
            {1.0f, nan, 50.0f, 100.0f, 100.0f, 0},
            {nan, 150.0f, 50.0f, 100.0f, 100.0f, 150},       // a NaN age takes no factor
        };
        // clang-format on
        for (const Row &r : rows)
            QCOMPARE(raceWeight({r.age, r.muscle, r.fat, r.power, r.spirit}), r.weight);
    }

    // A network race's scenario from the two weights; only a tie draws.
    void scenarioFromTheTwoWeights()
    {
        // clang-format off
        struct Row { int own, other, tieDraw, scenario; };
        const Row rows[] = {
            {299, 100, -1, 2}, {300, 100, -1, 1}, {100, 300, -1, 3}, {100, 299, -1, 4},
            {INT_MIN, -1, -1, 3}, {INT_MAX, INT_MIN, -1, 1}, {INT_MAX, INT_MAX - 1, -1, 2},
            {150, 150, 1600000001, 2}, {150, 150, 1600000000, 4}, {INT_MIN, INT_MIN, 0, 4}, {1, 2, -1, 4}, {2, 1, -1, 2},
        };
        // clang-format on
        for (const Row &r : rows) {
            scriptRandomDraws({r.tieDraw});
            QCOMPARE(scenarioFromWeights(r.own, r.other), r.scenario);
            QCOMPARE(scriptedDrawsLeft(), r.tieDraw == -1 ? 1 : 0);
        }
    }

    // The computer's opponent: always three draws, a later success overrides.
    void opponentDraw()
    {
        // clang-format off
        struct Row { int draw1, draw2, draw3; const char *name; int scenario; };
        const Row rows[] = {
            {1495000000, 1500000000, 1495000000, "KING OF PDA    ", 1}, // all at their thresholds
            {1495000001, 0, 0, "EMBEDDED STAR  ", 2},
            {1495000001, 1500000001, 0, "JOX IS THE BEST", 3},
            {0, 1500000001, 1495000001, "SUPER FAST     ", 4},
        };
        // clang-format on
        for (const Row &r : rows) {
            scriptRandomDraws({r.draw1, r.draw2, r.draw3, 42});
            const Opponent &opponent = opponents[drawOpponent()];
            QCOMPARE(QByteArray(opponent.name), QByteArray(r.name));
            QCOMPARE(opponent.scenario, r.scenario);
            QCOMPARE(scriptedDrawsLeft(), 1);
        }
    }

    void patternDrawByScenario()
    {
        // clang-format off
        struct Row { int scenario, draw1, draw2, pattern, drawsUsed; };
        const Row rows[] = {
            {2, 1500000001, 0, 4, 1}, {4, 1500000000, 0, 5, 1},                    // narrow
            {1, 0, 0, 1, 2}, {3, 1450000001, 0, 2, 2}, {3, 1450000000, 1500000000, 1, 2}, // clear
            {1, 0, 1500000001, 3, 2}, {0, INT_MAX, INT_MAX, 0, 0},                  // no scenario
        };
        // clang-format on
        for (const Row &r : rows) {
            scriptRandomDraws({r.draw1, r.draw2});
            QCOMPARE(drawPattern(r.scenario), r.pattern);
            QCOMPARE(scriptedDrawsLeft(), 2 - r.drawsUsed);
        }
    }

    void oneStep()
    {
        // clang-format off
        struct Row { int pos1, pos2, scenario, pattern, raceTick, bonus, next1, next2; };
        const Row rows[] = {
            {0, 0, 1, 1, 6, 5, 0, 0},              // nothing moves at race tick 6
            {200, 0, 1, 1, 7, 0, 230, 30},         // a row's bound is inclusive
            {201, 0, 1, 1, 7, 0, 233, 31},         // the next row above it
            {200, 0, 1, 1, 7, 5, 235, 30},         // the bonus after the row
            {0, 201, 3, 1, 7, 0, 31, 233},         // player 2 leads in scenario 3
            {101, 0, 2, 3, 7, 0, 131, 34},         // pattern 3's first row ends at 100
            {2050, 1000, 1, 1, 7, 0, 2098, 1040},  // the last row at 2050
            {2051, 1000, 1, 2, 7, 0, 2061, 1041},  // run-out: the follower catches up
            {2100, 2049, 1, 2, 7, 0, 2110, 2090}, {2100, 2050, 1, 2, 7, 0, 2110, 2060}, // it trots from 2050
            {1000, 2051, 4, 5, 7, 0, 1042, 2061},  // pattern 5's run-out gain
            {10, 10, 1, 0, 7, 2, 12, 10},          // no pattern: only the bonus
            {INT_MAX - 5, INT_MAX, 1, 1, 7, INT_MAX / 100, INT_MAX, INT_MAX},
            {INT_MIN + 5, 0, 3, 1, 7, INT_MIN / 100, INT_MIN, 30},
        };
        // clang-format on
        for (const Row &r : rows) {
            const RacePositions next = raceStep({r.pos1, r.pos2}, r.scenario, r.pattern, r.raceTick, r.bonus);
            QCOMPARE(next.pos1, r.next1);
            QCOMPARE(next.pos2, r.next2);
        }
        QCOMPARE(QList<int>({demoBonus(1, 300), demoBonus(1, INT_MAX), demoBonus(0, 300)}), QList<int>({3, 21474836, 0})); // 0: network
    }

    // A written race, step by step until the winner: JOX IS THE BEST against a bonus of 3.
    void writtenRace()
    {
        RacePositions positions{0, 0};
        int winner = 0;
        int tick = 0;
        while (winner == 0 && ++tick <= 200) {
            positions = raceStep(positions, Player2Clearly, 1, 7, 3);
            winner = decideWinner(winner, positions, Player2Clearly);
        }
        QCOMPARE(tick, 53);
        QCOMPARE(positions.pos1, 2025);
        QCOMPARE(positions.pos2, 1994);
        QCOMPARE(winner, 1);
    }

    // Every network race, pattern by scenario, run as the host runs it to its last frame: no horse
    // gets past farthestPosition, the bound the client holds a host's replies to.
    void everyRaceStaysWithinTheFarthestPosition()
    {
        int farthest = 0;
        for (int pattern = 1; pattern <= 5; ++pattern) {
            for (int scenario = Player1Clearly; scenario <= Player2Narrowly; ++scenario) {
                RacePositions at{0, 0};
                for (int tick = RaceClock::running; !raceOver(tick); tick = raceTickAfterFrame(tick, RaceSide::Server)) {
                    tick = raceTickAfterFinish(tick, at.pos1, at.pos2);
                    at = raceStep(at, scenario, pattern, tick, 0);
                    farthest = std::max({farthest, at.pos1, at.pos2});
                }
            }
        }
        QVERIFY2(farthest <= farthestPosition, qPrintable(QString::number(farthest)));
    }

    void winnerRule()
    {
        // clang-format off
        struct Row { int winner, pos1, pos2, scenario, decided; };
        const Row rows[] = {
            {0, 1999, 1999, 1, 0}, {0, 2000, 1999, 3, 1}, {0, 1999, 2000, 1, 2}, // at exactly 2000
            {0, 2000, 2000, 1, 1}, {0, 2000, 2000, 4, 2},                          // together: the scenario
            {2, 2500, 2001, 1, 2},                                                 // decided stays
        };
        // clang-format on
        for (const Row &r : rows)
            QCOMPARE(decideWinner(r.winner, {r.pos1, r.pos2}, r.scenario), r.decided);
    }

    // The hooves run from the first running frame to the result; the bell rings on "GO!" once,
    // the result on its first frame, as the local horse fared (the meal's and the sleep's sounds,
    // and each sound's file, are the films').
    void raceSounds()
    {
        using C = SoundCue;
        // clang-format off
        struct Row { bool running, racing; int raceTick, winner, isServer; C loop, frame; };
        const Row rows[] = {
            {true, false, 0, 0, 1, C::Hooves, C::None},    {false, false, 7, 0, 1, C::None, C::None},
            {false, true, 4, 0, 0, C::None, C::None},      {false, true, 5, 0, 0, C::None, C::StartBell},
            {false, true, 6, 0, 0, C::None, C::None},      {false, true, 7, 0, 1, C::Hooves, C::None},
            {false, true, 19, 1, 1, C::Hooves, C::None},   {false, true, 20, 1, 1, C::None, C::Win},
            {false, true, 20, 1, 0, C::None, C::Loss},     {false, true, 20, 2, 0, C::None, C::Win},
            {false, true, 20, 3, 1, C::None, C::None},     {false, true, 21, 1, 1, C::None, C::None},
            {false, true, 20, 2, 1, C::None, C::Loss},
        };
        // clang-format on
        for (const Row &r : rows) {
            QCOMPARE(loopAfterTick(r.running, r.racing, r.raceTick), r.loop);
            QCOMPARE(raceFrameCue(r.raceTick, r.winner, r.isServer), r.frame);
        }
    }
};

QTEST_APPLESS_MAIN(TestRaceModel)
#include "tst_racemodel.moc"
