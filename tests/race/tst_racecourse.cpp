// Drawing the race: where the course furniture, the horses and the texts land, and the race clock.
#include "gamefixture.h"
#include "screencheck.h"

#include "app/paint.h"
#include "race/courselayout.h"
#include "race/raceclock.h"

#include <QPainter>
#include <QPixmap>
#include <QTest>

#include <climits>
#include <functional>
#include <utility>

namespace {

// A colour nothing in a race frame is drawn in.
const QColor fill(123, 222, 77);
const QColor face(50, 50, 50);
const QColor leg(20, 20, 20);
const QColor panel(0, 0, 0);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor yellow(255, 255, 0);

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

void paintOver(const QColor &colour) { gs.screenBuffer->fill(colour); }

// A screen buffer wider than the screen, so that what is drawn just right of it can be seen.
class WideBuffer
{
public:
    explicit WideBuffer(int width) : m_saved(gs.screenBuffer), m_wide(width, 320) { gs.screenBuffer = &m_wide; }
    ~WideBuffer() { gs.screenBuffer = m_saved; }
    WideBuffer(const WideBuffer &) = delete;
    WideBuffer &operator=(const WideBuffer &) = delete;
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
        paintOver(fill);
        call("setupObjects");
        return screen();
    }
    QImage horsesAt(int p1, int p2)
    {
        paintOver(fill);
        putHorse(p1, p2);
        return screen();
    }
};

}

Q_DECLARE_METATYPE(Span)

class TestRaceCourse : public QObject
{
    Q_OBJECT

private slots:
    // ---- the layout ----

    void startBoardForms_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("judge");
        QTest::newRow("title") << 0 << 0 << int(StartBoard::Waiting) << 1;
        QTest::newRow("ready") << 0 << 3 << int(StartBoard::Waiting) << 1;
        QTest::newRow("flag raised at 5") << 0 << 5 << int(StartBoard::Waiting) << 2;
        QTest::newRow("go at 6") << 0 << 6 << int(StartBoard::Waiting) << 1;
        QTest::newRow("first running frame on the server") << 0 << 7 << int(StartBoard::Running) << 1;
        QTest::newRow("result at 0") << 0 << 20 << int(StartBoard::Waiting) << 1;
        QTest::newRow("1") << 1 << 7 << int(StartBoard::Running) << 1;
        QTest::newRow("199") << 199 << 7 << int(StartBoard::Running) << 1;
        QTest::newRow("200") << 200 << 7 << int(StartBoard::Hidden) << 1;
        QTest::newRow("behind the start") << -1 << 7 << int(StartBoard::Hidden) << 1;
    }

    void startBoardForms()
    {
        QFETCH(int, pos1);
        QFETCH(int, raceTick);
        QFETCH(int, form);
        QFETCH(int, judge);
        const StartBoard shown = startBoardForm(pos1, raceTick);
        QCOMPARE(int(shown), form);
        QCOMPARE(startJudgePicture(shown, raceTick), judge);
    }

    void windowsIncludeBothEnds_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<Span>("span");
        QTest::newRow("800") << 351 << 749 << distanceBoards[0].shown;
        QTest::newRow("600") << 751 << 1149 << distanceBoards[1].shown;
        QTest::newRow("400") << 1151 << 1549 << distanceBoards[2].shown;
        QTest::newRow("200") << 1551 << 1949 << distanceBoards[3].shown;
        QTest::newRow("sign 2") << 41 << 499 << signSpots[0].shown;
        QTest::newRow("sign 1") << 601 << 999 << signSpots[1].shown;
        QTest::newRow("sign 3") << 1401 << 1999 << signSpots[2].shown;
        QTest::newRow("sign 4") << 1651 << 2199 << signSpots[3].shown;
        QTest::newRow("finish") << 1872 << 2399 << finishShown;
        QTest::newRow("result board") << 1901 << 2299 << resultBoardShown;
    }

    void windowsIncludeBothEnds()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(Span, span);
        QVERIFY(!span.contains(first - 1));
        QVERIFY(span.contains(first));
        QVERIFY(span.contains(last));
        QVERIFY(!span.contains(last + 1));
    }

    void raceClock_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("demoRace");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("startSignal");
        for (int tick : {0, 1, 2, 3, 5, 6}) {
            QTest::addRow("server %d", tick) << 1 << 0 << tick << tick + 1 << false;
            QTest::addRow("client %d", tick) << 0 << 0 << tick << tick + 1 << false;
            QTest::addRow("computer %d", tick) << 1 << 1 << tick << tick + 1 << false;
        }
        QTest::newRow("server holds at 4") << 1 << 0 << 4 << 4 << false;
        QTest::newRow("client signals at 4") << 0 << 0 << 4 << 5 << true;
        QTest::newRow("computer goes on at 4") << 1 << 1 << 4 << 5 << false;
        QTest::newRow("running") << 1 << 1 << 7 << 7 << false;
        QTest::newRow("running, 19") << 0 << 0 << 19 << 19 << false;
        QTest::newRow("result 20") << 1 << 0 << 20 << 21 << false;
        QTest::newRow("last result frame") << 0 << 0 << 30 << 31 << false;
        QTest::newRow("over") << 1 << 1 << 31 << 31 << false;
        QTest::newRow("out of range") << 1 << 1 << -1 << -1 << false;
    }

    void raceClock()
    {
        QFETCH(int, isServer);
        QFETCH(int, demoRace);
        QFETCH(int, raceTick);
        QFETCH(int, after);
        QFETCH(bool, startSignal);
        const RaceSide side = raceSide(isServer, demoRace);
        QCOMPARE(raceTickAfterFrame(raceTick, side), after);
        QCOMPARE(givesStartSignal(raceTick, side), startSignal);
        // And the same through a drawn frame.
        RaceGame game;
        gs.isServer = isServer;
        gs.demoRace = demoRace;
        gs.raceTick = raceTick;
        game.putHorse(0, 0);
        QCOMPARE(gs.raceTick, after);
    }

    void bannerTexts_data()
    {
        QTest::addColumn<int>("winner");
        QTest::addColumn<int>("isServer");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("server, red wins") << 1 << 1 << QByteArray(" YOU WIN!");
        QTest::newRow("server, blue wins") << 2 << 1 << QByteArray("YOU LOSE! ");
        QTest::newRow("client, red wins") << 1 << 0 << QByteArray("YOU LOSE! ");
        QTest::newRow("client, blue wins") << 2 << 0 << QByteArray(" YOU WIN!");
        QTest::newRow("undecided") << 0 << 1 << QByteArray();
        QTest::newRow("nonsense from the server") << 7 << 0 << QByteArray();
    }

    void bannerTexts()
    {
        QFETCH(int, winner);
        QFETCH(int, isServer);
        QFETCH(QByteArray, text);
        const char *shown = bannerText(winner, isServer);
        QCOMPARE(QByteArray(shown), text);
    }

    void oddPositionsCannotOverflowTheDrawing()
    {
        QCOMPARE(screenX(50, INT_MIN), 16384);
        QCOMPARE(screenX(50, INT_MAX), -16384);
        QCOMPARE(screenX(670, 351), 319);
        QCOMPARE(runningHorseSpots(INT_MIN, INT_MAX, 1).player2X, 16384);
        QCOMPARE(runningHorseSpots(INT_MIN, INT_MAX, 0).player1X, -16384);
        QCOMPARE(scrolledBackground(INT_MAX, INT_MAX, INT_MIN), INT_MAX);
        QCOMPARE(scrolledBackground(0, INT_MIN, INT_MAX), INT_MIN);
        RaceGame game;
        gs.raceTick = 7;
        gs.lastPos1 = INT_MIN;
        game.putHorse(INT_MAX, INT_MIN);
        QCOMPARE(gs.lastPos1, INT_MAX);
    }

    // ---- the start ----

    void startBoardWaitsWithoutTexts_data()
    {
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<QColor>("judge");
        QTest::newRow("ready") << 3 << judge1;
        QTest::newRow("flag at 5") << 5 << judge2;
    }

    void startBoardWaitsWithoutTexts()
    {
        QFETCH(int, raceTick);
        QFETCH(QColor, judge);
        RaceGame game;
        const QImage shown = game.objectsAt(0, raceTick);
        QCOMPARE(colourAt(shown, 50, 75), face);
        QCOMPARE(colourAt(shown, 159, 124), face);
        QCOMPARE(colourAt(shown, 160, 75), fill);
        QCOMPARE(colourAt(shown, 60, 125), leg);
        QCOMPARE(colourAt(shown, 149, 131), leg);
        QCOMPARE(colourAt(shown, 150, 125), fill);
        QCOMPARE(colourAt(shown, 20, 130), judge);
        // The panel stays black: no "GO!", no names, no read-outs before the off.
        QCOMPARE(pixelsOtherThan(shown, QRect(54, 79, 102, 42), panel), 0);
        QCOMPARE(pixelsOtherThan(shown, QRect(0, 255, 240, 30), fill), 0);
    }

    void startBoardCarriesGoAndNamesOnceRunning()
    {
        RaceGame game;
        qstrcpy(gs.horseName, "BLACK BEAUTY   ");
        const QImage shown = game.objectsAt(0, 7);
        QCOMPARE(gs.myName, QStringLiteral("BLACK BEAUTY   "));
        QCOMPARE(colourAt(shown, 20, 130), judge1);
        // Over the black panel the board's texts look exactly like the texts alone.
        const QImage go = textOn(panel, 240, 12, 75, Qt::white, {90, 90}, QStringLiteral("GO!"));
        const QRect goArea(86, 79, 40, 12);
        QVERIFY(pixelsOtherThan(shown, goArea, panel) > 0);
        QCOMPARE(shown.copy(goArea), go.copy(goArea));
        const QImage names = drawnOn(panel, 240, [](QPainter &painter) {
            painter.setFont(gameFont(8, 75));
            painter.setPen(QColor(255, 50, 50));
            drawTextAt(painter, 58, 100, QStringLiteral("1. BLACK BEAUTY   "));
            painter.setPen(QColor(50, 50, 255));
            drawTextAt(painter, 58, 110, QStringLiteral("2. SUPER FAST     "));
        });
        const QRect namesArea(58, 93, 97, 27);
        QVERIFY(pixelsOtherThan(shown, namesArea, panel) > 0);
        QCOMPARE(shown.copy(namesArea), names.copy(namesArea));
    }

    void startBoardScrollsAwayWithPlayer1()
    {
        RaceGame game;
        const QImage shown = game.objectsAt(100, 7); // board at screen x -50
        QCOMPARE(colourAt(shown, 59, 75), face);
        QCOMPARE(colourAt(shown, 60, 75), fill);
        QCOMPARE(colourAt(shown, 40, 125), leg); // right leg at -50 + 90
        const QImage gone = game.objectsAt(200, 7);
        QCOMPARE(pixelsOtherThan(gone, QRect(0, 60, 240, 80), fill), 0);
    }

    void startSequenceFrames_data()
    {
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<int>("probeX");
        QTest::addColumn<QColor>("player2");
        QTest::addColumn<QColor>("player1");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("textAt");
        QTest::newRow("0") << 0 << 5 << race3 << race1 << "1000M RACE" << QPoint(67, 90);
        QTest::newRow("2") << 2 << 5 << race3 << race1 << "1000M RACE" << QPoint(67, 90);
        QTest::newRow("3") << 3 << 5 << race3 << race1 << "READY..." << QPoint(70, 90);
        QTest::newRow("4") << 4 << 5 << race3 << race1 << "READY..." << QPoint(70, 90);
        QTest::newRow("5") << 5 << 45 << race4 << race1 << "GO!" << QPoint(90, 90);
        QTest::newRow("6") << 6 << 75 << race3 << race2 << "GO!" << QPoint(90, 90);
    }

    void startSequenceFrames()
    {
        QFETCH(int, raceTick);
        QFETCH(int, probeX);
        QFETCH(QColor, player2);
        QFETCH(QColor, player1);
        QFETCH(QString, text);
        QFETCH(QPoint, textAt);
        RaceGame game;
        gs.raceTick = raceTick;
        const QImage shown = game.horsesAt(0, 0);
        QCOMPARE(colourAt(shown, probeX, 165), player2);
        QCOMPARE(colourAt(shown, probeX, 195), player1); // drawn over player 2's picture
        QCOMPARE(colourAt(shown, probeX - 3, 229), player1);
        QCOMPARE(colourAt(shown, probeX - 3, 230), fill);
        const QImage expected = textOn(fill, 240, 12, 75, Qt::white, textAt, text);
        const QRect textArea(60, 76, 120, 16);
        QCOMPARE(shown.copy(textArea), expected.copy(textArea));
        QVERIFY(pixelsOtherThan(shown, QRect(58, 93, 100, 18), fill) > 0); // the two names
    }

    // ---- along the course ----

    void distanceBoardWithItsNumber()
    {
        RaceGame game;
        const QImage shown = game.objectsAt(500, 7); // "800" at course x 670: screen x 170
        QCOMPARE(colourAt(shown, 170, 100), face);
        QCOMPARE(colourAt(shown, 229, 124), face);
        QCOMPARE(colourAt(shown, 230, 100), fill);
        QCOMPARE(colourAt(shown, 169, 100), fill);
        QCOMPARE(colourAt(shown, 180, 125), leg);
        QCOMPARE(colourAt(shown, 189, 131), leg);
        QCOMPARE(colourAt(shown, 190, 125), fill);
        QCOMPARE(colourAt(shown, 210, 125), leg);
        QCOMPARE(colourAt(shown, 219, 131), leg);
        QCOMPARE(colourAt(shown, 220, 131), fill);
        QCOMPARE(colourAt(shown, 174, 104), panel);
        QCOMPARE(colourAt(shown, 170, 132), fill);
        const QImage number = drawnOn(face, 240, [](QPainter &painter) {
            painter.fillRect(174, 104, 52, 17, panel);
            painter.setFont(gameFont(18, 75));
            painter.setPen(Qt::green);
            drawTextAt(painter, 185, 120, QStringLiteral("800"));
        });
        const QRect numberArea(171, 101, 58, 23);
        QCOMPARE(shown.copy(numberArea), number.copy(numberArea));
    }

    void signsByTheirTopLeftCorner()
    {
        RaceGame game;
        const QImage shown = game.objectsAt(300, 7); // the sign at course (360, 8)
        QCOMPARE(colourAt(shown, 60, 8), sign2);
        QCOMPARE(colourAt(shown, 69, 17), sign2);
        QCOMPARE(colourAt(shown, 59, 8), fill);
        QCOMPARE(colourAt(shown, 70, 8), fill);
    }

    // The first position of each window draws the piece right of the screen; one less draws nothing.
    void piecesAppearAtTheStartOfTheirWindow_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<QPoint>("course");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("800 board") << 351 << QPoint(670, 100) << face;
        QTest::newRow("600 board") << 751 << QPoint(1070, 100) << face;
        QTest::newRow("400 board") << 1151 << QPoint(1470, 100) << face;
        QTest::newRow("200 board") << 1551 << QPoint(1870, 100) << face;
        QTest::newRow("sign 2") << 41 << QPoint(360, 8) << sign2;
        QTest::newRow("sign 1") << 601 << QPoint(920, 133) << sign1;
        QTest::newRow("sign 3") << 1401 << QPoint(1720, 133) << sign3;
        QTest::newRow("sign 4") << 1651 << QPoint(1970, 85) << sign4;
        QTest::newRow("finish judge") << 1872 << QPoint(2112, 130) << judge5;
        QTest::newRow("finish line") << 1872 << QPoint(2140, 203) << red;
        QTest::newRow("result board") << 1901 << QPoint(2220, 75) << face;
    }

    void piecesAppearAtTheStartOfTheirWindow()
    {
        QFETCH(int, pos1);
        QFETCH(QPoint, course);
        QFETCH(QColor, colour);
        RaceGame game;
        WideBuffer wide(400);
        gs.pos1 = pos1;
        gs.raceTick = 7;
        gs.screenBuffer->fill(fill);
        game.call("setupObjects");
        QCOMPARE(colourAt(wide.image(), course.x() - pos1, course.y()), colour);
        gs.pos1 = pos1 - 1;
        gs.screenBuffer->fill(fill);
        game.call("setupObjects");
        QCOMPARE(colourAt(wide.image(), course.x() - pos1 + 1, course.y()), fill);
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
        QVERIFY(pixelsOtherThan(shown, area, fill) > 0);
        QCOMPARE(shown.copy(area), expected.copy(area));
    }

    // ---- the finish ----

    void finishJudgeAndLine_data()
    {
        QTest::addColumn<int>("winner");
        QTest::addColumn<QColor>("judge");
        QTest::newRow("no winner yet") << 0 << judge5;
        QTest::newRow("red") << 1 << judge3;
        QTest::newRow("blue") << 2 << judge4;
    }

    void finishJudgeAndLine()
    {
        QFETCH(int, winner);
        QFETCH(QColor, judge);
        RaceGame game;
        gs.winner = winner;
        const QImage shown = game.objectsAt(2000, 7);
        QCOMPARE(colourAt(shown, 112, 130), judge);
        for (int y : {203, 250, 282}) {
            QCOMPARE(colourAt(shown, 140, y), red);
            QCOMPARE(colourAt(shown, 141, y), red);
            QCOMPARE(colourAt(shown, 139, y), fill);
            QCOMPARE(colourAt(shown, 142, y), fill);
        }
        QCOMPARE(colourAt(shown, 140, 202), fill);
        QCOMPARE(colourAt(shown, 140, 283), fill);
        QCOMPARE(colourAt(shown, 220, 75), face); // the result board's left end
    }

    void resultBoardNamesTheWinner_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QString>("named");
        QTest::newRow("own horse red") << 1 << 1 << "1. MY HORSE       ";
        QTest::newRow("computer blue") << 1 << 2 << "2. SUPER FAST     ";
        QTest::newRow("client, red is the other horse") << 0 << 1 << "1. SUPER FAST     ";
        QTest::newRow("client, blue is the own horse") << 0 << 2 << "2. MY HORSE       ";
        QTest::newRow("nobody yet") << 1 << 0 << "";
    }

    void resultBoardNamesTheWinner()
    {
        QFETCH(int, isServer);
        QFETCH(int, winner);
        QFETCH(QString, named);
        RaceGame game;
        WideBuffer wide(400);
        gs.isServer = isServer;
        gs.demoRace = 0;
        gs.winner = winner;
        gs.pos1 = 2000;
        gs.raceTick = 25;
        gs.screenBuffer->fill(fill);
        game.call("setupObjects");
        const QImage expected = drawnOn(face, 400, [&](QPainter &painter) {
            painter.fillRect(224, 79, 102, 42, panel);
            painter.setFont(gameFont(12, 75));
            painter.setPen(Qt::white);
            drawTextAt(painter, 255, 90, QStringLiteral("RESULT"), TextPlace::Course);
            painter.setFont(gameFont(8, 75));
            drawTextAt(painter, 230, 105, QStringLiteral("The Winner is:"), TextPlace::Course);
            painter.setPen(winner == 1 ? QColor(255, 50, 50) : QColor(50, 50, 255));
            drawTextAt(painter, 230, 115, named, TextPlace::Course);
        });
        const QRect panelArea(224, 79, 102, 42);
        QCOMPARE(wide.image().copy(panelArea), expected.copy(panelArea));
    }

    // ---- the horses ----

    void runningHorsesAndGallop_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("p1");
        QTest::addColumn<int>("p2");
        QTest::addColumn<QPoint>("player1");
        QTest::addColumn<QPoint>("player2");
        QTest::newRow("server, blue ahead") << 1 << 1000 << 1030 << QPoint(70, 190) << QPoint(100, 160);
        QTest::newRow("server, blue behind") << 1 << 1000 << 990 << QPoint(70, 190) << QPoint(60, 160);
        QTest::newRow("client, red ahead") << 0 << 1030 << 1000 << QPoint(100, 190) << QPoint(70, 160);
    }

    void runningHorsesAndGallop()
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
        QCOMPARE(gs.gallopFrame, 1);
        const QImage first = game.horsesAt(p1, p2);
        QCOMPARE(colourAt(first, player2.x(), player2.y()), race4);
        QCOMPARE(colourAt(first, player1.x(), player1.y()), race1);
        QCOMPARE(colourAt(first, player1.x() - 1, player1.y() + 20), fill);
        QCOMPARE(gs.gallopFrame, 0);
        const QImage second = game.horsesAt(p1, p2);
        QCOMPARE(colourAt(second, player2.x(), player2.y()), race3);
        QCOMPARE(colourAt(second, player1.x(), player1.y()), race2);
        QCOMPARE(gs.gallopFrame, 1);
        QCOMPARE(gs.raceTick, 7);
    }

    void backgroundScrollsByTheLocalHorsesRun_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::newRow("server") << 1;
        QTest::newRow("client") << 0;
    }

    void backgroundScrollsByTheLocalHorsesRun()
    {
        QFETCH(int, isServer);
        RaceGame game;
        gs.isServer = isServer;
        gs.raceTick = 7;
        gs.backgroundOffset = 5;
        gs.lastPos1 = gs.lastPos2 = 100;
        game.putHorse(isServer ? 130 : 900, isServer ? 900 : 133);
        QCOMPARE(gs.backgroundOffset, isServer ? 35 : 38);
        QCOMPARE(gs.lastPos1, isServer ? 130 : 100);
        QCOMPARE(gs.lastPos2, isServer ? 100 : 133);
        gs.raceTick = 6; // nothing scrolls before the off
        game.putHorse(500, 500);
        QCOMPARE(gs.backgroundOffset, isServer ? 35 : 38);
    }

    void shortNameEndsAtItsNul()
    {
        RaceGame game;
        qstrcpy(gs.horseName, "ABC");
        game.putHorse(0, 0);
        QCOMPARE(gs.myName, QStringLiteral("ABC"));
    }

    // ---- the result ----

    void resultBanner_data()
    {
        QTest::addColumn<int>("isServer");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QString>("text");
        QTest::newRow("server wins") << 1 << 1 << " YOU WIN!";
        QTest::newRow("server loses") << 1 << 2 << "YOU LOSE! ";
        QTest::newRow("client loses") << 0 << 1 << "YOU LOSE! ";
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
        QCOMPARE(gs.raceTick, 21);
        for (QPoint edge : {QPoint(70, 30), QPoint(189, 30), QPoint(70, 54), QPoint(189, 54), QPoint(120, 30)})
            QCOMPARE(colourAt(shown, edge.x(), edge.y()), yellow);
        for (QPoint inside : {QPoint(71, 31), QPoint(188, 53), QPoint(75, 40)})
            QCOMPARE(colourAt(shown, inside.x(), inside.y()), blue);
        for (QPoint outside : {QPoint(69, 40), QPoint(190, 40), QPoint(120, 29), QPoint(120, 55)})
            QCOMPARE(colourAt(shown, outside.x(), outside.y()), fill);
        const QImage expected = drawnOn(fill, 240, [&](QPainter &painter) {
            painter.setBrush(Qt::blue);
            painter.setPen(Qt::yellow);
            painter.drawRect(70, 30, 119, 24);
            painter.setFont(gameFont(18, 75));
            drawTextAt(painter, 80, 50, text);
        });
        const QRect banner(70, 30, 120, 25);
        QCOMPARE(shown.copy(banner), expected.copy(banner));
        if (!text.isEmpty())
            QVERIFY(pixelsOtherThan(shown, banner.adjusted(1, 1, -1, -1), blue) > 0);
    }

    void nothingMoreAfterTheLastResultFrame()
    {
        RaceGame game;
        gs.raceTick = 31;
        gs.winner = 1;
        gs.lastPos1 = 2500;
        const QImage shown = game.horsesAt(2500, 2500);
        QCOMPARE(gs.raceTick, 31);
        QCOMPARE(colourAt(shown, 100, 40), fill); // no banner
    }
};

QTEST_MAIN(TestRaceCourse)
#include "tst_racecourse.moc"
