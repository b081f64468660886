// The one-second tick: bookkeeping, then exactly one thing chosen by the mode number.
#include "app/trotix.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "game/racerecord.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"

namespace {

// Both horses past the finish: the race clock jumps to the result phase.
void resultJump()
{
    if (gs.pos1 > 2000 && gs.pos2 > 2000 && gs.raceTick < 20)
        gs.raceTick = 20;
}

// The race's last tick, once per race: the result it showed goes into the horse's race record.
bool raceOver()
{
    if (gs.raceTick <= 30)
        return false;
    recordFinishedRace(gs);
    return true;
}

}

void Trotix::liveSlot()
{
    if (tickHeld())
        return;
    gs.tickCount += 1;
    if (gs.tickCount % 10 == 0)
        saveNamedHorse(gs, Paths::attrFile());
    gs.actionTicks = gs.shownMode == gs.mode ? gs.actionTicks + 1 : 0;
    if (gs.mode != ModeJump && gs.hopItemUsed == 1)
        gs.menuBar->setItemEnabled(IdHop, false);

    switch (gs.mode) {
    case ModeNaming:
        logText("trotix: Action>>Naming()\n");
        setupBackgd(1);
        naming();
        break;
    case ModeIdle:
        logText("trotix: Action>>call idle()\n");
        setupBackgd(1);
        idle();
        break;
    case ModeEat:
        logText("trotix: Action>>call eat()\n");
        setupBackgd(1);
        eat();
        break;
    case ModeSleep:
        logText("trotix: Action>>call sleep()\n");
        setupBackgd(1);
        sleep();
        break;
    case ModeRun:
        logText("trotix: Action>>call run()\n");
        setupBackgd(1);
        run();
        break;
    case ModeJump:
        logText("trotix: Action>>call jump()\n");
        setupBackgd(1);
        jump();
        break;
    case ModeStatus:
        logText("trotix: Action>>call status()\n");
        setupBackgd(2);
        status();
        break;
    case ModeAbout:
        logText("trotix: Action>>about()\n");
        setupBackgd(3);
        about();
        break;
    case ModeServerAsk:
        gs.isServer = 1;
        logText("trotix: Action>>askServer()\n");
        setupBackgd(1);
        askServer();
        break;
    case ModeServerWait:
        logText("trotix: Action>>startServer()\n");
        setActivityGroupEnabled(false);
        setupBackgd(1);
        gs.serverAccepting = 1;
        startServer();
        break;
    case ModeServerRace:
        gs.shownMode = ModeServerRace;
        logText("trotix: Action>>Display Server's RaceCourse()\n");
        if (raceOver()) {
            destroyServerConnection();
            change2idle();
        }
        resultJump();
        setupBackgd(4);
        setupObjects();
        if (gs.raceTick > 6)
            calculatePos();
        putHorse(gs.pos1, gs.pos2);
        break;
    case ModeClientAsk:
        gs.askPosReady = 1;
        gs.isServer = 0;
        logText("trotix: Action>>askClient()\n");
        setupBackgd(1);
        askClient();
        break;
    case ModeClientConnect:
        logText("trotix: Action>>startClient()\n");
        setActivityGroupEnabled(false);
        setupBackgd(1);
        startClient();
        break;
    case ModeClientRace:
        gs.shownMode = ModeClientRace;
        logText("trotix: Action>>Display Client's RaceCourse()\n");
        if (raceOver()) {
            closeClientSocket();
            change2idle();
        }
        resultJump();
        setupBackgd(4);
        setupObjects();
        if (gs.raceTick > 6)
            getPos();
        putHorse(gs.pos1, gs.pos2);
        break;
    case ModeDemoRace:
        gs.shownMode = ModeDemoRace;
        logText("trotix: Action>>Display Demo RaceCourse()\n");
        if (raceOver())
            change2idle();
        resultJump();
        computerPos();
        setupBackgd(4);
        setupObjects();
        putHorse(gs.pos1, gs.pos2);
        break;
    default:
        break;
    }
}

void Trotix::goodBye() { close(); }

void Trotix::isdummy() {}
