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
    if (gs.net.serverAccepting == 1 && gs.shell.mode != ModeServerRace
        && ClientSocket::arriving() != Protocol::Sender::Stranger)
        gs.net.netState = Protocol::NetConnected;
}

void Trotix::destroyServerConnection()
{
    if (gs.net.serverConnection)
        gs.net.serverConnection->dispose();
}

void Trotix::forgetServer()
{
    // The server and its connections go with the widget: a second main widget in the same
    // process (as in the tests) starts without them.
    gs.net.server = nullptr;
    gs.net.serverConnection = nullptr;
}
