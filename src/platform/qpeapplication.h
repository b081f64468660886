#pragma once
// Our stand-in for the PDA platform's application object: a QApplication that shows the main
// widget the device's way: filling a screen no bigger than the device, and on a larger screen as
// a window whose picture keeps its pixels sharp.
#include "platform/rules/screenscale.h"

#include <QApplication>

class QPEApplication : public QApplication
{
    Q_OBJECT
public:
    enum Type { GuiClient };
    QPEApplication(int &argc, char **argv, Type type = GuiClient);

    void showMainWidget(QWidget *widget, bool nomax = false);

    // What showMainWidget does, usable with any application object (tests run under their own).
    // The main widget (with a qreal property "screenScale", the zoom its picture shows) is shown
    // at TROTIX_SCALE when that is set and fits (else at the largest whole zoom that does,
    // logged), else at the remembered zoom, else at the largest whole zoom that fits the screen;
    // on a screen too small for 2x it fills the screen. Its right-click menu changes the zoom.
    // The stylus's ways are attached (platform/stylus.h).
    static void presentMainWidget(QWidget *widget, bool nomax);
    // The zoom asked for in the environment (TROTIX_SCALE): a factor, ScreenScale::fit, or 0 for
    // none; a bad value is logged.
    static qreal requestedScale();
    // A window of 240f x 320f, neither maximised nor full screen.
    static void setWindowScale(QWidget *widget, qreal factor);
    // A window as large as the screen allows (maximised), its picture fitted to it.
    static void fitWindow(QWidget *widget);
    // Full screen, the picture as large as it fits, centred on black; off, back to the window it
    // was. Remembered for the next start. A device-sized screen is always full.
    static void setFullScreen(QWidget *widget, bool on);
    // Whether the widget's screen lets it leave full screen and go back: any but a device-sized one.
    static bool fullScreenChangeable(const QWidget *widget);

    // Whether a Qt platform can be expected to start. When not, help says how to play anyway.
    static bool displayAvailable(QString *help);

    static constexpr int deviceWidth = ScreenScale::deviceWidth;
    static constexpr int deviceHeight = ScreenScale::deviceHeight;
};
