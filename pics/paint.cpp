#include "paint.h"

#include <QHash>
#include <QPen>
#include <QtMath>

namespace picgen {

QColor mix(const QColor &a, const QColor &b, double t)
{
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QImage newSprite(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage newOpaque(int w, int h, const QColor &fill)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
}

QPointF polar(double degrees, double length)
{
    const double r = qDegreesToRadians(degrees);
    return QPointF(std::sin(r) * length, std::cos(r) * length);
}

QPointF unit(QPointF v)
{
    const double len = std::hypot(v.x(), v.y());
    return len > 1e-9 ? v / len : QPointF(1, 0);
}

QPointF perp(QPointF v) { return QPointF(v.y(), -v.x()); }

static QPainterPath catmull(const QVector<QPointF> &pts, double tension, bool closed)
{
    QPainterPath path;
    const int n = int(pts.size());
    if (n < 2)
        return path;
    auto at = [&](int i) {
        if (closed)
            return pts[((i % n) + n) % n];
        return pts[qBound(0, i, n - 1)];
    };
    path.moveTo(pts[0]);
    const int segments = closed ? n : n - 1;
    for (int i = 0; i < segments; ++i) {
        const QPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        const QPointF c1 = p1 + (p2 - p0) * (tension / 6.0);
        const QPointF c2 = p2 - (p3 - p1) * (tension / 6.0);
        path.cubicTo(c1, c2, p2);
    }
    if (closed)
        path.closeSubpath();
    return path;
}

QPainterPath smoothClosed(const QVector<QPointF> &pts, double tension) { return catmull(pts, tension, true); }

QPainterPath smoothOpen(const QVector<QPointF> &pts, double tension) { return catmull(pts, tension, false); }

QPainterPath capsule(QPointF a, QPointF b, double wa, double wb)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QPointF n = perp(unit(b - a));
    QPolygonF quad;
    quad << a + n * (wa / 2) << b + n * (wb / 2) << b - n * (wb / 2) << a - n * (wa / 2);
    path.addPolygon(quad);
    path.closeSubpath();
    path.addEllipse(a, wa / 2, wa / 2);
    path.addEllipse(b, wb / 2, wb / 2);
    return path;
}

QPainterPath ribbon(const QVector<QPointF> &spine, const QVector<double> &widths, int samples)
{
    // Sample the smooth spine, then walk out along both sides with the interpolated width.
    const QPainterPath centre = smoothOpen(spine);
    QVector<QPointF> left, right;
    for (int i = 0; i <= samples; ++i) {
        const double t = double(i) / samples;
        const QPointF pt = centre.pointAtPercent(t);
        const QPointF ahead = centre.pointAtPercent(qMin(1.0, t + 0.01));
        const QPointF behind = centre.pointAtPercent(qMax(0.0, t - 0.01));
        const QPointF n = perp(unit(ahead - behind));
        const double f = t * (widths.size() - 1);
        const int k = qMin(int(f), int(widths.size()) - 2);
        const double w = widths[k] + (widths[k + 1] - widths[k]) * (f - k);
        left << pt + n * (w / 2);
        right << pt - n * (w / 2);
    }
    QPolygonF poly;
    for (const QPointF &pt : left)
        poly << pt;
    for (int i = int(right.size()) - 1; i >= 0; --i)
        poly << right[i];
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void strokeBehind(QPainter &p, const QVector<QPainterPath> &parts, double width, const QColor &lineColor)
{
    p.save();
    QPen pen(lineColor, width * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const QPainterPath &part : parts)
        p.drawPath(part);
    p.restore();
}

void fillParts(QPainter &p, const QVector<QPainterPath> &parts, const QBrush &brush)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    for (const QPainterPath &part : parts)
        p.drawPath(part);
    p.restore();
}

void outlined(QPainter &p, const QPainterPath &path, const QBrush &brush, double width, const QColor &lineColor)
{
    outlinedGroup(p, {path}, brush, width, lineColor);
}

void outlinedGroup(QPainter &p, const QVector<QPainterPath> &parts, const QBrush &brush, double width,
                   const QColor &lineColor)
{
    strokeBehind(p, parts, width, lineColor);
    fillParts(p, parts, brush);
}

void line(QPainter &p, QPointF a, QPointF b, const QColor &c, double width)
{
    p.save();
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
    p.restore();
}

void curve(QPainter &p, const QVector<QPointF> &pts, const QColor &c, double width)
{
    p.save();
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smoothOpen(pts));
    p.restore();
}

// 5 x 7 letter grids, just the letters the signs need.
static const QHash<QChar, QVector<const char *>> &glyphs()
{
    static const QHash<QChar, QVector<const char *>> table = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    };
    return table;
}

double blockTextWidth(const QString &text, double cell) { return text.isEmpty() ? 0 : (text.size() * 6 - 1) * cell; }

void blockText(QPainter &p, QPointF topLeft, const QString &text, double cell, const QColor &color)
{
    // Whole-pixel cells on whole-pixel positions keep the letters crisp instead of smeared by antialiasing.
    if (cell == std::floor(cell))
        topLeft = QPointF(std::round(topLeft.x()), std::round(topLeft.y()));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPainterPath path;
    for (int i = 0; i < text.size(); ++i) {
        const auto it = glyphs().constFind(text[i]);
        if (it == glyphs().constEnd())
            continue;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (it.value()[row][col] == '#')
                    path.addRect(QRectF(topLeft.x() + (i * 6 + col) * cell, topLeft.y() + row * cell, cell, cell));
    }
    path.setFillRule(Qt::WindingFill);
    p.drawPath(path.simplified());
    p.restore();
}

void blockTextOutlined(QPainter &p, QPointF topLeft, const QString &text, double cell, const QColor &color,
                       const QColor &edge)
{
    // A drop edge one cell down-right reads better at a few pixels high than a full outline.
    const double d = qMax(1.0, cell * 0.6);
    blockText(p, topLeft + QPointF(d, d), text, cell, edge);
    blockText(p, topLeft, text, cell, color);
}

void wrapped(double period, const std::function<void(double)> &drawAt)
{
    drawAt(-period);
    drawAt(0);
    drawAt(period);
}

} // namespace picgen
