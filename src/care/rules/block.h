#pragma once
// The blocks of the jump game. A block appears six positions in front of the horse on a lucky
// draw, comes one position closer every jump frame, and at the horse it is either hopped over
// (a hop is pending) or makes the horse fall. Pure.
struct BlockTrack
{
    int distance = 0; // positions between block and horse: 6 when it appears, 0 at the horse
    int active = 0;   // a block is on the track
    int hit = 0;      // it reached the horse with no hop pending: the next frame is a fall
};

// A draw above this starts a block: about one draw in four from a 31-bit rand().
inline constexpr int blockDrawThreshold = 1600000000;
inline constexpr int blockStartDistance = 6;

struct BlockMove
{
    int x;         // where the block is drawn in this frame
    bool appeared; // a new block was drawn onto the track
};

// One jump frame's move. It draws gameRand() only when the track is empty.
BlockMove moveBlock(BlockTrack &track, int hopRequested, int horseX);
