#pragma once
// Our stand-in for the PDA platform's application object: a QApplication that shows the main
// widget the device's way: filling a screen no bigger than the device, and on a larger screen as
// a window zoomed by a whole number so that the pixels stay sharp.
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
    // A main widget with an int property "screenScale" is zoomed: by TROTIX_SCALE when that is
    // set and it fits (else the largest that does, logged), else by the largest factor that fits the
    // screen; its right-click menu changes it. The stylus's ways are attached (platform/stylus.h).
    static void presentMainWidget(QWidget *widget, bool nomax);
    // The zoom asked for in the environment (TROTIX_SCALE), 0 for none; a bad value is logged.
    static int requestedScale();
    // The game's tick: a second, unless TROTIX_TICK_MS asks for a shorter one (a whole number of
    // milliseconds from 1 to 1000), so that a soak lives hundreds of races in minutes. A shorter
    // tick is logged, as its clock is no longer the player's; a bad value is logged and ignored.
    static int tickMilliseconds();
    // Zooms the main widget and makes its window 240s x 320s.
    static void setWindowScale(QWidget *widget, int factor);
    // Full screen at the largest whole zoom that fits, the picture centred on black; off, back to
    // the window's zoom. Remembered for the next start. A device-sized screen is always full.
    static void setFullScreen(QWidget *widget, bool on);

    // Whether a Qt platform can be expected to start. When not, help says how to play anyway.
    static bool displayAvailable(QString *help);

    static constexpr int deviceWidth = ScreenScale::deviceWidth;
    static constexpr int deviceHeight = ScreenScale::deviceHeight;
};
