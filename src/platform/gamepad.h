#pragma once
// The gamepads, watched for the main widget: each press becomes the key a keyboard player would
// press where the player is (platform/rules/padmapping.*), or one of the game's own commands. The
// SDL module is loaded once the game runs; while no pad is open nothing is looked at but a change
// under /dev/input, so an idle game wakes no more often than without pads.
#include "platform/rules/padmapping.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class PadInput;
class QFileSystemWatcher;
class QLineEdit;
class QWidget;

class Gamepad : public QObject
{
    Q_OBJECT
public:
    // Once per main widget; a second call finds the first.
    static Gamepad *attach(QWidget *mainWidget);
    ~Gamepad() override;

    // Loads the module and starts SDL, if not yet tried; false where there are no gamepads.
    bool start();
    // What the timer does: SDL's news taken, each press sent where the player is.
    void look();
    PadMapping::Place place() const;

    static constexpr int startAfterMs = 300;
    static constexpr int openLookMs = 30;
    static constexpr int plugLookMs = 100;
    // How long after a change under /dev/input the pads are looked for: the system gives a new
    // pad's device its rights a moment after it appears.
    static constexpr int plugLooks = 30;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit Gamepad(QWidget *mainWidget);
    void pressed(PadMapping::Button button);
    void sendKey(int qtKey);
    void trigger(const char *actionName);
    void openMenuBar();
    void openWindowMenu();
    // With the pad used last, a focused text field gets the screen keyboard.
    void offerKeyboard();
    void planLook();

    QWidget *m_main;
    bool m_tried = false;
    std::unique_ptr<PadInput> m_input;
    QTimer m_timer;
    QFileSystemWatcher *m_watch = nullptr;
    int m_plugLooksLeft = 0;
    bool m_padUsedLast = false;
    // The field whose keyboard B closed: it is not offered again until the focus moves.
    QPointer<QLineEdit> m_keyboardClosedFor;
};
