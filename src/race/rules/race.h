#pragma once
// The race record: the clock, both horses, who wins and how, and the two names on the course.
// Only the race's own code writes it, and the tick; the network hands what it learns over through
// the calls below.
#include "race/rules/racemodel.h"

#include <QString>

struct Race
{
    // The two names come first: they are built during static initialisation, before the socket.
    QString opponentName = QStringLiteral("My Challenger");
    QString myName = QStringLiteral("My Horse");
    int raceTick = 0;
    RacePositions positions = {0, 0};
    int winner = 0;
    int racePattern = 0;
    int winScenario = 0;
    int demoRace = 0;
    int challengerWeight = 0;
    int gallopFrame = 1;
    // Each horse's position on the last frame, for how far the course scrolls: from 0 in a new race.
    int lastPos1 = 0;
    int lastPos2 = 0;
};

// The client's answer from the host: where both horses are, and the winner once there is one.
void takePositions(Race &race, RacePositions positions, int winner);
// The other game's horse, as its name line or name reply gave it; the host also learns its weight.
void meetOpponent(Race &race, const QString &name);
void meetChallenger(Race &race, const QString &name, int weight);
// "GOGOGO": the host's judge raises the flag.
void raceOff(Race &race);
// Both games agreed: the clock starts and the own horse (player 1 on the host) from the start line.
void enterCourse(Race &race, bool ownIsPlayer1);
// The network race was left: the next one starts from a standing clock at the start line.
void rewind(Race &race);
