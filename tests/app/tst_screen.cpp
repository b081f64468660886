// What the screen holds: the field strips wrapped round their ends, texts where drawText puts
// them and never outside their frames, a question's buttons held from tick to tick. What the window
// shows, partial repaints included, is tst_window's.
#include "app/notice.h"
#include "app/paint.h"
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "race/rules/courselayout.h"
#include "screencheck.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>
#include <tuple>

namespace {

// A strip whose every column has its own colour, so that a copied column tells where it came from.
QImage codedStrip(int width)
{
    QImage image(width, 320, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        QPainter(&image).fillRect(x, 0, 1, 320, QColor(qRgb(x & 0xff, x >> 8, 0)));
    return image;
}

void plantCodedStrips(const GameHome &home)
{
    QVERIFY(codedStrip(796).save(home.root() + QStringLiteral("/pics/backgd1.png")));
    QVERIFY(codedStrip(494).save(home.root() + QStringLiteral("/pics/backgd3.png")));
}

void showGame(GameFixture &game, int scale = 1)
{
    QPEApplication::setWindowScale(game.widget(), scale);
    game.widget()->show();
    QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
    QCoreApplication::processEvents();
}
}

class TestScreen : public QObject
{
    Q_OBJECT

private slots:
    // The field (796 wide) and the course (494) are shown from the offset on, wrapped round their
    // end; an offset past the end starts again at 0.
    void stripWindowWrapsRoundTheStripEnd()
    {
        // clang-format off
        struct Row { int kind, offset, shownFrom; }; // kind 1: the field, 4: the course
        const Row rows[] = {{1, 556, 556}, {1, 557, 557}, {1, 796, 796}, {1, 797, 0}, // 557: column 0 at x 239
                            {4, 255, 255}, {4, 494, 494}, {4, 495, 0}};
        // clang-format on
        for (const Row &r : rows) {
            GameFixture game(defaultHorseFile, GameHome::WithoutPictures, plantCodedStrips);
            const int width = r.kind == 1 ? 796 : 494;
            gs.care.backgroundOffset = r.offset;
            game.setupBackgd(r.kind);
            QCOMPARE(gs.care.backgroundOffset, r.shownFrom);
            const QImage screen = game.screen();
            for (int x = 0; x < 240; ++x) {
                const QRgb pixel = screen.pixel(x, 0);
                QCOMPARE(qRed(pixel) + 256 * qGreen(pixel), (r.shownFrom + x) % width);
                QCOMPARE(screen.pixel(x, 319), pixel);
            }
        }
    }

    // Each picture that is missing or damaged is told once, however often its screen is drawn.
    void missingPicturesDrawNothingAndTheGameGoesOn()
    {
        LogCapture log;
        GameFixture game(defaultHorseFile, GameHome::WithoutPictures,
                         [](const GameHome &home) { GameHome::writeFile(home.root() + "/pics/face1.png", "no PNG"); });
        QCOMPARE(game.screen().pixelColor(239, 319), QColor(Qt::white)); // no field: a white screen
        for (int mode : {1, 2, 3, 4, 5, 9, 10, 20, 40, 60}) {
            gs.shell.mode = mode;
            game.widget()->screenBuffer().fill(Qt::red); // what the last screen left
            game.tick(3);
            QCOMPARE(game.screen().pixelColor(239, 319), QColor(Qt::white));
        }
        QCOMPARE(game.screen().size(), QSize(240, 320));
        QStringList told = logLines(log.text()).filter(QStringLiteral("picture"));
        const QString line = QStringLiteral("trotix: Cannot load picture %1/pics/%2 (%3); drawing without it.\n").arg(game.home().root());
        QCOMPARE(told.first(), line.arg("backgd1.png", "No such file or directory"));
        QVERIFY(told.contains(line.arg("face1.png", "Unsupported image format")) && told.removeDuplicates() == 0);
    }

    // The store of laid-out texts draws each exactly as drawText would, also again on the same ground
    // (copied back) and on a ground changed a little.
    void drawTextAtPutsTheTextWhereDrawTextWould()
    {
        const QList<std::tuple<int, int, QString>> texts{
            {10, 50, "Hostname/IP Address of the Challenger:"}, {18, 75, " YOU WIN!"}, {10, 50, "<b>x</b> & y"}};
        for (const auto &[size, weight, text] : texts) {
            QImage stored(240, 60, QImage::Format_RGB32), plain(240, 60, QImage::Format_RGB32);
            const QRect ink = QFontMetrics(gameFont(size, weight), &stored).tightBoundingRect(text).translated(5, 40);
            for (int i = 0; i < 4; ++i) { // changed only at the kept box's right end, then also in its top row
                for (QImage *image : {&stored, &plain}) {
                    image->fill(Qt::white);
                    QPainter painter(image);
                    painter.setFont(gameFont(size, weight));
                    painter.setPen(QColor(50, 50, 255));
                    if (i > 1)
                        painter.fillRect(ink.right() + 1, 0, 2, 60, QColor(254, 254, 254));
                    if (i > 2)
                        painter.fillRect(0, ink.top() - 3, 240, 1, QColor(254, 254, 254)); // each a byte off
                    image == &stored ? drawTextAt(painter, 5, 40, text) : painter.drawText(5, 40, text);
                }
                QCOMPARE(stored, plain);
            }
        }
    }

    // Dark ink gets a light halo when the ground under it or a pixel around it gives too little
    // contrast (below 4.5); a darker pixel two away does not count, nor does any ground under light ink.
    void aHaloWhereTheGroundNextToDarkInkIsDark()
    {
        DrawnText last;
        setDrawnTextObserver([&](const DrawnText &text) { last = text; });
        auto stopObserving = qScopeGuard([] { setDrawnTextObserver({}); });
        QImage image(240, 60, QImage::Format_RGB32);
        const auto haloed = [&](QColor pen, QPoint at, QRgb ground, QRgb all = qRgb(255, 255, 255)) {
            image.fill(all);
            if (!at.isNull())
                image.setPixel(at, ground);
            QPainter painter(&image);
            painter.setFont(gameFont(10, 50));
            painter.setPen(pen);
            drawTextAt(painter, 20, 40, QStringLiteral("Ready"));
            return last.halo;
        };
        QVERIFY(!haloed(Qt::black, QPoint(), 0));
        const QRect ink = last.ink;
        const QPoint mid = ink.center();
        // clang-format off
        struct Row { QPoint at; QRgb ground; QColor pen; bool halo; };
        const Row rows[] = {{{ink.left() - 1, mid.y()}, 0, Qt::black, true}, {{ink.left() - 2, mid.y()}, 0, Qt::black, false},
                            {{ink.right() + 1, mid.y()}, 0, Qt::black, true}, {{ink.right() + 2, mid.y()}, 0, Qt::black, false},
                            {{mid.x(), ink.top() - 1}, 0, Qt::black, true}, {{mid.x(), ink.top() - 2}, 0, Qt::black, false},
                            {{mid.x(), ink.bottom() + 1}, 0, Qt::black, true}, {{mid.x(), ink.bottom() + 2}, 0, Qt::black, false},
                            {mid, qRgb(108, 108, 108), Qt::black, true}, {mid, qRgb(124, 124, 124), Qt::black, false}, // 4.0, 5.0
                            {mid, 0, QColor(60, 60, 60), true}, {mid, 0, QColor(90, 90, 90), false}};
        // clang-format on
        for (const Row &r : rows)
            QVERIFY2(haloed(r.pen, r.at, r.ground) == r.halo, qPrintable(QDebug::toString(r.at)));
        // As drawn on a ground too dark for black ink: light all round the ink.
        QVERIFY(haloed(Qt::black, QPoint(), 0, qRgb(40, 40, 40)));
        QCOMPARE(digest(image), QStringLiteral("73faefb6df8f")); // the eight copies blended: a side left out shows here
        // Ink that would reach the screen's last column (the smoothing's fringe) is fitted smaller,
        // also in the narrow face.
        QPainter painter(&image);
        QFont narrow = gameFont(10, 50);
        narrow.setFamilies({QStringLiteral("Nimbus Sans Narrow")});
        painter.setFont(narrow);
        drawTextAt(painter, 0, 15, QStringLiteral("Ready"), TextPlace::Course);
        drawTextAt(painter, 239 - last.ink.right(), 15, QStringLiteral("Ready"));
        QVERIFY(last.ink.right() < 239);
    }

    // Every text a screen draws stays inside its frame, drawn with the widest name and the largest
    // numbers the game can show: the first of its screen's frames that holds its start (the status
    // page's inner frame, the partner's banner inside its edge, the screen), and on the race course
    // the panel of the board it rides on. The 240 x 320 buffer they are drawn into is enlarged
    // pixel for pixel at every zoom, so what holds at 1x holds at 2x and 3x.
    void everyTextStaysInItsFrame()
    {
        // Each: the slots called (each then one tick), the mode and network state set (unless -1),
        // the ticks, a text over the trees, drawn with a light halo, the frames, and the top of a
        // paragraph below which every text has the same face (0: none).
        const QByteArray widest = "WWWWWWWWWWWWWWW\n40.0\n1000.0\n1000.0\n1000.0\n1000.0\n";
        const QRect screen(0, 0, 239, 320);                            // the last column is left to the fringe of the smoothing
        const QRect banner = partnerBannerRect.adjusted(2, 2, -2, -2); // a pixel of air inside its edge
        // clang-format off
        struct Row { QByteArray attr; QByteArrayList calls; int mode, netState, ticks; QString haloed; QList<QRect> frames; int even; };
        const Row rows[] = {{templateHorseFile, {}, -1, 0, 1, "", {screen}, 0}, {widest, {"aboutTrotix"}, -1, 0, 1, "", {screen}, 140},
                            {widest, {"change2status"}, -1, 0, 1, "", {QRect(8, 8, 224, 304)}, 0},
                            {widest, {"change2client", "confirmNetwork"}, -1, 0, 4, "", {screen}, 0}, // CONFIRM, no address
                            {widest, {}, ModeServerWait, 10, 1, "Disconnected unexpectedly.", {screen}, 0}, // the challenger lost
                            {widest, {}, ModeServerWait, 4, 1, "", {screen}, 0}, {widest, {}, ModeServerWait, 30, 1, "", {screen}, 0},
                            {widest, {}, ModeClientConnect, 30, 1, "", {screen}, 0}, // refused
                            {widest, {}, ModeClientRace, 10, 1, "", {banner, screen}, 0}, // the host left mid-race: its banner
                            {widest, {}, ModeClientRace, 5, 1, "", {screen}, 0}, // a network race's result, offering another
                            {widest, {"change2racedemo"}, -1, 0, 400, "", {screen}, 0}};
        // clang-format on
        for (const auto &[attr, calls, mode, netState, ticks, haloed, frames, even] : rows) {
            GameFixture game(attr);
            gs.race.opponentName = QStringLiteral("WWWWWWWWWWWWWWW");
            // The field scrolled so that its big tree stands under the connection screens' lines.
            gs.care.backgroundOffset = 100;
            QList<std::pair<DrawnText, bool>> drawn; // and whether inside its frame
            setDrawnTextObserver([&, &frames = frames](const DrawnText &text) {
                QList<QRect> in = frames;
                if (text.place == TextPlace::Course) {
                    in = {bigBoard(screenX(startBoardX, gs.race.positions.pos1)).panel,
                          bigBoard(screenX(resultBoardX, gs.race.positions.pos1)).panel};
                    for (const DistanceBoardSpot &board : distanceBoards)
                        in << distanceBoard(screenX(board.courseX, gs.race.positions.pos1)).panel;
                }
                const auto frame = std::find_if(in.cbegin(), in.cend(), [&](const QRect &r) { return r.contains(text.ink.topLeft()); });
                drawn.append({text, frame != in.cend() && frame->contains(text.ink)});
            });
            auto stopObserving = qScopeGuard([] { setDrawnTextObserver({}); });
            for (const QByteArray &slot : calls)
                game.call(slot.constData()), game.tick();
            if (mode >= 0)
                std::tie(gs.shell.mode, gs.net.netState) = std::pair(mode, netState);
            if (mode == ModeClientRace && netState == 5)
                std::tie(gs.race.raceTick, gs.race.positions.pos1, gs.race.positions.pos2, gs.race.winner, gs.net.resultKnown) =
                    std::tuple(20, 2005, 2010, 2, 1);
            for (int i = 0; i < ticks && gs.shell.mode != ModeIdle; ++i)
                game.tick();
            QVERIFY(!drawn.isEmpty());
            if (gs.net.resultKnown) // the winner named on the result board, whichever horse won
                QVERIFY(std::any_of(drawn.cbegin(), drawn.cend(),
                                    [](const auto &t) { return t.first.text.startsWith(QString::number(gs.race.winner) + ". W"); }));
            for (const auto &[text, inside] : std::as_const(drawn)) {
                QVERIFY2(inside, qPrintable(QStringLiteral("\"%1\" covers %2").arg(text.text, QDebug::toString(text.ink))));
                QVERIFY(!even || text.ink.top() < even || text.font == drawn.last().first.font);
            }
            const auto it = std::find_if(drawn.cbegin(), drawn.cend(), [&halo = haloed](const auto &t) { return t.first.text == halo; });
            QVERIFY(haloed.isEmpty() || (it != drawn.cend() && it->first.halo));
        }
    }

    // The notice over the screen, here the no-save notice with a long reason, is drawn whole and
    // inside its box at every zoom, and each button's label inside the button's frame, with air.
    // Its colours and its going are the notice film's.
    void theNoticeAndTheButtonsFitAtEveryZoom()
    {
        GameFixture game(defaultHorseFile, GameHome::WithPictures, [](const GameHome &) {
            forbidSaving(gs, QStringLiteral("Your horse's save cannot be locked (the lock left by game 4194304, "
                                            "which has ended, cannot be removed: "
                                            "/home/a-long-name/.local/share/trotix/trotix_attr.conf.lock).\n"));
        });
        const QString notice = game.widget()->notice();
        QVERIFY(notice.startsWith(gs.shell.noSaveReason) && notice.endsWith(u"This session will not be saved."));
        const QRect box = layoutNotice(notice).box;
        // Clear of the naming field and the buttons, none of which stands over a named horse's start.
        QVERIFY(!box.intersects(part<QLineEdit>("nameEdit")->geometry()) && box.bottom() < part<QPushButton>("okButton")->y());
        for (int scale : {1, 2, 3}) {
            showGame(game, scale);
            for (QPushButton *button : game.widget()->findChildren<QPushButton *>()) {
                QVERIFY(button->isHidden());
                QStyleOptionButton option;
                option.initFrom(button);
                const QRect ink = QFontMetrics(button->font()).tightBoundingRect(button->text());
                QVERIFY2(ink.width() + 2 * scale <= button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width(),
                         qPrintable(QStringLiteral("x%1: %2").arg(scale).arg(button->text())));
            }
            QStringList drawn;
            setDrawnTextObserver([&](const DrawnText &text) {
                drawn << text.text;
                QVERIFY2(box.contains(text.ink), qPrintable(QStringLiteral("x%1: \"%2\" leaves the box").arg(scale).arg(text.text)));
            });
            game.widget()->repaint();
            // Whole: a word too long for the box is cut, never lost.
            QCOMPARE(drawn.join(QString()).remove(QLatin1Char(' ')), QString(notice).remove(QRegularExpression("\\s")));
            setDrawnTextObserver({});
        }
    }

    // A click pressed before a tick and released after it still presses the button.
    void aClickHeldAcrossATickStillPressesTheButton()
    {
        GameFixture game;
        showGame(game);
        game.call("change2client");
        for (int tick = 1; tick <= 3; ++tick) { // each tick's repaint delivered, as the event loop would
            game.tick();
            QCoreApplication::processEvents();
            if (tick == 1)
                QTest::mousePress(part<QPushButton>("cancelButton"), Qt::LeftButton);
        }
        QTest::mouseRelease(part<QPushButton>("cancelButton"), Qt::LeftButton);
        QCOMPARE(gs.shell.mode, int(ModeIdle));
    }
};

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
