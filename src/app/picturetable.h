#pragma once
// The pictures of the game and their files: the one place that knows which file a picture comes
// from. The 42 pictures, by field and file, with the screens that draw them; one file may fill
// several fields (each activity has its own picture per animation step). Each screen's pictures
// are decoded when the screen is first drawn, so that start-up decodes only the field behind the
// first screen.
#include "game/gamestate.h"

class QPixmap;

struct PictureEntry
{
    QImage GameState::*field;
    const char *file;
    quint64 screens; // bit `mode` set: the screen of that mode draws it
};

extern const PictureEntry pictureTable[42];

// Decodes the pictures the screen of `mode` draws that are still empty. One that cannot be loaded
// stays empty and draws nothing.
void loadPictures(GameState &state, int mode);

// The background of a kind as setupBackgd() knows them (1 the field, 2 the status page, 4 the
// course); a kind without a picture, or a picture that cannot be loaded, gives an empty pixmap.
QPixmap loadBackground(int kind);
