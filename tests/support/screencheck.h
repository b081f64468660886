#pragma once
// Reading what a screen shows: pictures planted so that a pixel tells what was drawn, single
// pixels, pixels counted in an area, and reference pictures of texts drawn as the game draws them.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QList>
#include <QString>
#include <functional>

class QPainter;
class QPixmap;

// A picture of one colour, so that a pixel of the screen tells which picture stands there.
QImage solidPicture(int width, int height, const QColor &colour);

// A background replaced by a plain one, width x 320, so that whatever pictures are installed the
// test knows every pixel the screen does not draw.
void plantPlainBackground(QPixmap &background, int width, const QColor &colour);

QColor colourAt(const QImage &image, int x, int y);

// A width x 320 picture of the ground with `draw` painted over it, in the screen's format.
QImage drawnOn(const QColor &ground, int width, const std::function<void(QPainter &)> &draw);

// One text in the game's font, in the ink, at the place the game would put it.
QImage textOn(const QColor &ground, int width, int size, int weight, const QColor &ink, QPoint at,
              const QString &text);

// A text as a screen shows it: its place and the size and weight of the game's font.
struct ScreenText
{
    int x, y, size, weight;
    QString text;
};

// Draws the texts in the painter's pen, each as the game draws text.
void drawTexts(QPainter &painter, const QList<ScreenText> &texts);
