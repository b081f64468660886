#include "app/paint.h"

#include <QHash>
#include <QPainter>

const QFont &gameFont(int size, int weight)
{
    static QHash<int, QFont> cache;
    const int key = size * 1000 + weight;
    auto it = cache.find(key);
    if (it == cache.end()) {
        QFont font(QStringLiteral("helvetica"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(size);
        font.setWeight(weight >= 75 ? QFont::Bold : QFont::Normal);
        font.setItalic(false);
        it = cache.insert(key, font);
    }
    return *it;
}

void drawTextAt(QPainter &painter, int x, int y, const QString &text) { painter.drawText(x, y, text); }

void drawTextAt(QPainter &painter, int x, int y, const char *text)
{
    painter.drawText(x, y, QString::fromLatin1(text));
}
