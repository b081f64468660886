// Preparing a race and moving the horses.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "platform/log.h"
#include "race/racemodel.h"
#include "race/raceweight.h"

namespace {

int ownRaceWeight() { return raceWeight(gs.age, gs.muscle, gs.fat, gs.power, gs.spirit); }

// What every race starts from, whoever plays it.
void resetRace(int mode)
{
    gs.shownMode = 0;
    gs.mode = mode;
    gs.pos1 = gs.pos2 = 0;
    gs.winner = 0;
    gs.winScenario = gs.racePattern = 0;
}

}

void Trotix::change2server()
{
    resetRace(ModeServerAsk);
    gs.demoRace = 0;
    gs.netState = 0;
    clearScreen();
    gs.serverAccepting = 0;
    logText("trotix: MenuSelect>>change to server\n");
}

void Trotix::change2client()
{
    resetRace(ModeClientAsk);
    gs.demoRace = 0;
    gs.netState = 0;
    clearScreen();
    gs.serverAccepting = 0;
    logText("trotix: MenuSelect>>change to client\n");
}

void Trotix::change2racedemo()
{
    resetRace(ModeDemoRace);
    gs.demoRace = 1;
    gs.raceTick = 0;
    gs.backgroundOffset = gs.lastPos1 = 0;
    gs.isServer = 1; // against the computer the own horse is always player 1
    clearScreen();
    gs.serverAccepting = 0;
    logText("trotix: MenuSelect>>change to race demo\n");
}

void Trotix::calculatePos()
{
    if (gs.racePattern == 0) {
        gs.winScenario = scenarioFromWeights(ownRaceWeight(), gs.challengerWeight);
        gs.racePattern = drawPattern(gs.winScenario);
        logText("trotix: *** Win Scenario = %d\n", gs.winScenario);
        logText("trotix: *** Race Pattern = %d\n", gs.racePattern);
    }
    demoPos();
    finalizePos();
}

void Trotix::computerPos()
{
    if (gs.racePattern == 0) {
        const Opponent &opponent = opponents[drawOpponent()];
        gs.winScenario = opponent.scenario;
        gs.opponentName = QString::fromLatin1(opponent.name);
        gs.racePattern = drawPattern(gs.winScenario);
    }
    demoPos();
    finalizePos();
}

void Trotix::demoPos()
{
    const int bonus = demoBonus(gs.demoRace, ownRaceWeight());
    const RacePositions next = raceStep({gs.pos1, gs.pos2}, gs.winScenario, gs.racePattern, gs.raceTick, bonus);
    gs.pos1 = next.pos1;
    gs.pos2 = next.pos2;
}

void Trotix::finalizePos() { gs.winner = decideWinner(gs.winner, {gs.pos1, gs.pos2}, gs.winScenario); }
