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
