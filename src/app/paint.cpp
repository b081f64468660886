#include "app/paint.h"
#include "app/textground.h"

#include "platform/rules/screenscale.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStaticText>
#include <unordered_map>

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
    QRect ink; // relative to the start of the baseline
};

// Shaping a text costs more than drawing its glyphs, and the screens draw the same few texts
// every second: each text is laid out once per font and kept. The changing ones (the race's
// read-outs) would fill the store, so it starts afresh when it holds this many.
constexpr int maxLaidOutTexts = 512;

struct FitKey
{
    LaidOutKey text;
    int room;
    bool operator==(const FitKey &other) const { return text == other.text && room == other.room; }
};

struct FitKeyHash
{
    size_t operator()(const FitKey &key, size_t seed = 0) const { return qHashMulti(seed, qHash(key.text), key.room); }
};

// The screens draw the same texts on the same ground every second, and a text with a halo is
// drawn nine times. What a text made of the pixels around it is kept with the pixels it was
// drawn on: the same text, font, pen and place on the same ground give the same pixels, which
// are copied back instead of drawn again.
struct DrawnKey
{
    QString text;
    QFont font;
    QRgb pen;
    QPoint at;
    int hints;
    bool operator==(const DrawnKey &other) const
    {
        return text == other.text && font == other.font && pen == other.pen && at == other.at && hints == other.hints;
    }
};

size_t qHash(const DrawnKey &key, size_t seed = 0) { return qHashMulti(seed, key.text, key.font, key.pen, key.at, key.hints); }

struct Drawn
{
    QImage ground; // the pixels of the box before
    QImage result; // and after
    bool halo;
};

// The ink as measured leaves out the fringe of smoothing and the halo: the box reaches beyond.
constexpr int drawnMargin = 3;
// A screen draws a dozen texts at most; a kept one holds two copies of its box (a few KiB).
constexpr int maxDrawnTexts = 64;

// All that the text drawing keeps from one tick to the next, in one place: fonts matched,
// texts laid out, the fonts that made long texts fit, texts as drawn on their ground, and the
// tests' observer. Each store starts afresh when full.
struct TextMemory
{
    QHash<int, QFont> fonts;
    QHash<LaidOutKey, LaidOutText> laidOut;
    std::unordered_map<FitKey, QFont, FitKeyHash> fitted;
    QHash<DrawnKey, Drawn> drawn;
    std::function<void(const DrawnText &)> observer;
};

TextMemory &memory()
{
    static TextMemory kept;
    return kept;
}

}

const QFont &gameFont(int size, int weight)
{
    QHash<int, QFont> &cache = memory().fonts;
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

void drawExactRect(QPainter &painter, const QRect &rect)
{
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

namespace {

const LaidOutText &laidOut(const QString &text, const QFont &font)
{
    QHash<LaidOutKey, LaidOutText> &store = memory().laidOut;
    LaidOutKey key{text, font};
    auto it = store.find(key);
    if (it == store.end()) {
        if (store.size() >= maxLaidOutTexts)
            store.clear();
        QStaticText staticText(text);
        staticText.setTextFormat(Qt::PlainText);
        staticText.prepare(QTransform(), font);
        const QFontMetricsF metrics(font);
        const QRect ink = metrics.tightBoundingRect(text).toAlignedRect();
        it = store.insert(std::move(key), LaidOutText{staticText, metrics.ascent(), ink});
    }
    return *it;
}

// Smaller than this a text is no longer read but guessed.
constexpr int smallestFittedSize = 6;

// The font in which text fits into `room` pixels right of its start: the painter's own where it
// fits, else the family's narrow face at the same size, else the largest size of the narrow face
// that fits (the narrow face missing, the same with the painter's font).
QFont fittedFont(const QString &text, const QFont &font, int room)
{
    auto &fitted = memory().fitted;
    const FitKey key{{text, font}, room};
    if (auto it = fitted.find(key); it != fitted.end())
        return it->second;

    QFont narrow = font;
    narrow.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Helvetica Narrow")});
    QFont candidate = QFontInfo(narrow).family().contains(QLatin1String("Narrow")) ? narrow : font;
    for (int size = font.pixelSize(); size >= smallestFittedSize; --size) {
        candidate.setPixelSize(size);
        if (laidOut(text, candidate).ink.right() < room)
            break;
    }
    if (fitted.size() >= maxLaidOutTexts)
        fitted.clear();
    fitted.emplace(key, candidate);
    return candidate;
}


// A painter that draws straight into an image or pixmap, with nothing that changes what a text
// does to the pixels besides the text itself.
bool plainPainter(const QPainter &painter)
{
    const int type = painter.device()->devType();
    return (type == QInternal::Image || type == QInternal::Pixmap) && !painter.hasClipping()
        && painter.worldTransform().isIdentity() && painter.opacity() == 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver
        && painter.device()->devicePixelRatio() == 1 && painter.pen().style() == Qt::SolidLine
        && painter.backgroundMode() == Qt::TransparentMode;
}


}

void setDrawnTextObserver(std::function<void(const DrawnText &)> observer)
{
    memory().observer = std::move(observer);
}

namespace {

void drawLaidOut(QPainter &painter, QPointF topLeft, const LaidOutText &laid, const QFont &font, bool halo)
{
    const QFont painterFont = painter.font();
    const bool refitted = font != painterFont;
    if (refitted)
        painter.setFont(font);
    if (halo) {
        const QPen pen = painter.pen();
        painter.setPen(Qt::white);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0)
                    painter.drawStaticText(topLeft + QPointF(dx, dy), laid.text);
        painter.setPen(pen);
    }
    painter.drawStaticText(topLeft, laid.text);
    if (refitted)
        painter.setFont(painterFont);
}

}

void drawTextAt(QPainter &painter, int x, int y, const QString &text, TextPlace place)
{
    QFont font = painter.font();
    // The measured ink leaves out the faint fringe that smoothing adds: one column of air keeps
    // that fringe on the screen too.
    const int room = ScreenScale::deviceWidth - 1 - x;
    if (place == TextPlace::Screen && laidOut(text, font).ink.right() >= room)
        font = fittedFont(text, font, room);
    // A laid-out text is placed by its top left corner; the baseline lies one ascent below it.
    const LaidOutText &laid = laidOut(text, font);
    const QPointF topLeft(x, y - laid.ascent);
    const QRect ink = laid.ink.translated(x, y);
    const bool onScreen = place == TextPlace::Screen && !ink.isEmpty();
    const bool kept = onScreen && plainPainter(painter);
    const QRect box = kept ? ink.adjusted(-drawnMargin, -drawnMargin, drawnMargin, drawnMargin)
                                 .intersected(QRect(0, 0, painter.device()->width(), painter.device()->height()))
                           : QRect();
    const QImage ground = kept ? pixelsUnder(painter, box) : QImage();
    const DrawnKey key{text, font, painter.pen().color().rgba(), QPoint(x, y), int(painter.renderHints())};
    auto &store = memory().drawn;
    bool halo = false;
    if (auto it = store.constFind(key); kept && it != store.constEnd() && sameBytes(it->ground, ground)) {
        halo = it->halo;
        const QPainter::CompositionMode mode = painter.compositionMode();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(box.topLeft(), it->result);
        painter.setCompositionMode(mode);
    } else {
        const QRect haloBox = ink.adjusted(-1, -1, 1, 1);
        // At the device's edge the ground reaches beyond it, as it always did.
        if (kept && box.contains(haloBox))
            halo = needsHalo(painter.pen().color(), ground, box, haloBox);
        else if (onScreen)
            halo = needsHalo(painter.pen().color(), pixelsUnder(painter, haloBox), haloBox, haloBox);
        drawLaidOut(painter, topLeft, laid, font, halo);
        if (kept) {
            if (store.size() >= maxDrawnTexts)
                store.clear();
            store.insert(key, Drawn{ground, pixelsUnder(painter, box), halo});
        }
    }
    if (const auto &observer = memory().observer)
        observer(DrawnText{text, ink, font, place, halo});
}

void drawTextAt(QPainter &painter, int x, int y, const char *text, TextPlace place)
{
    drawTextAt(painter, x, y, QString::fromLatin1(text), place);
}
