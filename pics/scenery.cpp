// Backgrounds, the hay block, the title emblem and the course signs.
// The two strips scroll through a 240 px window that wraps round, so everything on them is periodic: hill lines
// are sums of whole sine waves over the strip, and every object is drawn again one period to each side.
#include "paint.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace picgen {
namespace {

struct Wave
{
    int cycles; // whole cycles per strip, so the line closes on itself
    double amplitude;
    double phase;
};

double waveAt(double x, double period, double base, const QVector<Wave> &waves)
{
    double y = base;
    for (const Wave &w : waves)
        y += w.amplitude * std::sin(2 * M_PI * w.cycles * x / period + w.phase);
    return y;
}

// A filled band under a periodic skyline, from one period left of the strip to one period right.
QPainterPath hillPath(double period, double base, const QVector<Wave> &waves, double bottom)
{
    QPolygonF poly;
    for (double x = -2; x <= period + 2; x += 1.0)
        poly << QPointF(x, waveAt(x, period, base, waves));
    poly << QPointF(period + 2, bottom) << QPointF(-2, bottom);
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath cloudShape(double w, double h)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(QRectF(0, h * 0.45, w, h * 0.55), h * 0.27, h * 0.27);
    path.addEllipse(QPointF(w * 0.30, h * 0.50), w * 0.20, h * 0.40);
    path.addEllipse(QPointF(w * 0.56, h * 0.38), w * 0.24, h * 0.38);
    path.addEllipse(QPointF(w * 0.78, h * 0.58), w * 0.16, h * 0.30);
    return path.simplified();
}

void drawCloud(QPainter &p, QPointF at, double w, double h)
{
    const QPainterPath c = cloudShape(w, h).translated(at);
    outlined(p, c, QColor(0xff, 0xff, 0xff), 0.8, QColor(0xa4, 0xc8, 0xe4));
    p.save();
    p.setClipPath(c, Qt::IntersectClip);
    p.setBrush(QColor(0xdc, 0xec, 0xf8));
    p.drawRoundedRect(QRectF(at.x() - 2, at.y() + h * 0.78, w + 4, h * 0.4), 4, 4);
    p.restore();
}

void drawClouds(QPainter &p, double period, quint64 seed, int count, double yLo, double yHi)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const double x = (i + rng.range(0.1, 0.7)) * period / count;
        const double y = rng.range(yLo, yHi);
        const double w = rng.range(34, 58);
        const double h = w * rng.range(0.38, 0.48);
        wrapped(period, [&](double off) { drawCloud(p, {x + off, y}, w, h); });
    }
}

void drawSky(QPainter &p, int w, double bottom, const QColor &top, const QColor &horizon)
{
    QLinearGradient g(QPointF(0, 0), QPointF(0, bottom));
    g.setColorAt(0, top);
    g.setColorAt(1, horizon);
    p.fillRect(QRectF(0, 0, w, bottom), g);
}

void drawTree(QPainter &p, QPointF foot, double size, const QColor &edge)
{
    const QPainterPath trunk = capsule(foot, foot + QPointF(0, -size * 0.9), size * 0.22, size * 0.16);
    outlined(p, trunk, ink::woodDark, 0.8, edge);
    QPainterPath crown;
    crown.setFillRule(Qt::WindingFill);
    const QPointF c = foot + QPointF(0, -size * 1.15);
    crown.addEllipse(c, size * 0.62, size * 0.5);
    crown.addEllipse(c + QPointF(-size * 0.35, size * 0.15), size * 0.38, size * 0.34);
    crown.addEllipse(c + QPointF(size * 0.36, size * 0.12), size * 0.4, size * 0.36);
    crown.addEllipse(c + QPointF(0, -size * 0.3), size * 0.42, size * 0.34);
    crown = crown.simplified();
    QRadialGradient g(c + QPointF(-size * 0.2, -size * 0.3), size * 0.9);
    g.setColorAt(0, ink::leafLight);
    g.setColorAt(0.6, ink::leaf);
    g.setColorAt(1, ink::leafDark);
    outlined(p, crown, g, 0.8, edge);
}

void drawTuft(QPainter &p, QPointF at, double s, const QColor &c)
{
    curve(p, {at + QPointF(-2.2 * s, 0), at + QPointF(-2.6 * s, -2.2 * s), at + QPointF(-3.6 * s, -4.0 * s)}, c, 1.0);
    curve(p, {at + QPointF(0, 0), at + QPointF(0.2 * s, -3.0 * s), at + QPointF(0.6 * s, -5.4 * s)}, c, 1.0);
    curve(p, {at + QPointF(2.0 * s, 0), at + QPointF(2.6 * s, -2.0 * s), at + QPointF(3.8 * s, -3.4 * s)}, c, 1.0);
}

void drawFlower(QPainter &p, QPointF at, const QColor &petal, double r)
{
    p.setBrush(petal);
    for (int i = 0; i < 5; ++i) {
        const double a = qDegreesToRadians(i * 72.0);
        p.drawEllipse(at + QPointF(std::cos(a), std::sin(a)) * r, r * 0.75, r * 0.75);
    }
    p.setBrush(QColor(0xf6, 0xc8, 0x2e));
    p.drawEllipse(at, r * 0.6, r * 0.6);
}

// Scattered grass tufts and flowers in a band of a strip.
void drawMeadow(QPainter &p, double period, quint64 seed, int tufts, int flowers, double yLo, double yHi)
{
    Rng rng(seed);
    for (int i = 0; i < tufts; ++i) {
        const double x = rng.range(0, period), y = rng.range(yLo, yHi);
        const double s = 0.6 + 0.6 * (y - yLo) / (yHi - yLo);
        const QColor c = rng.below(3) ? QColor(0x3e, 0x8e, 0x34) : QColor(0x9a, 0xd8, 0x6a);
        wrapped(period, [&](double off) { drawTuft(p, {x + off, y}, s, c); });
    }
    const QColor petals[] = {QColor(0xff, 0xff, 0xff), QColor(0xff, 0xe0, 0x4a), QColor(0xff, 0x9c, 0xc0),
                             QColor(0xc4, 0xa8, 0xf4)};
    for (int i = 0; i < flowers; ++i) {
        const double x = rng.range(0, period), y = rng.range(yLo, yHi);
        const QColor c = petals[rng.below(4)];
        const double r = 0.8 + 0.7 * (y - yLo) / (yHi - yLo);
        wrapped(period, [&](double off) { drawFlower(p, {x + off, y}, c, r); });
    }
}

void drawBarn(QPainter &p, QPointF foot, const QColor &edge)
{
    // A small red stable with a white-trimmed door and a hay loft.
    const double w = 46, h = 26;
    const QRectF wall(foot.x() - w / 2, foot.y() - h, w, h);
    QPainterPath body;
    body.addRect(wall);
    const QPainterPath gable = smoothClosed({{wall.left(), wall.top()},
                                             {wall.left() + 6, wall.top() - 11},
                                             {wall.center().x(), wall.top() - 15.5},
                                             {wall.right() - 6, wall.top() - 11},
                                             {wall.right(), wall.top()}},
                                            0.15);
    outlinedGroup(p, {body, gable}, QColor(0xc8, 0x3a, 0x30), 0.8, edge);
    p.save();
    p.setClipPath(body.united(gable), Qt::IntersectClip);
    for (double x = wall.left() + 3; x < wall.right(); x += 4)
        line(p, {x, wall.top() - 20}, {x, wall.bottom()}, QColor(0xa8, 0x2c, 0x26), 0.6);
    p.restore();
    QPen roofPen(QColor(0x5a, 0x3a, 0x3a), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(roofPen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(smoothOpen({{wall.left() - 3, wall.top() + 1},
                           {wall.left() + 6, wall.top() - 11.5},
                           {wall.center().x(), wall.top() - 16.5},
                           {wall.right() - 6, wall.top() - 11.5},
                           {wall.right() + 3, wall.top() + 1}},
                          0.15));
    p.setPen(Qt::NoPen);
    // Door with the white cross brace.
    const QRectF door(wall.center().x() - 7, wall.bottom() - 16, 14, 16);
    p.setBrush(QColor(0xa8, 0x2c, 0x26));
    p.drawRect(door);
    QPen trim(ink::white, 1.4);
    p.setPen(trim);
    p.setBrush(Qt::NoBrush);
    p.drawRect(door);
    p.drawLine(door.topLeft(), door.bottomRight());
    p.drawLine(door.topRight(), door.bottomLeft());
    p.drawRect(wall);
    // Loft window with hay.
    const QRectF loft(wall.center().x() - 3.5, wall.top() - 9, 7, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::hay);
    p.drawRect(loft);
    p.setPen(trim);
    p.setBrush(Qt::NoBrush);
    p.drawRect(loft);
    p.setPen(Qt::NoPen);
}

void drawPaddockFence(QPainter &p, double period, int posts, double top, double bottom)
{
    // White paddock rails: the brown horse stands out against them.
    const QColor rail(0xfa, 0xf6, 0xee), railShade(0xd6, 0xd0, 0xc4), edge(0x8a, 0x84, 0x7a);
    for (double ry : {top + 5.0, top + 20.0}) {
        QPainterPath r;
        r.addRect(QRectF(-4, ry, period + 8, 4.5));
        outlined(p, r, rail, 0.7, edge);
        p.setBrush(railShade);
        p.drawRect(QRectF(-4, ry + 3.0, period + 8, 1.5));
        p.setBrush(QColor(0, 0, 0, 30));
        p.drawRect(QRectF(-4, ry + 5.2, period + 8, 1.6));
    }
    for (int i = 0; i < posts; ++i) {
        const double x = i * period / posts;
        wrapped(period, [&](double off) {
            QPainterPath post;
            post.addRoundedRect(QRectF(x + off - 2.8, top, 5.6, bottom - top), 1.5, 1.5);
            outlined(p, post, rail, 0.7, edge);
            p.setBrush(railShade);
            p.drawRect(QRectF(x + off + 0.8, top + 1, 2.0, bottom - top - 1));
        });
    }
}

} // namespace

QImage field()
{
    const int P = kFieldPeriod;
    QImage img = newOpaque(P, 320, Qt::white);
    QPainter p(&img);
    prepare(p);
    drawSky(p, P, 210, QColor(0x62, 0xb2, 0xea), QColor(0xd2, 0xee, 0xfb));
    drawClouds(p, P, 0x7107'1cd1, 7, 26, 96);

    // Far hills, then nearer ones with the stable and trees on them.
    const QVector<Wave> far{{2, 11, 0.7}, {5, 6, 2.1}, {9, 3, 0.3}};
    const QVector<Wave> nearHill{{3, 8, 1.3}, {7, 4, 0.4}, {11, 2, 2.6}};
    QLinearGradient farG(QPointF(0, 130), QPointF(0, 200));
    farG.setColorAt(0, QColor(0xae, 0xd8, 0xa4));
    farG.setColorAt(1, QColor(0x96, 0xcc, 0x8c));
    outlined(p, hillPath(P, 152, far, 330), farG, 0.7, QColor(0x8c, 0xbc, 0x86));
    {
        Rng rng(0x5eed'fa12);
        for (int i = 0; i < 16; ++i) {
            const double x = rng.range(0, P);
            const double s = rng.range(5, 8);
            wrapped(P, [&](double off) {
                drawTree(p, {x + off, waveAt(x, P, 152, far) + 6}, s, QColor(0x6c, 0xa4, 0x6a));
            });
        }
    }
    QLinearGradient nearG(QPointF(0, 170), QPointF(0, 240));
    nearG.setColorAt(0, QColor(0x8e, 0xc8, 0x6c));
    nearG.setColorAt(1, QColor(0x74, 0xb6, 0x56));
    outlined(p, hillPath(P, 186, nearHill, 330), nearG, 0.7, QColor(0x66, 0xa2, 0x50));
    wrapped(
        P, [&](double off) { drawBarn(p, {566 + off, waveAt(566, P, 186, nearHill) + 14}, QColor(0x5a, 0x2a, 0x22)); });
    const QColor treeEdge(0x2e, 0x5a, 0x26);
    for (const QPointF &t : {QPointF(214, 0), QPointF(392, 0), QPointF(712, 0), QPointF(36, 0)}) {
        const double size = t.x() == 214 ? 30 : 20;
        wrapped(P,
                [&](double off) { drawTree(p, {t.x() + off, waveAt(t.x(), P, 186, nearHill) + 16}, size, treeEdge); });
    }

    // The paddock: grass from the fence down, the horse's ground line near y 260.
    QLinearGradient grass(QPointF(0, 226), QPointF(0, 320));
    grass.setColorAt(0, QColor(0x84, 0xc8, 0x5e));
    grass.setColorAt(1, QColor(0x5c, 0xaa, 0x46));
    p.fillRect(QRectF(0, 228, P, 92), grass);
    for (int band = 0; band < 5; ++band) {
        // Mown stripes, lighter and darker in turn.
        p.setBrush(band % 2 ? QColor(255, 255, 255, 16) : QColor(0, 0, 0, 10));
        p.drawRect(QRectF(0, 240 + band * 16, P, 16));
    }
    drawPaddockFence(p, P, 14, 200, 238);
    p.fillRect(QRectF(0, 236, P, 4), QColor(0x5c, 0xa0, 0x44, 120));
    drawMeadow(p, P, 0x00f1'e1d5, 70, 34, 246, 318);
    return img;
}

QImage statusBack()
{
    QImage img = newOpaque(240, 320, Qt::white);
    QPainter p(&img);
    prepare(p);
    QLinearGradient g(QPointF(0, 0), QPointF(0, 320));
    g.setColorAt(0, ink::paper);
    g.setColorAt(1, QColor(0xf4, 0xe6, 0xc6));
    p.fillRect(QRectF(0, 0, 240, 320), g);
    // Faint ruled lines, like a stable's logbook.
    for (double y = 52; y < 290; y += 16)
        p.fillRect(QRectF(12, y, 216, 1), QColor(0xd8, 0xc4, 0x9c, 70));
    // Double frame.
    QPen outer(QColor(0xb8, 0x8a, 0x52), 2.0);
    p.setPen(outer);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, 234, 314), 7, 7);
    QPen inner(QColor(0xe0, 0xc6, 0x96), 1.0);
    p.setPen(inner);
    p.drawRoundedRect(QRectF(7.5, 7.5, 225, 305), 5, 5);
    p.setPen(Qt::NoPen);
    // Small pale horseshoes in the right-hand corners, away from the bars and text.
    auto shoe = [&](QPointF c, double r) {
        QVector<QPointF> spine;
        for (int i = 0; i <= 12; ++i) {
            const double a = qDegreesToRadians(150.0 + i * 20.0);
            spine << c + QPointF(std::cos(a), -std::sin(a)) * r;
        }
        const QPainterPath s = ribbon(spine, {r * 0.42, r * 0.5, r * 0.42}, 30);
        p.setBrush(QColor(0xe4, 0xcc, 0x9a));
        p.drawPath(s);
        p.setBrush(QColor(0xf6, 0xea, 0xcc));
        for (int i = 1; i < 12; i += 2) {
            const double a = qDegreesToRadians(150.0 + i * 20.0);
            p.drawEllipse(c + QPointF(std::cos(a), -std::sin(a)) * r, r * 0.08, r * 0.08);
        }
    };
    shoe({222, 24}, 9);
    shoe({222, 296}, 9);
    // A pale meadow along the bottom edge, below the labels.
    const QVector<Wave> hills{{1, 3, 0.4}, {3, 2, 1.0}};
    p.save();
    p.setClipRect(QRectF(8, 8, 224, 304));
    p.setBrush(QColor(0xd6, 0xe8, 0xb4));
    p.drawPath(hillPath(240, 298, hills, 330));
    p.setBrush(QColor(0xc4, 0xde, 0x9c));
    p.drawPath(hillPath(240, 306, {{2, 2, 2.0}}, 330));
    p.restore();
    return img;
}

QImage raceCourse()
{
    const int P = kCoursePeriod;
    QImage img = newOpaque(P, 320, Qt::white);
    QPainter p(&img);
    prepare(p);
    drawSky(p, P, 80, QColor(0x6a, 0xb8, 0xec), QColor(0xd6, 0xf0, 0xfc));
    drawClouds(p, P, 0xc0'75e1, 4, 10, 34);
    // A soft line of far trees, then the quiet infield where the distance boards stand.
    const QVector<Wave> trees{{13, 2.2, 0.0}, {19, 1.6, 1.1}, {7, 2.0, 2.2}};
    p.setBrush(QColor(0xa6, 0xd2, 0x96));
    p.drawPath(hillPath(P, 66, trees, 330));
    QLinearGradient infield(QPointF(0, 76), QPointF(0, 176));
    infield.setColorAt(0, QColor(0x9c, 0xd2, 0x78));
    infield.setColorAt(1, QColor(0x7c, 0xc0, 0x5a));
    p.fillRect(QRectF(0, 76, P, 104), infield);
    for (int band = 0; band < 7; ++band) {
        p.setBrush(band % 2 ? QColor(255, 255, 255, 14) : QColor(0, 0, 0, 8));
        p.drawRect(QRectF(0, 76 + band * 15, P, 15));
    }
    drawMeadow(p, P, 0x1f1e'1d00, 24, 10, 142, 172);

    // Far rail.
    const QColor rail(0xfa, 0xf6, 0xee), edge(0x8a, 0x84, 0x7a);
    // Track: pale sand so the red and blue distance figures read on it.
    QLinearGradient sand(QPointF(0, 186), QPointF(0, 294));
    sand.setColorAt(0, QColor(0xe2, 0xcc, 0x98));
    sand.setColorAt(0.2, QColor(0xee, 0xdc, 0xb0));
    sand.setColorAt(1, QColor(0xf4, 0xe6, 0xc4));
    p.fillRect(QRectF(0, 186, P, 108), sand);
    {
        Rng rng(0x5a4d'd057);
        for (int i = 0; i < 260; ++i) {
            const double x = rng.range(0, P), y = rng.range(190, 292);
            const double r = rng.range(0.5, 1.1);
            const QColor c = rng.below(2) ? QColor(0xcc, 0xb2, 0x7c, 150) : QColor(0xff, 0xfa, 0xea, 170);
            wrapped(P, [&](double off) {
                p.setBrush(c);
                p.drawEllipse(QPointF(x + off, y), r * 1.6, r);
            });
        }
        // Hoof prints along each lane.
        for (int lane = 0; lane < 2; ++lane)
            for (int i = 0; i < 14; ++i) {
                const double x = (i + rng.range(0, 0.6)) * P / 14.0;
                const double y = (lane ? 250.0 : 220.0) + rng.range(-2, 3);
                wrapped(P, [&](double off) {
                    QPen pen(QColor(0xc8, 0xac, 0x74, 160), 1.0);
                    p.setPen(pen);
                    p.setBrush(Qt::NoBrush);
                    p.drawArc(QRectF(x + off - 2, y - 1.5, 4, 3), 200 * 16, 140 * 16);
                    p.setPen(Qt::NoPen);
                });
            }
    }
    p.fillRect(QRectF(0, 186, P, 5), QColor(0x9c, 0x86, 0x5c, 90));
    // Lane markings: a dashed line between the lanes, a solid edge line near the front rail.
    for (int i = 0; i < 26; ++i) {
        const double x = i * P / 26.0;
        wrapped(P, [&](double off) {
            p.setBrush(QColor(0xff, 0xff, 0xff, 200));
            p.drawRoundedRect(QRectF(x + off, 234.5, 10, 2), 1, 1);
        });
    }
    p.fillRect(QRectF(0, 287, P, 1.6), QColor(0xff, 0xff, 0xff, 210));
    p.fillRect(QRectF(0, 195, P, 1.6), QColor(0xff, 0xff, 0xff, 170));

    // Far rail on its posts.
    for (int i = 0; i < 13; ++i) {
        const double x = i * P / 13.0;
        wrapped(P, [&](double off) {
            QPainterPath post;
            post.addRect(QRectF(x + off - 1.5, 176, 3, 14));
            outlined(p, post, rail, 0.6, edge);
        });
    }
    {
        QPainterPath r;
        r.addRect(QRectF(-4, 175, P + 8, 4));
        outlined(p, r, rail, 0.6, edge);
    }
    // Front rail and the grass in front of it.
    QLinearGradient front(QPointF(0, 296), QPointF(0, 320));
    front.setColorAt(0, QColor(0x7c, 0xc0, 0x5a));
    front.setColorAt(1, QColor(0x5a, 0xa8, 0x44));
    p.fillRect(QRectF(0, 296, P, 24), front);
    p.fillRect(QRectF(0, 294, P, 2), QColor(0x5a, 0x96, 0x40));
    for (int i = 0; i < 13; ++i) {
        const double x = (i + 0.5) * P / 13.0;
        wrapped(P, [&](double off) {
            QPainterPath post;
            post.addRect(QRectF(x + off - 2, 290, 4, 20));
            outlined(p, post, rail, 0.7, edge);
        });
    }
    {
        QPainterPath r;
        r.addRect(QRectF(-4, 292, P + 8, 5));
        outlined(p, r, rail, 0.7, edge);
        p.fillRect(QRectF(0, 295.5, P, 1.2), QColor(0xd6, 0xd0, 0xc4));
    }
    drawMeadow(p, P, 0xf1'0e2, 30, 22, 306, 319);
    return img;
}

QImage titleEmblem()
{
    // A lucky horseshoe round a horse's head, and a cream plaque the game writes "Trotix v1.0" on.
    QImage img = newSprite(140, 40);
    QPainter p(&img);
    prepare(p);
    QPainterPath plaque;
    plaque.addRoundedRect(QRectF(26, 9, 112, 28), 8, 8);
    outlined(p, plaque, ink::gold, 1.0);
    QPainterPath face;
    face.addRoundedRect(QRectF(29, 12, 106, 22), 6, 6);
    QLinearGradient cream(QPointF(0, 12), QPointF(0, 34));
    cream.setColorAt(0, ink::white);
    cream.setColorAt(1, ink::paper);
    p.setBrush(cream);
    p.drawPath(face);
    QPen fine(ink::goldDark, 0.6);
    p.setPen(fine);
    p.setBrush(Qt::NoBrush);
    p.drawPath(face);
    p.setPen(Qt::NoPen);
    // A little gold star at the right end, clear of the lettering.
    {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = qDegreesToRadians(-90.0 + i * 36.0);
            const double r = (i % 2) ? 2.2 : 5.0;
            star << QPointF(127 + std::cos(a) * r, 23 + std::sin(a) * r);
        }
        QPainterPath s;
        s.addPolygon(star);
        s.closeSubpath();
        outlined(p, s, ink::gold, 0.7, ink::goldDark);
    }

    // Horseshoe, open end up for luck.
    const QPointF c(18, 19);
    QVector<QPointF> spine;
    for (int i = 0; i <= 12; ++i) {
        const double a = qDegreesToRadians(140.0 + i * 21.67);
        spine << c + QPointF(std::cos(a) * 14.0, -std::sin(a) * 15.0);
    }
    const QPainterPath shoe = ribbon(spine, {5.0, 6.4, 6.8, 6.4, 5.0}, 40);
    QPainterPath disc;
    disc.addEllipse(c + QPointF(0, 1), 12.0, 12.5);
    QRadialGradient bg(c, 12);
    bg.setColorAt(0, QColor(0xd8, 0xee, 0xfb));
    bg.setColorAt(1, QColor(0x9c, 0xd0, 0xf0));
    outlined(p, disc, bg, 0.8);
    p.save();
    p.setClipPath(disc, Qt::IntersectClip);
    horseHeadEmblem(p, c + QPointF(-4.0, -8.0), 0.72);
    p.restore();
    QLinearGradient metal(QPointF(0, 3), QPointF(0, 36));
    metal.setColorAt(0, ink::goldLight);
    metal.setColorAt(0.5, ink::gold);
    metal.setColorAt(1, ink::goldDark);
    outlined(p, shoe, metal, 1.0);
    p.setBrush(ink::outline);
    for (int i = 1; i < 12; i += 2) {
        if (i == 5 || i == 7)
            continue;
        const double a = qDegreesToRadians(140.0 + i * 21.67);
        p.drawEllipse(c + QPointF(std::cos(a) * 14.0, -std::sin(a) * 15.0), 0.9, 0.9);
    }
    return img;
}

QImage hayBlock()
{
    // A hay bale: reads as an obstacle at 20 px and belongs on a farm.
    QImage img = newSprite(24, 20);
    QPainter p(&img);
    prepare(p);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QPointF(12, 18.8), 11.5, 1.2);
    QPainterPath bale;
    bale.addRoundedRect(QRectF(1.5, 3.5, 21, 15.2), 3, 3);
    QLinearGradient g(QPointF(0, 3), QPointF(0, 19));
    g.setColorAt(0, ink::hayLight);
    g.setColorAt(0.35, ink::hay);
    g.setColorAt(1, ink::hayDark);
    outlined(p, bale, g, 0.9);
    p.save();
    p.setClipPath(bale, Qt::IntersectClip);
    Rng rng(0xba1e);
    for (int i = 0; i < 26; ++i) {
        const double x = rng.range(1, 22), y = rng.range(5, 18);
        line(p, {x, y}, {x + rng.range(2.5, 5), y + rng.range(-0.6, 0.6)}, rng.below(2) ? ink::hayDark : ink::hayLight,
             0.6);
    }
    // Twine.
    for (double x : {7.5, 16.5}) {
        p.fillRect(QRectF(x - 0.9, 2, 1.8, 18), QColor(0xa0, 0x3c, 0x24));
        p.fillRect(QRectF(x - 0.9, 2, 0.7, 18), QColor(0xd0, 0x6a, 0x44));
    }
    p.restore();
    // Loose straws on top.
    line(p, {5, 3.8}, {3.2, 1.6}, ink::hayDark, 0.7);
    line(p, {12, 3.6}, {13.4, 1.2}, ink::hayDark, 0.7);
    line(p, {19, 3.8}, {21.2, 2.0}, ink::hayDark, 0.7);
    return img;
}

QImage spectatorStand()
{
    // A little wooden stand under a striped awning, with the crowd waving both players' colours.
    QImage img = newSprite(88, 60);
    QPainter p(&img);
    prepare(p);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(44, 58.5), 42, 1.4);
    // Back wall and posts.
    QPainterPath wall;
    wall.addRect(QRectF(5, 12, 78, 36));
    outlined(p, wall, QColor(0xe6, 0xd2, 0xaa), 0.8);
    // Three rows of benches with people.
    Rng rng(0xfa75);
    const QColor shirts[] = {ink::red,
                             ink::blue,
                             QColor(0xf2, 0xc4, 0x3a),
                             QColor(0x58, 0xa8, 0x5a),
                             QColor(0xf0, 0xf0, 0xf0),
                             QColor(0xa8, 0x6a, 0xc8)};
    const QColor skins[] = {ink::skin, QColor(0xd4, 0x9a, 0x6c), QColor(0x9a, 0x64, 0x40), QColor(0xf8, 0xd8, 0xb8)};
    const QColor hair[] = {ink::mane, QColor(0x2a, 0x22, 0x20), QColor(0xe0, 0xb0, 0x50), QColor(0xa8, 0x4a, 0x24)};
    for (int row = 0; row < 3; ++row) {
        const double y = 24 + row * 10;
        const int people = 8 - (row % 2);
        for (int i = 0; i < people; ++i) {
            const double x = 10 + i * 9.5 + (row % 2) * 4.8 + rng.range(-0.8, 0.8);
            const QColor shirt = shirts[rng.below(6)];
            QPainterPath body;
            body.addRoundedRect(QRectF(x - 3.4, y - 1, 6.8, 7), 2.5, 2.5);
            outlined(p, body, shirt, 0.6);
            QPainterPath head;
            head.addEllipse(QPointF(x, y - 3.6), 2.7, 2.7);
            outlined(p, head, skins[rng.below(4)], 0.6);
            p.setBrush(hair[rng.below(4)]);
            p.drawChord(QRectF(x - 2.7, y - 6.3, 5.4, 5.0), 0, 180 * 16);
            p.setBrush(ink::eye);
            p.drawEllipse(QPointF(x - 1.0, y - 3.4), 0.45, 0.55);
            p.drawEllipse(QPointF(x + 1.0, y - 3.4), 0.45, 0.55);
            if (rng.below(3) == 0) {
                // A waved pennant.
                const bool red = rng.below(2);
                const QPointF hand(x + 3.6, y - 6.5);
                line(p, {x + 2.5, y}, hand, skins[0], 1.4);
                line(p, hand, hand + QPointF(0.6, -4.5), ink::outline, 0.8);
                outlined(p,
                         smoothClosed({hand + QPointF(0.6, -4.5), hand + QPointF(5.2, -3.2), hand + QPointF(0.5, -1.8)},
                                      0.3),
                         red ? ink::red : ink::blue, 0.5);
            }
        }
        // Bench rail in front of the row.
        QPainterPath bench;
        bench.addRect(QRectF(5, y + 3.6, 78, 2.6));
        outlined(p, bench, ink::wood, 0.6);
    }
    // Posts and front board.
    for (double x : {5.0, 44.0, 83.0}) {
        QPainterPath post;
        post.addRect(QRectF(x - 2, 8, 4, 50));
        outlined(p, post, ink::woodLight, 0.7);
    }
    QPainterPath board;
    board.addRect(QRectF(3, 50, 82, 7.5));
    outlined(p, board, ink::wood, 0.8);
    for (double x = 8; x < 84; x += 10)
        line(p, {x, 50.8}, {x, 56.8}, ink::woodDark, 0.6);
    // Striped awning.
    QPainterPath awning;
    awning.addRect(QRectF(1, 2, 86, 8));
    outlined(p, awning, ink::white, 0.9);
    p.save();
    p.setClipPath(awning, Qt::IntersectClip);
    p.setBrush(ink::red);
    for (double x = 1; x < 88; x += 12)
        p.drawRect(QRectF(x, 2, 6, 8));
    p.restore();
    for (double x = 1; x < 87; x += 6) {
        QPainterPath scallop;
        scallop.addEllipse(QPointF(x + 3, 10.2), 3, 2);
        QPainterPath clip;
        clip.addRect(QRectF(x, 10, 6, 4));
        outlined(p, scallop.intersected(clip), (int(x - 1) / 6) % 2 ? ink::white : ink::red, 0.6);
    }
    return img;
}

QImage blimp()
{
    // The Trotix airship, high over the course.
    QImage img = newSprite(104, 44);
    QPainter p(&img);
    prepare(p);
    const QPainterPath envelope =
        smoothClosed({{4, 18}, {18, 6.5}, {52, 3}, {86, 6}, {100, 17}, {86, 29}, {52, 32}, {18, 29}});
    // Tail fins behind the envelope.
    const QPainterPath finTop = smoothClosed({{10, 12}, {3, 2.5}, {9.5, 2.0}, {20, 9}}, 0.3);
    const QPainterPath finBottom = smoothClosed({{10, 24}, {3, 33.5}, {9.5, 34}, {20, 27}}, 0.3);
    outlinedGroup(p, {finTop, finBottom}, ink::red);
    QLinearGradient g(QPointF(0, 3), QPointF(0, 32));
    g.setColorAt(0, ink::white);
    g.setColorAt(0.55, QColor(0xe4, 0xe8, 0xee));
    g.setColorAt(1, QColor(0xb0, 0xb8, 0xc6));
    outlined(p, envelope, g);
    p.save();
    p.setClipPath(envelope, Qt::IntersectClip);
    // Seams and a red belly band.
    for (double x : {30.0, 52.0, 74.0})
        curve(p, {{x, 2}, {x + 1.5, 17.5}, {x, 33}}, QColor(0xc8, 0xce, 0xd8), 0.6);
    p.setBrush(ink::red);
    p.drawRect(QRectF(0, 25.5, 104, 2.4));
    p.restore();
    const QString word = "TROTIX";
    const double cell = 2.0;
    blockTextOutlined(p, {52 - blockTextWidth(word, cell) / 2, 10}, word, cell, ink::red, ink::redDark);
    // Gondola.
    QPainterPath gondola;
    gondola.addRoundedRect(QRectF(42, 32.5, 20, 7), 3, 3);
    line(p, {46, 31}, {45, 33}, ink::outline, 0.8);
    line(p, {58, 31}, {59, 33}, ink::outline, 0.8);
    outlined(p, gondola, ink::wood, 0.9);
    p.setBrush(QColor(0xcc, 0xec, 0xfa));
    for (double x : {45.0, 50.0, 55.0})
        p.drawRect(QRectF(x, 34.2, 3, 2.6));
    // Propeller blur.
    p.setBrush(QColor(0x60, 0x60, 0x70, 110));
    p.drawEllipse(QPointF(40, 36.2), 1.2, 3.6);
    return img;
}

QImage advertBoard()
{
    // "TROTIX" board on two legs, a flower bed at its feet.
    QImage img = newSprite(84, 60);
    QPainter p(&img);
    prepare(p);
    for (double x : {14.0, 70.0}) {
        QPainterPath leg;
        leg.addRect(QRectF(x - 2, 26, 4, 30));
        outlined(p, leg, ink::woodLight, 0.8);
    }
    QPainterPath board;
    board.addRoundedRect(QRectF(2, 3, 80, 27), 3, 3);
    outlined(p, board, ink::red, 1.0);
    QPainterPath face;
    face.addRoundedRect(QRectF(5, 6, 74, 21), 2, 2);
    QLinearGradient g(QPointF(0, 6), QPointF(0, 27));
    g.setColorAt(0, ink::white);
    g.setColorAt(1, QColor(0xf0, 0xea, 0xdc));
    p.setBrush(g);
    p.drawPath(face);
    const QString word = "TROTIX";
    const double cell = 2;
    blockTextOutlined(p, {42 - blockTextWidth(word, cell) / 2, 8}, word, cell, ink::red, ink::redDark);
    // A strip of the two racing colours under the word.
    p.fillRect(QRectF(8, 24.0, 34, 1.6), ink::red);
    p.fillRect(QRectF(42, 24.0, 34, 1.6), ink::blue);
    // Flower bed.
    // clang-format off
    QPainterPath bed = smoothClosed({{3.0, 58.0}, {3.5, 50}, {14, 45}, {30, 46.5}, {42, 44}, {56, 46}, {72, 44.5},
                                     {80.5, 50}, {81.0, 58.0}, {42, 58.6}},
                                    0.8);
    // clang-format on
    QLinearGradient bg(QPointF(0, 44), QPointF(0, 59));
    bg.setColorAt(0, ink::leafLight);
    bg.setColorAt(1, ink::leafDark);
    outlined(p, bed, bg, 0.8, QColor(0x2a, 0x4a, 0x22));
    Rng rng(0xf10e);
    const QColor petals[] = {ink::red, QColor(0xff, 0xe0, 0x4a), QColor(0xff, 0x9c, 0xc0), ink::white};
    for (int i = 0; i < 26; ++i) {
        const double x = rng.range(6, 78), y = rng.range(48, 56);
        drawFlower(p, {x, y}, petals[rng.below(4)], rng.range(0.9, 1.4));
    }
    return img;
}

QImage finishBoard()
{
    // The finish board: a chequered banner on two tall poles with pennants.
    QImage img = newSprite(100, 100);
    QPainter p(&img);
    prepare(p);
    for (double x : {8.0, 92.0}) {
        QPainterPath pole;
        pole.addRect(QRectF(x - 2.2, 8, 4.4, 90));
        outlined(p, pole, ink::white, 0.8);
        p.setBrush(ink::red);
        for (double y = 52; y < 96; y += 12)
            p.drawRect(QRectF(x - 2.2, y, 4.4, 6));
        QPainterPath knob;
        knob.addEllipse(QPointF(x, 7), 2.6, 2.6);
        outlined(p, knob, ink::gold, 0.8);
    }
    // Pennants fly outwards from the pole tops.
    outlined(p, smoothClosed({{8, 9}, {1.0, 13.0}, {8, 15.5}}, 0.2), ink::red, 0.7);
    outlined(p, smoothClosed({{92, 9}, {99.0, 13.0}, {92, 15.5}}, 0.2), ink::blue, 0.7);
    QPainterPath banner;
    banner.addRoundedRect(QRectF(4, 16, 92, 34), 3, 3);
    outlined(p, banner, ink::white, 1.0);
    p.save();
    p.setClipPath(banner, Qt::IntersectClip);
    p.setBrush(ink::outline);
    // Two rows of chequers above and below the word.
    for (int i = 0; i < 23; ++i)
        for (int row = 0; row < 2; ++row)
            if ((i + row) % 2) {
                p.drawRect(QRectF(4 + i * 4, 16 + row * 4, 4, 4));
                p.drawRect(QRectF(4 + i * 4, 42 + row * 4, 4, 4));
            }
    p.restore();
    const QString word = "FINISH";
    const double cell = 2;
    blockTextOutlined(p, {50 - blockTextWidth(word, cell) / 2, 26}, word, cell, ink::red, ink::redDark);
    // A small bunting line under the banner.
    for (int i = 0; i < 10; ++i) {
        const double x = 12 + i * 8;
        outlined(p, smoothClosed({{x, 52}, {x + 6, 52}, {x + 3, 57}}, 0.1), i % 2 ? ink::blue : ink::red, 0.6);
    }
    line(p, {8, 52}, {92, 52}, ink::outline, 0.8);
    return img;
}

} // namespace picgen
