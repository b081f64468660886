#include "race/rules/raceclock.h"

#include "race/rules/racemodel.h"

RaceSide raceSide(int isServer, int demoRace)
{
    if (isServer != 1)
        return RaceSide::Client;
    return demoRace == 1 ? RaceSide::Computer : RaceSide::Server;
}

bool givesStartSignal(int raceTick, RaceSide side)
{
    return raceTick == RaceClock::startSignal && side == RaceSide::Client;
}

int raceTickAfterFrame(int raceTick, RaceSide side)
{
    if (raceTick == RaceClock::startSignal && side == RaceSide::Server)
        return raceTick;
    if ((raceTick >= RaceClock::start && raceTick <= RaceClock::lastStartFrame)
        || (raceTick >= RaceClock::firstResult && raceTick <= RaceClock::lastResult))
        return raceTick + 1;
    return raceTick;
}

int raceTickAfterFinish(int raceTick, int pos1, int pos2)
{
    if (pos1 > finishLine && pos2 > finishLine && raceTick < RaceClock::firstResult)
        return RaceClock::firstResult;
    return raceTick;
}

bool raceOver(int raceTick) { return raceTick > RaceClock::lastResult; }

bool horsesRun(int raceTick) { return raceTick > RaceClock::lastStartFrame; }

bool showsResult(int raceTick) { return raceTick >= RaceClock::firstResult && raceTick <= RaceClock::lastResult; }
