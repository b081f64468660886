// A gamepad alone plays a first session on SDL's virtual pad, in the game's own process (no
// /dev/uinput needed); and what a press does in the places the session does not reach.
#include "gamefixture.h"
#include "platform/gamepad.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/keyboardlayout.h"
#include "platform/rules/padmapping.h"
#include "platform/screenkeyboard.h"
#include "platform/stylus.h"

#include <QDialog>
#include <QTest>
#include <SDL.h>

namespace {

// A game controller SDL knows by itself: every button and axis of its standard pad.
class VirtualPad
{
public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc pad{};
        pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        pad.naxes = SDL_CONTROLLER_AXIS_MAX;
        pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        pad.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        pad.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        pad.name = "Test Pad";
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&pad));
    }
    ~VirtualPad()
    {
        const SDL_JoystickID id = SDL_JoystickInstanceID(m_joystick);
        SDL_JoystickClose(m_joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        }
    }
    bool attached() const { return m_joystick; }
    // Each button down and up again, each seen by the game's next look.
    void press(Gamepad *game, std::initializer_list<SDL_GameControllerButton> buttons)
    {
        for (SDL_GameControllerButton button : buttons) {
            SDL_JoystickSetVirtualButton(m_joystick, button, 1);
            game->look();
            SDL_JoystickSetVirtualButton(m_joystick, button, 0);
            game->look();
        }
    }
    void hold(Gamepad *game, SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(m_joystick, button, down);
        game->look();
    }
    void stick(Gamepad *game, SDL_GameControllerAxis axis, std::initializer_list<Sint16> values)
    {
        for (Sint16 value : values) {
            SDL_JoystickSetVirtualAxis(m_joystick, axis, value);
            game->look();
        }
    }

private:
    SDL_Joystick *m_joystick = nullptr;
};

const SDL_GameControllerButton up = SDL_CONTROLLER_BUTTON_DPAD_UP, down = SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                               left = SDL_CONTROLLER_BUTTON_DPAD_LEFT, right = SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
                               a = SDL_CONTROLLER_BUTTON_A, b = SDL_CONTROLLER_BUTTON_B, x = SDL_CONTROLLER_BUTTON_X,
                               y = SDL_CONTROLLER_BUTTON_Y, start = SDL_CONTROLLER_BUTTON_START, back = SDL_CONTROLLER_BUTTON_BACK;

}

class TestGamepad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Headless, and the test's own SDL no more than the game's: no window, no signal handlers.
        qputenv("SDL_VIDEODRIVER", "dummy");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        QCOMPARE(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    }
    void cleanupTestCase() { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }

    // A press in the places the session does not reach, and B on the keyboard (Escape would hide it too); the
    // session walks every edge of the keyboard, and a key that is no arrow stays where it is.
    void aPressDoesWhatItsPlaceWants()
    {
        using P = PadMapping::Place;
        using B = PadMapping::Button;
        using C = PadMapping::Command;
        const std::tuple<P, B, C, int> rows[] = {{P::List, B::Down, C::Key, Qt::Key_Down},
                                                 {P::List, B::Left, C::Key, Qt::Key_Backtab},
                                                 {P::Window, B::X, C::None, 0},
                                                 {P::Keyboard, B::B, C::HideKeys, 0}};
        for (const auto &[place, button, command, key] : rows)
            QCOMPARE(PadMapping::respond(place, button), (PadMapping::Response{command, key}));
        const KeyboardLayout::Key &k = KeyboardLayout::keys()[20];
        QCOMPARE(&KeyboardLayout::step(k, Qt::Key_Return), &k);
    }

    void aPadAlonePlaysAFirstSession()
    {
        LogCapture log;
        GameFixture game(templateHorseFile);
        QPEApplication::presentMainWidget(game.widget(), false);
        game.widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(game.widget()));
        Gamepad *pad = Gamepad::attach(game.widget());
        QVERIFY(pad->start());
        auto vpad = std::make_unique<VirtualPad>();
        QVERIFY(vpad->attached());
        pad->look();

        // The first press on the name field opens the keyboard; then P, A, D (once too often,
        // taken back with X), the blank, 1 and ENTER.
        vpad->press(pad, {a});
        ScreenKeyboard *keyboard = Stylus::attach(game.widget())->keyboard();
        QVERIFY(keyboard && keyboard->isVisible());
        // Right held down: a step at once and, past the delay, one more at the next look (3).
        vpad->hold(pad, right, true);
        QTest::qWait(500);
        pad->look();
        vpad->hold(pad, right, false);
        vpad->press(pad, {a});
        QCOMPARE(part<QLineEdit>("nameEdit")->text(), QStringLiteral("3"));
        vpad->press(pad, {x,    left, left,  down, left, a,    down, right, a, right, right, a,     a,    x,
                          down, down, right, a,    down, left, left, left,  a, up,    right, right, right});
        QCOMPARE(part<QLineEdit>("nameEdit")->text(), QStringLiteral("PAD 1"));
        vpad->press(pad, {a});
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        QVERIFY(game.home().readAttr().startsWith("PAD|1|"));

        // Down the left stick into the Action menu (its first item lit), on to Eat, chosen.
        vpad->stick(pad, SDL_CONTROLLER_AXIS_LEFTY, {20000, 0});
        vpad->press(pad, {down, a});
        QCOMPARE(gs.shell.mode, int(ModeEat));
        game.tick(3);
        vpad->press(pad, {y});
        QCOMPARE(gs.shell.mode, int(ModeStatus));
        vpad->press(pad, {back});
        auto *book = game.widget()->findChild<QDialog *>(QStringLiteral("horseBook"));
        QVERIFY(book && book->isVisible());
        vpad->press(pad, {b});
        QVERIFY(!book->isVisible());

        // The Race menu, past Status on the bar; the server's question, cancelled on its button.
        vpad->press(pad, {down, right, right, a});
        QCOMPARE(gs.shell.mode, int(ModeServerAsk));
        game.tick();
        QCOMPARE(pad->place(), PadMapping::Place::Question);
        vpad->press(pad, {a, right, a});
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        // The client's address field takes the focus: the keyboard opens by itself; B hides it,
        // and B again is CANCEL.
        vpad->press(pad, {down, right, right, down, a});
        game.tick();
        QVERIFY(keyboard->isVisible() && keyboard->field() == part<QLineEdit>("addressEdit"));
        vpad->press(pad, {b});
        QVERIFY(!keyboard->isVisible());
        vpad->press(pad, {b});
        QCOMPARE(gs.shell.mode, int(ModeIdle));

        vpad->press(pad, {down, right, right, down, down, a});
        QCOMPARE(gs.shell.mode, int(ModeDemoRace));

        // Start's menu, over the race (run to its end by tst_race): Pause, then Start again closes
        // it; Quit is its last entry.
        vpad->press(pad, {start, down, down, a});
        QVERIFY(game.widget()->isPaused());
        vpad->press(pad, {start});
        QVERIFY(QApplication::activePopupWidget());
        vpad->press(pad, {start});
        QVERIFY(!QApplication::activePopupWidget());
        vpad->press(pad, {start, up, a});
        QVERIFY(!game.widget()->isVisible());
        QVERIFY(game.home().readAttr().startsWith("PAD|1|"));

        vpad.reset();
        pad->look();
        QCOMPARE(logLines(log.text()).filter("Gamepad"),
                 QStringList({"trotix: Gamepad connected: Test Pad\n", "trotix: Gamepad disconnected: Test Pad\n"}));
    }
};

QTEST_MAIN(TestGamepad)
#include "tst_gamepad.moc"
