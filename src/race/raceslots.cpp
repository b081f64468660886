// Preparing a race and moving the horses.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "platform/log.h"
#include "race/rules/racemodel.h"
#include "race/rules/raceweight.h"

namespace {

int ownRaceWeight() { return raceWeight(attributesOf(gs)); }

// What every race starts from, whoever plays it, before its screen is shown.
void prepareRace(int demoRace)
{
    gs.shownMode = 0;
    gs.pos1 = gs.pos2 = 0;
    gs.winner = 0;
    gs.resultKnown = 0;
    gs.winScenario = gs.racePattern = 0;
    gs.demoRace = demoRace;
    // A network race sets its clock and scroll when both devices have agreed to race.
    if (demoRace == 1) {
        gs.raceTick = 0;
        gs.backgroundOffset = gs.lastPos1 = 0;
        gs.isServer = 1; // against the computer the own horse is always player 1
        gs.serverAccepting = 0;
    }
}

}

void Trotix::change2server()
{
    prepareRace(0);
    showScreen(ModeServerAsk);
}

void Trotix::change2client()
{
    prepareRace(0);
    showScreen(ModeClientAsk);
}

void Trotix::change2racedemo()
{
    prepareRace(1);
    showScreen(ModeDemoRace);
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
