// The one-second tick: bookkeeping, then exactly one thing chosen by the mode number, as the
// table below says.
#include "app/trotix.h"
#include "app/gamesound.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "game/racerecord.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "race/rules/raceclock.h"

// One row of the dispatch: what the tick logs, paints and calls for a mode.
struct Trotix::TickRow
{
    int mode;
    const char *log;
    int background;
    void (Trotix::*step)();        // the screen; in a race, the step that moves the horses
    void (*prepare)(Trotix &);     // what the mode sets before its screen, if anything
    void (Trotix::*raceEnd)();     // a race: how its connection ends with it (nullptr: none)
    bool race;
};

void Trotix::liveSlot()
{
    if (tickHeld())
        return;
    tick();
    const bool racing = gs.mode == ModeServerRace || gs.mode == ModeClientRace || gs.mode == ModeDemoRace;
    m_sound->keepLoop(loopAfterTick(gs.mode == ModeRun, racing, gs.raceTick));
}

void Trotix::tick()
{
    gs.tickCount += 1;
    QString saveError;
    if (gs.tickCount % 10 == 0 && !saveNamedHorse(gs, Paths::attrFile(), &saveError) && !saveError.isEmpty())
        tellSaveFailure(saveError);
    if (m_noticeTicks > 0 && --m_noticeTicks == 0)
        update();
    gs.actionTicks = gs.shownMode == gs.mode ? gs.actionTicks + 1 : 0;
    if (gs.mode != ModeJump && gs.hopItemUsed == 1)
        m_menuBar->setItemEnabled(IdHop, false);

    static const TickRow rows[] = {
        {ModeNaming, "trotix: Action>>Naming()\n", BackgroundField, &Trotix::naming, nullptr, nullptr, false},
        {ModeIdle, "trotix: Action>>call idle()\n", BackgroundField, &Trotix::idle, nullptr, nullptr, false},
        {ModeEat, "trotix: Action>>call eat()\n", BackgroundField, &Trotix::eat, nullptr, nullptr, false},
        {ModeSleep, "trotix: Action>>call sleep()\n", BackgroundField, &Trotix::sleep, nullptr, nullptr, false},
        {ModeRun, "trotix: Action>>call run()\n", BackgroundField, &Trotix::run, nullptr, nullptr, false},
        {ModeJump, "trotix: Action>>call jump()\n", BackgroundField, &Trotix::jump, nullptr, nullptr, false},
        {ModeStatus, "trotix: Action>>call status()\n", BackgroundStatus, &Trotix::status, nullptr, nullptr, false},
        {ModeAbout, "trotix: Action>>about()\n", BackgroundPlain, &Trotix::about, nullptr, nullptr, false},
        {ModeServerAsk, "trotix: Action>>askServer()\n", BackgroundField, &Trotix::askServer,
         [](Trotix &) { gs.isServer = 1; }, nullptr, false},
        {ModeServerWait, "trotix: Action>>startServer()\n", BackgroundField, &Trotix::startServer,
         [](Trotix &t) {
             t.setActivityGroupEnabled(false);
             gs.serverAccepting = 1;
         },
         nullptr, false},
        {ModeServerRace, "trotix: Action>>Display Server's RaceCourse()\n", BackgroundCourse, &Trotix::calculatePos,
         nullptr, &Trotix::destroyServerConnection, true},
        {ModeClientAsk, "trotix: Action>>askClient()\n", BackgroundField, &Trotix::askClient,
         [](Trotix &) {
             gs.askPosReady = 1;
             gs.isServer = 0;
         },
         nullptr, false},
        {ModeClientConnect, "trotix: Action>>startClient()\n", BackgroundField, &Trotix::startClient,
         [](Trotix &t) { t.setActivityGroupEnabled(false); }, nullptr, false},
        {ModeClientRace, "trotix: Action>>Display Client's RaceCourse()\n", BackgroundCourse, &Trotix::getPos, nullptr,
         &Trotix::closeClientSocket, true},
        {ModeDemoRace, "trotix: Action>>Display Demo RaceCourse()\n", BackgroundCourse, &Trotix::computerPos, nullptr,
         nullptr, true},
    };
    watchConnection();
    // Any other mode: the bookkeeping only.
    for (const TickRow &row : rows) {
        if (row.mode != gs.mode)
            continue;
        if (row.race) {
            raceFrame(row);
        } else {
            logText("%s", row.log);
            if (row.prepare)
                row.prepare(*this);
            setupBackgd(row.background);
            (this->*row.step)();
        }
        break;
    }
    syncLan();
}

// A race frame. The race's last frame is still drawn on the tick it ends (the idle screen
// follows a tick later); the computer's race moves before the course is drawn, on every tick,
// a network race after the course furniture once the horses are off.
void Trotix::raceFrame(const TickRow &row)
{
    gs.shownMode = row.mode;
    logText("%s", row.log);
    if (raceOver(gs.raceTick)) {
        recordFinishedRace(gs);
        if (row.raceEnd)
            (this->*row.raceEnd)();
        change2idle();
    }
    gs.raceTick = raceTickAfterFinish(gs.raceTick, gs.pos1, gs.pos2);
    const bool againstComputer = row.mode == ModeDemoRace;
    if (againstComputer)
        (this->*row.step)();
    setupBackgd(row.background);
    setupObjects();
    if (!againstComputer && horsesRun(gs.raceTick))
        (this->*row.step)();
    putHorse(gs.pos1, gs.pos2);
}

void Trotix::goodBye() { close(); }

void Trotix::isdummy() {}
