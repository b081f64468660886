// Preparing a race and moving the horses.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "platform/log.h"
#include "race/rules/racemodel.h"
#include "race/rules/raceweight.h"

namespace {

int ownRaceWeight() { return raceWeight(attributesOf(gs)); }

// What every race starts from, whoever plays it. The screen is tidied by the caller.
void prepareRace(int mode, int demoRace, const char *logLine)
{
    gs.shownMode = 0;
    gs.mode = mode;
    gs.pos1 = gs.pos2 = 0;
    gs.winner = 0;
    gs.resultKnown = 0;
    gs.winScenario = gs.racePattern = 0;
    gs.demoRace = demoRace;
    if (demoRace == 1) {
        gs.raceTick = 0;
        gs.backgroundOffset = gs.lastPos1 = 0;
        gs.isServer = 1; // against the computer the own horse is always player 1
    } else {
        // A network race sets its clock and scroll when both devices have agreed to race.
        gs.netState = Protocol::NetIdle;
    }
    gs.serverAccepting = 0;
    logText("%s", logLine);
}

}

void Trotix::change2server()
{
    prepareRace(ModeServerAsk, 0, "trotix: MenuSelect>>change to server\n");
    clearScreen();
}

void Trotix::change2client()
{
    prepareRace(ModeClientAsk, 0, "trotix: MenuSelect>>change to client\n");
    clearScreen();
}

void Trotix::change2racedemo()
{
    prepareRace(ModeDemoRace, 1, "trotix: MenuSelect>>change to race demo\n");
    clearScreen();
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
