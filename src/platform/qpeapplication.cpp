#include "platform/qpeapplication.h"

#include <QScreen>
#include <QWidget>

QPEApplication::QPEApplication(int &argc, char **argv, Type)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("trotix"));
    setApplicationDisplayName(QStringLiteral("Trotix"));
    setDesktopFileName(QStringLiteral("io.github.trotix.Trotix"));
}

void QPEApplication::showMainWidget(QWidget *widget, bool nomax)
{
    const QScreen *screen = primaryScreen();
    const QSize available = screen ? screen->size() : QSize(deviceWidth, deviceHeight);
    const bool deviceSized = available.width() <= deviceWidth && available.height() <= deviceHeight;
    if (deviceSized && !nomax) {
        widget->showFullScreen();
        return;
    }
    widget->resize(deviceWidth, deviceHeight);
    widget->setFixedSize(deviceWidth, deviceHeight);
    widget->show();
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
