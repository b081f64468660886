// Drawing helpers shared by every Trotix picture: palette, smooth outlines, the blocky sign lettering
// and a seeded random generator so that every build draws byte-identical pictures.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QVector>

#include <functional>

namespace picgen {

// xorshift64*: small, fast and ours, so the scattered flowers and clouds land in the same place on every
// machine and every build (std::rand and the std distributions differ between C++ libraries).
class Rng
{
public:
    explicit Rng(quint64 seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    quint64 next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 2685821657736338717ull;
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 m_state;
};

// One palette for the whole game, so horse, faces, judges and scenery read as one set.
namespace ink {
inline const QColor outline(0x24, 0x14, 0x0c);
inline const QColor coat(0xb0, 0x5e, 0x2c); // bay body
inline const QColor coatLight(0xd0, 0x82, 0x48);
inline const QColor coatShade(0x86, 0x44, 0x1e);
inline const QColor coatFar(0x8e, 0x4a, 0x22); // legs on the far side, in shadow
inline const QColor points(0x3a, 0x24, 0x1a);  // bay points: lower legs
inline const QColor mane(0x2e, 0x1c, 0x16);
inline const QColor maneLight(0x5c, 0x3e, 0x2e);
inline const QColor hoof(0x4a, 0x40, 0x3a);
inline const QColor sock(0xf4, 0xee, 0xe0);
inline const QColor blaze(0xfb, 0xf6, 0xea);
inline const QColor muzzle(0x6a, 0x38, 0x22);
inline const QColor muzzleFace(0xdc, 0xa8, 0x82); // lighter muzzle on the portraits, where mouths must read
inline const QColor eye(0x1c, 0x10, 0x0a);
inline const QColor red(0xd8, 0x2a, 0x2e);
inline const QColor redDark(0x9c, 0x16, 0x1c);
inline const QColor blue(0x2c, 0x62, 0xd4);
inline const QColor blueDark(0x18, 0x38, 0x8e);
inline const QColor trim(0xfb, 0xf6, 0xea);
inline const QColor leather(0x5a, 0x34, 0x1c);
inline const QColor gold(0xe2, 0xa8, 0x3a);
inline const QColor goldDark(0xa8, 0x6e, 0x1c);
inline const QColor goldLight(0xf8, 0xd8, 0x7a);
inline const QColor skin(0xf2, 0xc6, 0x9c);
inline const QColor skinShade(0xd8, 0xa0, 0x74);
inline const QColor wood(0xa8, 0x74, 0x44);
inline const QColor woodDark(0x74, 0x4c, 0x2a);
inline const QColor woodLight(0xc8, 0x98, 0x62);
inline const QColor leaf(0x4c, 0x9a, 0x3c);
inline const QColor leafDark(0x2e, 0x6e, 0x2a);
inline const QColor leafLight(0x7c, 0xc0, 0x4e);
inline const QColor hay(0xe8, 0xc2, 0x5a);
inline const QColor hayDark(0xb8, 0x8c, 0x2e);
inline const QColor hayLight(0xf6, 0xe0, 0x8e);
inline const QColor white(0xfc, 0xfa, 0xf4);
inline const QColor paper(0xfd, 0xf6, 0xe4);
} // namespace ink

QColor mix(const QColor &a, const QColor &b, double t);
QColor withAlpha(QColor c, int alpha);

// A transparent sprite canvas, and an opaque one for the backgrounds.
QImage newSprite(int w, int h);
QImage newOpaque(int w, int h, const QColor &fill);
void prepare(QPainter &p);

QPointF polar(double degrees, double length); // 0 degrees = straight down, positive = forward (+x)
QPointF unit(QPointF v);
QPointF perp(QPointF v); // the side to the left of the direction, as seen on screen

// Smooth shapes through a few control points (Catmull-Rom turned into cubic curves).
QPainterPath smoothClosed(const QVector<QPointF> &pts, double tension = 1.0);
QPainterPath smoothOpen(const QVector<QPointF> &pts, double tension = 1.0);
// A limb segment: round ends of widths wa and wb joined by tangent-ish sides.
QPainterPath capsule(QPointF a, QPointF b, double wa, double wb);
// A ribbon that follows a smooth spine with a width profile (tails, manes, flags).
QPainterPath ribbon(const QVector<QPointF> &spine, const QVector<double> &widths, int samples = 24);

// The house outline: stroke every part of a group with a dark pen first, then fill the parts, so only the
// outside silhouette of the group keeps a line and joints between parts stay seamless.
void strokeBehind(QPainter &p, const QVector<QPainterPath> &parts, double width = 1.0,
                  const QColor &line = ink::outline);
void fillParts(QPainter &p, const QVector<QPainterPath> &parts, const QBrush &brush);
void outlined(QPainter &p, const QPainterPath &path, const QBrush &brush, double width = 1.0,
              const QColor &line = ink::outline);
void outlinedGroup(QPainter &p, const QVector<QPainterPath> &parts, const QBrush &brush, double width = 1.0,
                   const QColor &line = ink::outline);
void line(QPainter &p, QPointF a, QPointF b, const QColor &c, double width);
void curve(QPainter &p, const QVector<QPointF> &pts, const QColor &c, double width);

// Blocky lettering for signs, drawn from our own 5x7 grids so no font is needed inside the pictures.
double blockTextWidth(const QString &text, double cell);
void blockText(QPainter &p, QPointF topLeft, const QString &text, double cell, const QColor &color);
void blockTextOutlined(QPainter &p, QPointF topLeft, const QString &text, double cell, const QColor &color,
                       const QColor &edge);

// Draws something three times, a period apart, so a strip that wraps has no cut where it joins.
void wrapped(double period, const std::function<void(double)> &drawAt);

} // namespace picgen
