#pragma once
// The pixels under a text: what the text drawing reads before it draws, to keep dark text readable
// and to know when a text lands on the very pixels it was drawn on before.
#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The pixels of an image or pixmap painter's device within box (the game draws into nothing else).
QImage pixelsUnder(const QPainter &painter, const QRect &box);

// Whether dark text in pen over box needs a light halo to stay readable: some pixel of its ground
// gives less than 4.5:1 contrast. ground holds the pixels of groundBox, which contains box.
bool needsHalo(const QColor &pen, const QImage &ground, const QRect &groundBox, const QRect &box);

// Byte for byte: QImage's own comparison goes pixel by pixel.
bool sameBytes(const QImage &a, const QImage &b);
