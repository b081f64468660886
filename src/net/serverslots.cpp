// The server side in the main widget. (Filled in with the network work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::ServerConnected() {}
void Trotix::destroyServerConnection() {}
