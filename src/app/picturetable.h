#pragma once
// The 42 pictures of the game, by field and file, in load order. One file may fill several
// fields: each activity has its own picture per animation step.
#include "game/gamestate.h"

struct PictureEntry
{
    QImage GameState::*field;
    const char *file;
};

extern const PictureEntry pictureTable[42];

// Loads every picture; one that cannot be loaded stays empty and draws nothing.
void loadPictures(GameState &state);
