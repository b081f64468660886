#pragma once
// Where everything of a race frame goes, without a painter: the course furniture and the window
// of player 1's position in which each piece shows, the boards' rectangles, the start sequence,
// the horses' places, the background scroll, the result banner and the partner's banner.
// One position unit (half a metre) is one pixel; a piece at course x shows at course x - pos1.
#include <QRect>

// Screen x of a course x while player 1 stands at pos1. Far-off points are pulled in to just
// outside the screen, so that no position, however odd, can overflow the drawing arithmetic.
int screenX(int courseX, int pos1);

// A window of player 1's position, both ends included.
struct Span
{
    int first;
    int last;
    constexpr bool contains(int pos) const { return pos >= first && pos <= last; }
};

// ---- Boards ---------------------------------------------------------------------------------

struct BoardParts
{
    QRect face;     // QColor(50, 50, 50)
    QRect leftLeg;  // QColor(20, 20, 20)
    QRect rightLeg; // QColor(20, 20, 20)
    QRect panel;    // QColor(0, 0, 0)
};

// The start and result boards, at screen x.
BoardParts bigBoard(int x);
// A distance board, at screen x.
BoardParts distanceBoard(int x);
// The pixels right of a name's start at nameX that a big board at boardX has for it: up to its
// panel's last column, which stays black.
int nameRoomOnBoard(int boardX, int nameX);

// ---- The start --------------------------------------------------------------------------------

constexpr int startBoardX = 50;
constexpr int startJudgeX = 20;
constexpr int judgeY = 130;
constexpr QPoint startGoText{90, 90};
constexpr QPoint startBoardNames{58, 100}; // player 1; player 2 ten pixels below

enum class StartBoard {
    Hidden,  // player 1 has left the start behind
    Waiting, // before the off: no texts on it, the judge raises the flag at race tick 5
    Running, // the horses are off: "GO!" and both names on it
};
StartBoard startBoardForm(int pos1, int raceTick);
// Which judge picture (judgeImage1 or judgeImage2) stands at the start.
int startJudgePicture(StartBoard form, int raceTick);

// ---- Along the course -------------------------------------------------------------------------

struct DistanceBoardSpot
{
    const char *number; // the distance still to run, in metres
    int courseX;
    Span shown;
};
// The number is drawn at (course x + 15, 120).
constexpr DistanceBoardSpot distanceBoards[] = {
    {"800", 670, {351, 749}},
    {"600", 1070, {751, 1149}},
    {"400", 1470, {1151, 1549}},
    {"200", 1870, {1551, 1949}},
};

struct SignSpot
{
    int picture; // signImage1 ... signImage4
    QPoint course;
    Span shown;
};
constexpr SignSpot signSpots[] = {
    {2, {360, 8}, {41, 499}},
    {1, {920, 133}, {601, 999}},
    {3, {1720, 133}, {1401, 1999}},
    {4, {1970, 85}, {1651, 2199}},
};

// ---- The finish -------------------------------------------------------------------------------

constexpr Span finishShown{1872, 2399};
constexpr int finishJudgeX = 2112;
constexpr QRect finishLineAt{2140, 203, 2, 80}; // in course x
// Where the finish line is drawn while player 1 stands at pos1: over the distance readouts it
// stops short of their band, so that they stay readable as the line passes.
QRect finishLineOnScreen(int pos1);
// judgeImage3 for a red winner, judgeImage4 for a blue one, judgeImage5 while none is known.
int finishJudgePicture(int winner);

constexpr Span resultBoardShown{1901, 2299};
constexpr int resultBoardX = 2220;
constexpr QPoint resultTitle{2255, 90};
constexpr QPoint resultWinnerIs{2230, 105};
constexpr QPoint resultWinnerName{2230, 115};

// ---- The distance readouts --------------------------------------------------------------------

// Each horse's metres run, in the name font at the bottom left: player 1's, player 2's ten
// pixels below.
constexpr QPoint readoutAt{10, 270};
// What the two readouts cover, five digits wide and a few pixels round (a race's four digits take
// x 10 to 37, y 264 to 279).
constexpr QRect readoutBand{8, 261, 40, 23};

// ---- The horses -------------------------------------------------------------------------------

constexpr int player1Lane = 190;
constexpr int player2Lane = 160;
constexpr int localHorseX = 70;

// One frame of the start sequence (race tick 0 to 6); pictures are raceImage1 ... raceImage4.
struct StartFrame
{
    int player2Picture;
    int player1Picture;
    int horseX;
    const char *text; // in the big font, white
    QPoint textAt;
};
// nullptr outside the start sequence.
const StartFrame *startFrame(int raceTick);

struct HorseSpots
{
    int player1X;
    int player2X;
};
// While running: the local horse (player 1 on a device with isServer 1, else player 2) at x 70,
// the other one as far ahead or behind as it is on the course.
HorseSpots runningHorseSpots(int p1, int p2, int isServer);

// The background scrolls by exactly what the local horse moved since the last running frame.
int scrolledBackground(int offset, int localPos, int lastLocalPos);

// " YOU WIN!" or "YOU LOSE! " from the local horse's view; nullptr while no winner is known.
const char *bannerText(int winner, int isServer);
constexpr QRect bannerRect{70, 30, 120, 25};
constexpr QPoint bannerTextAt{80, 50};
// What a network race says of its partner, in the banner's colours across the whole screen, so a
// long name has the width to itself; its text centred on the baseline.
constexpr QRect partnerBannerRect{0, 30, 240, 25};
constexpr int partnerBannerBaseline = 47;
