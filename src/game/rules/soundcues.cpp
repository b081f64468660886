#include "game/rules/soundcues.h"

#include "race/rules/raceclock.h"

#include <iterator>

namespace {

// In the enum's order: a cue added without its file does not compile.
constexpr const char *soundFiles[] = {"",           "hooves.wav", "hop.wav",       "fall.wav",
                                      "crunch.wav", "snore.wav",  "startbell.wav", "win.wav",
                                      "loss.wav",   "chime.wav",  "named.wav"};
static_assert(std::size(soundFiles) == soundCueCount);

}

QLatin1String soundFileName(SoundCue cue) { return QLatin1String(soundFiles[int(cue)]); }

SoundCue loopAfterTick(bool running, bool racing, int raceTick)
{
    if (running || (racing && horsesRun(raceTick) && raceTick < RaceClock::firstResult))
        return SoundCue::Hooves;
    return SoundCue::None;
}

SoundCue raceFrameCue(int raceTick, int winner, int isServer)
{
    if (raceTick == RaceClock::off)
        return SoundCue::StartBell;
    if (raceTick != RaceClock::firstResult)
        return SoundCue::None;
    // The local horse is player 1 on the server and against the computer, player 2 on the client.
    if (winner == (isServer == 1 ? 1 : 2))
        return SoundCue::Win;
    return winner == 1 || winner == 2 ? SoundCue::Loss : SoundCue::None;
}

SoundCue eatFrameCue(int animStep) { return animStep % 2 == 1 ? SoundCue::Crunch : SoundCue::None; }

SoundCue sleepFrameCue(int animStep) { return animStep % 2 == 1 ? SoundCue::Snore : SoundCue::None; }
