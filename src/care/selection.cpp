// Choosing what the horse does. (Filled in with the horse-care work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::change2idle() { gs.mode = ModeIdle; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::change2eat() { gs.mode = ModeEat; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::change2sleep() { gs.mode = ModeSleep; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::change2run() { gs.mode = ModeRun; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::change2jump() { gs.mode = ModeJump; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::change2status() { gs.mode = ModeStatus; clearScreen(); gs.netState = gs.serverAccepting = 0; }
void Trotix::hop() {}
void Trotix::swipe() {}
