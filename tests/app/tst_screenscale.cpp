// The zoomed screen: which zoom a screen gets, sharp pixel blocks, a click landing on the zoomed
// button, and a device-sized screen filled. Run by CTest on the default offscreen
// screen (800 x 800) and, from tests/packaging, on offscreen screens of 240 x 320 and 1920 x 1080.
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/screenscale.h"
#include "platform/windowsettings.h"

#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

QImage renderOwnPaint(QWidget *widget)
{
    QImage shown(widget->size(), QImage::Format_RGB32);
    shown.fill(Qt::black);
    widget->render(&shown, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return shown;
}

// Every screen pixel must come out as a uniform factor x factor block of its own colour.
QString firstBlurredBlock(const QImage &screen, const QImage &shown, int factor)
{
    for (int y = 0; y < 320 * factor; ++y)
        for (int x = 0; x < 240 * factor; ++x)
            if (shown.pixel(x, y) != screen.pixel(x / factor, y / factor))
                return QStringLiteral("shown pixel %1,%2").arg(x).arg(y);
    return QString();
}

}

class TestScreenScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("TROTIX_SCALE"); }

    void theZoomRules()
    {
        // TROTIX_SCALE: a whole number from 1 to 16, else 0 (the screen decides).
        const QList<std::pair<QByteArray, int>> texts{{"", 0}, {" 2\n", 2}, {"16", 16}, {"17", 0}, {"-2", 0},
                                                      {"+2", 0}, {"2.0", 0}, {"99999999999999999999", 0}};
        for (const auto &[text, scale] : texts)
            QCOMPARE(ScreenScale::parseScale(text), scale);
        // The largest zoom whose window and frame fit the available room.
        const QList<std::pair<QSize, int>> rooms{{{1920, 1080}, 3}, {{3840, 2100}, 6}, {{512, 704}, 2}, {{511, 704}, 1},
                                                 {{512, 703}, 1}, {{200, 200}, 1}, {{100000, 100000}, 16}};
        for (const auto &[room, scale] : rooms)
            QCOMPARE(ScreenScale::automaticScale(room), scale);
        // A screen no larger than the device's is filled.
        QVERIFY(ScreenScale::isDeviceSized({240, 320}) && !ScreenScale::isDeviceSized({240, 321})
                && !ScreenScale::isDeviceSized({320, 240}));
    }

    void zoomedWindowShowsEachScreenPixelAsASharpBlock()
    {
        GameFixture game;
        game.call("change2racedemo"); // scenery, horses, signs and text: many sharp edges
        game.tick(12);
        Trotix *widget = game.widget();
        for (int factor : {2, 3}) {
            widget->setScreenScale(factor);
            QCOMPARE(widget->screenScale(), factor);
            widget->setFixedSize(240 * factor, 320 * factor);
            const QString blurred = firstBlurredBlock(game.screen(), renderOwnPaint(widget), factor);
            QVERIFY2(blurred.isEmpty(), qPrintable(blurred));
        }
    }

    // The about screen's OK at (100, 260, 35, 20), zoomed 2x: a click at its zoomed centre
    // presses it; where it sat unzoomed is now plain screen.
    void aClickOnTheZoomedScreenReachesTheButtonAtItsZoomedPlace()
    {
        for (const auto &[click, onOk] : {std::pair{QPoint(234, 540), true}, std::pair{QPoint(117, 270), false}}) {
            GameFixture game;
            Trotix *widget = game.widget();
            game.call("aboutTrotix");
            game.tick();
            QVERIFY(!gs.okButton->isHidden());
            QPEApplication::setWindowScale(widget, 2);
            widget->show();
            QVERIFY(QTest::qWaitForWindowExposed(widget));
            QCOMPARE(widget->childAt(click) == gs.okButton, onOk);
            // Through the window, as the window system delivers a click: it finds the button itself.
            QTest::mouseClick(widget->windowHandle(), Qt::LeftButton, Qt::NoModifier, click);
            QCOMPARE(gs.mode, onOk ? int(ModeIdle) : int(ModeAbout));
        }
    }

    void aBadZoomIsEchoedPrintableOnOneLine()
    {
        qputenv("TROTIX_SCALE", "3\ntrotix: Write Attribute File\x1b");
        const auto unset = qScopeGuard([] { qunsetenv("TROTIX_SCALE"); });
        LogCapture log;
        QCOMPARE(QPEApplication::requestedScale(), 0);
        QCOMPARE(log.text(), QByteArray("trotix: TROTIX_SCALE=3?trotix: Write Attribute File? is not a whole number "
                                        "from 1 to 16; the zoom follows the screen.\n"));
    }

    // The screens the test runs are registered with, and what each must get.
    void eachScreenGetsItsWindow()
    {
        const QSize screen = QGuiApplication::primaryScreen()->size();
        // Runs made for a screen size check that the platform really gave it.
        const QByteArray expected = qgetenv("TROTIX_TEST_EXPECT_SCREEN");
        if (!expected.isEmpty())
            QCOMPARE(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()), QString::fromLatin1(expected));
        GameFixture game;
        Trotix *widget = game.widget();
        game.tick();
        QPEApplication::presentMainWidget(widget, false);
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        // The right-click menu as the guides list it: the window's entries, every zoom that fits, Quit.
        const QList<QAction *> menu = widget->findChild<QMenu *>(QStringLiteral("zoomMenu"))->actions();
        QStringList entries;
        for (const QAction *entry : menu)
            entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        QCOMPARE(entries.mid(0, 5), (QStringList{"How to play", "Pause", "Full screen", "Race record", "-"}));
        QCOMPARE(entries.mid(5 + widget->screenScale()), (QStringList{"-", "&Quit"}));
        if (screen == QSize(240, 320)) {
            // The device's own screen: filled, at 1x, the buffer shown pixel for pixel.
            QVERIFY(widget->isFullScreen());
            QTRY_COMPARE(widget->geometry(), QRect(0, 0, 240, 320));
            QCOMPARE(widget->screenScale(), 1);
            QCOMPARE(renderOwnPaint(widget), game.screen());
            QCOMPARE(widget->childAt(117, 270), nullptr); // idle: no OK button
        } else if (screen == QSize(800, 800)) {
            // Qt's offscreen default: room for 2x but not 3x in height.
            QVERIFY(!widget->isFullScreen());
            QCOMPARE(widget->size(), QSize(480, 640));
            QCOMPARE(widget->screenScale(), 2);
            QPEApplication::setFullScreen(widget, true);
            QVERIFY(WindowSettings::fullScreen()); // remembered for the next start
        } else if (screen == QSize(1920, 1080)) {
            QVERIFY(!widget->isFullScreen());
            QCOMPARE(widget->size(), QSize(720, 960));
            QCOMPARE(widget->screenScale(), 3);
            QVERIFY(firstBlurredBlock(game.screen(), renderOwnPaint(widget), 3).isEmpty());
        } else {
            QSKIP(qPrintable(QStringLiteral("no expectation for a %1 x %2 screen").arg(screen.width()).arg(screen.height())));
        }
        menu.at(5)->trigger(); // Zoom 1x: the device's own size
        QCOMPARE(widget->size(), QSize(240, 320));
    }
};

QTEST_MAIN(TestScreenScale)
#include "tst_screenscale.moc"
