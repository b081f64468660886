#include "app/notice.h"

#include "app/paint.h"
#include "platform/rules/screenscale.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace {

constexpr int margin = 6;  // the box from the screen's sides
constexpr int padding = 5; // the text from the box's sides
constexpr int textSize = 11;
constexpr int textWeight = 50;
constexpr int middle = 200;

QStringList wrapped(const QString &paragraph, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    QString line;
    const auto fits = [&](const QString &text) { return metrics.boundingRect(text).right() < width; };
    for (const QString &word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(longer)) {
            line = longer;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line = word;
        // A word wider than the box (a long path) is cut where it must be.
        while (!fits(line)) {
            int n = line.size() - 1;
            while (n > 1 && !fits(line.left(n)))
                --n;
            lines << line.left(n);
            line = line.mid(n);
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

}

NoticeLayout layoutNotice(const QString &text)
{
    const QFontMetrics metrics(gameFont(textSize, textWeight));
    const int width = ScreenScale::deviceWidth - 2 * (margin + padding);
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << wrapped(paragraph, metrics, width);
    const int height = int(lines.size()) * metrics.lineSpacing() + 2 * padding;
    NoticeLayout layout;
    // Below the middle: clear of the fields and texts of the naming and question screens above it
    // and of their buttons at the bottom.
    layout.box = QRect(margin, middle - height / 2, ScreenScale::deviceWidth - 2 * margin, height);
    int baseline = layout.box.top() + padding + metrics.ascent();
    for (const QString &line : std::as_const(lines)) {
        layout.lines.append({line, margin + padding, baseline});
        baseline += metrics.lineSpacing();
    }
    return layout;
}

void paintNotice(QPainter &painter, const QString &text)
{
    const NoticeLayout layout = layoutNotice(text);
    painter.setPen(QColor(0x8a, 0x6a, 0x3a));
    painter.setBrush(QColor(0xf3, 0xea, 0xd8));
    drawExactRect(painter, layout.box);
    painter.setPen(QColor(0x2b, 0x1d, 0x0e));
    painter.setFont(gameFont(textSize, textWeight));
    for (const NoticeLayout::Line &line : layout.lines)
        drawTextAt(painter, line.x, line.y, line.text);
}
