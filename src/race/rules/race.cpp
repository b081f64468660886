#include "race/rules/race.h"

void takePositions(Race &race, RacePositions positions, int winner)
{
    race.positions = positions;
    race.winner = winner;
}

void meetOpponent(Race &race, const QString &name) { race.opponentName = name; }

void meetChallenger(Race &race, const QString &name, int weight)
{
    race.opponentName = name;
    race.challengerWeight = weight;
}

void raceOff(Race &race) { race.raceTick = RaceClock::off; }

void enterCourse(Race &race, bool ownIsPlayer1)
{
    race.raceTick = RaceClock::start;
    (ownIsPlayer1 ? race.lastPos1 : race.lastPos2) = 0;
}

void rewind(Race &race)
{
    race.raceTick = RaceClock::start;
    race.gallopFrame = 1;
    race.positions = {0, 0};
}
