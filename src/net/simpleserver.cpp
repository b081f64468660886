#include "net/simpleserver.h"

#include "game/gamestate.h"
#include "net/clientsocket.h"
#include "net/rules/protocol.h"
#include "platform/log.h"

SimpleServer::SimpleServer(QObject *parent) : QTcpServer(parent)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 3, 0)
    setListenBacklogSize(1); // one challenger waits at most; Qt 6.2 keeps its own default
#endif
    // QHostAddress::Any listens on IPv4 and IPv6 alike.
    if (!listen(QHostAddress::Any, Protocol::port))
        logText("trotix: Failed to bind to port!!!\n");
}

SimpleServer::~SimpleServer() = default;

void SimpleServer::incomingConnection(qintptr socket)
{
    // A crowd of connections must not take the file handles the game's save needs: beyond a few
    // besides the race's own, the one quiet longest makes room.
    ClientSocket *quietest = nullptr;
    int others = 0;
    for (ClientSocket *connection : findChildren<ClientSocket *>(Qt::FindDirectChildrenOnly)) {
        if (!connection->served() || connection->sender() == Protocol::Sender::Owner)
            continue;
        ++others;
        if (!quietest || connection->quietMs() > quietest->quietMs())
            quietest = connection;
    }
    if (quietest && others >= Protocol::maxOtherConnections) {
        logText("trotix: Too many connections, the one quiet longest dropped.\n");
        quietest->dispose();
    }

    auto *connection = new ClientSocket(socket, this);
    // While another connection owns the race the newcomer is a stranger and is not kept as the
    // race's. Otherwise a connection stored earlier is not closed here: it lasts until it leaves.
    if (ClientSocket::arriving() != Protocol::Sender::Stranger) {
        gs.net.serverConnection = connection;
        gs.net.serverConnectionOwnsRace = 0;
    }
    emit newConnect();
}
