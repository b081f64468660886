#include "race/rules/courselayout.h"

#include "race/rules/raceclock.h"

#include <algorithm>
#include <climits>

namespace {

// Anything beyond this is far off the 240-pixel screen on either side.
constexpr long long farOff = 16384;

int onScreenRange(long long x) { return static_cast<int>(std::clamp(x, -farOff, farOff)); }

constexpr StartFrame startFrames[] = {
    {3, 1, -40, "1000M RACE", {67, 90}}, // 0
    {3, 1, -40, "1000M RACE", {67, 90}}, // 1
    {3, 1, -40, "1000M RACE", {67, 90}}, // 2
    {3, 1, -40, "READY...", {70, 90}},   // 3
    {3, 1, -40, "READY...", {70, 90}},   // 4: the start hand-shake
    {4, 1, 0, "GO!", {90, 90}},          // 5
    {3, 2, 30, "GO!", {90, 90}},         // 6
};

}

int screenX(int courseX, int pos1) { return onScreenRange(static_cast<long long>(courseX) - pos1); }

BoardParts bigBoard(int x)
{
    return {QRect(x, 75, 110, 50), QRect(x + 10, 125, 10, 7), QRect(x + 90, 125, 10, 7), QRect(x + 4, 79, 102, 42)};
}

int nameRoomOnBoard(int boardX, int nameX) { return bigBoard(boardX).panel.right() - nameX; }

BoardParts distanceBoard(int x)
{
    return {QRect(x, 100, 60, 25), QRect(x + 10, 125, 10, 7), QRect(x + 40, 125, 10, 7), QRect(x + 4, 104, 52, 17)};
}

StartBoard startBoardForm(int pos1, int raceTick)
{
    if ((pos1 == 0 && raceTick == RaceClock::running) || (pos1 >= 1 && pos1 <= 199))
        return StartBoard::Running;
    if (pos1 == 0)
        return StartBoard::Waiting;
    return StartBoard::Hidden;
}

int startJudgePicture(StartBoard form, int raceTick)
{
    return form == StartBoard::Waiting && raceTick == RaceClock::off ? 2 : 1;
}

QRect finishLineOnScreen(int pos1)
{
    QRect line = finishLineAt;
    line.moveLeft(screenX(finishLineAt.x(), pos1));
    if (line.left() <= readoutBand.right() && line.right() >= readoutBand.left())
        line.setBottom(readoutBand.top() - 1);
    return line;
}

int finishJudgePicture(int winner)
{
    switch (winner) {
    case 1: return 3;
    case 2: return 4;
    default: return 5;
    }
}

const StartFrame *startFrame(int raceTick)
{
    if (raceTick < RaceClock::start || raceTick > RaceClock::lastStartFrame)
        return nullptr;
    return &startFrames[raceTick];
}

HorseSpots runningHorseSpots(int p1, int p2, int isServer)
{
    if (isServer == 1)
        return {localHorseX, onScreenRange(localHorseX + static_cast<long long>(p2) - p1)};
    return {onScreenRange(localHorseX + static_cast<long long>(p1) - p2), localHorseX};
}

int scrolledBackground(int offset, int localPos, int lastLocalPos)
{
    const long long next = static_cast<long long>(offset) + localPos - lastLocalPos;
    return static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX));
}

const char *bannerText(int winner, int isServer)
{
    const int local = isServer == 1 ? 1 : 2;
    if (winner == local)
        return " YOU WIN!";
    if (winner == 1 || winner == 2)
        return "YOU LOSE! ";
    return nullptr;
}
