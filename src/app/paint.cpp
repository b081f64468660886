#include "app/paint.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QStaticText>

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

namespace {

struct LaidOutKey
{
    QString text;
    QFont font;
    bool operator==(const LaidOutKey &other) const { return text == other.text && font == other.font; }
};

size_t qHash(const LaidOutKey &key, size_t seed = 0) { return qHashMulti(seed, key.text, key.font); }

struct LaidOutText
{
    QStaticText text;
    qreal ascent;
};

// Shaping a text costs more than drawing its glyphs, and the screens draw the same few texts
// every second: each text is laid out once per font and kept. The changing ones (the race's
// read-outs) would fill the store, so it starts afresh when it holds this many.
constexpr int maxLaidOutTexts = 512;

const LaidOutText &laidOut(const QString &text, const QFont &font)
{
    static QHash<LaidOutKey, LaidOutText> store;
    LaidOutKey key{text, font};
    auto it = store.find(key);
    if (it == store.end()) {
        if (store.size() >= maxLaidOutTexts)
            store.clear();
        QStaticText staticText(text);
        staticText.setTextFormat(Qt::PlainText);
        staticText.prepare(QTransform(), font);
        it = store.insert(std::move(key), LaidOutText{staticText, QFontMetricsF(font).ascent()});
    }
    return *it;
}

}

void drawTextAt(QPainter &painter, int x, int y, const QString &text)
{
    // A laid-out text is placed by its top left corner; the baseline lies one ascent below it.
    const LaidOutText &laid = laidOut(text, painter.font());
    painter.drawStaticText(QPointF(x, y - laid.ascent), laid.text);
}

void drawTextAt(QPainter &painter, int x, int y, const char *text)
{
    drawTextAt(painter, x, y, QString::fromLatin1(text));
}
