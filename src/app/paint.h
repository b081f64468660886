#pragma once
// The one way the game draws text: QFont("helvetica", size, weight) as the device knew it, with
// the text's baseline starting at (x, y).
#include <QFont>
#include <QString>

class QPainter;

// size in the device's points, which were pixels on its screen; weight 50 normal, 75 bold.
// "helvetica" is matched by fontconfig to a metric clone (Nimbus Sans from fonts-urw-base35),
// so texts keep the widths the 240-pixel layout was made for.
// Fonts are matched once and cached, not per tick.
const QFont &gameFont(int size, int weight);

void drawTextAt(QPainter &painter, int x, int y, const QString &text);
// 8-bit game text (names, numbers formatted into textBuffer), taken as Latin-1.
void drawTextAt(QPainter &painter, int x, int y, const char *text);
