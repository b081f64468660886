// The activities. (Filled in with the horse-care work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::idle() { gs.shownMode = ModeIdle; showBuffer(); }
void Trotix::eat() { gs.shownMode = ModeEat; showBuffer(); }
void Trotix::sleep() { gs.shownMode = ModeSleep; showBuffer(); }
void Trotix::run() { gs.shownMode = ModeRun; showBuffer(); }
void Trotix::jump() { gs.shownMode = ModeJump; showBuffer(); }
int Trotix::setBlock() { return gs.horseX - 20; }
