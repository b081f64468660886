// The server side in the main widget: a new connection, and its end with the race.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/clientsocket.h"
#include "net/rules/protocol.h"
#include "platform/log.h"

void Trotix::ServerConnected()
{
    logText("trotix: Ding! Server Connected\n");
    // A stranger arriving while another connection owns the race changes nothing, nor does one
    // arriving while the course still says that the race's partner left.
    if (gs.serverAccepting == 1 && gs.mode != ModeServerRace && ClientSocket::arriving() != Protocol::Sender::Stranger)
        gs.netState = Protocol::NetConnected;
}

void Trotix::destroyServerConnection()
{
    if (gs.serverConnection)
        gs.serverConnection->dispose();
}

void Trotix::forgetServer()
{
    // The server and its connections go with the widget: a second main widget in the same
    // process (as in the tests) starts without them.
    gs.server = nullptr;
    gs.serverConnection = nullptr;
}
