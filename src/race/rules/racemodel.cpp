#include "race/rules/racemodel.h"

#include "platform/rules/random.h"
#include "race/rules/raceclock.h"

#include <climits>

namespace {

// The draw thresholds: a draw counts as a success when it is strictly above its threshold.
constexpr int narrowOpponentThreshold = 1495000000;
constexpr int clearComputerThreshold = 1500000000;
constexpr int narrowPatternThreshold = 1500000000;
constexpr int clearPattern2Threshold = 1450000000;
constexpr int clearPattern3Threshold = 1500000000;
constexpr int tieThreshold = 1600000000;

// Indexes into `opponents`.
constexpr int kingOfPda = 0, embeddedStar = 1, joxIsTheBest = 2, superFast = 3;

// Run-out, once the leader is past every row (beyond 2050): the leader trots on, the follower
// too once it is this far.
constexpr int runOutTrot = 10;
constexpr int followerRunOutFrom = 2049;

int saturatingAdd(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    if (sum > INT_MAX)
        return INT_MAX;
    if (sum < INT_MIN)
        return INT_MIN;
    return static_cast<int>(sum);
}

struct Gains
{
    int leader;
    int follower;
};

Gains gainsFor(const RacePattern &pattern, int leader, int follower)
{
    for (std::size_t i = 0; i < pattern.rowCount; ++i) {
        const PatternRow &row = pattern.rows[i];
        if (leader <= row.leaderUpTo)
            return {row.leaderGain, row.followerGain};
    }
    if (follower > followerRunOutFrom)
        return {runOutTrot, runOutTrot};
    return {runOutTrot, pattern.runOutGain};
}

}

int drawOpponent()
{
    int chosen = kingOfPda;
    if (gameRand() > narrowOpponentThreshold)
        chosen = embeddedStar;
    if (gameRand() > clearComputerThreshold)
        chosen = joxIsTheBest;
    if (gameRand() > narrowOpponentThreshold)
        chosen = superFast;
    return chosen;
}

int drawPattern(int scenario)
{
    switch (scenario) {
    case Player1Narrowly:
    case Player2Narrowly: return gameRand() > narrowPatternThreshold ? 4 : 5;
    case Player1Clearly:
    case Player2Clearly: {
        int pattern = 1;
        if (gameRand() > clearPattern2Threshold)
            pattern = 2;
        if (gameRand() > clearPattern3Threshold)
            pattern = 3;
        return pattern;
    }
    default: return 0;
    }
}

int scenarioFromWeights(int own, int other)
{
    // Both divisions below have a positive divisor no larger than the dividend, so neither can
    // divide by zero nor overflow.
    if (own > other) {
        if (other <= 0)
            return Player1Clearly;
        return own / other > 2 ? Player1Clearly : Player1Narrowly;
    }
    if (own < other) {
        if (own <= 0)
            return Player2Clearly;
        return other / own > 2 ? Player2Clearly : Player2Narrowly;
    }
    return gameRand() > tieThreshold ? Player1Narrowly : Player2Narrowly;
}

bool player2Leads(int scenario) { return scenario == Player2Clearly || scenario == Player2Narrowly; }

int demoBonus(int demoRace, int ownRaceWeight) { return demoRace == 1 ? ownRaceWeight / 100 : 0; }

RacePositions raceStep(RacePositions positions, int scenario, int pattern, int raceTick, int bonus)
{
    if (!horsesRun(raceTick))
        return positions;
    const bool swap = player2Leads(scenario);
    int leader = swap ? positions.pos2 : positions.pos1;
    int follower = swap ? positions.pos1 : positions.pos2;
    if (pattern >= 1 && pattern <= 5) {
        const Gains gains = gainsFor(racePatterns[pattern - 1], leader, follower);
        leader = saturatingAdd(leader, gains.leader);
        follower = saturatingAdd(follower, gains.follower);
    }
    RacePositions next = swap ? RacePositions{follower, leader} : RacePositions{leader, follower};
    next.pos1 = saturatingAdd(next.pos1, bonus);
    return next;
}

int decideWinner(int winner, RacePositions positions, int scenario)
{
    if (winner != 0)
        return winner;
    const bool first = positions.pos1 >= finishLine;
    const bool second = positions.pos2 >= finishLine;
    if (first && second)
        return scenario == Player1Clearly || scenario == Player1Narrowly ? 1 : 2;
    if (first)
        return 1;
    if (second)
        return 2;
    return 0;
}
