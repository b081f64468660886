// The connection screens. (Filled in with the network work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::askServer() { gs.shownMode = ModeServerAsk; showBuffer(); }
void Trotix::startServer() { gs.shownMode = ModeServerWait; showBuffer(); }
void Trotix::askClient() { gs.shownMode = ModeClientAsk; showBuffer(); }
void Trotix::startClient() { gs.shownMode = ModeClientConnect; showBuffer(); }
void Trotix::confirmNetwork() {}
void Trotix::cancelNetwork() { gs.mode = ModeIdle; clearScreen(); showBuffer(); }
void Trotix::disconnectNetwork() { change2idle(); }
