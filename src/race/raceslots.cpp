// Preparing a race and moving the horses.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "platform/log.h"
#include "race/rules/race.h"
#include "race/rules/racemodel.h"
#include "race/rules/raceweight.h"

namespace {

int ownRaceWeight() { return raceWeight(gs.horse.attributes); }

// What every race starts from, whoever plays it, before its screen is shown.
void prepareRace(int demoRace)
{
    gs.shell.shownMode = 0;
    gs.race.positions = {0, 0};
    gs.race.winner = 0;
    Protocol::raceStarts(gs.net, demoRace == 1);
    gs.race.winScenario = gs.race.racePattern = 0;
    gs.race.demoRace = demoRace;
    // A network race sets its clock and scroll when both devices have agreed to race.
    if (demoRace == 1) {
        gs.shell.isServer = 1; // against the computer the own horse is always player 1
        enterCourse(gs.race, true);
        gs.care.backgroundOffset = 0;
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
    if (gs.race.racePattern == 0) {
        gs.race.winScenario = scenarioFromWeights(ownRaceWeight(), gs.race.challengerWeight);
        gs.race.racePattern = drawPattern(gs.race.winScenario);
        logText("trotix: *** Win Scenario = %d\n", gs.race.winScenario);
        logText("trotix: *** Race Pattern = %d\n", gs.race.racePattern);
    }
    demoPos();
    finalizePos();
}

void Trotix::computerPos()
{
    if (gs.race.racePattern == 0) {
        const Opponent &opponent = opponents[drawOpponent()];
        gs.race.winScenario = opponent.scenario;
        gs.race.opponentName = QString::fromLatin1(opponent.name);
        gs.race.racePattern = drawPattern(gs.race.winScenario);
    }
    demoPos();
    finalizePos();
}

void Trotix::demoPos()
{
    const int bonus = demoBonus(gs.race.demoRace, ownRaceWeight());
    gs.race.positions = raceStep(gs.race.positions, gs.race.winScenario, gs.race.racePattern, gs.race.raceTick, bonus);
}

void Trotix::finalizePos() { gs.race.winner = decideWinner(gs.race.winner, gs.race.positions, gs.race.winScenario); }
