#include "platform/rules/random.h"

#include <cstdlib>
#include <deque>

namespace {
std::deque<int> &scripted()
{
    static std::deque<int> draws;
    return draws;
}
}

int gameRand()
{
    auto &draws = scripted();
    if (!draws.empty()) {
        const int value = draws.front();
        draws.pop_front();
        return value;
    }
    return std::rand();
}

void scriptRandomDraws(std::initializer_list<int> draws) { scripted().assign(draws.begin(), draws.end()); }

void clearScriptedDraws() { scripted().clear(); }

int scriptedDrawsLeft() { return static_cast<int>(scripted().size()); }
