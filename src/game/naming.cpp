// Naming and about screens. (Filled in with the horse-care work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::naming() { gs.mode = gs.shownMode = ModeNaming; showBuffer(); }
void Trotix::handleOK() { change2idle(); }
void Trotix::aboutTrotix() { gs.mode = ModeAbout; clearScreen(); }
void Trotix::about() { gs.shownMode = ModeAbout; showBuffer(); }
