#pragma once
// The one record of the game's variables, a record for each part of the game: the horse, the shell
// (the mode numbers that drive the tick), care, the race and the network session. No widget,
// picture or timer: those are the main widget's. There is exactly one, with static storage (`gs`).
#include "care/rules/block.h"
#include "game/rules/horse.h"
#include "net/rules/netsession.h"
#include "race/rules/race.h"

#include <QString>

// Mode numbers: what the tick does. The care activities, then the screens, then the races: the
// server's, the client's and the one against the computer.
// clang-format off
enum Mode : int {
    ModeNaming = 0, ModeIdle = 1, ModeEat = 2, ModeSleep = 3, ModeRun = 4, ModeJump = 5,
    ModeStatus = 9, ModeAbout = 10,
    ModeServerAsk = 20, ModeServerWait = 21, ModeServerRace = 30,
    ModeClientAsk = 40, ModeClientConnect = 41, ModeClientRace = 50,
    ModeDemoRace = 60,
};
// clang-format on

// What each screen is painted over (setupBackgd).
enum Background : int {
    BackgroundField = 1,  // the scrolling field strip: naming, the activities, the set-up screens
    BackgroundStatus = 2, // the status picture
    BackgroundPlain = 3,  // plain white: the about screen
    BackgroundCourse = 4, // the scrolling race-course strip
};

// Menu item ids, a row for each menu: Race (and About), then Action.
// clang-format off
enum MenuId : int {
    IdServer = 81, IdClient = 82, IdComputer = 83, IdAbout = 84,
    IdIdle = 91, IdEat = 92, IdSleep = 93, IdRun = 94, IdJump = 95, IdStatus = 96, IdHop = 98,
};
// clang-format on

// Every item but the two pop-up titles and Hop!, in the order they are enabled.
inline constexpr int activityGroup[] = {IdServer, IdClient, IdComputer, IdAbout, IdIdle,
                                        IdEat,    IdSleep,  IdRun,      IdJump,  IdStatus};

// The shell: which screen, the life tick, and what this session may do with the save.
struct Shell
{
    int mode = ModeIdle;
    int shownMode = ModeIdle;
    int tickCount = 0;
    int attrFileValid = 0;
    // Empty while this session may write the save; else why it may not for the whole session (its
    // file could not be read), as the player is told once.
    QString noSaveReason;
    // Empty while this session holds the lock beside the save; else why it could not be taken (a
    // full disk at the start), as the player is told once: each tenth tick tries it again.
    QString noLockReason;
    char attrProbe[20] = {};
    int hopItemUsed = 0;
    int isServer = 1;
    // The attributes as this session found them, for the book's changes since then.
    Attributes sessionStart = firstHorse.attributes;
};

// The care activities.
struct Care
{
    int animStep = 1;    // the frame of the activity's loop, from 1
    int actionTicks = 0; // ticks the activity has run, from 0 when it is chosen
    // How far the scenery strip has scrolled; the race course scrolls the same strip.
    int backgroundOffset = 0;
    int hopRequested = 0; // Hop! was chosen and the horse has not jumped yet
    int inAir = 0;
    BlockTrack block;
};

struct GameState
{
    Horse horse = firstHorse;
    Shell shell;
    Care care;
    Race race;
    NetSession net;

    // The process's record makes the one client socket, after the race's two names; a plain
    // record (a fresh copy for a new game in tests) makes none.
    enum class MakeClientSocket { No, Yes };
    explicit GameState(MakeClientSocket make = MakeClientSocket::No);
};

extern GameState gs;

// This session may not write the save, for `why` (a line the player is told).
void forbidSaving(GameState &state, const QString &why);
// Nor may it until it holds the lock beside the save, which could not be taken for `why`; and the
// lock is this session's at last.
void forbidSavingUntilLocked(GameState &state, const QString &why);
void lockTaken(GameState &state);
// Whether this session may write the save and the files beside it.
bool maySave(const GameState &state);
