// Choosing what the horse does. A choice only records the new mode and tidies the screen; the
// activity itself starts at the next tick.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "platform/idmenubar.h"
#include "platform/log.h"

namespace {

// Turning back to the horse forgets a half-made network set-up.
void forgetNetworkSetUp()
{
    gs.netState = Protocol::NetIdle;
    gs.serverAccepting = 0;
}

// The widget's own background under the screen (the paint handler covers it on every repaint).
void setWidgetBackground(QWidget *widget, const QBrush &brush)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, brush);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}

void Trotix::change2idle()
{
    gs.mode = ModeIdle;
    clearScreen();
    forgetNetworkSetUp();
    logText("trotix: MenuSelect>>change to idle\n");
}

void Trotix::change2eat()
{
    gs.mode = ModeEat;
    clearScreen();
    forgetNetworkSetUp();
    logText("trotix: MenuSelect>>change to eat\n");
}

void Trotix::change2sleep()
{
    gs.mode = ModeSleep;
    clearScreen();
    forgetNetworkSetUp();
    logText("trotix: MenuSelect>>change to sleep\n");
}

void Trotix::change2run()
{
    gs.mode = ModeRun;
    setWidgetBackground(this, QBrush(Qt::white));
    clearScreen();
    forgetNetworkSetUp();
    logText("trotix: MenuSelect>>change to run\n");
}

void Trotix::change2jump()
{
    gs.mode = ModeJump;
    // The field picture, already loaded for the field background.
    setWidgetBackground(this, QBrush(m_backgd1));
    clearScreen();
    forgetNetworkSetUp();
    m_menuBar->setItemEnabled(IdHop, true);
    gs.hopItemUsed = 1;
    // Choosing Jump again while jumping keeps the block on its way.
    if (gs.shownMode != ModeJump) {
        gs.hopRequested = 0;
        gs.blockHit = 0;
        gs.blockDistance = 0;
        gs.blockActive = 0;
        gs.inAir = 0;
    }
    logText("trotix: MenuSelect>>change to jump\n");
}

void Trotix::change2status()
{
    gs.mode = ModeStatus;
    clearScreen();
    forgetNetworkSetUp();
    logText("trotix: MenuSelect>>change to status\n");
}

void Trotix::hop()
{
    // A hop in the air cannot be asked for again before the horse has landed.
    if (gs.inAir == 0)
        gs.hopRequested = 1;
    logText("trotix: MenuSelect>>press hop!\n");
}

void Trotix::swipe() { logText("trotix: MenuSelect>>press swipe!\n"); }
