#include "app/paint.h"
#include "app/textground.h"
#include "game/rules/horsename.h"

#include "platform/rules/screenscale.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>
#include <limits>

namespace {

// The screens draw the same few texts every second, and shaping a text costs more than drawing
// its glyphs: each text is kept, found by what decides how it is drawn: the text, the painter's
// font and the room right of its start, which together give the face it fits in.
struct TextKey
{
    QString text;
    QFont font; // the painter's
    int room;   // the pixels right of the start that the ink may cover
    bool operator==(const TextKey &other) const
    {
        return text == other.text && font == other.font && room == other.room;
    }
};

size_t qHash(const TextKey &key, size_t seed = 0) { return qHashMulti(seed, key.text, key.font, key.room); }

// What a screen text last made of the pixels around it, with the pixels it was drawn on: the
// screens draw their texts on the same ground every second, and the same text in the same place,
// pen and render hints on byte-identical ground gives the same pixels, which are copied back
// instead of drawn again (with a halo, the glyphs nine times over).
struct Drawn
{
    QPoint at;
    QRgb pen = 0;
    int hints = -1; // none yet: never a painter's
    QImage ground;  // the pixels of the box before
    QImage result;  // and after
    bool halo = false;
};

struct KeptText
{
    QFont face;              // the painter's font, or the one that made the text fit its room
    QList<QGlyphRun> glyphs; // placed from the top left corner of the line
    qreal ascent;            // from that corner down to the baseline
    QRect ink;               // the pixels the glyphs cover, relative to the start of the baseline
    // The same glyphs at the eight pixels around, drawn white in one go under dark text over a
    // dark ground; made the first time the text needs it.
    QList<QGlyphRun> halo;
    Drawn last; // for a screen text drawn straight into an image or pixmap
};

// The ink as measured leaves out the fringe of smoothing and the halo: the kept box reaches beyond.
constexpr int drawnMargin = 3;

// The changing texts (the race's read-outs) would fill the store, so it starts afresh when it
// holds this many; a screen text among them holds two copies of its box, a few KiB.
constexpr int maxKeptTexts = 512;

// All that the text drawing keeps from one tick to the next, in one place: the texts, the tests'
// observer, and the fonts the screens set, one per size and weight (built afresh for every call,
// they cost each tick with text 1 to 3 % more instructions).
struct TextMemory
{
    QHash<int, QFont> fonts;
    QHash<TextKey, KeptText> texts;
    QHash<TextKey, QString> names; // a lead and name, as fitted to its room
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

void drawExactRect(QPainter &painter, const QRect &rect) { painter.drawRect(rect.adjusted(0, 0, -1, -1)); }

namespace {

// Smaller than this a text is no longer read but guessed.
constexpr int smallestFittedSize = 6;

QRect inkOf(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).tightBoundingRect(text).toAlignedRect();
}

// The face a text too wide for its room is drawn in: the family's narrow face at `size` (the
// narrow face missing, the font itself).
QFont shrunkFace(const QFont &font, int size)
{
    QFont narrow = font;
    narrow.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Helvetica Narrow")});
    QFont face = QFontInfo(narrow).family().contains(QLatin1String("Narrow")) ? narrow : font;
    face.setPixelSize(size);
    return face;
}

// Text as drawn in `font` with `room` pixels right of its start: in the font itself where it fits,
// else in the shrunk face at the same size, else at the largest size of it that fits.
QFont faceFor(const QString &text, const QFont &font, int room, QRect *ink)
{
    *ink = inkOf(text, font);
    if (ink->right() < room)
        return font;
    QFont face = font;
    for (int size = font.pixelSize(); size >= smallestFittedSize; --size) {
        face = shrunkFace(font, size);
        *ink = inkOf(text, face);
        if (ink->right() < room)
            break;
    }
    return face;
}

KeptText &keptText(const QString &text, const QFont &font, int room)
{
    QHash<TextKey, KeptText> &store = memory().texts;
    TextKey key{text, font, room};
    if (auto it = store.find(key); it != store.end())
        return *it;
    if (store.size() >= maxKeptTexts)
        store.clear();

    QRect ink;
    const QFont face = faceFor(text, font, room, &ink);
    // One line, however long: its glyphs placed as QPainter::drawText would place them.
    QTextLayout layout(text, face);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return *store.insert(std::move(key), KeptText{face, layout.glyphRuns(), QFontMetricsF(face).ascent(), ink, {}, {}});
}

// The glyphs of runs at the eight pixels around, one copy whole after the other in each font's
// run: for a text in one font, as all the game's are, the order in which eight drawings of the
// text blend them, so one drawing gives their very pixels (a mask of the halo blended once would
// round its fringe differently).
QList<QGlyphRun> haloOf(const QList<QGlyphRun> &runs)
{
    QList<QGlyphRun> halo;
    for (QGlyphRun run : runs) {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0) {
                    glyphs += run.glyphIndexes();
                    for (const QPointF &at : run.positions())
                        positions.append(at + QPointF(dx, dy));
                }
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        halo.append(run);
    }
    return halo;
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

void drawGlyphs(QPainter &painter, QPointF topLeft, KeptText &kept, bool halo)
{
    if (halo) {
        if (kept.halo.isEmpty())
            kept.halo = haloOf(kept.glyphs);
        const QPen pen = painter.pen();
        painter.setPen(Qt::white);
        for (const QGlyphRun &run : std::as_const(kept.halo))
            painter.drawGlyphRun(topLeft, run);
        painter.setPen(pen);
    }
    for (const QGlyphRun &run : std::as_const(kept.glyphs))
        painter.drawGlyphRun(topLeft, run);
}

}

void setDrawnTextObserver(std::function<void(const DrawnText &)> observer) { memory().observer = std::move(observer); }

QFont fittedFace(const QFont &font, const QStringList &lines, int room)
{
    // Each line narrows the face further only where it is too wide for the face so far, so the
    // face the last line needs fits every line before it too.
    QFont face = font;
    QRect ink;
    for (const QString &line : lines)
        face = faceFor(line, face, room, &ink);
    return face;
}

void drawTextAt(QPainter &painter, int x, int y, const QString &text, TextPlace place, int room)
{
    // The measured ink leaves out the faint fringe that smoothing adds: one column of air keeps
    // that fringe on the screen too. The course has all the room it likes, the edge cuts it.
    const int screenRoom =
        place == TextPlace::Screen ? ScreenScale::deviceWidth - 1 - x : std::numeric_limits<int>::max();
    KeptText &kept = keptText(text, painter.font(), room < 0 ? screenRoom : qMin(room, screenRoom));
    const QRect ink = kept.ink.translated(x, y);
    const bool onScreen = place == TextPlace::Screen && !ink.isEmpty();
    const bool keep = onScreen && plainPainter(painter);
    const QRect box = keep ? ink.adjusted(-drawnMargin, -drawnMargin, drawnMargin, drawnMargin)
                                 .intersected(QRect(0, 0, painter.device()->width(), painter.device()->height()))
                           : QRect();
    const QImage ground = keep ? pixelsUnder(painter, box) : QImage();
    const QRgb pen = painter.pen().color().rgba();
    const int hints = int(painter.renderHints());
    Drawn &last = kept.last;
    bool halo = false;
    if (keep && last.at == QPoint(x, y) && last.pen == pen && last.hints == hints && sameBytes(last.ground, ground)) {
        halo = last.halo;
        const QPainter::CompositionMode mode = painter.compositionMode();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(box.topLeft(), last.result);
        painter.setCompositionMode(mode);
    } else {
        const QRect haloBox = ink.adjusted(-1, -1, 1, 1);
        // At the device's edge the ground reaches beyond it, as it always did.
        if (keep && box.contains(haloBox))
            halo = needsHalo(painter.pen().color(), ground, box, haloBox);
        else if (onScreen)
            halo = needsHalo(painter.pen().color(), pixelsUnder(painter, haloBox), haloBox, haloBox);
        // The glyphs are placed from the line's top left corner; the baseline lies one ascent below it.
        drawGlyphs(painter, QPointF(x, y - kept.ascent), kept, halo);
        if (keep)
            last = Drawn{QPoint(x, y), pen, hints, ground, pixelsUnder(painter, box), halo};
    }
    if (const auto &observer = memory().observer)
        observer(DrawnText{text, ink, kept.face, place, halo});
}

void drawTextAt(QPainter &painter, int x, int y, const char *text, TextPlace place, int room)
{
    drawTextAt(painter, x, y, QString::fromLatin1(text), place, room);
}

void drawNameAt(QPainter &painter, int x, int y, const QString &lead, const QString &name, int room, TextPlace place,
                const QString &tail)
{
    if (place == TextPlace::Screen)
        room = qMin(room, ScreenScale::deviceWidth - 1 - x);
    const QFont &font = painter.font();
    // The race draws the same names every frame: each is fitted once.
    QHash<TextKey, QString> &names = memory().names;
    TextKey key{lead + QLatin1Char('\0') + name + QLatin1Char('\0') + tail, font, room};
    auto it = names.find(key);
    if (it == names.end()) {
        if (names.size() >= maxKeptTexts)
            names.clear();
        const QFont smallest = shrunkFace(font, qMax(smallestFittedSize, qCeil(font.pixelSize() * nameShrinkLimit)));
        const auto fits = [&](const QString &shown) { return inkOf(lead + shown + tail, smallest).right() < room; };
        it = names.insert(std::move(key), lead + fittedName(name, fits) + tail);
    }
    drawTextAt(painter, x, y, *it, place, room);
}
