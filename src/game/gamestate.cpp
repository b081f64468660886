#include "game/gamestate.h"

#include <QTcpSocket>
#include <cstring>

// Members are built in declaration order: the two names, then the socket, then the pictures.
GameState::GameState(MakeClientSocket make) : clientSocket(make == MakeClientSocket::Yes ? new QTcpSocket : nullptr) {}

// The one client socket is made during static initialisation with the rest of the record and
// serves every network race of the run.
GameState gs(GameState::MakeClientSocket::Yes);

Attributes attributesOf(const GameState &state)
{
    return {state.age, state.muscle, state.fat, state.power, state.spirit};
}

void setAttributes(GameState &state, const Attributes &attributes)
{
    state.age = attributes.age;
    state.muscle = attributes.muscle;
    state.fat = attributes.fat;
    state.power = attributes.power;
    state.spirit = attributes.spirit;
}

Horse horseOf(const GameState &state)
{
    Horse horse;
    std::memcpy(horse.name, state.horseName, sizeof horse.name);
    horse.attributes = attributesOf(state);
    return horse;
}

void setHorse(GameState &state, const Horse &horse)
{
    std::memcpy(state.horseName, horse.name, sizeof state.horseName);
    state.horseName[15] = '\0';
    setAttributes(state, horse.attributes);
}

void forbidSaving(GameState &state, const QString &why) { state.noSaveReason += why; }

void forbidSavingUntilLocked(GameState &state, const QString &why) { state.noLockReason = why; }

void lockTaken(GameState &state) { state.noLockReason.clear(); }

bool maySave(const GameState &state) { return state.noSaveReason.isEmpty() && state.noLockReason.isEmpty(); }
