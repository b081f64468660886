#pragma once
// What the handheld's platform gives every application whose only pointer is a stylus, watched
// on the main widget alone (nothing is filtered elsewhere):
// - press and hold, still, on the widget's own picture is the right button: its window menu;
// - a tap on a text field opens the screen keyboard, where no physical keyboard is in use;
// - closing one of its windows (help, a notice) gives the keyboard back to the main widget.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QLineEdit;
class QWidget;
class ScreenKeyboard;

class Stylus : public QObject
{
    Q_OBJECT
public:
    // Once per main widget; a second call finds the first.
    static Stylus *attach(QWidget *mainWidget);

    // Whether the player has only a stylus or a finger: a screen no bigger than the device's, or
    // a touch screen among the input devices.
    static bool touchScreen();

    static constexpr int holdMilliseconds = 700;
    // How far, in screen pixels, the stylus may wander and still be held still.
    static constexpr int stillDistance = 6;

    bool keyboardOn() const { return m_keyboardOn; }
    ScreenKeyboard *keyboard() const;
    // Opens the screen keyboard for `field` (made the first time), as a tap on the field does.
    ScreenKeyboard *openKeyboard(QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Stylus(QWidget *mainWidget, bool keyboardOn);
    void watch(QObject *child);
    void mainWidgetEvent(QEvent *event);
    void held();
    void handBackKeyboard();

    QWidget *m_main;
    QTimer m_hold;
    QPoint m_pressedAt;
    bool m_keyboardOn;
    QPointer<ScreenKeyboard> m_keyboard;
};
