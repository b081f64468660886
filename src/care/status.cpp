// The status screen. (Filled in with the horse-care work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::status() { gs.shownMode = ModeStatus; showBuffer(); }
