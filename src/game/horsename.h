#pragma once
// The name the player types for the horse, as the game keeps it: 15 eight-bit characters padded
// with blanks. Pure.
#include <QByteArray>
#include <QString>

inline constexpr int horseNameLength = 15;

// An empty entry names the horse "MY HORSE". Characters are stored as Latin-1; one without a
// Latin-1 form, and a control character (a tab would split the saved name in two), becomes "?".
// At most 15 characters are kept; the result is always exactly 15 bytes.
QByteArray horseNameFromEntry(const QString &entry);
