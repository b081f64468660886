// What a tick paints on the window: texts exactly where drawText would put them, only the parts
// that changed, and a window that always looks as a full repaint would make it.
#include "app/paint.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/qpeapplication.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <QScopeGuard>

namespace {

// Counts the events of one type that reach an object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type)
        : m_type(type)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

// The game's window shown at 1x on the headless screen.
void showGame(GameFixture &game)
{
    QPEApplication::setWindowScale(game.widget(), 1);
    game.widget()->show();
    QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
    QCoreApplication::processEvents();
}

// A tick and the repaint it asked for, as the event loop would deliver it.
void tickAndPaint(GameFixture &game, int count = 1)
{
    for (int i = 0; i < count; ++i) {
        game.tick();
        QCoreApplication::processEvents();
    }
}

QImage window(const GameFixture &game)
{
    return game.widget()->screen()->grabWindow(game.widget()->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The window after the ticks' partial repaints must be what a repaint of everything shows.
void compareWithFullRepaint(GameFixture &game, const char *where)
{
    const QImage partial = window(game);
    game.widget()->repaint();
    QCoreApplication::processEvents();
    const QImage full = window(game);
    if (partial != full)
        QFAIL(qPrintable(QStringLiteral("the window differs from a full repaint %1").arg(QLatin1String(where))));
}

}

class TestScreenPaint : public QObject
{
    Q_OBJECT

private slots:
    void drawTextAtPutsTheTextWhereDrawTextWould_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("text");

        QTest::newRow("names") << 8 << 75 << QStringLiteral("1. MY HORSE      ");
        QTest::newRow("read-out") << 8 << 75 << QStringLiteral("2. 995");
        QTest::newRow("status value") << 8 << 50 << QStringLiteral("1000");
        QTest::newRow("connection line") << 10 << 50 << QStringLiteral("Hostname/IP Address of the Challenger:");
        QTest::newRow("heading") << 12 << 75 << QStringLiteral("READY...");
        QTest::newRow("horse name") << 14 << 75 << QStringLiteral("MY HORSE");
        QTest::newRow("banner with blanks") << 18 << 75 << QStringLiteral(" YOU WIN!");
        QTest::newRow("markup stays text") << 10 << 50 << QStringLiteral("<b>x</b> & y");
    }

    void drawTextAtPutsTheTextWhereDrawTextWould()
    {
        QFETCH(int, size);
        QFETCH(int, weight);
        QFETCH(QString, text);

        auto drawn = [&](bool laidOut) {
            QImage image(240, 60, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(gameFont(size, weight));
            painter.setPen(QColor(50, 50, 255));
            // Twice: the second time the text comes laid out from the store.
            for (int i = 0; i < 2; ++i) {
                if (laidOut)
                    drawTextAt(painter, 5, 40, text);
                else
                    painter.drawText(5, 40, text);
            }
            return image;
        };
        QCOMPARE(drawn(true), drawn(false));
    }

    // Every text a screen draws at a fixed place stays inside the 240 x 320 screen, drawn with the
    // widest name and the largest numbers the game can show. Texts riding on the race course are
    // cut by the edge as the course scrolls past, on purpose, and are left out.
    void everyTextStaysOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<QByteArrayList>("calls"); // each called, then one tick
        QTest::addColumn<int>("mode");              // set before the ticks, unless -1
        QTest::addColumn<int>("netState");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("haloed"); // a text over the trees, drawn with a light halo
        const QByteArray widest = "WWWWWWWWWWWWWWW\n40.0\n1000.0\n1000.0\n1000.0\n1000.0\n";
        QTest::newRow("naming") << templateHorseFile << QByteArrayList{} << -1 << 0 << 1 << QString();
        QTest::newRow("about") << widest << QByteArrayList{"aboutTrotix"} << -1 << 0 << 1 << QString();
        QTest::newRow("status") << widest << QByteArrayList{"change2status"} << -1 << 0 << 1 << QString();
        QTest::newRow("server question") << widest << QByteArrayList{"change2server"} << -1 << 0 << 1 << QString();
        QTest::newRow("client question, then CONFIRM with no address")
            << widest << QByteArrayList{"change2client", "confirmNetwork"} << -1 << 0 << 4 << QString();
        QTest::newRow("server hand-shake done") << widest << QByteArrayList{} << int(ModeServerWait) << 5 << 1 << QString();
        QTest::newRow("server lost the challenger") << widest << QByteArrayList{} << int(ModeServerWait) << 10 << 1
                                                   << QStringLiteral("Disconnected unexpectedly.");
        QTest::newRow("server port busy") << widest << QByteArrayList{} << int(ModeServerWait) << 30 << 1 << QString();
        QTest::newRow("client hand-shake done") << widest << QByteArrayList{} << int(ModeClientConnect) << 5 << 1 << QString();
        QTest::newRow("client cannot connect") << widest << QByteArrayList{} << int(ModeClientConnect) << 10 << 1 << QString();
        QTest::newRow("client refused") << widest << QByteArrayList{} << int(ModeClientConnect) << 30 << 1 << QString();
        QTest::newRow("race against the computer") << widest << QByteArrayList{"change2racedemo"} << -1 << 0 << 400 << QString();
    }

    void everyTextStaysOnTheScreen()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QByteArrayList, calls);
        QFETCH(int, mode);
        QFETCH(int, netState);
        QFETCH(int, ticks);
        QFETCH(QString, haloed);
        GameFixture game(attr);
        gs.opponentName = QStringLiteral("WWWWWWWWWWWWWWW");
        // The field scrolled so that its big tree stands under the connection screens' lines.
        gs.backgroundOffset = 100;
        QList<DrawnText> drawn;
        setDrawnTextObserver([&](const DrawnText &text) { drawn.append(text); });
        auto stopObserving = qScopeGuard([] { setDrawnTextObserver({}); });
        for (const QByteArray &slot : calls) {
            game.call(slot.constData());
            game.tick();
        }
        if (mode >= 0) {
            gs.mode = mode;
            gs.netState = netState;
        }
        for (int i = 0; i < ticks && gs.mode != ModeIdle; ++i)
            game.tick();
        int checked = 0;
        // The last column is left to the fringe that smoothing adds beside the measured ink.
        const QRect screen(0, 0, 239, 320);
        for (const DrawnText &text : std::as_const(drawn)) {
            if (text.place != TextPlace::Screen)
                continue;
            ++checked;
            QVERIFY2(screen.contains(text.ink),
                     qPrintable(QStringLiteral("\"%1\" covers x %2 to %3, y %4 to %5 in %6 %7 px")
                                    .arg(text.text)
                                    .arg(text.ink.left())
                                    .arg(text.ink.right())
                                    .arg(text.ink.top())
                                    .arg(text.ink.bottom())
                                    .arg(text.font.families().value(0))
                                    .arg(text.font.pixelSize())));
        }
        QVERIFY(checked > 0);
        if (!haloed.isEmpty()) {
            auto it = std::find_if(drawn.cbegin(), drawn.cend(), [&](const DrawnText &t) { return t.text == haloed; });
            QVERIFY(it != drawn.cend());
            QVERIFY(it->halo);
        }
    }

    void aTickDoesNotRepaintTheMenuBar()
    {
        GameFixture game;
        showGame(game);
        EventCounter menuBarPaints(gs.menuBar, QEvent::Paint);
        EventCounter windowPaints(game.widget(), QEvent::Paint);
        tickAndPaint(game, 3);
        QCOMPARE(menuBarPaints.count, 0);
        QVERIFY(windowPaints.count >= 3);
        // The menu bar still repaints itself when an item changes.
        gs.menuBar->setItemEnabled(IdHop, true);
        QCoreApplication::processEvents();
        QVERIFY(menuBarPaints.count > 0);
    }

    void aButtonOverAStillScreenIsPaintedOnlyWhenShown()
    {
        GameFixture game;
        showGame(game);
        game.call("change2server");
        EventCounter confirmPaints(gs.confirmButton, QEvent::Paint);
        tickAndPaint(game);
        QVERIFY(confirmPaints.count > 0);
        confirmPaints.count = 0;
        tickAndPaint(game, 3);
        QCOMPARE(confirmPaints.count, 0);
    }

    void aButtonOverAChangedScreenIsRepainted()
    {
        GameFixture game;
        showGame(game);
        game.call("change2server");
        tickAndPaint(game, 2);
        EventCounter confirmPaints(gs.confirmButton, QEvent::Paint);
        EventCounter cancelPaints(gs.cancelButton, QEvent::Paint);
        gs.backgroundOffset += 10;
        tickAndPaint(game);
        QVERIFY(confirmPaints.count > 0);
        QVERIFY(cancelPaints.count > 0);
        compareWithFullRepaint(game, "after the background moved under the buttons");
    }

    void aQuestionScreenKeepsItsButtonsUpFromTickToTick()
    {
        GameFixture game;
        showGame(game);
        game.call("change2client");
        tickAndPaint(game);
        QVERIFY(gs.confirmButton->isVisible() && gs.cancelButton->isVisible());
        // A click pressed before a tick and released after it needs the button to stay.
        EventCounter confirmHides(gs.confirmButton, QEvent::Hide);
        EventCounter cancelHides(gs.cancelButton, QEvent::Hide);
        tickAndPaint(game, 3);
        QCOMPARE(confirmHides.count, 0);
        QCOMPARE(cancelHides.count, 0);
        QVERIFY(gs.confirmButton->isVisible() && gs.confirmButton->isEnabled());
        QVERIFY(gs.cancelButton->isVisible() && gs.cancelButton->isEnabled());
        QVERIFY(gs.addressEdit->isVisible());
        // Chosen again from the menu, the question screen starts from a cleared screen.
        game.call("change2client");
        QVERIFY(gs.confirmButton->isHidden() && gs.cancelButton->isHidden());
    }

    void theAboutScreenIsDrawnAgainForANewTitlePicture()
    {
        GameFixture game;
        game.call("aboutTrotix");
        game.tick();
        const QImage first = game.screen();
        QImage title(60, 30, QImage::Format_RGB32);
        title.fill(QColor(200, 30, 30));
        gs.titleImage = title;
        game.tick();
        const QImage second = game.screen();
        QCOMPARE(second.pixel(52, 47), qRgb(200, 30, 30));
        QCOMPARE(second.copy(0, 140, 240, 180), first.copy(0, 140, 240, 180));
        game.tick();
        QCOMPARE(game.screen(), second);
    }

    void theWindowAlwaysShowsWhatAFullRepaintWould()
    {
        GameFixture game;
        showGame(game);
        tickAndPaint(game, 2);
        compareWithFullRepaint(game, "on the idle screen");
        game.call("aboutTrotix");
        tickAndPaint(game, 2);
        compareWithFullRepaint(game, "on the about screen");
        game.call("change2server");
        tickAndPaint(game, 2);
        compareWithFullRepaint(game, "on the server question");
        game.call("change2client");
        tickAndPaint(game, 2);
        compareWithFullRepaint(game, "on the client question, from the server question");
        gs.addressEdit->setText(QStringLiteral("127.0.0.1"));
        tickAndPaint(game);
        compareWithFullRepaint(game, "after typing an address");
        // A race with the disconnect button over the scrolling course, as in a network race.
        game.call("change2racedemo");
        gs.disconnectButton->show();
        tickAndPaint(game, 12);
        compareWithFullRepaint(game, "in a race under the disconnect button");
        game.call("change2idle");
        tickAndPaint(game, 2);
        compareWithFullRepaint(game, "back on the idle screen");
    }
};

QTEST_MAIN(TestScreenPaint)
#include "tst_screenpaint.moc"
