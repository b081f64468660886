// Preparing a race and moving the horses. (Filled in with the race work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::change2server() { gs.shownMode = 0; gs.mode = ModeServerAsk; clearScreen(); }
void Trotix::change2client() { gs.shownMode = 0; gs.mode = ModeClientAsk; clearScreen(); }
void Trotix::change2racedemo() { gs.shownMode = 0; gs.mode = ModeDemoRace; clearScreen(); }
void Trotix::calculatePos() {}
void Trotix::computerPos() {}
void Trotix::finalizePos() {}
void Trotix::demoPos() {}
