// The race officials: a start judge in a green coat and top hat with the green "go" flag, and a finish judge in
// a tweed coat and bowler who raises the winner's colour.
#include "paint.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QtMath>

namespace picgen {
namespace {

struct Outfit
{
    QColor coat, coatDark, trousers, hat, band;
    bool topHat;
};

QPainterPath circle(QPointF c, double r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

// A flag on a pole from 'grip' to 'tip', the cloth fluttering from the tip end.
void flag(QPainter &p, QPointF grip, QPointF tip, const QColor &cloth, bool checkered, bool droop)
{
    const QPointF along = unit(tip - grip);
    const QPointF butt = grip - along * 3.0;
    line(p, butt, tip, ink::outline, 2.2);
    line(p, butt, tip, ink::woodLight, 1.0);
    QPainterPath c;
    if (!droop) {
        // Flying out to the right from the top of the pole.
        const QPointF a = tip + QPointF(0.6, 0.2);
        c = smoothClosed({a, a + QPointF(4.2, -1.0), a + QPointF(8.4, 0.2), a + QPointF(8.0, 4.0),
                          a + QPointF(8.6, 7.8), a + QPointF(4.3, 6.4), a + QPointF(0.2, 7.6)},
                         0.7);
    } else {
        // Lowered: the cloth hangs off the pole beside the judge's leg.
        const QPointF a = grip + along * 4.0, b = grip + along * 13.0;
        c = smoothClosed({a, b, b + QPointF(3.6, 1.8), (a + b) / 2 + QPointF(4.6, 2.8), a + QPointF(5.6, 1.6)}, 0.6);
    }
    outlined(p, c, cloth, 0.8);
    if (checkered) {
        p.save();
        p.setClipPath(c, Qt::IntersectClip);
        p.setBrush(ink::outline);
        const QRectF r = c.boundingRect();
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 8; ++j)
                if ((i + j) % 2)
                    p.drawRect(QRectF(r.left() + i * 2.0, r.top() + j * 2.0, 2.0, 2.0));
        p.restore();
    } else {
        // A light fold so the cloth looks like cloth.
        p.save();
        p.setClipPath(c, Qt::IntersectClip);
        QPen fold(withAlpha(ink::white, 90), 1.2);
        p.setPen(fold);
        const QRectF r = c.boundingRect();
        p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x() + 1, r.bottom()));
        p.restore();
    }
}

QImage person(const Outfit &o, JudgePose pose)
{
    QImage img = newSprite(kJudgeW, kJudgeH);
    QPainter p(&img);
    prepare(p);

    // Shadow, shoes and legs.
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawEllipse(QPointF(15, 58.4), 9.5, 1.3);
    outlinedGroup(p, {capsule({12.2, 41}, {12.0, 55.5}, 4.6, 4.2), capsule({17.8, 41}, {18.0, 55.5}, 4.6, 4.2)},
                  o.trousers, 0.9);
    line(p, {15, 43}, {15, 45}, withAlpha(ink::outline, 120), 0.6);
    outlinedGroup(p, {circle({11.2, 57.0}, 2.2), circle({18.8, 57.0}, 2.2)}, QColor(0x2a, 0x22, 0x22), 0.8);

    const bool raised = pose == JudgePose::StartUp || pose == JudgePose::FinishRed || pose == JudgePose::FinishBlue;
    // Arms: the left one at the side, the right one holds the flag.
    const QPointF lShoulder(9.4, 24.0), rShoulder(20.6, 24.0);
    const QPointF lHand(7.6, 37.5);
    const QPointF rElbow = raised ? QPointF(25.0, 19.5) : QPointF(23.4, 31.0);
    const QPointF rHand = raised ? QPointF(26.0, 12.5) : QPointF(24.4, 37.0);
    const QPainterPath lArm = capsule(lShoulder, lHand, 4.2, 3.4);
    QPainterPath rArm = capsule(rShoulder, rElbow, 4.2, 3.6);
    rArm.addPath(capsule(rElbow, rHand, 3.6, 3.2));

    // Flag behind the raised hand, in front of the lowered one.
    QColor flagColor = QColor(0x34, 0xb0, 0x4e);
    bool checkered = false;
    if (pose == JudgePose::FinishRed)
        flagColor = ink::red;
    else if (pose == JudgePose::FinishBlue)
        flagColor = ink::blue;
    else if (pose == JudgePose::FinishWaiting) {
        flagColor = ink::white;
        checkered = true;
    }
    if (raised)
        flag(p, rHand + QPointF(0.4, 2.0), {25.8, 2.0}, flagColor, checkered, false);

    // Coat.
    const QPainterPath coat = smoothClosed(
        {{9.0, 22.6}, {21.0, 22.6}, {22.6, 30.0}, {23.0, 42.4}, {15.0, 43.4}, {7.0, 42.4}, {7.4, 30.0}}, 0.8);
    strokeBehind(p, {coat, lArm, rArm});
    QLinearGradient cg(QPointF(7, 0), QPointF(23, 0));
    cg.setColorAt(0, o.coat);
    cg.setColorAt(1, o.coatDark);
    fillParts(p, {coat, lArm, rArm}, cg);
    // Shirt, tie and buttons.
    p.setBrush(ink::white);
    p.drawPolygon(QPolygonF({{12.6, 22.8}, {17.4, 22.8}, {15.0, 29.5}}));
    if (o.topHat) {
        p.setBrush(o.band);
        p.drawPolygon(QPolygonF({{14.3, 23.4}, {15.7, 23.4}, {16.0, 28.0}, {15.0, 29.6}, {14.0, 28.0}}));
    } else {
        p.setBrush(ink::outline);
        p.drawPolygon(QPolygonF({{12.8, 22.6}, {15.0, 23.8}, {12.8, 25.0}}));
        p.drawPolygon(QPolygonF({{17.2, 22.6}, {15.0, 23.8}, {17.2, 25.0}}));
    }
    line(p, {15.0, 29.6}, {15.0, 42.8}, withAlpha(ink::outline, 140), 0.6);
    p.setBrush(ink::goldLight);
    for (double y : {32.0, 36.0})
        p.drawEllipse(QPointF(16.4, y), 0.7, 0.7);
    if (!raised)
        flag(p, rHand + QPointF(0, -1.0), {29.5, 55.0}, flagColor, checkered, true);
    // Hands, over the pole they hold.
    outlinedGroup(p, {circle(lHand + QPointF(0, 1.0), 1.9), circle(rHand, 1.9)}, ink::skin, 0.8);

    // Head.
    const QPointF head(15.0, 16.6);
    outlinedGroup(p, {circle(head, 5.4), circle(head + QPointF(-5.2, 0.6), 1.4), circle(head + QPointF(5.2, 0.6), 1.4)},
                  ink::skin, 0.9);
    p.setBrush(QColor(0xff, 0x96, 0x8a, 130));
    p.drawEllipse(head + QPointF(-3.0, 2.0), 1.3, 0.8);
    p.drawEllipse(head + QPointF(3.0, 2.0), 1.3, 0.8);
    p.setBrush(ink::eye);
    p.drawEllipse(head + QPointF(-1.9, 0.0), 0.75, 0.95);
    p.drawEllipse(head + QPointF(1.9, 0.0), 0.75, 0.95);
    if (o.topHat) {
        curve(p, {head + QPointF(-1.4, 2.8), head + QPointF(0, 3.6), head + QPointF(1.4, 2.8)}, ink::outline, 0.8);
    } else {
        // The finish judge's grand moustache.
        const QPainterPath tache = smoothClosed(
            {head + QPointF(0, 1.9), head + QPointF(2.2, 1.7), head + QPointF(3.6, 2.9), head + QPointF(1.6, 3.1),
             head + QPointF(0, 2.7), head + QPointF(-1.6, 3.1), head + QPointF(-3.6, 2.9), head + QPointF(-2.2, 1.7)},
            0.8);
        outlined(p, tache, QColor(0x8a, 0x80, 0x78), 0.5);
    }
    // Hat.
    if (o.topHat) {
        QPainterPath crown;
        crown.addRoundedRect(QRectF(10.8, 1.8, 8.4, 10.4), 1.2, 1.2);
        QPainterPath brim;
        brim.addEllipse(QPointF(15.0, 12.0), 7.6, 1.9);
        outlinedGroup(p, {crown, brim}, o.hat, 0.9);
        p.setBrush(o.band);
        p.drawRect(QRectF(10.8, 8.6, 8.4, 2.2));
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(QRectF(12.0, 2.8, 1.4, 5.4));
    } else {
        QPainterPath dome;
        dome.addEllipse(QPointF(15.0, 11.4), 5.9, 5.6);
        QPainterPath cut;
        cut.addRect(QRectF(0, 0, 36, 11.6));
        QPainterPath brim;
        brim.addEllipse(QPointF(15.0, 11.6), 7.8, 1.7);
        outlinedGroup(p, {dome.intersected(cut), brim}, o.hat, 0.9);
        p.setBrush(o.band);
        p.drawRect(QRectF(9.2, 9.4, 11.6, 1.6));
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawEllipse(QPointF(12.6, 7.8), 1.2, 1.6);
    }
    return img;
}

} // namespace

QImage judge(JudgePose pose)
{
    const bool start = pose == JudgePose::StartDown || pose == JudgePose::StartUp;
    const Outfit starter{QColor(0x34, 0x8c, 0x4c), QColor(0x22, 0x62, 0x34), QColor(0xf2, 0xee, 0xe2),
                         QColor(0x2a, 0x2a, 0x32), QColor(0x34, 0xb0, 0x4e), true};
    const Outfit finisher{QColor(0xc8, 0x9c, 0x5c), QColor(0x9a, 0x72, 0x3c), QColor(0x4a, 0x4a, 0x54),
                          QColor(0x4a, 0x30, 0x20), QColor(0x2a, 0x1a, 0x12), false};
    return person(start ? starter : finisher, pose);
}

} // namespace picgen
