#pragma once
// A connection screen's failure display: the failure stays four ticks, counted in netState, then
// the game is back at idle.
#include "gamefixture.h"

// From the failure state `first`, the next three ticks count on the connection screen `screen`
// and the fourth returns to idle.
inline bool countsDownToIdle(GameFixture &game, int first, int screen)
{
    for (int expected = first + 1; expected < first + 4; ++expected) {
        game.tick();
        if (gs.netState != expected || gs.mode != screen)
            return false;
    }
    game.tick();
    return gs.netState == 0 && gs.mode == ModeIdle;
}
