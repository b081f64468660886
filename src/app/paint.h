#pragma once
// The one way the game draws text: QFont("helvetica", size, weight) as the device knew it, with
// the text's baseline starting at (x, y); and the one way it draws an exact rectangle.
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;

// size in the device's points, which were pixels on its screen; weight 50 normal, 75 bold.
// "helvetica" is matched by fontconfig to a metric clone (Nimbus Sans from fonts-urw-base35),
// so texts keep the widths the 240-pixel layout was made for.
// Fonts are matched once and cached, not per tick.
const QFont &gameFont(int size, int weight);

// Where a text stands decides what may happen to it on the way to the screen.
enum class TextPlace {
    // On the screen itself: a text too long for the 240 pixels from x to the right edge is drawn
    // in the narrow face of the family at the same size, or smaller until it fits; dark text
    // over dark scenery gets a light halo so that it stays readable.
    Screen,
    // On the race course, which scrolls under the screen: the edge cuts it as the course passes,
    // so it keeps its face and size.
    Course,
};

// room: the pixels right of x its ink may cover, for a text in a frame narrower than the screen
// (on the course too, where the frame scrolls with it); -1 for the screen's edge, or none.
void drawTextAt(QPainter &painter, int x, int y, const QString &text, TextPlace place = TextPlace::Screen,
                int room = -1);
// 8-bit game text (names, numbers formatted into a buffer), taken as Latin-1.
void drawTextAt(QPainter &painter, int x, int y, const char *text, TextPlace place = TextPlace::Screen, int room = -1);
// A horse's name between lead and tail ("1. " on the race boards, " left — not counted" on the
// partner's banner, else empty) within room: shrunk as any text, the name cut with "…" where the
// name rule says (fittedName). Every name the game draws goes through here.
void drawNameAt(QPainter &painter, int x, int y, const QString &lead, const QString &name, int room,
                TextPlace place = TextPlace::Screen, const QString &tail = {});
// The one face that every line fits room pixels in: a paragraph drawn in it is squeezed evenly.
QFont fittedFace(const QFont &font, const QStringList &lines, int room);

// Outlines rect in the pen and fills it with the brush, covering exactly rect's pixels:
// QPainter::drawRect with a one-pixel pen reaches one column and one row further.
void drawExactRect(QPainter &painter, const QRect &rect);

// What drawTextAt drew, for tests that check every text of a screen.
struct DrawnText
{
    QString text;
    QRect ink;  // the pixels the glyphs cover, in the painter's coordinates
    QFont font; // the face and size it was drawn in
    TextPlace place;
    bool halo;
};
// Called for every text drawn from now on; an empty function stops it.
void setDrawnTextObserver(std::function<void(const DrawnText &)> observer);
