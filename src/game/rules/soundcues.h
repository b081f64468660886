#pragma once
// Which sound goes with what the tick shows. Pure: the player (app/gamesound) plays what these
// rules name, and the same rules decide the loop that must stop when its activity or race ends.
#include <QLatin1String>

enum class SoundCue : int { None, Hooves, Hop, Fall, Crunch, Snore, StartBell, Win, Loss, Chime, Named };
inline constexpr int soundCueCount = int(SoundCue::Named) + 1;

// The file a cue is played from, in the sounds folder; empty for None.
QLatin1String soundFileName(SoundCue cue);
// The one loop the game may play after a tick: the hooves while the horse runs, and through a
// race while the horses run, until the result shows. None: no loop.
SoundCue loopAfterTick(bool running, bool racing, int raceTick);
// A race frame's sound: the bell on the "GO!" frame, and on the first result frame a win or a
// loss as the banner says (a dead heat has none).
SoundCue raceFrameCue(int raceTick, int winner, int isServer);
// Eating crunches on every other frame; the sleeping horse snores every other second.
SoundCue eatFrameCue(int animStep);
SoundCue sleepFrameCue(int animStep);
