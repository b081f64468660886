#pragma once
// What the handheld's platform gives every application whose only pointer is a stylus, watched
// on the main widget alone (nothing is filtered elsewhere):
// - press and hold, still, on the widget's own picture is the right button: its window menu, by
//   stylus, mouse or finger alike;
// - a tap on a text field opens the screen keyboard, where no physical keyboard is in use;
// - closing one of its windows (help, a notice) gives the keyboard back to the main widget;
// - a finger dragged over a page of text (the help, the book) scrolls it.
// A touch on one of the widget's buttons, fields or lists is left to Qt, which makes it the click
// they know.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QAbstractScrollArea;
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

    // A drag over `area` scrolls it, flicked on: by finger, and on the handheld by stylus too.
    void dragScrolls(QAbstractScrollArea *area);

signals:
    // A stylus, mouse or finger went down on the main widget itself (not on a child of it).
    void pressed(QPoint globalAt);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Stylus(QWidget *mainWidget, bool keyboardOn);
    void watch(QObject *child);
    bool mainWidgetEvent(QEvent *event);
    void press(QPoint globalAt);
    void moveTo(QPoint globalAt);
    void held();
    void handBackKeyboard();

    QWidget *m_main;
    QTimer m_hold;
    QPoint m_pressedAt;
    bool m_keyboardOn;
    QPointer<ScreenKeyboard> m_keyboard;
};
