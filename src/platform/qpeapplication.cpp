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
#include <QtMath>

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

// The window's own menu (right click): every whole zoom that fits the screen, the picture fitted
// to the window, and Quit. The zoom shown is the one marked as the menu opens.
void addScaleMenu(QWidget *widget, int largest)
{
    delete widget->findChild<QMenu *>(QStringLiteral("zoomMenu"), Qt::FindDirectChildrenOnly);
    auto *menu = new QMenu(widget);
    menu->setObjectName(QStringLiteral("zoomMenu"));
    IdMenuBar::styleMenu(menu, widget->property("screenScale").toReal());
    addGameEntries(widget, menu);
    auto *group = new QActionGroup(menu);
    const auto choose = [widget](qreal zoom) {
        QPEApplication::setFullScreen(widget, false);
        if (zoom == ScreenScale::fit)
            QPEApplication::fitWindow(widget);
        else
            QPEApplication::setWindowScale(widget, zoom);
        WindowSettings::setZoom(zoom);
    };
    for (int factor = 1; factor <= largest; ++factor) {
        QAction *action = menu->addAction(QStringLiteral("Zoom %1x (%2 x %3)")
                                              .arg(factor)
                                              .arg(ScreenScale::deviceWidth * factor)
                                              .arg(ScreenScale::deviceHeight * factor));
        action->setCheckable(true);
        action->setData(factor);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, widget, [choose, factor] { choose(factor); });
    }
    QAction *fitted = menu->addAction(QStringLiteral("Fit to window"));
    fitted->setCheckable(true);
    group->addAction(fitted);
    QObject::connect(fitted, &QAction::triggered, widget, [choose] { choose(ScreenScale::fit); });
    // A window sized by hand, maximised or full screen shows a zoom between the whole ones.
    QObject::connect(menu, &QMenu::aboutToShow, group, [widget, group, fitted] {
        const qreal shown = widget->property("screenScale").toReal();
        fitted->setChecked(true);
        for (QAction *action : group->actions())
            if (action != fitted && action->data().toReal() == shown)
                action->setChecked(true);
    });
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

const QScreen *screenOf(const QWidget *widget)
{
    return widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
}

}

QPEApplication::QPEApplication(int &argc, char **argv, Type) : QApplication(argc, argv)
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
    const qreal requested = requestedScale();
    const qreal zoom = ScreenScale::startZoom(requested, WindowSettings::zoom(), available);
    if (requested != 0 && zoom != requested) {
        logText(zoom == ScreenScale::fit
                    ? "trotix: TROTIX_SCALE=%s does not fit this %d x %d screen; the picture fills it.\n"
                    : "trotix: TROTIX_SCALE=%s does not fit this %d x %d screen; the zoom is %s.\n",
                ScreenScale::scaleText(requested).constData(), whole.width(), whole.height(),
                ScreenScale::scaleText(zoom).constData());
    }
    // The stylus's ways (press and hold, the screen keyboard), on any screen.
    Stylus::attach(widget);
    const int fitting = ScreenScale::automaticScale(available);
    addScaleMenu(widget, ScreenScale::isDeviceSized(whole) ? 1 : qMax(fitting, qFloor(qMax(zoom, qreal(1)))));
    if (!nomax && ScreenScale::isDeviceSized(whole)) {
        // The window covers the screen itself too: an X server without a window manager (a
        // small kiosk display) ignores the full-screen request.
        widget->setGeometry(screen ? screen->geometry() : QRect(QPoint(0, 0), whole));
        widget->showFullScreen();
        return;
    }
    widget->setMinimumSize(deviceWidth, deviceHeight);
    if (zoom == ScreenScale::fit)
        fitWindow(widget);
    else
        setWindowScale(widget, zoom);
    // A zoom asked for in the environment is a window at that zoom, whatever was remembered. A
    // screen too small for 2x is filled unless the player left full screen there.
    if (requested == 0 && WindowSettings::fullScreen(fitting < 2))
        setFullScreen(widget, true);
    else
        widget->show();
    // A window manager gives a new window the keyboard; an X server without one leaves it with
    // whatever window the pointer is over, and the keys would reach the game only by chance.
    widget->activateWindow();
}

bool QPEApplication::fullScreenChangeable(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return !screen || !ScreenScale::isDeviceSized(screen->size());
}

void QPEApplication::setFullScreen(QWidget *widget, bool on)
{
    if (!fullScreenChangeable(widget))
        return;
    WindowSettings::setFullScreen(on);
    if (on == widget->isFullScreen())
        return;
    // Where nobody honours the request (an X server without a window manager) the window takes
    // the screen by its geometry, and gets back the one it had. Nowhere else: a window manager
    // would take it for the place to bring the window back to, its frame above the screen's top.
    const bool placed = !WindowManager::running();
    const QScreen *screen = screenOf(widget);
    if (on) {
        if (placed && screen) {
            widget->setProperty("windowedGeometry", widget->geometry());
            widget->setGeometry(screen->geometry());
        }
        widget->setWindowState(widget->windowState() | Qt::WindowFullScreen);
    } else {
        // Back to the window it was: maximised, or of its zoom.
        widget->setWindowState(widget->windowState() & ~Qt::WindowFullScreen);
        if (placed && screen) {
            const QRect windowed = widget->property("windowedGeometry").toRect();
            widget->setGeometry(widget->isMaximized() || !windowed.isValid() ? screen->availableGeometry() : windowed);
        }
    }
    widget->show();
}

qreal QPEApplication::requestedScale()
{
    const QByteArray text = qgetenv("TROTIX_SCALE");
    if (text.trimmed().isEmpty())
        return 0;
    const qreal zoom = ScreenScale::parseScale(text);
    if (zoom == 0) {
        logText("trotix: TROTIX_SCALE=%s is neither fit nor a number from 1 to %d; the zoom follows the screen.\n",
                printableForLog(QString::fromLocal8Bit(text)).constData(), ScreenScale::maxScale);
    }
    return zoom;
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
                printableForLog(QString::fromLocal8Bit(text)).constData(), second);
        return second;
    }
    logText("trotix: A tick every %d ms (TROTIX_TICK_MS).\n", interval);
    return interval;
}

void QPEApplication::setWindowScale(QWidget *widget, qreal factor)
{
    widget->setWindowState(widget->windowState() & ~Qt::WindowMaximized);
    widget->resize(qRound(deviceWidth * factor), qRound(deviceHeight * factor));
}

void QPEApplication::fitWindow(QWidget *widget)
{
    // Without a window manager nobody maximises: the window takes the room itself.
    const QScreen *screen = screenOf(widget);
    if (!WindowManager::running() && screen)
        widget->setGeometry(screen->availableGeometry());
    widget->setWindowState(widget->windowState() | Qt::WindowMaximized);
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
