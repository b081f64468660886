#pragma once
// What a gamepad's press does where the player is: the same keys a keyboard player presses (the
// arrows, Tab, Return, Escape), or one of the game's commands. Pure; platform/gamepad.* looks at
// the window and sends.
#include <Qt>

namespace PadMapping {

// The buttons the game uses, by their place on a pad (SDL's names): the d-pad (and the left
// stick), A below, B right, X left, Y above, Start and Select (Back) between.
enum class Button { Up, Down, Left, Right, A, B, X, Y, Start, Select };

// Where the keys go: the picture with nothing focused in it; a question screen's buttons and
// fields with nothing focused yet; a text field, a button or the list of games focused; an open
// pop-up menu; the screen keyboard; a window over the game (help, book, a message).
enum class Place { Game, Question, Field, PushButton, List, Menu, Keyboard, Window };

enum class Command {
    None,
    Key,        // `key` to what has the keys' focus (the open menu first)
    MenuBar,    // the menu bar's first menu opens
    WindowMenu, // the window's own menu (pause, help, book, sound, zoom, full screen, quit)
    Book,       // the horse's book
    Status,     // the status screen, as its menu item
    Hop,        // Hop!, as its menu item
    WalkKeys,   // the screen keyboard's chosen key moves by the arrow in `key`
    PressKey,   // the screen keyboard's chosen key is pressed
    HideKeys,   // the screen keyboard closes
};

struct Response
{
    Command command = Command::None;
    int key = 0; // a Qt::Key, for Key and WalkKeys
    bool operator==(const Response &other) const { return command == other.command && key == other.key; }
};

Response respond(Place place, Button button);

}
