#pragma once
// How large what a finger must hit is drawn: the screen keyboard's keys, the entries of the
// menus, the lines of the list of games. A phone held upright has nothing else to point with, so
// there each is as large as the width allows and never under a fingertip's size. Pure; the
// keyboard, the menus and the list apply it.
#include <QSize>
#include <QSizeF>

namespace FingerTarget {

// About 5.5 mm on a phone's screen, in logical pixels: the least a fingertip hits surely, each way.
constexpr int minimumSide = 32;
// A small tablet held upright is this wide: from here on a finger has room without help.
constexpr int tabletWidth = 600;

// A phone's screen: upright, larger than the device's, narrower than a small tablet's.
bool isPhoneSized(const QSize &screen);

// The screen keyboard's zoom, across and down, for a picture at `zoom` in a window `width` wide:
// the picture's; on a phone ten keys across the window's whole width, and rows at least
// minimumSide high.
QSizeF keyboardZoom(qreal zoom, int width, bool phone);

// An entry (a menu's, a list's line) whose natural size is `natural`, in a space `width` wide:
// itself; on a phone the whole width and at least minimumSide high.
QSize entry(const QSize &natural, int width, bool phone);

}
