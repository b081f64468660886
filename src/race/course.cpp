// Drawing the race. (Filled in with the race work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::setupObjects() {}
void Trotix::putHorse(int, int) { showBuffer(); }
