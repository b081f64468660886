#include "net/simpleserver.h"

#include "game/gamestate.h"
#include "net/clientsocket.h"
#include "net/protocol.h"
#include "platform/log.h"

SimpleServer::SimpleServer(QObject *parent) : QTcpServer(parent)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 3, 0)
    setListenBacklogSize(1); // one challenger waits at most; Qt 6.2 keeps its own default
#endif
    // QHostAddress::Any listens on IPv4 and IPv6 alike.
    if (!listen(QHostAddress::Any, Protocol::port)) {
        logText("trotix: Failed to bind to port!!!\n");
        gs.bindFailed = 1;
        return;
    }
    gs.bindFailed = 0;
}

SimpleServer::~SimpleServer() = default;

void SimpleServer::incomingConnection(qintptr socket)
{
    // A connection stored earlier is not closed here: it lasts until its challenger leaves.
    gs.serverConnection = new ClientSocket(socket, this);
    emit newConnect();
}
