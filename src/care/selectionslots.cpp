// Choosing what the horse does. A choice only records the new mode and tidies the screen; the
// activity itself starts at the next tick.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "platform/idmenubar.h"
#include "platform/log.h"

void Trotix::change2idle() { showScreen(ModeIdle); }

void Trotix::change2eat() { showScreen(ModeEat); }

void Trotix::change2sleep() { showScreen(ModeSleep); }

void Trotix::change2run() { showScreen(ModeRun); }

void Trotix::change2jump()
{
    showScreen(ModeJump);
    m_menuBar->setItemEnabled(IdHop, true);
    gs.shell.hopItemUsed = 1;
    // Choosing Jump again while jumping keeps the block on its way.
    if (gs.shell.shownMode != ModeJump) {
        gs.care.hopRequested = 0;
        gs.care.block = BlockTrack{};
        gs.care.inAir = 0;
    }
}

void Trotix::change2status() { showScreen(ModeStatus); }

void Trotix::hop()
{
    // A hop in the air cannot be asked for again before the horse has landed.
    if (gs.care.inAir == 0)
        gs.care.hopRequested = 1;
    logText("trotix: MenuSelect>>press hop!\n");
}

void Trotix::swipe() { logText("trotix: MenuSelect>>press swipe!\n"); }
