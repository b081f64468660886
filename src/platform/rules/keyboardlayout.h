#pragma once
// The on-screen keyboard's rules: which keys it has and where, where it goes on the screen, and
// whether a screen wants it. Pure; the widget (platform/screenkeyboard.*) draws and sends.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace KeyboardLayout {

// What a key does besides typing its text.
enum class Action { Type, Delete, Enter, Shift, Close };

struct Key
{
    QString label; // as drawn; the letters' labels are capitals
    int qtKey;     // the Qt::Key sent to the field (0 for the keys that send nothing)
    Action action;
    QRect cell; // in grid cells: column, row, columns spanned, one row
};

// Ten columns by five rows: the digits, three rows of letters with '-', '.' and the delete key,
// and a row of the shift, the close key, the blank and Return.
constexpr int columns = 10;
constexpr int rows = 5;
// One cell at 1x: 24 x 23 screen pixels, a stylus's tip wide; the whole keyboard fills the
// 240-pixel width and 117 pixels of height (a one-pixel rim above and below).
constexpr int cellWidth = 24;
constexpr int cellHeight = 23;
constexpr int rim = 1;

const QList<Key> &keys();

// The keyboard's size at a zoom, across and down (a phone's keys are wider than the picture's).
QSize size(QSizeF zoom);
// A key's rectangle inside the keyboard at a zoom; between whole zooms its edges are rounded, so
// that the keys still tile.
QRect keyRect(const Key &key, QSizeF zoom);
// The key under a point of the keyboard at a zoom; nullptr between keys or outside.
const Key *keyAt(QPoint at, QSizeF zoom);

// The key a pad's arrow (Qt::Key_Up ... Key_Right) walks to from `from`: the neighbour in its row
// or column, round to the far side at an edge; up and down keep the key's first column. Any other
// key stays.
const Key &step(const Key &from, int arrowKey);

// The text a Type key puts in: its label, in small letters when shifted to them.
QString typed(const Key &key, bool lower);

// Where a keyboard of `size` goes inside `area`, full width: clear of the field first, then of the
// things to keep in sight (the field's buttons), then below the field rather than above (over the
// field's prompt), then as close to the field as it can be.
QRect place(QSize size, const QRect &area, const QRect &field, const QList<QRect> &keep);

// Whether the screen keyboard is used: TROTIX_KEYBOARD "screen" always, "none" never, unset by
// the screen (a device-sized one has no physical keyboard). Anything else is `bad` and left to
// the screen.
enum class Choice { Screen, None, ByScreen };
Choice choice(const QByteArray &text, bool *bad);

}
