#pragma once
// Reading what a screen shows: pictures planted so that a pixel tells what was drawn, single
// pixels, and a digest of a whole frame.
#include <QColor>
#include <QImage>
#include <QString>

class QPixmap;

// A picture of one colour, so that a pixel of the screen tells which picture stands there.
QImage solidPicture(int width, int height, const QColor &colour);

// A background replaced by a plain one, width x 320, so that whatever pictures are installed the
// test knows every pixel the screen does not draw.
void plantPlainBackground(QPixmap &background, int width, const QColor &colour);

QColor colourAt(const QImage &image, int x, int y);

// The first 12 hex digits of the MD5 of the picture's 32-bit pixels: a frame compared pixel for pixel.
QString digest(const QImage &image);
