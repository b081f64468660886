#include "platform/qpeapplication.h"

#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/rules/outsidetext.h"
#include "platform/rules/wholenumber.h"
#include "platform/stylus.h"
#include "platform/windowmanager.h"
#include "platform/windowsettings.h"

#include <QActionGroup>
#include <QFont>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace {

// The main widget's own entries (help, pause, full screen: its actions marked "windowMenu"), above
// the zooms.
void addGameEntries(QWidget *widget, QMenu *menu)
{
    bool any = false;
    for (QAction *action : widget->actions()) {
        if (action->property("windowMenu").toBool()) {
            menu->addAction(action);
            any = true;
        }
    }
    if (any)
        menu->addSeparator();
}

// The window's own menu (right click): every zoom that fits the screen, the current one, and Quit.
void addScaleMenu(QWidget *widget, int current, int largest)
{
    delete widget->findChild<QMenu *>(QStringLiteral("zoomMenu"), Qt::FindDirectChildrenOnly);
    auto *menu = new QMenu(widget);
    menu->setObjectName(QStringLiteral("zoomMenu"));
    IdMenuBar::styleMenu(menu, widget->property("screenScale").toInt());
    addGameEntries(widget, menu);
    auto *group = new QActionGroup(menu);
    for (int factor = 1; factor <= largest; ++factor) {
        QAction *action = menu->addAction(QStringLiteral("Zoom %1x (%2 x %3)")
                                              .arg(factor)
                                              .arg(ScreenScale::deviceWidth * factor)
                                              .arg(ScreenScale::deviceHeight * factor));
        action->setCheckable(true);
        action->setChecked(factor == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, widget, [widget, factor] {
            if (widget->isFullScreen())
                QPEApplication::setFullScreen(widget, false);
            QPEApplication::setWindowScale(widget, factor);
            WindowSettings::setZoom(factor);
        });
    }
    // The main widget's Quit (Ctrl+Q), so that it can be found with the mouse too.
    if (QAction *quit = widget->findChild<QAction *>(QStringLiteral("quitAction"), Qt::FindDirectChildrenOnly)) {
        menu->addSeparator();
        menu->addAction(quit);
    }
    // Not the widget's own action list: that also holds the menu bar's key items.
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](const QPoint &at) { menu->popup(widget->mapToGlobal(at)); });
}

}

QPEApplication::QPEApplication(int &argc, char **argv, Type)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("trotix"));
    setApplicationDisplayName(QStringLiteral("Trotix"));
    setDesktopFileName(QStringLiteral("org.example.trotix"));
    // The buttons and fields speak the device's face too: "helvetica" resolves to the metric clone
    // the package depends on, the face their 240-pixel places were made for (a wider desktop sans
    // fills CONFIRM's button to its edges).
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("helvetica")});
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

void QPEApplication::showMainWidget(QWidget *widget, bool nomax) { presentMainWidget(widget, nomax); }

void QPEApplication::presentMainWidget(QWidget *widget, bool nomax)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize whole = screen ? screen->size() : QSize(deviceWidth, deviceHeight);
    const QSize available = screen ? screen->availableGeometry().size() : whole;
    const int requested = requestedScale();
    const int fitting = ScreenScale::automaticScale(available);
    const int factor = ScreenScale::startZoom(requested, WindowSettings::zoom(), fitting);
    if (requested > factor)
        logText("trotix: TROTIX_SCALE=%d does not fit this %d x %d screen; the zoom is %d.\n", requested,
                whole.width(), whole.height(), factor);
    // The stylus's ways (press and hold, the screen keyboard), on any screen.
    Stylus::attach(widget);
    if (!nomax && factor == 1 && ScreenScale::isDeviceSized(whole)) {
        widget->setProperty("screenScale", 1);
        // The window covers the screen itself too: an X server without a window manager (a
        // small kiosk display) ignores the full-screen request.
        widget->setGeometry(screen ? screen->geometry() : QRect(QPoint(0, 0), whole));
        addScaleMenu(widget, 1, 1); // no larger zoom fits, but Quit is there
        widget->showFullScreen();
        return;
    }
    setWindowScale(widget, factor);
    addScaleMenu(widget, factor, qMax(factor, fitting));
    // A zoom asked for in the environment is a window at that zoom, whatever was remembered.
    if (requested == 0 && WindowSettings::fullScreen())
        setFullScreen(widget, true);
    else
        widget->show();
    // A window manager gives a new window the keyboard; an X server without one leaves it with
    // whatever window the pointer is over, and the keys would reach the game only by chance.
    widget->activateWindow();
}

void QPEApplication::setFullScreen(QWidget *widget, bool on)
{
    const QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    const QRect whole = screen ? screen->geometry() : QRect(0, 0, deviceWidth, deviceHeight);
    if (ScreenScale::isDeviceSized(whole.size()))
        return;
    WindowSettings::setFullScreen(on);
    if (on == widget->isFullScreen())
        return;
    if (on) {
        widget->setProperty("windowScale", widget->property("screenScale"));
        const int factor = qBound(1, qMin(whole.width() / deviceWidth, whole.height() / deviceHeight),
                                  ScreenScale::maxScale);
        widget->setMinimumSize(0, 0);
        widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        widget->setProperty("screenScale", factor);
        widget->setProperty("screenOrigin", QPoint((whole.width() - deviceWidth * factor) / 2,
                                                   (whole.height() - deviceHeight * factor) / 2));
        // The geometry only where nobody honours the request: a window manager would take it for
        // the place to bring the window back to, its frame above the screen's top edge.
        if (!WindowManager::running())
            widget->setGeometry(whole);
        widget->showFullScreen();
    } else {
        widget->setProperty("screenOrigin", QPoint());
        const int windowed = widget->property("windowScale").toInt();
        setWindowScale(widget, windowed > 0 ? windowed : widget->property("screenScale").toInt());
        widget->showNormal();
    }
}

int QPEApplication::requestedScale()
{
    const QByteArray text = qgetenv("TROTIX_SCALE");
    if (text.trimmed().isEmpty())
        return 0;
    const int factor = ScreenScale::parseScale(text);
    if (factor == 0) {
        logText("trotix: TROTIX_SCALE=%s is not a whole number from 1 to %d; the zoom follows the screen.\n",
                printableForLog(QString::fromLocal8Bit(text)).constData(), ScreenScale::maxScale);
    }
    return factor;
}

int QPEApplication::tickMilliseconds()
{
    constexpr int second = 1000;
    const QByteArray text = qgetenv("TROTIX_TICK_MS");
    if (text.isEmpty())
        return second;
    const int interval = parseWholeNumber(text, 1, second);
    if (interval == 0) {
        logText("trotix: TROTIX_TICK_MS=%s is not a whole number from 1 to %d; the tick stays a second.\n",
                printableForLog(text).constData(), second);
        return second;
    }
    logText("trotix: A tick every %d ms (TROTIX_TICK_MS).\n", interval);
    return interval;
}

void QPEApplication::setWindowScale(QWidget *widget, int factor)
{
    widget->setProperty("screenScale", factor);
    widget->setFixedSize(deviceWidth * factor, deviceHeight * factor);
}

bool QPEApplication::displayAvailable(QString *help)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (help) {
        *help = QStringLiteral(
            "trotix: No display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "trotix: Ways to play on this machine:\n"
            "trotix:   xvfb-run -s '-screen 0 640x480x24' trotix      (a virtual X server, nothing shown)\n"
            "trotix:   QT_QPA_PLATFORM=vnc:size=240x320 trotix      (then connect a VNC viewer to port 5900)\n"
            "trotix:   QT_QPA_PLATFORM=linuxfb trotix               (on a Linux framebuffer console)\n"
            "trotix:   QT_QPA_PLATFORM=offscreen trotix             (headless: the log only)\n");
    }
    return false;
}
