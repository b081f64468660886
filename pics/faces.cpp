// The round portraits in the corner of the care screen: the same bay horse seen from the front, so the mood
// reads from the eyes, ears and mouth alone.
#include "paint.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace picgen {
namespace {

const QPointF kCentre(19, 19);

struct FaceLook
{
    QColor skyTop, skyBottom;
    double earDroop = 0;  // degrees the ears fall sideways
    double cheekPuff = 0; // px of extra jowl
};

QPainterPath headShape(double puff)
{
    // clang-format off
    return smoothClosed({{19, 7.2}, {25.6, 9.0}, {28.6, 14.5}, {27.6 + puff * 0.4, 20.5}, {26.6 + puff, 25.0},
                         {27.0 + puff * 0.8, 29.5}, {24.8, 33.6}, {19, 35.0}, {13.2, 33.6}, {11.0 - puff * 0.8, 29.5},
                         {11.4 - puff, 25.0}, {10.4 - puff * 0.4, 20.5}, {9.4, 14.5}, {12.4, 9.0}});
    // clang-format on
}

QPainterPath ear(bool left, double droop)
{
    const double side = left ? -1 : 1;
    const QPointF base(19 + side * 6.0, 9.5);
    const double a = qDegreesToRadians(side * (22 + droop));
    const QPointF dir(std::sin(a), -std::cos(a));
    const QPointF across = perp(dir);
    return smoothClosed({base - across * 3.0, base + dir * 4.0 - across * 2.2, base + dir * 8.0,
                         base + dir * 4.0 + across * 2.2, base + across * 3.0},
                        0.9);
}

void eyeOpen(QPainter &p, QPointF c, QPointF look, double lid)
{
    // White, dark iris, highlight; 'lid' (0..1) lowers the upper lid for tired or content eyes.
    outlined(
        p,
        [&] {
            QPainterPath e;
            e.addEllipse(c, 2.9, 3.3);
            return e;
        }(),
        ink::white, 0.6);
    p.save();
    QPainterPath clip;
    clip.addEllipse(c, 2.9, 3.3);
    p.setClipPath(clip, Qt::IntersectClip);
    p.setBrush(ink::eye);
    // Big dark irises read as eyes at 38 px; a thin white rim is enough.
    p.drawEllipse(c + look, 2.3, 2.7);
    p.setBrush(ink::white);
    p.drawEllipse(c + look + QPointF(-0.8, -1.0), 0.95, 0.95);
    if (lid > 0) {
        p.setBrush(ink::coat);
        p.drawRect(QRectF(c.x() - 3.5, c.y() - 3.6, 7, 7.0 * lid));
        line(p, {c.x() - 3.5, c.y() - 3.6 + 7.0 * lid}, {c.x() + 3.5, c.y() - 3.6 + 7.0 * lid}, ink::outline, 0.9);
    }
    p.restore();
}

void nostrils(QPainter &p, double spread)
{
    p.setBrush(mix(ink::muzzle, ink::outline, 0.4));
    for (double s : {-1.0, 1.0}) {
        p.save();
        p.translate(19 + s * spread, 27.6);
        p.rotate(s * 20);
        p.drawEllipse(QPointF(0, 0), 1.0, 1.4);
        p.restore();
    }
}

void drop(QPainter &p, QPointF tip, double size, const QColor &c)
{
    QPainterPath d = smoothClosed({tip, tip + QPointF(size * 0.7, size * 1.3), tip + QPointF(0, size * 2.0),
                                   tip + QPointF(-size * 0.7, size * 1.3)},
                                  0.8);
    outlined(p, d, c, 0.6);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(tip + QPointF(-size * 0.2, size * 1.2), size * 0.22, size * 0.3);
}

void happyArc(QPainter &p, QPointF c)
{
    curve(p, {c + QPointF(-2.4, 1.2), c + QPointF(0, -1.6), c + QPointF(2.4, 1.2)}, ink::eye, 1.3);
}

void sleepArc(QPainter &p, QPointF c)
{
    curve(p, {c + QPointF(-2.4, -0.4), c + QPointF(0, 1.6), c + QPointF(2.4, -0.4)}, ink::eye, 1.1);
    line(p, c + QPointF(-1.6, 1.0), c + QPointF(-2.2, 2.2), ink::eye, 0.6);
    line(p, c + QPointF(1.6, 1.0), c + QPointF(2.2, 2.2), ink::eye, 0.6);
}

QImage portrait(Mood mood, int size)
{
    FaceLook look;
    switch (mood) {
    case Mood::Happy: look = {QColor(0xff, 0xe8, 0x8a), QColor(0xff, 0xf6, 0xd2)}; break;
    case Mood::Effort: look = {QColor(0xff, 0xb8, 0x72), QColor(0xff, 0xe2, 0xbc)}; break;
    case Mood::Calm: look = {QColor(0x8c, 0xcc, 0xf2), QColor(0xd6, 0xef, 0xfb)}; break;
    case Mood::Asleep: look = {QColor(0x2c, 0x36, 0x6a), QColor(0x55, 0x62, 0x9e), 40}; break;
    case Mood::Hurt: look = {QColor(0xc8, 0xbc, 0xdc), QColor(0xec, 0xe6, 0xf4), 35}; break;
    case Mood::Overfed: look = {QColor(0xb6, 0xdc, 0x8a), QColor(0xe6, 0xf4, 0xd2), 10, 2.2}; break;
    case Mood::Exhausted: look = {QColor(0xa8, 0xb4, 0xbe), QColor(0xdc, 0xe2, 0xe6), 60}; break;
    }

    // Drawn in the 38-pixel picture's coordinates at any size, so a large icon is as crisp as
    // the picture itself.
    const double zoom = double(size) / kFaceSize;
    QImage img = newSprite(size, size);
    QPainter p(&img);
    prepare(p);
    p.scale(zoom, zoom);

    // Frame: dark rim, gold ring, the sky inside.
    QPainterPath rim;
    rim.addEllipse(kCentre, 18.4, 18.4);
    p.setBrush(ink::outline);
    p.drawPath(rim);
    p.setBrush(ink::gold);
    p.drawEllipse(kCentre, 17.5, 17.5);
    p.setBrush(ink::goldLight);
    p.drawEllipse(kCentre + QPointF(-0.5, -0.5), 16.6, 16.6);
    p.setBrush(ink::goldDark);
    p.drawEllipse(kCentre, 16.0, 16.0);
    QPainterPath window;
    window.addEllipse(kCentre, 15.2, 15.2);
    QLinearGradient sky(QPointF(0, 4), QPointF(0, 34));
    sky.setColorAt(0, look.skyTop);
    sky.setColorAt(1, look.skyBottom);
    p.setBrush(sky);
    p.drawPath(window);

    p.save();
    p.setClipPath(window, Qt::IntersectClip);
    if (mood == Mood::Asleep) {
        p.setBrush(QColor(0xff, 0xf2, 0xb0));
        for (const QPointF &s : {QPointF(8, 10), QPointF(30, 14), QPointF(11, 24)})
            p.drawEllipse(s, 0.8, 0.8);
        // A thin moon in the corner.
        QPainterPath moon;
        moon.addEllipse(QPointF(29.5, 8.5), 3.2, 3.2);
        QPainterPath bite;
        bite.addEllipse(QPointF(31.0, 7.4), 2.8, 2.8);
        p.setBrush(QColor(0xff, 0xf2, 0xb0));
        p.drawPath(moon.subtracted(bite));
    }
    // Grass at the bottom of the picture.
    p.setBrush(ink::leaf);
    p.drawRect(QRectF(0, 31, 38, 8));

    // The head sits a little smaller than the window so the ears stay inside the ring.
    p.translate(19, 22);
    p.scale(0.9, 0.9);
    p.translate(-19, -22);
    const QPainterPath head = headShape(look.cheekPuff);
    const QPainterPath earL = ear(true, look.earDroop), earR = ear(false, look.earDroop);
    outlinedGroup(p, {earL, earR}, ink::coat);
    p.save();
    p.setBrush(ink::coatShade);
    for (bool left : {true, false}) {
        const QPointF base(19 + (left ? -6.0 : 6.0), 9.5);
        p.save();
        p.translate(base);
        p.scale(0.55, 0.6);
        p.translate(-base);
        p.drawPath(ear(left, look.earDroop));
        p.restore();
    }
    p.restore();
    QRadialGradient coat(QPointF(19, 15), 16);
    coat.setColorAt(0.0, ink::coatLight);
    coat.setColorAt(0.6, ink::coat);
    coat.setColorAt(1.0, ink::coatShade);
    outlined(p, head, coat);

    p.save();
    p.setClipPath(head, Qt::IntersectClip);
    // Blaze and the lighter muzzle.
    p.setBrush(ink::blaze);
    p.drawPath(smoothClosed({{18.0, 9.0}, {20.2, 9.0}, {21.2, 17.0}, {21.8, 24.0}, {16.2, 24.0}, {16.8, 17.0}}));
    QPainterPath muzzle;
    muzzle.addEllipse(QPointF(19, 29.2), 7.4 + look.cheekPuff * 0.4, 5.6);
    p.setBrush(ink::muzzleFace);
    p.drawPath(muzzle);
    if (mood == Mood::Overfed) {
        // Round full cheeks with a queasy green tinge.
        p.setBrush(QColor(0xb4, 0xe0, 0x7c, 95));
        p.drawEllipse(QPointF(11.5, 25.5), 3.0, 2.4);
        p.drawEllipse(QPointF(26.5, 25.5), 3.0, 2.4);
    }
    p.restore();
    {
        QPen pen(withAlpha(ink::outline, 160), 0.6);
        p.save();
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(muzzle.intersected(head));
        p.restore();
    }
    // Forelock between the ears.
    // clang-format off
    outlined(p, smoothClosed({{13.6, 9.4}, {19.0, 6.0}, {24.4, 9.4}, {22.6, 11.4}, {21.0, 14.6}, {19.6, 11.8},
                              {17.6, 14.2}, {16.2, 11.4}},
                             0.9),
             ink::mane, 0.7);
    // clang-format on

    const QPointF eyeL(13.9, 18.6), eyeR(24.1, 18.6);
    nostrils(p, 3.2);
    switch (mood) {
    case Mood::Happy:
        happyArc(p, eyeL);
        happyArc(p, eyeR);
        p.setBrush(QColor(0xff, 0x8c, 0x9a, 150));
        p.drawEllipse(QPointF(11.0, 23.0), 2.2, 1.3);
        p.drawEllipse(QPointF(27.0, 23.0), 2.2, 1.3);
        {
            // Wide open smile with a tongue.
            const QPainterPath mouth =
                smoothClosed({{14.6, 30.6}, {19, 31.2}, {23.4, 30.6}, {22.0, 33.6}, {19, 34.4}, {16.0, 33.6}}, 0.8);
            outlined(p, mouth, QColor(0x7a, 0x22, 0x22), 0.6);
            p.save();
            p.setClipPath(mouth, Qt::IntersectClip);
            p.setBrush(QColor(0xf0, 0x7c, 0x86));
            p.drawEllipse(QPointF(19, 34.4), 3.0, 1.8);
            p.restore();
        }
        break;
    case Mood::Effort:
        eyeOpen(p, eyeL, {0.5, 0.2}, 0.38);
        eyeOpen(p, eyeR, {0.5, 0.2}, 0.38);
        line(p, {11.0, 14.2}, {16.2, 15.8}, ink::mane, 1.4);
        line(p, {27.0, 14.2}, {21.8, 15.8}, ink::mane, 1.4);
        {
            // Clenched teeth.
            QPainterPath teeth;
            teeth.addRoundedRect(QRectF(15.0, 30.6, 8.0, 3.2), 1.2, 1.2);
            outlined(p, teeth, ink::white, 0.6);
            for (double x : {17.0, 19.0, 21.0})
                line(p, {x, 30.8}, {x, 33.6}, withAlpha(ink::outline, 180), 0.5);
            line(p, {15.2, 32.2}, {22.8, 32.2}, withAlpha(ink::outline, 180), 0.5);
        }
        drop(p, {29.0, 9.0}, 2.2, QColor(0x9c, 0xd8, 0xff));
        break;
    case Mood::Calm:
        eyeOpen(p, eyeL, {0.2, 0.3}, 0.12);
        eyeOpen(p, eyeR, {0.2, 0.3}, 0.12);
        curve(p, {{16.0, 31.6}, {19.0, 32.9}, {22.0, 31.6}}, ink::outline, 0.9);
        break;
    case Mood::Asleep:
        sleepArc(p, eyeL);
        sleepArc(p, eyeR);
        p.setBrush(QColor(0x7a, 0x22, 0x22));
        p.drawEllipse(QPointF(19, 32.2), 1.3, 1.1);
        break;
    case Mood::Hurt:
        // Squeezed eyes, a tear, a plaster on the forehead and a wobbly mouth.
        curve(p, {eyeL + QPointF(-2.2, -1.8), eyeL + QPointF(1.6, 0), eyeL + QPointF(-2.2, 1.8)}, ink::eye, 1.2);
        curve(p, {eyeR + QPointF(2.2, -1.8), eyeR + QPointF(-1.6, 0), eyeR + QPointF(2.2, 1.8)}, ink::eye, 1.2);
        drop(p, eyeL + QPointF(-1.0, 2.2), 1.6, QColor(0x9c, 0xd8, 0xff));
        curve(p, {{15.6, 32.8}, {17.2, 31.6}, {19.0, 32.6}, {20.8, 31.6}, {22.4, 32.8}}, ink::outline, 0.9);
        p.save();
        p.translate(23.5, 11.5);
        for (double a : {35.0, -55.0}) {
            p.save();
            p.rotate(a);
            QPainterPath strip;
            strip.addRoundedRect(QRectF(-4.0, -1.3, 8.0, 2.6), 1.0, 1.0);
            outlined(p, strip, QColor(0xf4, 0xd6, 0xa8), 0.5);
            p.restore();
        }
        p.setBrush(QColor(0xd8, 0xb0, 0x80));
        p.drawRect(QRectF(-1.0, -1.0, 2.0, 2.0));
        p.restore();
        break;
    case Mood::Overfed:
        eyeOpen(p, eyeL, {0.0, 0.5}, 0.55);
        eyeOpen(p, eyeR, {0.0, 0.5}, 0.55);
        curve(p, {{16.6, 32.4}, {18.0, 31.6}, {20.0, 32.4}, {21.6, 31.8}}, ink::outline, 0.9);
        // A little bubble of a burp.
        outlined(
            p,
            [] {
                QPainterPath b;
                b.addEllipse(QPointF(27.5, 31.5), 1.8, 1.8);
                return b;
            }(),
            QColor(0xe8, 0xfa, 0xff), 0.5);
        outlined(
            p,
            [] {
                QPainterPath b;
                b.addEllipse(QPointF(30.5, 28.0), 1.1, 1.1);
                return b;
            }(),
            QColor(0xe8, 0xfa, 0xff), 0.5);
        break;
    case Mood::Exhausted:
        // Droopy eyes with dark rings, tongue hanging out, sweat on both sides.
        p.setBrush(QColor(0x5a, 0x2e, 0x3a, 110));
        p.drawEllipse(eyeL + QPointF(0, 2.6), 2.6, 1.2);
        p.drawEllipse(eyeR + QPointF(0, 2.6), 2.6, 1.2);
        eyeOpen(p, eyeL, {0.0, 0.9}, 0.62);
        eyeOpen(p, eyeR, {0.0, 0.9}, 0.62);
        {
            const QPainterPath tongue =
                smoothClosed({{19.6, 31.6}, {23.0, 31.4}, {23.6, 35.0}, {21.6, 36.2}, {20.0, 34.6}}, 0.9);
            outlined(p, tongue, QColor(0xf0, 0x7c, 0x86), 0.6);
            line(p, {21.6, 32.0}, {21.7, 34.6}, QColor(0xc0, 0x50, 0x5c), 0.5);
            curve(p, {{15.0, 31.8}, {18.0, 31.2}, {23.4, 31.6}}, ink::outline, 0.9);
        }
        drop(p, {8.0, 12.0}, 1.9, QColor(0x9c, 0xd8, 0xff));
        drop(p, {30.0, 11.0}, 2.2, QColor(0x9c, 0xd8, 0xff));
        break;
    }
    p.restore();
    p.resetTransform();
    p.scale(zoom, zoom);
    if (mood == Mood::Asleep)
        blockText(p, {28, 17}, "z", 1, ink::white); // in picture pixels, so it stays crisp

    // Glint on the ring.
    QPen glint(QColor(255, 255, 255, 170), 1.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(glint);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(kCentre.x() - 16.9, kCentre.y() - 16.9, 33.8, 33.8), 100 * 16, 50 * 16);
    return img;
}

} // namespace

QImage face(Mood mood, int size) { return portrait(mood, size); }

} // namespace picgen
