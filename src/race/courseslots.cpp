// Drawing the race: the course furniture, the horses, the start sequence, the result, and the
// banner of a partner silent or gone.
#include "app/gamesound.h"
#include "app/paint.h"
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/rules/partnerline.h"
#include "net/rules/protocol.h"
#include "race/rules/courselayout.h"
#include "race/rules/raceclock.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

const QColor player1Colour(255, 50, 50);
const QColor player2Colour(50, 50, 255);
const QColor boardFace(50, 50, 50);
const QColor boardLeg(20, 20, 20);
const QColor boardPanel(0, 0, 0);

const QFont &bigFont() { return gameFont(12, 75); }
const QFont &nameFont() { return gameFont(8, 75); }
const QFont &numberFont() { return gameFont(18, 75); }

// The name as it stands in the horse's record: at most 15 characters, shorter if a hand-edited
// file ended it early.
void refreshMyName() { gs.race.myName = QString::fromLatin1(gs.horse.name, int(qstrnlen(gs.horse.name, 15))); }

// Each device draws its own horse as `myName`: player 1 on the server's side, player 2 on the
// client's. The names ride on the course's boards, within the room the board gives them.
void drawName(QPainter &painter, int x, int y, int player, int room)
{
    const bool mine = (player == 1) == (gs.shell.isServer == 1);
    painter.setFont(nameFont());
    painter.setPen(player == 1 ? player1Colour : player2Colour);
    drawNameAt(painter, x, y, QLatin1String(player == 1 ? "1. " : "2. "), mine ? gs.race.myName : gs.race.opponentName,
               room, TextPlace::Course);
}

void drawBoth(QPainter &painter, QPoint at)
{
    const int room = nameRoomOnBoard(startBoardX, startBoardNames.x());
    drawName(painter, at.x(), at.y(), 1, room);
    drawName(painter, at.x(), at.y() + 10, 2, room);
}

void drawBoard(QPainter &painter, const BoardParts &board)
{
    painter.fillRect(board.face, boardFace);
    painter.fillRect(board.leftLeg, boardLeg);
    painter.fillRect(board.rightLeg, boardLeg);
    painter.fillRect(board.panel, boardPanel);
}

void drawText(QPainter &painter, const QFont &font, const QColor &colour, QPoint at, const QString &text,
              TextPlace place = TextPlace::Screen)
{
    painter.setFont(font);
    painter.setPen(colour);
    drawTextAt(painter, at.x(), at.y(), text, place);
}

QPoint onScreen(QPoint course, int pos1) { return {screenX(course.x(), pos1), course.y()}; }

void drawReadouts(QPainter &painter)
{
    drawText(painter, nameFont(), Qt::red, readoutAt, QString::asprintf("1. %d", gs.race.positions.pos1 / 2));
    drawText(painter, nameFont(), Qt::blue, readoutAt + QPoint(0, 10),
             QString::asprintf("2. %d", gs.race.positions.pos2 / 2));
}

void drawStart(QPainter &painter, const Pictures &pictures, int pos1)
{
    const StartBoard form = startBoardForm(pos1, gs.race.raceTick);
    if (form == StartBoard::Hidden)
        return;
    drawBoard(painter, bigBoard(screenX(startBoardX, pos1)));
    painter.drawImage(screenX(startJudgeX, pos1), judgeY,
                      pictures[nth(Picture::Judge1, startJudgePicture(form, gs.race.raceTick))]);
    if (form == StartBoard::Running) {
        drawText(painter, bigFont(), Qt::white, onScreen(startGoText, pos1), QStringLiteral("GO!"), TextPlace::Course);
        drawBoth(painter, onScreen(startBoardNames, pos1));
    }
}

void drawAlongTheCourse(QPainter &painter, const Pictures &pictures, int pos1)
{
    for (const DistanceBoardSpot &board : distanceBoards) {
        if (!board.shown.contains(pos1))
            continue;
        const int x = screenX(board.courseX, pos1);
        drawBoard(painter, distanceBoard(x));
        drawText(painter, numberFont(), Qt::green, {x + 15, 120}, QLatin1String(board.number), TextPlace::Course);
    }
    for (const SignSpot &sign : signSpots) {
        if (sign.shown.contains(pos1))
            painter.drawImage(onScreen(sign.course, pos1), pictures[nth(Picture::Sign1, sign.picture)]);
    }
}

void drawFinish(QPainter &painter, const Pictures &pictures, int pos1)
{
    if (finishShown.contains(pos1)) {
        painter.drawImage(screenX(finishJudgeX, pos1), judgeY,
                          pictures[nth(Picture::Judge1, finishJudgePicture(gs.race.winner))]);
        painter.fillRect(finishLineOnScreen(pos1), Qt::red);
    }
    if (resultBoardShown.contains(pos1)) {
        drawBoard(painter, bigBoard(screenX(resultBoardX, pos1)));
        drawText(painter, bigFont(), Qt::white, onScreen(resultTitle, pos1), QStringLiteral("RESULT"),
                 TextPlace::Course);
        drawText(painter, nameFont(), Qt::white, onScreen(resultWinnerIs, pos1), QStringLiteral("The Winner is:"),
                 TextPlace::Course);
        if (gs.race.winner == 1 || gs.race.winner == 2) {
            const QPoint at = onScreen(resultWinnerName, pos1);
            drawName(painter, at.x(), at.y(), gs.race.winner, nameRoomOnBoard(resultBoardX, resultWinnerName.x()));
        }
    }
}

// Blue with a yellow edge: the result's banner, and the partner's in its style.
void drawBannerBox(QPainter &painter, const QRect &rect)
{
    painter.setBrush(Qt::blue);
    painter.setPen(Qt::yellow);
    drawExactRect(painter, rect);
}

void drawBanner(QPainter &painter)
{
    // The banner fills exactly its 120 x 25 pixels, the yellow edge included.
    drawBannerBox(painter, bannerRect);
    if (const char *text = bannerText(gs.race.winner, gs.shell.isServer)) {
        painter.setFont(numberFont());
        drawTextAt(painter, bannerTextAt.x(), bannerTextAt.y(), text);
    }
}

// Over everything else: the other game is silent or gone. The text stands in the middle; a long
// name's is fitted from the banner's left, inside its edge, by the name rule.
void drawPartnerBanner(QPainter &painter, const Partner::Line &line, const QString &name)
{
    drawBannerBox(painter, partnerBannerRect);
    painter.setFont(bigFont());
    const int width = QFontMetrics(bigFont()).horizontalAdvance(line.lead + name + line.tail);
    const int x = qMax(partnerBannerRect.left() + 4, partnerBannerRect.center().x() - width / 2);
    drawNameAt(painter, x, partnerBannerBaseline, line.lead, name, partnerBannerRect.right() - 4 - x, TextPlace::Screen,
               line.tail);
}

}

bool Trotix::partnerGone() const
{
    return raceSide(gs.shell.isServer, gs.race.demoRace) != RaceSide::Computer
           && Protocol::raceBroken(gs.net.netState, gs.net.resultKnown == 1);
}

void Trotix::setupObjects()
{
    refreshMyName();
    const int pos1 = gs.race.positions.pos1;
    QPainter painter(&m_screenBuffer);
    if (horsesRun(gs.race.raceTick))
        drawReadouts(painter);
    drawStart(painter, m_pictures, pos1);
    drawAlongTheCourse(painter, m_pictures, pos1);
    drawFinish(painter, m_pictures, pos1);
}

void Trotix::putHorse(int p1, int p2)
{
    const RaceSide side = raceSide(gs.shell.isServer, gs.race.demoRace);
    const bool network = side != RaceSide::Computer;
    // A race whose partner is gone stands still under the banner that says so: no clock, no
    // gallop, no sound, no start signal.
    const bool halted = partnerGone();
    {
        QPainter painter(&m_screenBuffer);
        if (horsesRun(gs.race.raceTick)) {
            const bool localIs1 = gs.shell.isServer == 1;
            int &lastLocal = localIs1 ? gs.race.lastPos1 : gs.race.lastPos2;
            const int local = localIs1 ? p1 : p2;
            gs.care.backgroundOffset = scrolledBackground(gs.care.backgroundOffset, local, lastLocal);
            lastLocal = local;

            const HorseSpots spots = runningHorseSpots(p1, p2, gs.shell.isServer);
            const bool first = gs.race.gallopFrame == 1;
            painter.drawImage(spots.player2X, player2Lane, m_pictures[nth(Picture::Race1, first ? 4 : 3)]);
            painter.drawImage(spots.player1X, player1Lane, m_pictures[nth(Picture::Race1, first ? 1 : 2)]);
            if (!halted)
                gs.race.gallopFrame = first ? 0 : 1;
        }
        if (const StartFrame *frame = startFrame(gs.race.raceTick)) {
            painter.drawImage(frame->horseX, player2Lane, m_pictures[nth(Picture::Race1, frame->player2Picture)]);
            painter.drawImage(frame->horseX, player1Lane, m_pictures[nth(Picture::Race1, frame->player1Picture)]);
            drawText(painter, bigFont(), Qt::white, frame->textAt, QLatin1String(frame->text));
            drawBoth(painter, onScreen(startBoardNames, gs.race.positions.pos1));
        } else if (showsResult(gs.race.raceTick)) {
            drawBanner(painter);
        }
        const Partner::Line partner = network ? Partner::raceLine(gs.net.netState, gs.net.resultKnown == 1,
                                                                  gs.shell.isServer == 1 ? 0 : gs.net.clientQuietTicks)
                                              : Partner::Line();
        if (partner.shown)
            drawPartnerBanner(painter, partner, gs.race.opponentName.trimmed());
    }
    if (!halted) {
        m_sound->play(raceFrameCue(gs.race.raceTick, gs.race.winner, gs.shell.isServer));
        if (givesStartSignal(gs.race.raceTick, side))
            ClientFire();
        gs.race.raceTick = raceTickAfterFrame(gs.race.raceTick, side);
    }
    showBuffer();
}
