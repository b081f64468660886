#pragma once
// The race clock `raceTick` and every rule that reads or moves it: the start sequence, the
// running race, the result phase and the end. Pure.

namespace RaceClock {
inline constexpr int start = 0;       // the first frame of the start sequence
inline constexpr int startSignal = 4; // "READY...": the client signals, the server holds
inline constexpr int off = 5;         // "GO!": the judge raises the flag
inline constexpr int lastStartFrame = 6;
inline constexpr int running = 7;      // the horses run; the clock stands still
inline constexpr int firstResult = 20; // both horses home: eleven result frames follow
inline constexpr int lastResult = 30;
}

// Who this device is in the race: the clock holds at the start hand-shake differently.
enum class RaceSide { Server, Client, Computer };
RaceSide raceSide(int isServer, int demoRace);

// The client gives the start signal on its frame at race tick 4.
bool givesStartSignal(int raceTick, RaceSide side);
// The race clock after a frame: it runs through the start sequence (the server holding at 4
// until the client's signal arrives) and the eleven result frames 20 to 30, and stands still
// while the horses run and after the end.
int raceTickAfterFrame(int raceTick, RaceSide side);
// Both horses past the finish (strictly): the clock jumps to the result phase, once.
int raceTickAfterFinish(int raceTick, int pos1, int pos2);
// The last result frame has been shown: the race ends on this tick.
bool raceOver(int raceTick);
// The horses move from this tick on.
bool horsesRun(int raceTick);
// One of the eleven result frames.
bool showsResult(int raceTick);
