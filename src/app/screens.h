#pragma once
// The screen table's row: everything the game knows about one screen. The tick, the picture
// loading, the change of screen (showScreen) and the pause all read it; a new screen is a mode, a
// row and a slot that paints it.
#include "app/picturetable.h"
#include "app/trotix.h"
#include "game/gamestate.h"

#include <vector>

// What a change to the screen leaves up, and what else the screen is.
enum ScreenKeeps : int {
    KeepsNothing = 0,
    OpensActivities = 1, // the activity menu items are enabled again (idle)
    KeepsOk = 2,         // OK stays: it leads back (about)
    IsQuestion = 4,      // CONFIRM and CANCEL stay while it is redrawn, and Escape is CANCEL
    KeepsAddress = 8,    // the address field and the games found stay
    ForgetsSetUp = 16,   // chosen from the menu, it drops a half-made network set-up
};

struct Trotix::Screen
{
    int mode;
    const char *log;     // the tick's line
    const char *menuLog; // the line of the menu item that shows it (nullptr: none)
    Background background;
    int widgetBackground;      // what a repaint shows under it: BackgroundPlain (white), BackgroundField, 0: as it was
    void (Trotix::*step)();    // the screen; in a race, the step that moves the horses
    void (*prepare)(Trotix &); // what the mode sets before its screen, if anything
    void (Trotix::*raceEnd)(); // a race: how its connection ends with it (nullptr: none)
    bool race;                 // a race course, drawn frame by frame by raceFrame()
    bool network; // a network race's, question to result: never paused, as the other device keeps its clock
    int keeps;    // ScreenKeeps
    std::vector<Picture> pictures; // what it draws, decoded when it is first drawn
};
