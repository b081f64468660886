#pragma once
// The name the player types for the horse, as the game keeps it: 15 eight-bit characters padded
// with blanks. Pure.
#include <QByteArray>
#include <QString>
#include <functional>

inline constexpr int horseNameLength = 15;

// Whether the save keeps this character as it was typed: printable Latin-1, but not the bar, which
// the file writes for a blank (a control character such as a tab would split the name in two).
bool nameKeeps(char32_t c);

// An empty entry names the horse "MY HORSE". Characters are stored as Latin-1; one the save would
// not keep becomes "?". At most 15 characters are kept; the result is always exactly 15 bytes.
QByteArray horseNameFromEntry(const QString &entry);

// The window's title: the horse's name without its padding, and the game's ("BLUE COMET — Trotix");
// the game's alone for a horse with no name yet (an empty name).
QString windowTitleFor(const QByteArray &name);

// A name shown in a room narrower than it (a title, a race board): the drawing may shrink it to
// nameShrinkLimit of its size and no further, as smaller it is guessed rather than read; a name
// still too wide there is cut after the longest start that fits, with "…" after it. `fits` tells
// whether a text fits the room at that smallest size. The save's padding blanks are left out.
inline constexpr qreal nameShrinkLimit = 0.85;
QString fittedName(const QString &name, const std::function<bool(const QString &)> &fits);
