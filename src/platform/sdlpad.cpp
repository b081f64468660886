// The gamepads through SDL2's game-controller API, as the module trotix-pad: any pad SDL's
// mapping database knows (its own, SDL_GAMECONTROLLERCONFIG, SDL_GAMECONTROLLERCONFIG_FILE),
// plugged in before the start or during play.
#include "platform/padinput.h"

#include <SDL.h>

#include <QHash>

namespace {

using PadMapping::Button;

// The left stick counts as the d-pad past a third of its way, and is let go under a sixth, so a
// stick resting near the line does not flicker.
constexpr int stickPressed = 11000;
constexpr int stickLetGo = 5500;
// A direction held down repeats as a key does: first after 400 ms, then every 120 ms.
constexpr Uint32 repeatDelay = 400;
constexpr Uint32 repeatEvery = 120;

bool buttonOf(Uint8 sdlButton, Button *button)
{
    // clang-format off
    static const QHash<int, Button> buttons{
        {SDL_CONTROLLER_BUTTON_DPAD_UP, Button::Up},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, Button::Down},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, Button::Left},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Button::Right},
        {SDL_CONTROLLER_BUTTON_A, Button::A},              {SDL_CONTROLLER_BUTTON_B, Button::B},
        {SDL_CONTROLLER_BUTTON_X, Button::X},              {SDL_CONTROLLER_BUTTON_Y, Button::Y},
        {SDL_CONTROLLER_BUTTON_START, Button::Start},      {SDL_CONTROLLER_BUTTON_BACK, Button::Select}};
    // clang-format on
    const auto found = buttons.constFind(sdlButton);
    if (found == buttons.constEnd())
        return false;
    *button = *found;
    return true;
}

bool isDirection(Button button) { return button <= Button::Right; }

class SdlPads : public PadInput
{
public:
    explicit SdlPads(void (*tell)(const QString &)) : m_tell(tell) {}

    ~SdlPads() override
    {
        for (SDL_GameController *pad : std::as_const(m_pads))
            SDL_GameControllerClose(pad);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    QList<Button> presses() override
    {
        QList<Button> pressed;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED: open(event.cdevice.which); break;
            case SDL_CONTROLLERDEVICEREMOVED: close(event.cdevice.which); break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (Button button; buttonOf(event.cbutton.button, &button))
                    press(button, event.type == SDL_CONTROLLERBUTTONDOWN, &pressed);
                break;
            case SDL_CONTROLLERAXISMOTION: stick(event.caxis.axis, event.caxis.value, &pressed); break;
            default: break;
            }
        }
        if (m_held && SDL_TICKS_PASSED(SDL_GetTicks(), m_repeatAt)) {
            pressed.append(m_heldButton);
            m_repeatAt = SDL_GetTicks() + repeatEvery;
        }
        return pressed;
    }

    bool anyOpen() const override { return !m_pads.isEmpty(); }

private:
    void open(int deviceIndex)
    {
        SDL_GameController *pad = SDL_GameControllerOpen(deviceIndex);
        if (!pad) {
            m_tell(QStringLiteral("trotix: Cannot open gamepad %1: %2\n")
                       .arg(deviceIndex)
                       .arg(QString::fromUtf8(SDL_GetError())));
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
        if (m_pads.contains(id)) {
            SDL_GameControllerClose(pad);
            return;
        }
        m_pads.insert(id, pad);
        m_tell(QStringLiteral("trotix: Gamepad connected: %1\n").arg(QString::fromUtf8(SDL_GameControllerName(pad))));
    }

    void close(SDL_JoystickID id)
    {
        SDL_GameController *pad = m_pads.take(id);
        if (!pad)
            return;
        const QString name = QString::fromUtf8(SDL_GameControllerName(pad));
        m_tell(QStringLiteral("trotix: Gamepad disconnected: %1\n").arg(name));
        SDL_GameControllerClose(pad);
        m_held = false;
    }

    void press(Button button, bool down, QList<Button> *pressed)
    {
        if (down)
            pressed->append(button);
        if (!isDirection(button))
            return;
        if (down) {
            m_held = true;
            m_heldButton = button;
            m_repeatAt = SDL_GetTicks() + repeatDelay;
        } else if (m_heldButton == button) {
            m_held = false;
        }
    }

    void stick(Uint8 axis, Sint16 value, QList<Button> *pressed)
    {
        if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY)
            return;
        const bool across = axis == SDL_CONTROLLER_AXIS_LEFTX;
        int &side = across ? m_stickX : m_stickY;
        const int now = value > stickPressed ? 1 : value < -stickPressed ? -1 : qAbs(value) < stickLetGo ? 0 : side;
        if (now == side)
            return;
        const auto direction = [across](int sign) {
            return across ? (sign < 0 ? Button::Left : Button::Right) : (sign < 0 ? Button::Up : Button::Down);
        };
        if (side != 0)
            press(direction(side), false, pressed);
        side = now;
        if (now != 0)
            press(direction(now), true, pressed);
    }

    void (*m_tell)(const QString &);
    QHash<SDL_JoystickID, SDL_GameController *> m_pads;
    int m_stickX = 0, m_stickY = 0;
    bool m_held = false;
    Button m_heldButton = Button::Up;
    Uint32 m_repeatAt = 0;
};

}

extern "C" Q_DECL_EXPORT PadInput *trotixMakePadInput(void (*tell)(const QString &line), QString *failure)
{
    // The game has its own window, sound and signal handling: SDL starts only what reads the pads.
    // With no SDL window, SDL cannot tell whether the game has the focus: the pads always count.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        *failure = QString::fromUtf8(SDL_GetError());
        return nullptr;
    }
    return new SdlPads(tell);
}
