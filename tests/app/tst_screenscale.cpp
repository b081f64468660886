// The zoomed screen: which zoom a screen gets, sharp pixel blocks, children at their zoomed places
// so that clicks land, and a device-sized screen filled. Run by CTest on the default offscreen
// screen (800 x 800) and, from tests/packaging, on offscreen screens of 240 x 320 and 1920 x 1080.
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/screenscale.h"
#include "platform/windowsettings.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
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
    for (int y = 0; y < ScreenScale::deviceHeight; ++y) {
        for (int x = 0; x < ScreenScale::deviceWidth; ++x) {
            const QRgb want = screen.pixel(x, y);
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    if (shown.pixel(x * factor + dx, y * factor + dy) != want)
                        return QStringLiteral("screen pixel %1,%2 at offset %3,%4").arg(x).arg(y).arg(dx).arg(dy);
                }
            }
        }
    }
    return QString();
}

// The window menu's zoom items: all before the separator that comes before Quit.
QList<QAction *> zoomActions(QWidget *widget)
{
    const auto *menu = widget->findChild<QMenu *>(QStringLiteral("zoomMenu"));
    QList<QAction *> zooms;
    for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
        if (action->text().startsWith(QLatin1String("Zoom ")))
            zooms << action;
    }
    return zooms;
}

QAction *windowMenuEntry(QWidget *widget, const QString &text)
{
    const auto *menu = widget->findChild<QMenu *>(QStringLiteral("zoomMenu"));
    for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

class ScaleEnvironment
{
public:
    explicit ScaleEnvironment(const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv("TROTIX_SCALE");
        else
            qputenv("TROTIX_SCALE", value);
    }
    ~ScaleEnvironment() { qunsetenv("TROTIX_SCALE"); }
};

}

class TestScreenScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("TROTIX_SCALE"); }

    void scaleFromTheEnvironmentIsAWholeNumberInRange_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("scale");
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("1") << QByteArray("1") << 1;
        QTest::newRow("2 with blanks") << QByteArray(" 2\n") << 2;
        QTest::newRow("16, the largest") << QByteArray("16") << 16;
        QTest::newRow("17 too large") << QByteArray("17") << 0;
        QTest::newRow("0") << QByteArray("0") << 0;
        QTest::newRow("negative") << QByteArray("-2") << 0;
        QTest::newRow("plus sign") << QByteArray("+2") << 0;
        QTest::newRow("fraction") << QByteArray("2.0") << 0;
        QTest::newRow("hexadecimal") << QByteArray("0x2") << 0;
        QTest::newRow("word") << QByteArray("two") << 0;
        QTest::newRow("beyond int") << QByteArray("99999999999999999999") << 0;
    }
    void scaleFromTheEnvironmentIsAWholeNumberInRange()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, scale);
        QCOMPARE(ScreenScale::parseScale(text), scale);
    }

    void automaticScaleIsTheLargestThatFitsWithRoomForTheFrame_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<int>("scale");
        QTest::newRow("full HD less a panel") << QSize(1920, 1040) << 3;
        QTest::newRow("full HD offscreen") << QSize(1920, 1080) << 3;
        QTest::newRow("laptop 1366 x 728") << QSize(1366, 728) << 2;
        QTest::newRow("1280 x 800") << QSize(1280, 800) << 2;
        QTest::newRow("1440p") << QSize(2560, 1400) << 4;
        QTest::newRow("4K") << QSize(3840, 2100) << 6;
        QTest::newRow("exactly room for 2") << QSize(512, 704) << 2;
        QTest::newRow("one pixel short in width") << QSize(511, 704) << 1;
        QTest::newRow("one pixel short in height") << QSize(512, 703) << 1;
        QTest::newRow("wide but low: height decides") << QSize(5000, 700) << 1;
        QTest::newRow("800 x 600") << QSize(800, 600) << 1;
        QTest::newRow("smaller than the device still 1") << QSize(200, 200) << 1;
        QTest::newRow("huge capped") << QSize(100000, 100000) << ScreenScale::maxScale;
    }
    void automaticScaleIsTheLargestThatFitsWithRoomForTheFrame()
    {
        QFETCH(QSize, available);
        QFETCH(int, scale);
        QCOMPARE(ScreenScale::automaticScale(available), scale);
    }

    void deviceSizedScreensAreAtMost240By320_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("deviceSized");
        QTest::newRow("240 x 320") << QSize(240, 320) << true;
        QTest::newRow("smaller") << QSize(176, 220) << true;
        QTest::newRow("one row more") << QSize(240, 321) << false;
        QTest::newRow("landscape 320 x 240") << QSize(320, 240) << false;
    }
    void deviceSizedScreensAreAtMost240By320()
    {
        QFETCH(QSize, screen);
        QFETCH(bool, deviceSized);
        QCOMPARE(ScreenScale::isDeviceSized(screen), deviceSized);
    }

    void rectanglesAndStyleLengthsGoUpAndBackExactly()
    {
        QCOMPARE(ScreenScale::rescaled(QRect(100, 260, 35, 20), 1, 2), QRect(200, 520, 70, 40));
        QCOMPARE(ScreenScale::rescaled(QRect(200, 520, 70, 40), 2, 3), QRect(300, 780, 105, 60));
        QCOMPARE(ScreenScale::rescaled(QRect(300, 780, 105, 60), 3, 1), QRect(100, 260, 35, 20));
        const QString sheet = QStringLiteral("QMenuBar::item { padding: 2px 5px; margin: 0px; } QMenuBar { spacing: 0px; }");
        QCOMPARE(ScreenScale::rescaledStyleSheet(sheet, 1, 2),
                 QStringLiteral("QMenuBar::item { padding: 4px 10px; margin: 0px; } QMenuBar { spacing: 0px; }"));
        QCOMPARE(ScreenScale::rescaledStyleSheet(ScreenScale::rescaledStyleSheet(sheet, 1, 3), 3, 1), sheet);
    }

    void zoomedWindowShowsEachScreenPixelAsASharpBlock_data()
    {
        QTest::addColumn<int>("factor");
        QTest::newRow("1x") << 1;
        QTest::newRow("2x") << 2;
        QTest::newRow("3x") << 3;
    }
    void zoomedWindowShowsEachScreenPixelAsASharpBlock()
    {
        QFETCH(int, factor);
        GameFixture game;
        game.call("change2racedemo"); // scenery, horses, signs and text: many sharp edges
        game.tick(12);
        Trotix *widget = game.widget();
        widget->setScreenScale(factor);
        QCOMPARE(widget->screenScale(), factor);
        widget->setFixedSize(240 * factor, 320 * factor);
        const QImage shown = renderOwnPaint(widget);
        const QString blurred = firstBlurredBlock(game.screen(), shown, factor);
        QVERIFY2(blurred.isEmpty(), qPrintable(blurred));
    }

    // What the window system shows, not a fresh render: a tick must repaint the whole zoomed window.
    void aTickRepaintsTheWholeZoomedWindow()
    {
        GameFixture game;
        Trotix *widget = game.widget();
        QPEApplication::setWindowScale(widget, 2);
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        QScreen *screen = widget->screen();
        const auto shownCorner = [&] { return screen->grabWindow(widget->winId()).toImage().pixel(470, 630); };
        QTRY_COMPARE(shownCorner(), game.screen().pixel(235, 315)); // the field picture, before any tick
        QVERIFY(game.screen().pixel(235, 315) != qRgb(255, 255, 255));
        game.call("aboutTrotix");
        game.tick(); // the about screen: white from corner to corner
        QTRY_COMPARE(shownCorner(), qRgb(255, 255, 255));
    }

    void childWidgetsMoveToTheirZoomedPlacesAndBack()
    {
        GameFixture game;
        Trotix *widget = game.widget();
        const int barHeight = gs.menuBar->height();
        const int barFont = gs.menuBar->font().pixelSize();
        widget->setScreenScale(2);
        QCOMPARE(gs.okButton->geometry(), QRect(200, 520, 70, 40));
        QCOMPARE(gs.confirmButton->geometry(), QRect(80, 520, 110, 40));
        QCOMPARE(gs.cancelButton->geometry(), QRect(280, 520, 110, 40));
        QCOMPARE(gs.disconnectButton->geometry(), QRect(180, 520, 110, 40));
        QCOMPARE(gs.nameEdit->geometry(), QRect(100, 240, 300, 40));
        QCOMPARE(gs.addressEdit->geometry(), QRect(100, 240, 300, 40));
        QCOMPARE(gs.menuBar->pos(), QPoint(0, 0));
        QCOMPARE(gs.menuBar->width(), 480);
        QVERIFY2(gs.menuBar->height() >= 2 * barHeight - 4 && gs.menuBar->height() <= 2 * barHeight + 4,
                 qPrintable(QString::number(gs.menuBar->height())));
        QCOMPARE(gs.menuBar->font().pixelSize(), 2 * barFont);
        QVERIFY(gs.okButton->font().pointSizeF() > 1.9 * QApplication::font().pointSizeF());

        widget->setScreenScale(3);
        QCOMPARE(gs.okButton->geometry(), QRect(300, 780, 105, 60));
        widget->setScreenScale(1);
        QCOMPARE(gs.okButton->geometry(), QRect(100, 260, 35, 20));
        QCOMPARE(gs.nameEdit->geometry(), QRect(50, 120, 150, 20));
        QCOMPARE(gs.menuBar->geometry(), QRect(0, 0, 240, barHeight));
        QCOMPARE(gs.menuBar->font().pixelSize(), barFont);
        QCOMPARE(gs.okButton->font(), QApplication::font());
    }

    void allFiveMenuTitlesFitTheWindowWidth_data()
    {
        QTest::addColumn<int>("factor");
        QTest::newRow("the device's 240 pixels") << 1;
        QTest::newRow("zoomed 2x") << 2;
    }
    void allFiveMenuTitlesFitTheWindowWidth()
    {
        QFETCH(int, factor);
        GameFixture game;
        Trotix *widget = game.widget();
        widget->setScreenScale(factor);
        widget->setFixedSize(240 * factor, 320 * factor);
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        const QList<QAction *> titles = gs.menuBar->actions();
        QCOMPARE(titles.size(), 5);
        for (QAction *title : titles) {
            const QRect place = gs.menuBar->actionGeometry(title);
            QVERIFY2(place.isValid() && place.right() < 240 * factor, qPrintable(title->text()));
        }
        // No overflow button stands in for hidden titles.
        const auto buttons = gs.menuBar->findChildren<QToolButton *>();
        for (const QToolButton *button : buttons)
            QVERIFY(button->isHidden());
    }

    void aClickOnTheZoomedScreenReachesTheButtonAtItsZoomedPlace_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<bool>("onOk");
        // The about screen shows OK at (100, 260, 35, 20).
        QTest::newRow("the button's zoomed centre") << QPoint((100 + 35 / 2) * 2, (260 + 20 / 2) * 2) << true;
        QTest::newRow("where it sat unzoomed, now plain screen") << QPoint(117, 270) << false;
    }
    void aClickOnTheZoomedScreenReachesTheButtonAtItsZoomedPlace()
    {
        QFETCH(QPoint, click);
        QFETCH(bool, onOk);
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

    void theEnvironmentChoosesTheZoom()
    {
        GameFixture game;
        ScaleEnvironment scale("2");
        QPEApplication::presentMainWidget(game.widget(), false);
        QCOMPARE(game.widget()->screenScale(), 2);
        QCOMPARE(game.widget()->size(), QSize(480, 640));
        QVERIFY(!game.widget()->isFullScreen());
        QCOMPARE(game.widget()->contextMenuPolicy(), Qt::CustomContextMenu);
        QVERIFY(zoomActions(game.widget()).size() >= 2);
    }

    void theWindowMenuChangesTheZoom()
    {
        GameFixture game;
        ScaleEnvironment scale("3");
        QPEApplication::presentMainWidget(game.widget(), false);
        const QList<QAction *> zooms = zoomActions(game.widget());
        QVERIFY(zooms.size() >= 3);
        QCOMPARE(zooms.at(0)->text(), QStringLiteral("Zoom 1x (240 x 320)"));
        QCOMPARE(zooms.at(1)->text(), QStringLiteral("Zoom 2x (480 x 640)"));
        QVERIFY(zooms.at(2)->isChecked());
        QVERIFY(windowMenuEntry(game.widget(), QStringLiteral("How to play")));
        QVERIFY(windowMenuEntry(game.widget(), QStringLiteral("Pause")));
        // Last, Quit: the window's Ctrl+Q.
        const QList<QAction *> all = game.widget()->findChild<QMenu *>(QStringLiteral("zoomMenu"))->actions();
        QVERIFY(all.at(all.size() - 2)->isSeparator());
        QCOMPARE(all.last()->text(), QStringLiteral("&Quit"));
        QCOMPARE(all.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        // A right click opens it.
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 100), game.widget()->mapToGlobal(QPoint(100, 100)));
        QApplication::sendEvent(game.widget(), &click);
        auto *menu = game.widget()->findChild<QMenu *>(QStringLiteral("zoomMenu"));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        zooms.at(1)->trigger();
        QCOMPARE(game.widget()->screenScale(), 2);
        QCOMPARE(game.widget()->size(), QSize(480, 640));
        QCOMPARE(gs.okButton->geometry(), QRect(200, 520, 70, 40));
        QVERIFY(zooms.at(1)->isChecked() && !zooms.at(2)->isChecked());
        QCOMPARE(WindowSettings::zoom(), 2);
        // The pop-ups at the bar's zoom: its type size, not the desktop's.
        for (const QMenu *popup : {gs.menuBar->actions().first()->menu(), menu})
            QCOMPARE(popup->font().pixelSize(), gs.menuBar->font().pixelSize());
        QCOMPARE(gs.menuBar->font().pixelSize(), 22);
    }

    // What the last run chose comes back, shown checked in the window menu; TROTIX_SCALE wins.
    void theRememberedWindowComesBack_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QByteArray>("environment");
        QTest::addColumn<int>("scale"); // 0: the largest that fits a window
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("nothing remembered") << 0 << false << QByteArray() << 0 << false;
        QTest::newRow("1x") << 1 << false << QByteArray() << 1 << false;
        QTest::newRow("too large for this screen") << 16 << false << QByteArray() << 0 << false;
        QTest::newRow("full screen") << 1 << true << QByteArray() << 1 << true;
        QTest::newRow("TROTIX_SCALE wins") << 2 << true << QByteArray("1") << 1 << false;
    }
    void theRememberedWindowComesBack()
    {
        QFETCH(int, zoom);
        QFETCH(bool, full);
        QFETCH(QByteArray, environment);
        QFETCH(int, scale);
        QFETCH(bool, fullScreen);
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (ScreenScale::isDeviceSized(screen->size()))
            QSKIP("a device-sized screen is always filled at 1x");
        GameFixture game;
        WindowSettings::setZoom(zoom);
        WindowSettings::setFullScreen(full);
        ScaleEnvironment scaleEnvironment(environment);
        Trotix *widget = game.widget();
        QPEApplication::presentMainWidget(widget, false);
        const int fitting = ScreenScale::automaticScale(screen->availableGeometry().size());
        const int windowed = scale ? scale : fitting;
        QVERIFY(zoomActions(widget).at(windowed - 1)->isChecked());
        QCOMPARE(windowMenuEntry(widget, QStringLiteral("Full screen"))->isChecked(), fullScreen);
        QCOMPARE(widget->isFullScreen(), fullScreen);
        if (!fullScreen) {
            QCOMPARE(widget->screenScale(), windowed);
            QCOMPARE(widget->size(), QSize(240 * windowed, 320 * windowed));
            return;
        }
        // The largest whole zoom that fits the whole screen, centred.
        const QSize whole = screen->size();
        const int filled = qMin(whole.width() / 240, whole.height() / 320);
        QCOMPARE(widget->screenScale(), filled);
        QCOMPARE(widget->screenOrigin(),
                 QPoint((whole.width() - 240 * filled) / 2, (whole.height() - 320 * filled) / 2));
        QCOMPARE(gs.okButton->geometry().topLeft(), widget->screenOrigin() + QPoint(100, 260) * filled);
        // Left again: the window at its zoom, and that is remembered.
        windowMenuEntry(widget, QStringLiteral("Full screen"))->trigger();
        QVERIFY(!widget->isFullScreen());
        QCOMPARE(widget->screenOrigin(), QPoint());
        QCOMPARE(widget->size(), QSize(240 * windowed, 320 * windowed));
        QCOMPARE(gs.okButton->geometry(), QRect(QPoint(100, 260) * windowed, QSize(35, 20) * windowed));
        QVERIFY(!WindowSettings::fullScreen());
    }

    void aBadZoomInTheEnvironmentIsReportedAndIgnored()
    {
        GameFixture game;
        ScaleEnvironment scale("two");
        LogCapture log;
        QPEApplication::presentMainWidget(game.widget(), false);
        QCOMPARE(log.text(), QByteArray("trotix: TROTIX_SCALE=two is not a whole number from 1 to 16; the zoom "
                                        "follows the screen.\n"));
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (!ScreenScale::isDeviceSized(screen->size()))
            QCOMPARE(game.widget()->screenScale(), ScreenScale::automaticScale(screen->availableGeometry().size()));
    }

    void aBadZoomIsEchoedPrintableOnOneLine()
    {
        ScaleEnvironment scale("3\ntrotix: Write Attribute File\x1b");
        LogCapture log;
        QCOMPARE(QPEApplication::requestedScale(), 0);
        QCOMPARE(log.text(), QByteArray("trotix: TROTIX_SCALE=3?trotix: Write Attribute File? is not a whole number "
                                        "from 1 to 16; the zoom follows the screen.\n"));
    }

    // The screens the test runs are registered with, and what each must get.
    void eachScreenGetsItsWindow()
    {
        ScaleEnvironment scale(QByteArray{});
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
        } else if (screen == QSize(1920, 1080)) {
            QVERIFY(!widget->isFullScreen());
            QCOMPARE(widget->size(), QSize(720, 960));
            QCOMPARE(widget->screenScale(), 3);
            QVERIFY(firstBlurredBlock(game.screen(), renderOwnPaint(widget), 3).isEmpty());
        } else {
            QSKIP(qPrintable(QStringLiteral("no expectation for a %1 x %2 screen").arg(screen.width()).arg(screen.height())));
        }
    }
};

QTEST_MAIN(TestScreenScale)
#include "tst_screenscale.moc"
