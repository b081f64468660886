#pragma once
// The race itself, without a screen: the computer opponents, the five race patterns, the draws
// that pick them, the scenario from two race weights, one step of both horses and the winner rule.
// A position is in half-metres: 0 at the start, 2000 at the finish.
#include "race/rules/raceclock.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

// Win scenarios: which horse the race favours, and how clearly.
enum WinScenario : int {
    ScenarioNone = 0,
    Player1Clearly = 1,
    Player1Narrowly = 2,
    Player2Clearly = 3,
    Player2Narrowly = 4,
};

constexpr int finishLine = 2000;

// ---- Computer opponents -------------------------------------------------------------------

// A name fills a 16-byte slot: 15 characters padded with blanks, then the NUL.
struct Opponent
{
    char name[16];
    int scenario;
};

constexpr Opponent opponents[] = {
    {"KING OF PDA    ", Player1Clearly},  // the own horse is favoured clearly
    {"EMBEDDED STAR  ", Player1Narrowly}, // the own horse is favoured narrowly
    {"JOX IS THE BEST", Player2Clearly},  // the computer is favoured clearly
    {"SUPER FAST     ", Player2Narrowly}, // the computer is favoured narrowly
};

// Three draws, always all three; a later success overrides an earlier one.
// Returns the index into `opponents`.
int drawOpponent();

// ---- Race patterns --------------------------------------------------------------------------

// One row applies while the leader's position is at most `leaderUpTo` (and above the previous
// row's bound); the first matching row wins.
struct PatternRow
{
    int leaderUpTo;
    int leaderGain;
    int followerGain;
};

struct RacePattern
{
    const PatternRow *rows;
    std::size_t rowCount;
    // Beyond the last row the leader only trots on (+10) while the follower catches up by this
    // much, until both are past 2049 and trot on together.
    int runOutGain;
};

// Patterns 1 to 3 are clear wins, 4 and 5 narrow ones.
constexpr PatternRow pattern1Rows[] = {
    {200, 30, 30}, {400, 32, 31}, {600, 33, 33}, {800, 35, 34}, {1100, 36, 36}, {1300, 38, 37}, {2050, 48, 40},
};
constexpr PatternRow pattern2Rows[] = {
    {200, 30, 30}, {400, 32, 31}, {600, 33, 33}, {800, 33, 34}, {1100, 36, 34}, {1300, 38, 37}, {2050, 44, 41},
};
constexpr PatternRow pattern3Rows[] = {
    {100, 30, 30}, {400, 30, 34}, {700, 40, 28}, {1200, 40, 35}, {1600, 33, 44}, {2050, 48, 40},
};
constexpr PatternRow pattern4Rows[] = {
    {300, 30, 30}, {600, 30, 34}, {900, 34, 30}, {1200, 34, 36}, {1500, 38, 36}, {1600, 38, 38}, {2050, 42, 40},
};
constexpr PatternRow pattern5Rows[] = {
    {100, 30, 30}, {300, 30, 38}, {800, 38, 30}, {1100, 30, 38}, {1350, 42, 34}, {1600, 38, 42}, {2050, 46, 42},
};

constexpr RacePattern racePatterns[] = {
    {pattern1Rows, std::size(pattern1Rows), 40}, {pattern2Rows, std::size(pattern2Rows), 41},
    {pattern3Rows, std::size(pattern3Rows), 40}, {pattern4Rows, std::size(pattern4Rows), 40},
    {pattern5Rows, std::size(pattern5Rows), 42},
};

// The longest step a horse takes in a race between two devices (the computer's bonus plays no
// part there): the largest gain of any pattern's rows and run-out; the run-out's trot is shorter.
constexpr int largestStep = [] {
    int largest = 0;
    for (const RacePattern &pattern : racePatterns) {
        largest = std::max(largest, pattern.runOutGain);
        for (std::size_t i = 0; i < pattern.rowCount; ++i)
            largest = std::max({largest, pattern.rows[i].leaderGain, pattern.rows[i].followerGain});
    }
    return largest;
}();

// The farthest a horse gets. Past the finish it runs on to the race's last frame: twelve steps
// once both are home (the eleven result frames and the last one), and fewer than as many again
// while the other comes in; no step is longer than largestStep. A position beyond it, or below 0,
// is one no race reaches.
constexpr int farthestPosition = finishLine + 2 * (RaceClock::lastResult - RaceClock::firstResult + 2) * largestStep;

// Narrow scenarios (2, 4) draw once: pattern 4 or 5. Clear ones (1, 3) draw twice, both always:
// pattern 1, 2 or 3, the second success overriding the first. Any other scenario: 0, no draw.
int drawPattern(int scenario);

// ---- Scenario of a network race -----------------------------------------------------------

// The server's horse (own) against the challenger's (other). A ratio of 3 or more in integer
// division is a clear win for the heavier horse, less a narrow one; where the lighter weight is
// 0 or below no ratio can be formed and the heavier horse wins clearly. Equal weights draw once:
// the server is favoured narrowly about one time in four, the challenger otherwise.
int scenarioFromWeights(int own, int other);

// ---- One step, and the winner -------------------------------------------------------------

struct RacePositions
{
    int pos1;
    int pos2;
    bool operator==(const RacePositions &o) const { return pos1 == o.pos1 && pos2 == o.pos2; }
};

// The favoured horse, whose position chooses the row: player 2 in scenarios 3 and 4.
bool player2Leads(int scenario);

// What the own horse (player 1) gains on top of the pattern in a race against the computer.
int demoBonus(int demoRace, int ownRaceWeight);

// One second of racing. Nothing moves while raceTick is 6 or less; a pattern outside 1 to 5
// adds no increments. The bonus goes to player 1 after the row was chosen. Positions saturate
// instead of overflowing.
RacePositions raceStep(RacePositions positions, int scenario, int pattern, int raceTick, int bonus);

// The first horse at 2000 wins; both in the same step: the favoured one. A decided winner stays.
int decideWinner(int winner, RacePositions positions, int scenario);
