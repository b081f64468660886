#include "platform/rules/padmapping.h"

namespace PadMapping {

namespace {

Response key(int qtKey) { return {Command::Key, qtKey}; }

int arrow(Button button)
{
    switch (button) {
    case Button::Up: return Qt::Key_Up;
    case Button::Down: return Qt::Key_Down;
    case Button::Left: return Qt::Key_Left;
    default: return Qt::Key_Right;
    }
}

bool isDirection(Button button)
{
    return button == Button::Up || button == Button::Down || button == Button::Left || button == Button::Right;
}

// Focus moves as Tab and Shift+Tab move it: back up and left, on down and right.
Response focusMove(Button button)
{
    return key(button == Button::Up || button == Button::Left ? Qt::Key_Backtab : Qt::Key_Tab);
}

Response direction(Place place, Button button)
{
    switch (place) {
    case Place::Game: return {Command::MenuBar};
    case Place::Keyboard: return {Command::WalkKeys, arrow(button)};
    case Place::Menu:
    case Place::Window: return key(arrow(button));
    case Place::List:
        // Up and down within the list (up out of its top goes back to the field); the sides leave it.
        return button == Button::Up || button == Button::Down ? key(arrow(button)) : focusMove(button);
    default: return focusMove(button);
    }
}

Response confirm(Place place)
{
    switch (place) {
    case Place::Game: return {Command::MenuBar};
    case Place::Question:
        // Nothing has the focus yet: the first press gives it to the first button or field.
        return key(Qt::Key_Tab);
    case Place::PushButton:
        // A button outside a dialog takes Space, not Return.
        return key(Qt::Key_Space);
    case Place::Keyboard: return {Command::PressKey};
    default: return key(Qt::Key_Return);
    }
}

}

Response respond(Place place, Button button)
{
    if (isDirection(button))
        return direction(place, button);
    // In an open menu every other button closes it, as Escape does.
    if (place == Place::Menu && button != Button::A)
        return key(Qt::Key_Escape);
    switch (button) {
    case Button::A: return confirm(place);
    case Button::B: return place == Place::Keyboard ? Response{Command::HideKeys} : key(Qt::Key_Escape);
    case Button::X:
        // On the keyboard X takes back a letter, as on a console's; Hop! has nothing to jump there.
        if (place == Place::Keyboard)
            return key(Qt::Key_Backspace);
        return place == Place::Window ? Response{} : Response{Command::Hop};
    case Button::Y: return place == Place::Window ? Response{} : Response{Command::Status};
    case Button::Start: return {Command::WindowMenu};
    default: return {Command::Book};
    }
}

}
