#include "care/rules/block.h"

#include "platform/rules/random.h"

BlockMove moveBlock(BlockTrack &track, int hopRequested, int horseX)
{
    bool appeared = false;
    if (track.distance == 0) {
        if (gameRand() > blockDrawThreshold) {
            appeared = true;
            track.distance = blockStartDistance;
            track.active = 1;
        } else {
            track.active = 0;
        }
    } else {
        track.distance -= 1;
    }
    if (track.active == 1 && track.distance == 0 && hopRequested == 0)
        track.hit = 1;
    const int x = track.distance == 0 ? horseX - 20 : horseX + 20 * track.distance;
    return {x, appeared};
}
