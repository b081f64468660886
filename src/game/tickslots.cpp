// The one-second tick: bookkeeping, then exactly one thing chosen by the mode number, as the
// screen table (app/screenslots.cpp) says.
#include "app/gamesound.h"
#include "app/screens.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "game/racerecord.h"
#include "net/rules/protocol.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/savelock.h"
#include "race/rules/raceclock.h"

void Trotix::liveSlot()
{
    if (tickHeld())
        return;
    tick();
    const Screen *row = screenOf(gs.shell.mode);
    // A race standing still for its lost partner is silent.
    const bool racing = row && row->race && !partnerGone();
    m_sound->keepLoop(loopAfterTick(gs.shell.mode == ModeRun, racing, gs.race.raceTick));
}

void Trotix::tick()
{
    gs.shell.tickCount += 1;
    if (gs.shell.tickCount % 10 == 0) {
        const bool locked = takeSaveLock();
        QString saveError;
        if (!saveNamedHorse(gs, Paths::attrFile(), &saveError) && !saveError.isEmpty())
            tellSaveFailure(saveError);
        else if (locked)
            showNotice(QStringLiteral("Saving works again: your horse is saved every ten seconds."));
    }
    if (m_noticeTicks > 0 && --m_noticeTicks == 0)
        update();
    gs.care.actionTicks = gs.shell.shownMode == gs.shell.mode ? gs.care.actionTicks + 1 : 0;
    if (gs.shell.mode != ModeJump && gs.shell.hopItemUsed == 1)
        m_menuBar->setItemEnabled(IdHop, false);

    watchConnection();
    // Any other mode: the bookkeeping only.
    if (const Screen *row = screenOf(gs.shell.mode)) {
        if (row->race) {
            raceFrame(*row);
        } else {
            logText("%s", row->log);
            if (row->prepare)
                row->prepare(*this);
            setupBackgd(row->background);
            (this->*row->step)();
        }
    }
    syncLan();
}

// A race frame. The race's last frame is still drawn on the tick it ends (the idle screen
// follows a tick later); the computer's race moves before the course is drawn, on every tick,
// a network race after the course furniture once the horses are off.
void Trotix::raceFrame(const Screen &row)
{
    gs.shell.shownMode = row.mode;
    logText("%s", row.log);
    if (partnerGone()) {
        partnerGoneFrame(row);
        return;
    }
    if (raceOver(gs.race.raceTick)) {
        recordFinishedRace(gs);
        if (row.raceEnd)
            (this->*row.raceEnd)();
        change2idle();
    }
    gs.race.raceTick = raceTickAfterFinish(gs.race.raceTick, gs.race.positions.pos1, gs.race.positions.pos2);
    const bool againstComputer = row.mode == ModeDemoRace;
    if (againstComputer)
        (this->*row.step)();
    setupBackgd(row.background);
    setupObjects();
    if (!againstComputer && horsesRun(gs.race.raceTick))
        (this->*row.step)();
    offerRaceAgain(row.network && showsResult(gs.race.raceTick) && gs.net.resultKnown == 1);
    putHorse(gs.race.positions.pos1, gs.race.positions.pos2);
}

// The partner left before the result: the course as it stood, under the banner that says so, on
// four ticks (netState counting through the failure's states, as a progress screen counts them),
// then the horse. The race counts on neither record.
void Trotix::partnerGoneFrame(const Screen &row)
{
    setupBackgd(row.background);
    setupObjects();
    putHorse(gs.race.positions.pos1, gs.race.positions.pos2);
    if (++gs.net.netState < Protocol::NetLostOver)
        return;
    (this->*row.raceEnd)();
    change2idle();
}

bool Trotix::takeSaveLock()
{
    if (!m_saveLock || gs.shell.noLockReason.isEmpty())
        return false;
    const QString save = Paths::attrFile();
    switch (m_saveLock->acquire()) {
    case SaveLock::Result::Held:
        logText("trotix: The save %s.lock is made at last; this session saves from now on.\n", qPrintable(save));
        lockTaken(gs);
        removeLeftoverSaves();
        return true;
    case SaveLock::Result::HeldByOther:
        // A game started meanwhile plays this horse and saves it: this one never will.
        logText("trotix: Another Trotix (process %lld) now plays the horse in %s; this session will not save.\n",
                static_cast<long long>(m_saveLock->holderPid()), qPrintable(save));
        m_saveLock = nullptr;
        showNotice(QStringLiteral("Another Trotix is playing this horse now.\nThis session will not be saved."));
        return false;
    case SaveLock::Result::Failed: return false; // said at the start; the next save tries again
    }
    return false;
}

void Trotix::goodBye() { close(); }

void Trotix::isdummy() {}
