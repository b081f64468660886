// The client side. (Filled in with the network work.)
#include "app/trotix.h"
#include "game/gamestate.h"

void Trotix::ClientError() {}
void Trotix::ClientConnected() {}
void Trotix::ClientRead() {}
void Trotix::ClientFire() {}
void Trotix::getPos() {}
void Trotix::closeClientSocket() {}
