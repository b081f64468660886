#include "game/gamestate.h"

#include <QTcpSocket>
#include <cstring>

// Members are built in declaration order: the two names, then the socket, then the pictures.
GameState::GameState(MakeClientSocket make)
    : clientSocket(make == MakeClientSocket::Yes ? new QTcpSocket : nullptr)
{
}

// The one client socket is made during static initialisation with the rest of the record and
// serves every network race of the run.
GameState gs(GameState::MakeClientSocket::Yes);

Horse horseOf(const GameState &state)
{
    Horse horse;
    std::memcpy(horse.name, state.horseName, sizeof horse.name);
    horse.age = state.age;
    horse.muscle = state.muscle;
    horse.fat = state.fat;
    horse.power = state.power;
    horse.spirit = state.spirit;
    return horse;
}

void setHorse(GameState &state, const Horse &horse)
{
    std::memcpy(state.horseName, horse.name, sizeof state.horseName);
    state.horseName[15] = '\0';
    state.age = horse.age;
    state.muscle = horse.muscle;
    state.fat = horse.fat;
    state.power = horse.power;
    state.spirit = horse.spirit;
}
