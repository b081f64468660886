#pragma once
// Our stand-in for the PDA platform's application object: a QApplication that shows the main
// widget the device's way (filling a screen no bigger than the device, a device-sized window
// on a desktop).
#include <QApplication>

class QPEApplication : public QApplication
{
    Q_OBJECT
public:
    enum Type { GuiClient };
    QPEApplication(int &argc, char **argv, Type type = GuiClient);

    void showMainWidget(QWidget *widget, bool nomax = false);

    // Whether a Qt platform can be expected to start. When not, help says how to play anyway.
    static bool displayAvailable(QString *help);

    static constexpr int deviceWidth = 240;
    static constexpr int deviceHeight = 320;
};
