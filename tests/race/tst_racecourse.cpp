// Drawing the race: where the course furniture, the horses and the banner land, and the race clock,
// by landmark pixels of pictures planted as plain blocks.
#include "gamefixture.h"
#include "screencheck.h"

#include "app/paint.h"
#include "race/courselayout.h"

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
    void startBoardForms_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("judge");
        QTest::newRow("ready") << 0 << 3 << int(StartBoard::Waiting) << 1;
        QTest::newRow("flag raised at 5") << 0 << 5 << int(StartBoard::Waiting) << 2;
        QTest::newRow("first running frame") << 0 << 7 << int(StartBoard::Running) << 1;
        QTest::newRow("199") << 199 << 7 << int(StartBoard::Running) << 1;
        QTest::newRow("200") << 200 << 7 << int(StartBoard::Hidden) << 1;
        QTest::newRow("behind the start") << -1 << 7 << int(StartBoard::Hidden) << 1;
    }

    void startBoardForms()
    {
        QFETCH(int, pos1);
        QFETCH(int, raceTick);
        const StartBoard shown = startBoardForm(pos1, raceTick);
        QTEST(int(shown), "form");
        QTEST(startJudgePicture(shown, raceTick), "judge");
    }

    // The frame at (pos1, raceTick, winner) shows `colour` at screen (x, y) of a buffer wider than
    // the screen; where `appears`, the frame at pos1 - 1 shows nothing there (a window's first
    // position).
    void landmarks_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("appears");
        QTest::newRow("start board") << 0 << 3 << 0 << QPoint(50, 75) << face << false;
        QTest::newRow("start judge waits") << 0 << 3 << 0 << QPoint(20, 130) << judge1 << false;
        QTest::newRow("start flag") << 0 << 5 << 0 << QPoint(20, 130) << judge2 << false;
        QTest::newRow("start board scrolls") << 100 << 7 << 0 << QPoint(40, 125) << leg << false;
        QTest::newRow("800 board") << 351 << 7 << 0 << QPoint(319, 100) << face << true;
        QTest::newRow("600 board") << 751 << 7 << 0 << QPoint(319, 100) << face << true;
        QTest::newRow("400 board") << 1151 << 7 << 0 << QPoint(319, 100) << face << true;
        QTest::newRow("200 board") << 1551 << 7 << 0 << QPoint(319, 100) << face << true;
        QTest::newRow("800 board's panel") << 500 << 7 << 0 << QPoint(174, 104) << panel << false;
        QTest::newRow("sign 2") << 41 << 7 << 0 << QPoint(319, 8) << sign2 << true;
        QTest::newRow("sign 1") << 601 << 7 << 0 << QPoint(319, 133) << sign1 << true;
        QTest::newRow("sign 3") << 1401 << 7 << 0 << QPoint(319, 133) << sign3 << true;
        QTest::newRow("sign 4") << 1651 << 7 << 0 << QPoint(319, 85) << sign4 << true;
        QTest::newRow("finish judge") << 1872 << 7 << 0 << QPoint(240, 130) << judge5 << true;
        QTest::newRow("finish line") << 1872 << 7 << 0 << QPoint(268, 203) << red << true;
        QTest::newRow("result board") << 1901 << 7 << 0 << QPoint(319, 75) << face << true;
        QTest::newRow("judge, red won") << 2000 << 7 << 1 << QPoint(112, 130) << judge3 << false;
        QTest::newRow("judge, blue won") << 2000 << 7 << 2 << QPoint(112, 130) << judge4 << false;
        QTest::newRow("finish line's foot") << 2000 << 7 << 0 << QPoint(141, 282) << red << false;
    }

    void landmarks()
    {
        QFETCH(int, pos1);
        QFETCH(int, raceTick);
        QFETCH(QPoint, at);
        QFETCH(bool, appears);
        RaceGame game;
        WideBuffer wide(400);
        QFETCH(int, winner);
        gs.winner = winner;
        gs.raceTick = raceTick;
        for (int pos : {pos1, pos1 - 1}) {
            gs.pos1 = pos;
            gs.screenBuffer->fill(fill);
            game.call("setupObjects");
            if (pos == pos1)
                QTEST(colourAt(wide.image(), at.x(), at.y()), "colour");
            else if (appears)
                QCOMPARE(colourAt(wide.image(), at.x() + 1, at.y()), fill);
        }
    }

    // The race clock after a drawn frame: the server holds at "READY..." for the challenger's
    // start signal, the client and the computer go on.
    void raceClock_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("demoRace");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("after");
        QTest::newRow("server 3") << 1 << 0 << 3 << 4;
        QTest::newRow("server holds at 4") << 1 << 0 << 4 << 4;
        QTest::newRow("client signals at 4") << 0 << 0 << 4 << 5;
        QTest::newRow("computer goes on at 4") << 1 << 1 << 4 << 5;
        QTest::newRow("running") << 0 << 0 << 19 << 19;
        QTest::newRow("result") << 1 << 0 << 20 << 21;
        QTest::newRow("over") << 1 << 1 << 31 << 31;
    }

    void raceClock()
    {
        QFETCH(int, isServer);
        QFETCH(int, demoRace);
        QFETCH(int, raceTick);
        QFETCH(int, after);
        QCOMPARE(givesStartSignal(raceTick, raceSide(isServer, demoRace)), !isServer && raceTick == 4);
        RaceGame game;
        gs.isServer = isServer;
        gs.demoRace = demoRace;
        gs.raceTick = raceTick;
        game.putHorse(0, 0);
        QCOMPARE(gs.raceTick, after);
    }

    void oddPositionsCannotOverflowTheDrawing()
    {
        QCOMPARE(screenX(50, INT_MIN), 16384);
        QCOMPARE(screenX(50, INT_MAX), -16384);
        QCOMPARE(runningHorseSpots(INT_MIN, INT_MAX, 1).player2X, 16384);
        QCOMPARE(scrolledBackground(INT_MAX, INT_MAX, INT_MIN), INT_MAX);
        RaceGame game;
        gs.raceTick = 7;
        gs.lastPos1 = INT_MIN;
        game.putHorse(INT_MAX, INT_MIN);
        QCOMPARE(gs.lastPos1, INT_MAX);
    }

    // The own horse stays put; the other is drawn ahead or behind by the distance between them.
    void runningHorses_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("p1");
        QTest::addColumn<int>("p2");
        QTest::addColumn<QPoint>("player1");
        QTest::addColumn<QPoint>("player2");
        QTest::newRow("server, blue ahead") << 1 << 1000 << 1030 << QPoint(70, 190) << QPoint(100, 160);
        QTest::newRow("client, red ahead") << 0 << 1030 << 1000 << QPoint(100, 190) << QPoint(70, 160);
    }

    void runningHorses()
    {
        QFETCH(int, isServer);
        QFETCH(int, p1);
        QFETCH(int, p2);
        QFETCH(QPoint, player1);
        QFETCH(QPoint, player2);
        RaceGame game;
        gs.isServer = isServer;
        gs.demoRace = 0;
        gs.raceTick = 7;
        const QImage first = game.horsesAt(p1, p2);
        QCOMPARE(colourAt(first, player2.x(), player2.y()), race4);
        QCOMPARE(colourAt(first, player1.x(), player1.y()), race1);
        QCOMPARE(colourAt(first, player1.x() - 1, player1.y() + 20), fill);
        const QImage second = game.horsesAt(p1, p2); // the other gallop frame
        QCOMPARE(colourAt(second, player1.x(), player1.y()), race2);
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

    void resultBanner_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QString>("text");
        QTest::newRow("server wins") << 1 << 1 << " YOU WIN!";
        QTest::newRow("server loses") << 1 << 2 << "YOU LOSE! ";
        QTest::newRow("client wins") << 0 << 2 << " YOU WIN!";
        QTest::newRow("undecided") << 1 << 0 << "";
    }

    void resultBanner()
    {
        QFETCH(int, isServer);
        QFETCH(int, winner);
        QFETCH(QString, text);
        RaceGame game;
        gs.isServer = isServer;
        gs.demoRace = 0;
        gs.winner = winner;
        gs.raceTick = 20;
        gs.lastPos1 = gs.lastPos2 = 2100;
        const QImage shown = game.horsesAt(2100, 2100);
        const QImage expected = drawnOn(fill, 240, [&](QPainter &painter) {
            painter.setBrush(Qt::blue);
            painter.setPen(Qt::yellow);
            painter.drawRect(70, 30, 119, 24);
            painter.setFont(gameFont(18, 75));
            drawTextAt(painter, 80, 50, text);
        });
        const QRect banner(69, 29, 122, 27);
        QCOMPARE(shown.copy(banner), expected.copy(banner));
    }
};

QTEST_MAIN(TestRaceCourse)
#include "tst_racecourse.moc"
