#pragma once
// The network session: where the hand-shake stands, whether challengers are taken, and the
// connections, which the rules never touch (they are only named here).

class QTcpSocket;
class ClientSocket;
class SimpleServer;

struct NetSession
{
    int netState = 0;
    int askPosReady = 1;
    int serverAccepting = 0;
    int bindFailed = 1;
    int serverCreated = 0;
    QTcpSocket *clientSocket = nullptr;
    ClientSocket *serverConnection = nullptr;
    // 1 while serverConnection is the connection whose greeting was accepted: it owns the race.
    int serverConnectionOwnsRace = 0;
    SimpleServer *server = nullptr;
    // 1 once this side knows the network race's winner (the server: once it has told the client).
    // A connection lost after that is the race's orderly end, and the race counts on both records.
    int resultKnown = 0;
    // The ticks the client has waited for what the host owes it (Protocol::clientWaits).
    int clientQuietTicks = 0;
};
