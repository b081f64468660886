// The race without a screen: race weight, the draws, the scenario, the steps and the winner.
#include "platform/random.h"
#include "race/racemodel.h"
#include "race/raceweight.h"

#include <QTest>

#include <climits>
#include <cmath>
#include <limits>

namespace {

struct RaceResult
{
    RacePositions positions; // on the step that decided the winner
    int winner;
    int movingTick; // 1 for the first step with raceTick 7
};

// Runs moving steps until a winner is known.
RaceResult runUntilWinner(int scenario, int pattern, int bonus)
{
    RacePositions positions{0, 0};
    int winner = 0;
    for (int tick = 1; tick <= 200; ++tick) {
        positions = raceStep(positions, scenario, pattern, 7, bonus);
        winner = decideWinner(winner, positions, scenario);
        if (winner != 0)
            return {positions, winner, tick};
    }
    return {positions, 0, -1};
}

}

class TestRaceModel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clearScriptedDraws(); }

    // ---- race weight ----

    void raceWeightOfAHorse_data()
    {
        QTest::addColumn<float>("age");
        QTest::addColumn<float>("muscle");
        QTest::addColumn<float>("fat");
        QTest::addColumn<float>("power");
        QTest::addColumn<float>("spirit");
        QTest::addColumn<int>("weight");
        QTest::newRow("a new horse") << 1.0f << 150.0f << 50.0f << 100.0f << 100.0f << 150;
        QTest::newRow("age 5.0: no factor yet") << 5.0f << 150.0f << 50.0f << 100.0f << 100.0f << 150;
        QTest::newRow("just past 5: x 0.8") << 5.0001f << 150.0f << 50.0f << 100.0f << 100.0f << 120;
        QTest::newRow("age 10.5: x 0.8 x 0.5") << 10.5f << 150.0f << 50.0f << 100.0f << 100.0f << 60;
        QTest::newRow("age 20.0: still x 0.4") << 20.0f << 150.0f << 50.0f << 100.0f << 100.0f << 60;
        QTest::newRow("above 20: x 0.8 x 0.5 x 0.3") << 20.5f << 150.0f << 50.0f << 100.0f << 100.0f << 18;
        // One factor of 0.12 would round differently: 7 instead of 8.
        QTest::newRow("the age factors accumulate") << 25.0f << 1.0f << 2.0f << 100.0f << 100.0f << 8;
        // In double precision these come out one lower.
        QTest::newRow("single precision, young") << 1.0f << 615.6f << 347.7f << 552.9f << 714.6f << 810;
        QTest::newRow("single precision, 10.5") << 10.5f << 36.0f << 2.7f << 194.0f << 730.5f << 344;
        QTest::newRow("single precision, old") << 25.0f << 89.0f << 275.9f << 508.8f << 106.2f << 18;
        QTest::newRow("muscle + fat 0 divides by 1") << 1.0f << 10.0f << -10.0f << 100.0f << 100.0f << 2000;
        QTest::newRow("muscle + fat below 0 divides by 1") << 1.0f << 10.0f << -30.0f << 100.0f << 100.0f << 2000;
        QTest::newRow("all zero") << 1.0f << 0.0f << 0.0f << 0.0f << 0.0f << 0;
        QTest::newRow("negative power") << 1.0f << 150.0f << 50.0f << -400.0f << 100.0f << -225;
        // Hand-edited files can hold anything.
        const float inf = std::numeric_limits<float>::infinity();
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("huge") << 1.0f << 1e30f << 0.0f << 1e30f << 0.0f << INT_MAX;
        QTest::newRow("just past the int range") << 1.0f << 1.0f << 0.0f << 2147483648.0f << 0.0f << INT_MAX;
        QTest::newRow("the largest float below it") << 1.0f << 1.0f << 0.0f << 2147483520.0f << 0.0f << 2147483520;
        QTest::newRow("hugely negative") << 1.0f << -1e30f << 0.0f << 100.0f << 100.0f << INT_MIN;
        QTest::newRow("infinite power") << 1.0f << 150.0f << 50.0f << inf << 0.0f << INT_MAX;
        QTest::newRow("infinity times nothing") << 1.0f << 0.0f << 0.0f << inf << 0.0f << 0;
        QTest::newRow("infinity minus infinity") << 1.0f << 150.0f << 50.0f << inf << -inf << 0;
        QTest::newRow("NaN muscle") << 1.0f << nan << 50.0f << 100.0f << 100.0f << 0;
        QTest::newRow("NaN fat") << 1.0f << 150.0f << nan << 100.0f << 100.0f << 0;
        QTest::newRow("NaN age takes no factor") << nan << 150.0f << 50.0f << 100.0f << 100.0f << 150;
    }

    void raceWeightOfAHorse()
    {
        QFETCH(float, age);
        QFETCH(float, muscle);
        QFETCH(float, fat);
        QFETCH(float, power);
        QFETCH(float, spirit);
        QFETCH(int, weight);
        QCOMPARE(raceWeight({age, muscle, fat, power, spirit}), weight);
    }

    // ---- scenario of a network race ----

    void scenarioFromTheTwoWeights_data()
    {
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("other");
        QTest::addColumn<int>("tieDraw");
        QTest::addColumn<int>("scenario");
        QTest::newRow("299 : 100 narrow") << 299 << 100 << -1 << 2;
        QTest::newRow("300 : 100 clear") << 300 << 100 << -1 << 1;
        QTest::newRow("100 : 300 clear for the challenger") << 100 << 300 << -1 << 3;
        QTest::newRow("100 : 299 narrow for the challenger") << 100 << 299 << -1 << 4;
        QTest::newRow("0 : 150 the challenger clearly") << 0 << 150 << -1 << 3;
        QTest::newRow("150 : 0 the server clearly") << 150 << 0 << -1 << 1;
        QTest::newRow("1 : 0") << 1 << 0 << -1 << 1;
        QTest::newRow("-5 : 3") << -5 << 3 << -1 << 3;
        QTest::newRow("3 : -5") << 3 << -5 << -1 << 1;
        QTest::newRow("-1 : -5") << -1 << -5 << -1 << 1;
        QTest::newRow("-5 : -1") << -5 << -1 << -1 << 3;
        QTest::newRow("INT_MIN : -1") << INT_MIN << -1 << -1 << 3;
        QTest::newRow("-1 : INT_MIN") << -1 << INT_MIN << -1 << 1;
        QTest::newRow("INT_MAX : 1") << INT_MAX << 1 << -1 << 1;
        QTest::newRow("1 : INT_MAX") << 1 << INT_MAX << -1 << 3;
        QTest::newRow("INT_MAX : INT_MIN") << INT_MAX << INT_MIN << -1 << 1;
        QTest::newRow("INT_MAX : INT_MAX - 1") << INT_MAX << INT_MAX - 1 << -1 << 2;
        QTest::newRow("equal, draw above 1600000000") << 150 << 150 << 1600000001 << 2;
        QTest::newRow("equal, draw at 1600000000") << 150 << 150 << 1600000000 << 4;
        QTest::newRow("both 0, draw high") << 0 << 0 << 2147483647 << 2;
        QTest::newRow("both INT_MIN, draw low") << INT_MIN << INT_MIN << 0 << 4;
    }

    void scenarioFromTheTwoWeights()
    {
        QFETCH(int, own);
        QFETCH(int, other);
        QFETCH(int, tieDraw);
        QFETCH(int, scenario);
        // Only a tie draws: the one scripted draw is left over otherwise.
        scriptRandomDraws({tieDraw});
        QCOMPARE(scenarioFromWeights(own, other), scenario);
        QCOMPARE(scriptedDrawsLeft(), tieDraw == -1 ? 1 : 0);
    }

    // ---- the computer's draws ----

    void opponentDrawLaterSuccessesOverride_data()
    {
        QTest::addColumn<int>("draw1");
        QTest::addColumn<int>("draw2");
        QTest::addColumn<int>("draw3");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("scenario");
        QTest::newRow("no success") << 0 << 0 << 0 << QByteArray("KING OF PDA    ") << 1;
        QTest::newRow("all at their thresholds")
            << 1495000000 << 1500000000 << 1495000000 << QByteArray("KING OF PDA    ") << 1;
        QTest::newRow("first") << 1495000001 << 0 << 0 << QByteArray("EMBEDDED STAR  ") << 2;
        QTest::newRow("second") << 0 << 1500000001 << 0 << QByteArray("JOX IS THE BEST") << 3;
        QTest::newRow("first and second") << 1495000001 << 1500000001 << 0 << QByteArray("JOX IS THE BEST") << 3;
        QTest::newRow("third") << 0 << 0 << 1495000001 << QByteArray("SUPER FAST     ") << 4;
        QTest::newRow("second threshold is 1500000000")
            << 0 << 1499999999 << 1495000000 << QByteArray("KING OF PDA    ") << 1;
        QTest::newRow("all") << INT_MAX << INT_MAX << INT_MAX << QByteArray("SUPER FAST     ") << 4;
    }

    void opponentDrawLaterSuccessesOverride()
    {
        QFETCH(int, draw1);
        QFETCH(int, draw2);
        QFETCH(int, draw3);
        QFETCH(QByteArray, name);
        QFETCH(int, scenario);
        scriptRandomDraws({draw1, draw2, draw3, 42});
        const Opponent &opponent = opponents[drawOpponent()];
        QCOMPARE(QByteArray(opponent.name), name);
        QCOMPARE(opponent.scenario, scenario);
        QCOMPARE(scriptedDrawsLeft(), 1); // always exactly three draws
    }

    void patternDrawByScenario_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("draw1");
        QTest::addColumn<int>("draw2");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("drawsUsed");
        QTest::newRow("narrow, high") << 2 << 1500000001 << 0 << 4 << 1;
        QTest::newRow("narrow, at the threshold") << 4 << 1500000000 << 0 << 5 << 1;
        QTest::newRow("clear, none") << 1 << 0 << 0 << 1 << 2;
        QTest::newRow("clear, first above 1450000000") << 3 << 1450000001 << 0 << 2 << 2;
        QTest::newRow("clear, first at 1450000000") << 3 << 1450000000 << 1500000000 << 1 << 2;
        QTest::newRow("clear, second above 1500000000") << 1 << 0 << 1500000001 << 3 << 2;
        QTest::newRow("clear, both") << 1 << INT_MAX << INT_MAX << 3 << 2;
        QTest::newRow("no scenario") << 0 << INT_MAX << INT_MAX << 0 << 0;
    }

    void patternDrawByScenario()
    {
        QFETCH(int, scenario);
        QFETCH(int, draw1);
        QFETCH(int, draw2);
        QFETCH(int, pattern);
        QFETCH(int, drawsUsed);
        scriptRandomDraws({draw1, draw2});
        QCOMPARE(drawPattern(scenario), pattern);
        QCOMPARE(scriptedDrawsLeft(), 2 - drawsUsed);
    }

    void unscriptedDrawsGiveTheExpectedShares()
    {
        constexpr int runs = 200000;
        int opponentsDrawn[4] = {};
        int narrow[6] = {};
        int clear[6] = {};
        for (int i = 0; i < runs; ++i) {
            ++opponentsDrawn[drawOpponent()];
            ++narrow[drawPattern(2)];
            ++clear[drawPattern(1)];
        }
        auto share = [](int count) { return double(count) / runs; };
        const double tolerance = 0.01;
        QVERIFY(std::abs(share(opponentsDrawn[0]) - 0.339) < tolerance);
        QVERIFY(std::abs(share(opponentsDrawn[1]) - 0.148) < tolerance);
        QVERIFY(std::abs(share(opponentsDrawn[2]) - 0.210) < tolerance);
        QVERIFY(std::abs(share(opponentsDrawn[3]) - 0.304) < tolerance);
        QVERIFY(std::abs(share(narrow[4]) - 0.302) < tolerance);
        QVERIFY(std::abs(share(narrow[5]) - 0.698) < tolerance);
        QVERIFY(std::abs(share(clear[1]) - 0.472) < tolerance);
        QVERIFY(std::abs(share(clear[2]) - 0.227) < tolerance);
        QVERIFY(std::abs(share(clear[3]) - 0.302) < tolerance);
    }

    // ---- patterns and steps ----

    void oneStep_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("bonus");
        QTest::addColumn<int>("next1");
        QTest::addColumn<int>("next2");
        QTest::newRow("nothing moves at race tick 6") << 0 << 0 << 1 << 1 << 6 << 5 << 0 << 0;
        QTest::newRow("first moving tick") << 0 << 0 << 1 << 1 << 7 << 0 << 30 << 30;
        QTest::newRow("row bound is inclusive") << 200 << 0 << 1 << 1 << 7 << 0 << 230 << 30;
        QTest::newRow("next row above it") << 201 << 0 << 1 << 1 << 7 << 0 << 233 << 31;
        QTest::newRow("bonus after the row") << 200 << 0 << 1 << 1 << 7 << 5 << 235 << 30;
        QTest::newRow("player 2 leads in scenario 3") << 0 << 201 << 3 << 1 << 7 << 0 << 31 << 233;
        QTest::newRow("player 2 leads in scenario 4") << 0 << 301 << 4 << 4 << 7 << 0 << 34 << 331;
        QTest::newRow("bonus goes to player 1 when it follows") << 0 << 201 << 3 << 1 << 7 << 3 << 34 << 233;
        QTest::newRow("pattern 3 first row ends at 100") << 101 << 0 << 2 << 3 << 7 << 0 << 131 << 34;
        QTest::newRow("last row at 2050") << 2050 << 1000 << 1 << 1 << 7 << 0 << 2098 << 1040;
        QTest::newRow("run-out, follower catches up") << 2051 << 1000 << 1 << 2 << 7 << 0 << 2061 << 1041;
        QTest::newRow("run-out gain of pattern 5") << 1000 << 2051 << 4 << 5 << 7 << 0 << 1042 << 2061;
        QTest::newRow("run-out, follower at 2049") << 2051 << 2049 << 1 << 1 << 7 << 0 << 2061 << 2089;
        QTest::newRow("run-out, both past") << 2051 << 2050 << 1 << 1 << 7 << 0 << 2061 << 2060;
        QTest::newRow("no pattern: only the bonus") << 10 << 10 << 1 << 0 << 7 << 2 << 12 << 10;
        QTest::newRow("unknown pattern: only the bonus") << 10 << 10 << 1 << 9 << 7 << 2 << 12 << 10;
        QTest::newRow("a negative bonus") << 10 << 10 << 1 << 1 << 7 << -3 << 37 << 40;
        QTest::newRow("saturates at the top") << INT_MAX - 5 << INT_MAX << 1 << 1 << 7 << INT_MAX / 100 << INT_MAX
                                               << INT_MAX;
        QTest::newRow("saturates at the bottom") << INT_MIN + 5 << 0 << 3 << 1 << 7 << INT_MIN / 100 << INT_MIN << 30;
    }

    void oneStep()
    {
        QFETCH(int, pos1);
        QFETCH(int, pos2);
        QFETCH(int, scenario);
        QFETCH(int, pattern);
        QFETCH(int, raceTick);
        QFETCH(int, bonus);
        QFETCH(int, next1);
        QFETCH(int, next2);
        const RacePositions next = raceStep({pos1, pos2}, scenario, pattern, raceTick, bonus);
        QCOMPARE(next.pos1, next1);
        QCOMPARE(next.pos2, next2);
    }

    void demoBonusGrowsWithTheRaceWeight_data()
    {
        QTest::addColumn<int>("demoRace");
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("bonus");
        QTest::newRow("a new horse") << 1 << 150 << 1;
        QTest::newRow("299") << 1 << 299 << 2;
        QTest::newRow("300") << 1 << 300 << 3;
        QTest::newRow("99") << 1 << 99 << 0;
        QTest::newRow("negative, toward zero") << 1 << -150 << -1;
        QTest::newRow("saturated") << 1 << INT_MAX << 21474836;
        QTest::newRow("network race") << 0 << 300 << 0;
    }

    void demoBonusGrowsWithTheRaceWeight()
    {
        QFETCH(int, demoRace);
        QFETCH(int, weight);
        QFETCH(int, bonus);
        QCOMPARE(demoBonus(demoRace, weight), bonus);
    }

    // ---- written races ----

    void writtenRaces_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("bonus");
        QTest::addColumn<int>("movingTick");
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("winner");
        QTest::newRow("pattern 1 alone") << 1 << 1 << 0 << 54 << 2042 << 1906 << 1;
        QTest::newRow("pattern 4 alone") << 4 << 4 << 0 << 58 << 1996 << 2004 << 2;
        QTest::newRow("SUPER FAST, bonus 1") << 4 << 4 << 1 << 57 << 2013 << 1962 << 1;
        QTest::newRow("JOX IS THE BEST, bonus 2") << 3 << 1 << 2 << 54 << 2014 << 2042 << 2;
        QTest::newRow("JOX IS THE BEST, bonus 3") << 3 << 1 << 3 << 53 << 2025 << 1994 << 1;
    }

    void writtenRaces()
    {
        QFETCH(int, scenario);
        QFETCH(int, pattern);
        QFETCH(int, bonus);
        QFETCH(int, movingTick);
        QFETCH(int, pos1);
        QFETCH(int, pos2);
        QFETCH(int, winner);
        const RaceResult result = runUntilWinner(scenario, pattern, bonus);
        QCOMPARE(result.movingTick, movingTick);
        QCOMPARE(result.positions.pos1, pos1);
        QCOMPARE(result.positions.pos2, pos2);
        QCOMPARE(result.winner, winner);
    }

    void withoutBonusTheLeaderAlwaysWins_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("pattern");
        for (int pattern = 1; pattern <= 5; ++pattern) {
            // Patterns 1 to 3 come with clear scenarios, 4 and 5 with narrow ones.
            const int favoursPlayer1 = pattern >= 4 ? Player1Narrowly : Player1Clearly;
            const int favoursPlayer2 = pattern >= 4 ? Player2Narrowly : Player2Clearly;
            QTest::addRow("pattern %d, scenario %d", pattern, favoursPlayer1) << favoursPlayer1 << pattern;
            QTest::addRow("pattern %d, scenario %d", pattern, favoursPlayer2) << favoursPlayer2 << pattern;
        }
    }

    void withoutBonusTheLeaderAlwaysWins()
    {
        QFETCH(int, scenario);
        QFETCH(int, pattern);
        const RaceResult result = runUntilWinner(scenario, pattern, 0);
        QCOMPARE(result.winner, player2Leads(scenario) ? 2 : 1);
    }

    // ---- the winner ----

    void winnerRule_data()
    {
        QTest::addColumn<int>("winner");
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("decided");
        QTest::newRow("nobody there") << 0 << 1999 << 1999 << 1 << 0;
        QTest::newRow("player 1 at exactly 2000") << 0 << 2000 << 1999 << 3 << 1;
        QTest::newRow("player 2 at exactly 2000") << 0 << 1999 << 2000 << 1 << 2;
        QTest::newRow("together, scenario 1") << 0 << 2000 << 2000 << 1 << 1;
        QTest::newRow("together, scenario 2") << 0 << 2010 << 2100 << 2 << 1;
        QTest::newRow("together, scenario 3") << 0 << 2100 << 2010 << 3 << 2;
        QTest::newRow("together, scenario 4") << 0 << 2000 << 2000 << 4 << 2;
        QTest::newRow("decided stays, behind now") << 2 << 2500 << 2001 << 1 << 2;
        QTest::newRow("decided stays, before the line") << 1 << 0 << 0 << 3 << 1;
    }

    void winnerRule()
    {
        QFETCH(int, winner);
        QFETCH(int, pos1);
        QFETCH(int, pos2);
        QFETCH(int, scenario);
        QFETCH(int, decided);
        QCOMPARE(decideWinner(winner, {pos1, pos2}, scenario), decided);
    }

    void theWinnerNeverChangesOnceSet()
    {
        // SUPER FAST with a bonus of 1: the own horse wins, then the computer's run-out and
        // later steps never change that.
        RacePositions positions{0, 0};
        int winner = 0;
        int firstWinner = 0;
        for (int tick = 1; tick <= 120; ++tick) {
            positions = raceStep(positions, Player2Narrowly, 4, 7, 1);
            winner = decideWinner(winner, positions, Player2Narrowly);
            if (firstWinner == 0)
                firstWinner = winner;
            QCOMPARE(winner, firstWinner);
        }
        QCOMPARE(winner, 1);
    }
};

QTEST_APPLESS_MAIN(TestRaceModel)
#include "tst_racemodel.moc"
