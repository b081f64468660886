#include "game/gamestate.h"

#include <QTcpSocket>

GameState::GameState(MakeClientSocket make)
{
    if (make == MakeClientSocket::Yes)
        net.clientSocket = new QTcpSocket;
}

// The one client socket is made during static initialisation with the rest of the record and
// serves every network race of the run.
GameState gs(GameState::MakeClientSocket::Yes);

void forbidSaving(GameState &state, const QString &why) { state.shell.noSaveReason += why; }

void forbidSavingUntilLocked(GameState &state, const QString &why) { state.shell.noLockReason = why; }

void lockTaken(GameState &state) { state.shell.noLockReason.clear(); }

bool maySave(const GameState &state)
{
    return state.shell.noSaveReason.isEmpty() && state.shell.noLockReason.isEmpty();
}
