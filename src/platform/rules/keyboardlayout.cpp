#include "platform/rules/keyboardlayout.h"

#include <Qt>
#include <tuple>

namespace KeyboardLayout {

namespace {

// Letters and digits are Qt keys by their own character: Qt::Key_A is 'A', Qt::Key_0 is '0'.
QList<Key> build()
{
    QList<Key> all;
    const auto row = [&all](int r, const char *characters) {
        for (int c = 0; characters[c]; ++c) {
            const char ch = characters[c];
            const int qtKey = ch == '-' ? Qt::Key_Minus : ch == '.' ? Qt::Key_Period : int(ch);
            all.append({QString(QLatin1Char(ch)), qtKey, Action::Type, QRect(c, r, 1, 1)});
        }
    };
    row(0, "1234567890");
    row(1, "QWERTYUIOP");
    row(2, "ASDFGHJKL-");
    row(3, "ZXCVBNM.");
    all.append({QStringLiteral("DEL"), Qt::Key_Backspace, Action::Delete, QRect(8, 3, 2, 1)});
    all.append({QStringLiteral("a/A"), 0, Action::Shift, QRect(0, 4, 1, 1)});
    all.append({QStringLiteral("HIDE"), 0, Action::Close, QRect(1, 4, 2, 1)});
    all.append({QString(), Qt::Key_Space, Action::Type, QRect(3, 4, 4, 1)});
    all.append({QStringLiteral("ENTER"), Qt::Key_Return, Action::Enter, QRect(7, 4, 3, 1)});
    return all;
}

int overlap(const QRect &a, const QRect &b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : both.width() * both.height();
}

}

const QList<Key> &keys()
{
    static const QList<Key> all = build();
    return all;
}

QSize size(QSizeF zoom)
{
    return QSize(qRound(columns * cellWidth * zoom.width()), qRound((rows * cellHeight + 2 * rim) * zoom.height()));
}

QRect keyRect(const Key &key, QSizeF zoom)
{
    const auto across = [zoom](int length) { return qRound(length * zoom.width()); };
    const auto down = [zoom](int length) { return qRound(length * zoom.height()); };
    const int left = across(key.cell.x() * cellWidth), top = down(rim + key.cell.y() * cellHeight);
    return QRect(left, top, across((key.cell.x() + key.cell.width()) * cellWidth) - left,
                 down(rim + (key.cell.y() + 1) * cellHeight) - top);
}

const Key *keyAt(QPoint at, QSizeF zoom)
{
    for (const Key &key : keys()) {
        if (keyRect(key, zoom).contains(at))
            return &key;
    }
    return nullptr;
}

const Key &step(const Key &from, int arrowKey)
{
    int column = from.cell.x();
    int row = from.cell.y();
    switch (arrowKey) {
    case Qt::Key_Left: column = (from.cell.left() - 1 + columns) % columns; break;
    case Qt::Key_Right: column = (from.cell.right() + 1) % columns; break;
    case Qt::Key_Up: row = (row - 1 + rows) % rows; break;
    case Qt::Key_Down: row = (row + 1) % rows; break;
    default: return from;
    }
    for (const Key &key : keys()) {
        if (key.cell.contains(column, row))
            return key;
    }
    return from;
}

QString typed(const Key &key, bool lower)
{
    if (key.qtKey == Qt::Key_Space)
        return QStringLiteral(" ");
    return lower ? key.label.toLower() : key.label;
}

QRect place(QSize size, const QRect &area, const QRect &field, const QList<QRect> &keep)
{
    // Every height the keyboard can sit at, scored: the field hidden is worst, a button hidden
    // next, then a place above the field (where its prompt is), then the distance from the field.
    QRect best;
    std::tuple<int, int, bool, int> bestScore{};
    for (int y = area.top(); y + size.height() <= area.top() + area.height(); ++y) {
        const QRect at(area.left(), y, size.width(), size.height());
        int hidden = 0;
        for (const QRect &rect : keep)
            hidden += overlap(at, rect);
        const int distance = at.top() > field.bottom() ? at.top() - field.bottom() : field.top() - at.bottom();
        const std::tuple score{overlap(at, field), hidden, at.top() < field.top(), qAbs(distance)};
        if (best.isNull() || score < bestScore) {
            best = at;
            bestScore = score;
        }
    }
    return best.isNull() ? QRect(area.bottomLeft() - QPoint(0, size.height() - 1), size) : best;
}

Choice choice(const QByteArray &text, bool *bad)
{
    const QByteArray value = text.trimmed().toLower();
    *bad = false;
    if (value == "screen")
        return Choice::Screen;
    if (value == "none")
        return Choice::None;
    *bad = !value.isEmpty();
    return Choice::ByScreen;
}

}
