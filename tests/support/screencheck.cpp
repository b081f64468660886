#include "screencheck.h"

#include "app/paint.h"

#include <QPainter>
#include <QPixmap>

QImage solidPicture(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void plantPlainBackground(QPixmap &background, int width, const QColor &colour)
{
    background = QPixmap(width, 320);
    background.fill(colour);
}

QColor colourAt(const QImage &image, int x, int y) { return QColor(image.pixel(x, y)); }

QImage drawnOn(const QColor &ground, int width, const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(width, 320);
    pixmap.fill(ground);
    QPainter painter(&pixmap);
    draw(painter);
    painter.end();
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

QImage textOn(const QColor &ground, int width, int size, int weight, const QColor &ink, QPoint at,
              const QString &text)
{
    return drawnOn(ground, width, [&](QPainter &painter) {
        painter.setPen(ink);
        drawTexts(painter, {{at.x(), at.y(), size, weight, text}});
    });
}

void drawTexts(QPainter &painter, const QList<ScreenText> &texts)
{
    for (const ScreenText &t : texts) {
        painter.setFont(gameFont(t.size, t.weight));
        drawTextAt(painter, t.x, t.y, t.text);
    }
}
