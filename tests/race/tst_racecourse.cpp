// Drawing the race: where the course furniture, the horses and the banner land, and the race clock,
// by landmark pixels of pictures planted as plain blocks.
#include "gamefixture.h"
#include "screencheck.h"

#include "app/paint.h"
#include "race/courselayout.h"
#include "race/raceclock.h"

#include <QPainter>
#include <QPixmap>
#include <QTest>

#include <climits>
#include <utility>

namespace {

// A colour nothing in a race frame is drawn in.
const QColor fill(123, 222, 77);
const QColor face(50, 50, 50);
const QColor leg(20, 20, 20);
const QColor panel(0, 0, 0);
const QColor red(255, 0, 0);

// Pictures as plain blocks of one colour each, so a pixel tells which one stands where.
const QColor race1(200, 0, 1), race2(200, 0, 2), race3(200, 0, 3), race4(200, 0, 4);
const QColor judge1(0, 100, 1), judge2(0, 100, 2), judge3(0, 100, 3), judge4(0, 100, 4), judge5(0, 100, 5);
const QColor sign1(7, 7, 1), sign2(7, 7, 2), sign3(7, 7, 3), sign4(7, 7, 4);

void plantBlockPictures()
{
    gs.raceImage1 = solidPicture(50, 40, race1);
    gs.raceImage2 = solidPicture(50, 40, race2);
    gs.raceImage3 = solidPicture(50, 40, race3);
    gs.raceImage4 = solidPicture(50, 40, race4);
    const std::pair<QImage GameState::*, QColor> small[] = {
        {&GameState::judgeImage1, judge1}, {&GameState::judgeImage2, judge2}, {&GameState::judgeImage3, judge3},
        {&GameState::judgeImage4, judge4}, {&GameState::judgeImage5, judge5}, {&GameState::signImage1, sign1},
        {&GameState::signImage2, sign2},   {&GameState::signImage3, sign3},   {&GameState::signImage4, sign4}};
    for (const auto &[field, colour] : small)
        gs.*field = solidPicture(10, 10, colour);
}

// A screen buffer wider than the screen, so that what is drawn just right of it can be seen.
class WideBuffer
{
public:
    explicit WideBuffer(int width) : m_saved(gs.screenBuffer), m_wide(width, 320) { gs.screenBuffer = &m_wide; }
    ~WideBuffer() { gs.screenBuffer = m_saved; }
    QImage image() const { return m_wide.toImage().convertToFormat(QImage::Format_RGB32); }

private:
    QPixmap *m_saved;
    QPixmap m_wide;
};

class RaceGame : public GameFixture
{
public:
    RaceGame()
    {
        plantBlockPictures();
        gs.mode = ModeDemoRace;
        gs.demoRace = 1;
        gs.isServer = 1;
        gs.opponentName = QStringLiteral("SUPER FAST     ");
    }
    QImage objectsAt(int pos1, int raceTick)
    {
        gs.pos1 = pos1;
        gs.raceTick = raceTick;
        gs.screenBuffer->fill(fill);
        call("setupObjects");
        return screen();
    }
    QImage horsesAt(int p1, int p2)
    {
        gs.screenBuffer->fill(fill);
        putHorse(p1, p2);
        return screen();
    }
};

}

class TestRaceCourse : public QObject
{
    Q_OBJECT

private slots:
    // The frame at (pos1, raceTick, winner) shows `colour` at (x, y) of a buffer wider than the
    // screen; where `appears`, the frame at pos1 - 1 shows nothing at x + 1 (a window's first
    // position: the piece's left edge just right of the screen).
    void landmarks()
    {
        struct Row { int pos1, raceTick, winner, x, y; QColor colour; bool appears; };
        const Row rows[] = {
            {0, 3, 0, 50, 75, face, false},    // the start board
            {0, 3, 0, 20, 130, judge1, false}, // the start judge waits
            {0, 5, 0, 20, 130, judge2, false}, // and raises the flag
            {100, 7, 0, 40, 125, leg, false},  // the start board scrolls away
            {351, 7, 0, 319, 100, face, true}, {751, 7, 0, 319, 100, face, true}, // 800 and 600 boards
            {1151, 7, 0, 319, 100, face, true}, {1551, 7, 0, 319, 100, face, true}, // 400 and 200
            {500, 7, 0, 174, 104, panel, false}, // the 800 board's panel
            {41, 7, 0, 319, 8, sign2, true}, {601, 7, 0, 319, 133, sign1, true},
            {1401, 7, 0, 319, 133, sign3, true}, {1651, 7, 0, 319, 85, sign4, true},
            {1872, 7, 0, 240, 130, judge5, true}, {1872, 7, 0, 268, 203, red, true}, // finish judge, line
            {1901, 7, 0, 319, 75, face, true}, // the result board
            {2000, 7, 1, 112, 130, judge3, false}, {2000, 7, 2, 112, 130, judge4, false}, // who won
            {2000, 7, 0, 141, 282, red, false}, // the finish line's foot
        };
        for (const Row &r : rows) {
            RaceGame game;
            WideBuffer wide(400);
            gs.winner = r.winner;
            gs.raceTick = r.raceTick;
            for (int pos : {r.pos1, r.pos1 - 1}) {
                gs.pos1 = pos;
                gs.screenBuffer->fill(fill);
                game.call("setupObjects");
                if (pos == r.pos1)
                    QCOMPARE(colourAt(wide.image(), r.x, r.y), r.colour);
                else if (r.appears)
                    QCOMPARE(colourAt(wide.image(), r.x + 1, r.y), fill);
            }
        }
    }

    // The race clock after a drawn frame: the server holds at "READY..." for the challenger's
    // start signal, the client gives it and goes on, and so does the computer's race.
    void raceClock()
    {
        struct Row { int isServer, demoRace, raceTick, after; };
        const Row rows[] = {{1, 0, 3, 4}, {1, 0, 4, 4}, {0, 0, 4, 5}, {1, 1, 4, 5},
                            {0, 0, 19, 19}, {1, 0, 20, 21}, {1, 1, 31, 31}};
        for (const Row &r : rows) {
            QCOMPARE(givesStartSignal(r.raceTick, raceSide(r.isServer, r.demoRace)), !r.isServer && r.raceTick == 4);
            RaceGame game;
            gs.isServer = r.isServer;
            gs.demoRace = r.demoRace;
            gs.raceTick = r.raceTick;
            game.putHorse(0, 0);
            QCOMPARE(gs.raceTick, r.after);
        }
    }

    void oddPositionsCannotOverflowTheDrawing()
    {
        RaceGame game;
        gs.raceTick = 7;
        gs.lastPos1 = INT_MIN;
        game.putHorse(INT_MAX, INT_MIN);
        QCOMPARE(gs.lastPos1, INT_MAX);
    }

    // The own horse stays put; the other is drawn ahead or behind by the distance between them.
    void runningHorses()
    {
        struct Row { int isServer, p1, p2; QPoint player1, player2; };
        const Row rows[] = {{1, 1000, 1030, {70, 190}, {100, 160}}, {0, 1030, 1000, {100, 190}, {70, 160}}};
        for (const Row &r : rows) {
            RaceGame game;
            gs.isServer = r.isServer;
            gs.demoRace = 0;
            gs.raceTick = 7;
            const QImage first = game.horsesAt(r.p1, r.p2);
            QCOMPARE(colourAt(first, r.player2.x(), r.player2.y()), race4);
            QCOMPARE(colourAt(first, r.player1.x(), r.player1.y()), race1);
            QCOMPARE(colourAt(first, r.player1.x() - 1, r.player1.y() + 20), fill);
            const QImage second = game.horsesAt(r.p1, r.p2); // the other gallop frame
            QCOMPARE(colourAt(second, r.player1.x(), r.player1.y()), race2);
        }
    }

    void readoutsShowTheMetres()
    {
        RaceGame game;
        gs.pos2 = 1990;
        const QImage shown = game.objectsAt(2045, 7);
        const QImage expected = drawnOn(fill, 240, [](QPainter &painter) {
            painter.setFont(gameFont(8, 75));
            painter.setPen(Qt::red);
            drawTextAt(painter, 10, 270, QStringLiteral("1. 1022"));
            painter.setPen(Qt::blue);
            drawTextAt(painter, 10, 280, QStringLiteral("2. 995"));
        });
        const QRect area(0, 255, 90, 30); // the finish line stands at x 95
        QCOMPARE(shown.copy(area), expected.copy(area));
    }

    void resultBanner()
    {
        struct Row { int isServer, winner; const char *text; };
        const Row rows[] = {{1, 1, " YOU WIN!"}, {1, 2, "YOU LOSE! "}, {0, 2, " YOU WIN!"}, {1, 0, ""}};
        for (const Row &r : rows) {
            RaceGame game;
            gs.isServer = r.isServer;
            gs.demoRace = 0;
            gs.winner = r.winner;
            gs.raceTick = 20;
            gs.lastPos1 = gs.lastPos2 = 2100;
            const QImage shown = game.horsesAt(2100, 2100);
            const QImage expected = drawnOn(fill, 240, [&](QPainter &painter) {
                painter.setBrush(Qt::blue);
                painter.setPen(Qt::yellow);
                painter.drawRect(70, 30, 119, 24);
                painter.setFont(gameFont(18, 75));
                drawTextAt(painter, 80, 50, QString::fromLatin1(r.text));
            });
            const QRect banner(69, 29, 122, 27);
            QCOMPARE(shown.copy(banner), expected.copy(banner));
        }
    }
};

QTEST_MAIN(TestRaceCourse)
#include "tst_racecourse.moc"
