// The zoom rules, a click landing on the zoomed button, a bad TROTIX_SCALE, and TROTIX_TICK_MS. What each screen
// and zoom shows is tst_window's.
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/screenscale.h"
#include "platform/windowsettings.h"

#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>

class TestScreenScale : public QObject
{
    Q_OBJECT

private slots:
    void theZoomRules()
    {
        using ScreenScale::fit;
        // TROTIX_SCALE: fit, or a number from 1 to 16, else 0 (the screen decides).
        const QList<std::pair<QByteArray, qreal>> texts{
            {"", 0},    {"1", 1},     {" 2\n", 2},     {"1.5", 1.5}, {"2.0", 2},
            {"16", 16}, {"16.01", 0}, {"0.9", 0},      {"-2", 0},    {"+2", 0},
            {".5", 0},  {"1e1", 0},   {" FIT\n", fit}, {"fits", 0},  {"99999999999999999999", 0}};
        for (const auto &[text, scale] : texts)
            QCOMPARE(ScreenScale::parseScale(text), scale);
        // The largest zoom whose window and frame fit the available room.
        const QList<std::pair<QSize, int>> rooms{{{1920, 1080}, 3}, {{3840, 2100}, 6}, {{512, 704}, 2},       {{511, 704}, 1},
                                                 {{512, 703}, 1},   {{200, 200}, 1},   {{100000, 100000}, 16}};
        for (const auto &[room, scale] : rooms)
            QCOMPARE(ScreenScale::automaticScale(room), scale);
        // A start: asked, else remembered, while its window fits; else the largest whole zoom, or
        // fit where 2x does not.
        const QList<std::tuple<qreal, qreal, QSize, qreal>> starts{
            {0, 0, {1280, 768}, 2},      {0, 0, {640, 480}, fit},   {0, 0, {512, 703}, fit},  {1.5, 3, {1920, 1080}, 1.5},
            {0, 3, {1920, 1080}, 3},     {16, 0, {1920, 1080}, 3},  {3, 0, {640, 480}, fit},  {1, 0, {200, 200}, 1},
            {0, fit, {1920, 1080}, fit}, {1.5, 0, {392, 544}, 1.5}, {1.5, 0, {392, 543}, fit}};
        for (const auto &[requested, remembered, room, zoom] : starts)
            QCOMPARE(ScreenScale::startZoom(requested, remembered, room), zoom);
        // The picture in its window: as large as the shape allows, centred; never below 1x.
        const QList<std::pair<QSize, QRect>> windows{{{360, 720}, {0, 120, 360, 480}},  {{640, 480}, {140, 0, 360, 480}},
                                                     {{1280, 800}, {340, 0, 600, 800}}, {{500, 700}, {0, 16, 500, 667}},
                                                     {{481, 640}, {0, 0, 480, 640}},    {{184, 245}, {0, 0, 240, 320}}};
        for (const auto &[window, picture] : windows)
            QCOMPARE(ScreenScale::pictureIn(window), picture);
        // OK's place at 1.5x, and back: the device's pixels it covers.
        const QRect ok(100, 260, 35, 20), picture(140, 0, 360, 480);
        QCOMPARE(ScreenScale::onPicture(ok, picture), QRect(290, 390, 53, 30));
        QCOMPARE(ScreenScale::underPicture(QRect(290, 390, 53, 30), picture), ok);
        QCOMPARE(ScreenScale::rescaledStyleSheet("border: 1px; padding: 2px 10px;", 2.5), "border: 3px; padding: 5px 25px;");
        // A screen no larger than the device's is filled.
        QVERIFY(ScreenScale::isDeviceSized({240, 320}) && !ScreenScale::isDeviceSized({240, 321})
                && !ScreenScale::isDeviceSized({320, 240}));
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
            QVERIFY(!part<QPushButton>("okButton")->isHidden());
            QPEApplication::setWindowScale(widget, 2);
            widget->show();
            QVERIFY(QTest::qWaitForWindowExposed(widget));
            QCOMPARE(widget->childAt(click) == part<QPushButton>("okButton"), onOk);
            // Through the window, as the window system delivers a click: it finds the button itself.
            QTest::mouseClick(widget->windowHandle(), Qt::LeftButton, Qt::NoModifier, click);
            QCOMPARE(gs.shell.mode, onOk ? int(ModeIdle) : int(ModeAbout));
        }
    }

    void aBadZoomIsEchoedPrintableOnOneLine()
    {
        // 32 characters shown: a line separator too is no character a log line may hold.
        qputenv("TROTIX_SCALE", "3\ntrotix: Write Attribute ~\xc3\xa9\xe2\x80\xa8\x7f\x1bXYZ");
        const auto unset = qScopeGuard([] { qunsetenv("TROTIX_SCALE"); });
        LogCapture log;
        QCOMPARE(QPEApplication::requestedScale(), qreal(0));
        QCOMPARE(log.text(), QByteArray("trotix: TROTIX_SCALE=3?trotix: Write Attribute ~\xc3\xa9???X is neither fit nor a "
                                        "number from 1 to 16; the zoom follows the screen.\n"));
    }

    // TROTIX_TICK_MS only ever shortens the tick, to a whole number of milliseconds; a bad value leaves a second.
    void aTestTickIsShorterThanASecondOrNotAtAll()
    {
        const auto unset = qScopeGuard([] { qunsetenv("TROTIX_TICK_MS"); });
        const QList<std::pair<QByteArray, int>> texts{{"", 1000},     {"1", 1},    {" 20\n", 20}, {"1000", 1000},
                                                      {"1001", 1000}, {"0", 1000}, {"-5", 1000},  {"2e1", 1000}};
        for (const auto &[text, interval] : texts) {
            qputenv("TROTIX_TICK_MS", text);
            QCOMPARE(QPEApplication::tickMilliseconds(), interval);
        }
    }
};

QTEST_MAIN(TestScreenScale)
#include "tst_screenscale.moc"
