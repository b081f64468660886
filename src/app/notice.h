#pragma once
// A notice over the game's screen: what the player must know (this session will not be saved, a
// save failed), in a box over the screen, wrapped to the box's width in game pixels and
// drawn like every screen text, so that it fits its box at every zoom.
#include <QList>
#include <QRect>
#include <QString>

class QPainter;

struct NoticeLayout
{
    QRect box;
    struct Line
    {
        QString text;
        int x, y; // the start of its baseline
    };
    QList<Line> lines;
};

// Each "\n" starts a new line; a line longer than the box wraps at blanks (a word wider than the box
// at any character).
NoticeLayout layoutNotice(const QString &text);

// Draws it with a painter in game pixels (240 x 320), last: the painter keeps the notice's pen,
// brush and font.
void paintNotice(QPainter &painter, const QString &text);
