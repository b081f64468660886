// The horse: one jointed rig posed into every frame, so all thirteen horse pictures share exact proportions and
// the two gallop frames differ only where the legs move. Body space is the standing horse in an 80 x 60 picture.
#include "paint.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace picgen {
namespace {

struct LegPose
{
    double upper; // degrees from straight down, positive swings forward
    double lower;
    double pastern;
};

struct LegBuild
{
    QPointF top;
    double l1, l2, l3;
    double w0, w1, w2;
};

// Where each leg leaves the body and how long its parts are.
const LegBuild kNearFront{{51.5, 34.0}, 10.5, 8.6, 3.0, 7.6, 4.2, 3.6};
const LegBuild kFarFront{{48.0, 34.0}, 10.5, 8.6, 3.0, 7.0, 4.0, 3.4};
const LegBuild kNearHind{{22.5, 33.0}, 11.5, 9.6, 3.0, 9.4, 4.4, 3.6};
const LegBuild kFarHind{{26.5, 33.0}, 11.5, 9.6, 3.0, 8.6, 4.2, 3.4};
const QPointF kNeckBase(52.0, 29.0);
const QPointF kTailRoot(15.5, 25.5);
const QPointF kPivot(38.0, 31.0);

enum class Eyes { Open, Closed, Squeezed };

struct Pose
{
    LegPose nearFront{0, 0, 25};
    LegPose farFront{-5, -5, 20};
    LegPose nearHind{-28, 4, 25};
    LegPose farHind{-18, 10, 25};
    double tilt = 0;  // degrees, positive pitches the nose down
    double neck = 62; // neck direction, degrees above horizontal
    double neckLength = 18;
    double head = -48; // head direction, degrees above horizontal (negative hangs the nose down)
    QVector<QPointF> tail{kTailRoot, {11.5, 30.5}, {10.0, 40.0}, {11.5, 49.0}};
    QVector<double> tailWidths{3.0, 5.5, 5.0, 1.2};
    double earSwivel = 0; // degrees, positive lays the ears back
    Eyes eyes = Eyes::Open;
    bool legsOverBody = false; // folded legs that lie across the body need their own outline
    enum class Align { Hooves, Standing, Free };
    // Hooves: lowest hoof on lowestY. Standing: body at the standing frame's height plus shiftY (gallop
    // frames, so the body does not jump between them). Free: body moved by shiftY only.
    Align align = Align::Hooves;
    bool shadow = true;
    double lowestY = kHorseGround;
    double shiftX = 0;
    double shiftY = 0;
    bool chewing = false;
    bool grazing = false;
};

struct Leg
{
    QPointF p0, p1, p2, p3;
    QPolygonF hoof;
    const LegBuild *build;
};

Leg makeLeg(const LegBuild &b, const LegPose &pose)
{
    Leg leg;
    leg.build = &b;
    leg.p0 = b.top;
    leg.p1 = leg.p0 + polar(pose.upper, b.l1);
    leg.p2 = leg.p1 + polar(pose.lower, b.l2);
    leg.p3 = leg.p2 + polar(pose.pastern, b.l3);
    // The hoof keeps the cannon's line so a reaching leg shows its sole and a planted one stands flat.
    const double a = qDegreesToRadians(pose.lower * 0.5 + pose.pastern * 0.5);
    const QPointF down(std::sin(a), std::cos(a));
    const QPointF fwd(std::cos(a), -std::sin(a));
    auto at = [&](double f, double d) { return leg.p3 + fwd * f + down * d; };
    leg.hoof << at(-1.9, -0.9) << at(1.4, -0.9) << at(2.7, 2.3) << at(-2.1, 2.3);
    return leg;
}

struct Head
{
    QPointF poll;
    QPointF h;           // along the head, poll to nose
    QPointF v;           // towards the forehead and nose bridge
    double scale = 1.12; // a touch larger than life: faces carry the charm at this size
    QPointF at(double u, double w) const { return poll + (h * u + v * w) * scale; }
};

Head makeHead(const Pose &pose)
{
    const double n = qDegreesToRadians(pose.neck);
    const QPointF d(std::cos(n), -std::sin(n));
    const double a = qDegreesToRadians(pose.head);
    Head head;
    head.poll = kNeckBase + d * pose.neckLength;
    head.h = QPointF(std::cos(a), -std::sin(a));
    head.v = perp(head.h);
    return head;
}

QPainterPath headPath(const Head &hd)
{
    QVector<QPointF> pts;
    const double outline[][2] = {{-1.2, 3.4},  {4.0, 4.6},   {10.0, 3.9}, {14.8, 3.6}, {17.2, 1.2}, {17.0, -2.0},
                                 {14.6, -3.4}, {11.0, -3.0}, {6.5, -6.2}, {1.5, -6.4}, {-2.2, -2.0}};
    for (const auto &uv : outline)
        pts << hd.at(uv[0], uv[1]);
    return smoothClosed(pts);
}

QPainterPath earPath(const Head &hd, double back, double swivel)
{
    const QPointF base = hd.at(0.2 - back, 2.2);
    const double s = qDegreesToRadians(swivel);
    // Pointing up out of the poll, tipped back by the swivel.
    QPointF dir = hd.h * (-0.55 * std::cos(s) - 0.85 * std::sin(s)) + hd.v * (0.85 * std::cos(s) - 0.55 * std::sin(s));
    dir = unit(dir);
    const QPointF side = perp(dir);
    return smoothClosed({base - side * 1.9, base + dir * 3.2 - side * 1.4, base + dir * 6.2,
                         base + dir * 3.2 + side * 1.5, base + side * 1.9, base - dir * 1.0},
                        0.9);
}

QPainterPath neckPath(const Pose &pose, const Head &hd)
{
    const double n = qDegreesToRadians(pose.neck);
    const QPointF d(std::cos(n), -std::sin(n));
    const QPointF c = perp(d); // crest side
    const QPointF crestBase = kNeckBase + c * 6.5 + d * 1.5;
    const QPointF crestTop = hd.poll + c * 2.6;
    const QPointF crestMid = (crestBase + crestTop) / 2 + c * 1.6;
    const QPointF throatTop = hd.at(2.0, -5.0);
    const QPointF throatBase = kNeckBase - c * 7.0;
    const QPointF throatMid = (throatTop + throatBase) / 2 - c * 0.4;
    return smoothClosed(
        {crestBase, crestMid, crestTop, hd.at(1.0, 1.0), throatTop, throatMid, throatBase, kNeckBase - d * 5.0});
}

QPainterPath maneBand(const Pose &pose, const Head &hd)
{
    const double n = qDegreesToRadians(pose.neck);
    const QPointF d(std::cos(n), -std::sin(n));
    const QPointF c = perp(d);
    const QPointF from = hd.poll + c * 2.0 - d * 0.5;
    const QPointF to = kNeckBase + c * 5.8 + d * 0.5;
    // Inner edge sits on the neck, outer edge is jagged tufts blown back a little.
    QVector<QPointF> pts;
    const int tufts = 5;
    for (int i = 0; i <= tufts; ++i) {
        const double t = double(i) / tufts;
        const QPointF on = from + (to - from) * t + c * (1.6 * std::sin(t * M_PI));
        pts << on + c * 2.4 - d * 1.4 + QPointF(0, 0);
        if (i < tufts)
            pts << on + c * 1.0 + (to - from) * (0.5 / tufts) - d * 0.3;
    }
    QVector<QPointF> inner;
    for (int i = tufts; i >= 0; --i) {
        const double t = double(i) / tufts;
        inner << from + (to - from) * t + c * (1.6 * std::sin(t * M_PI)) - c * 1.6;
    }
    QPolygonF poly;
    for (const QPointF &p : pts)
        poly << p;
    for (const QPointF &p : inner)
        poly << p;
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath bodyPath()
{
    // clang-format off
    return smoothClosed({{48.5, 22.2}, {38.0, 24.4}, {28.0, 22.6}, {19.5, 21.8}, {14.2, 26.5}, {14.4, 33.5},
                         {18.0, 39.6}, {27.0, 40.6}, {38.0, 41.6}, {48.0, 40.6}, {55.0, 38.2}, {59.2, 32.5},
                         {55.5, 25.2}});
    // clang-format on
}

QPainterPath forelockPath(const Head &hd)
{
    return smoothClosed(
        {hd.at(-0.8, 2.2), hd.at(1.2, 5.2), hd.at(3.6, 5.6), hd.at(2.6, 4.4), hd.at(4.8, 4.4), hd.at(2.6, 2.6)}, 0.8);
}

struct LegShapes
{
    QPainterPath top, bottom, hoof;
};

LegShapes legShapes(const Leg &leg)
{
    const LegBuild &b = *leg.build;
    LegShapes s;
    s.top = capsule(leg.p0, leg.p1, b.w0, b.w1);
    s.bottom = capsule(leg.p1, leg.p2, b.w1, b.w2);
    s.bottom.addPath(capsule(leg.p2, leg.p3, b.w2, b.w2 * 0.95));
    s.hoof.addPolygon(leg.hoof);
    s.hoof.closeSubpath();
    return s;
}

void fillLeg(QPainter &p, const Leg &leg, const LegShapes &s, const QColor &upper, const QColor &lower, bool sock)
{
    fillParts(p, {s.top}, upper);
    // Bay points: the colour darkens below the knee; a sock goes white instead.
    QLinearGradient g(leg.p1, leg.p3);
    const QColor foot = sock ? ink::sock : lower;
    g.setColorAt(0.0, upper);
    if (sock) {
        g.setColorAt(0.35, lower);
        g.setColorAt(0.55, lower);
        g.setColorAt(0.68, foot);
    } else {
        g.setColorAt(0.3, lower);
    }
    g.setColorAt(1.0, foot);
    fillParts(p, {s.bottom}, g);
    fillParts(p, {s.hoof}, ink::hoof);
    line(p, leg.hoof[0] * 0.5 + leg.hoof[3] * 0.5, leg.hoof[1] * 0.5 + leg.hoof[2] * 0.5,
         mix(ink::hoof, ink::white, 0.3), 0.6);
}

void drawLeg(QPainter &p, const Leg &leg, const QColor &upper, const QColor &lower, bool sock)
{
    const LegShapes s = legShapes(leg);
    strokeBehind(p, {s.top, s.bottom, s.hoof});
    fillLeg(p, leg, s, upper, lower, sock);
}

QTransform bodyTransform(const Pose &pose, double dx, double dy)
{
    QTransform t;
    t.translate(dx, dy);
    t.translate(kPivot.x(), kPivot.y());
    t.rotate(pose.tilt);
    t.translate(-kPivot.x(), -kPivot.y());
    return t;
}

// How far below the body's own origin the lowest hoof sole reaches, once the pose is tilted.
double lowestHoof(const Pose &pose, double dx)
{
    const QTransform t = bodyTransform(pose, dx, 0);
    double lowest = -1e9;
    for (const LegBuild *b : {&kNearFront, &kFarFront, &kNearHind, &kFarHind}) {
        const LegPose &lp = b == &kNearFront  ? pose.nearFront
                            : b == &kFarFront ? pose.farFront
                            : b == &kNearHind ? pose.nearHind
                                              : pose.farHind;
        for (const QPointF &pt : makeLeg(*b, lp).hoof)
            lowest = qMax(lowest, t.map(pt).y());
    }
    return lowest;
}

void drawEye(QPainter &p, const Head &hd, Eyes eyes)
{
    const QPointF e = hd.at(5.6, 1.0);
    if (eyes == Eyes::Open) {
        p.save();
        p.translate(e);
        p.rotate(qRadiansToDegrees(std::atan2(hd.h.y(), hd.h.x())));
        p.setBrush(ink::eye);
        p.drawEllipse(QPointF(0, 0), 1.55, 1.85);
        p.setBrush(ink::white);
        p.drawEllipse(QPointF(0.5, 0.55), 0.55, 0.55);
        p.restore();
        // Upper lid line gives the eye a gentle, friendly look.
        curve(p, {hd.at(4.0, 2.2), hd.at(5.6, 3.0), hd.at(7.2, 2.2)}, withAlpha(ink::outline, 170), 0.7);
    } else if (eyes == Eyes::Closed) {
        curve(p, {hd.at(4.2, 1.6), hd.at(5.6, 0.4), hd.at(7.1, 1.6)}, ink::eye, 0.9);
        line(p, hd.at(5.0, 0.6), hd.at(4.4, -0.5), ink::eye, 0.5);
        line(p, hd.at(6.3, 0.6), hd.at(6.9, -0.5), ink::eye, 0.5);
    } else {
        curve(p, {hd.at(4.2, 2.4), hd.at(6.4, 1.0), hd.at(4.2, -0.4)}, ink::eye, 1.0);
    }
}

void drawHeadDetails(QPainter &p, const Head &hd, const Pose &pose, const QPainterPath &head)
{
    p.save();
    p.setClipPath(head, Qt::IntersectClip);
    // The dark bay muzzle, fading into the face.
    QRadialGradient m(hd.at(17.0, -1.0), 6.5);
    m.setColorAt(0.0, ink::muzzle);
    m.setColorAt(0.55, withAlpha(ink::muzzle, 200));
    m.setColorAt(1.0, withAlpha(ink::muzzle, 0));
    p.setBrush(m);
    p.drawPath(head);
    // Cheek shading under the jaw.
    QRadialGradient cheek(hd.at(4.5, -4.5), 5.0);
    cheek.setColorAt(0.0, withAlpha(ink::coatShade, 160));
    cheek.setColorAt(1.0, withAlpha(ink::coatShade, 0));
    p.setBrush(cheek);
    p.drawPath(head);
    // White blaze down the front of the face.
    p.setBrush(ink::blaze);
    p.drawPath(smoothClosed({hd.at(1.5, 3.2), hd.at(6.0, 3.0), hd.at(11.0, 2.4), hd.at(14.8, 2.6), hd.at(15.8, 4.8),
                             hd.at(10.0, 5.4), hd.at(3.0, 6.0)}));
    p.restore();
    curve(p, {hd.at(2.5, -4.2), hd.at(6.5, -4.6), hd.at(10.0, -2.6)}, withAlpha(ink::outline, 110), 0.6);
    drawEye(p, hd, pose.eyes);
    // Nostril and mouth.
    p.save();
    p.translate(hd.at(15.0, 0.7));
    p.rotate(qRadiansToDegrees(std::atan2(hd.h.y(), hd.h.x())));
    p.setBrush(ink::outline);
    p.drawEllipse(QPointF(0, 0), 1.2, 0.8);
    p.restore();
    curve(p, {hd.at(16.9, -2.0), hd.at(15.6, -2.5), hd.at(14.0, -2.3)}, ink::outline, 0.7);
}

void drawGrassTuft(QPainter &p, QPointF base, double scale, bool inMouth)
{
    const QColor blade = ink::leafLight, dark = ink::leafDark;
    const double spread[][3] = {{-3.0, -6.0, -0.4}, {-1.2, -8.0, -0.1}, {0.8, -7.2, 0.2}, {2.6, -5.2, 0.5}};
    for (const auto &s : spread) {
        const QPointF tip = base + QPointF(s[0] + s[2] * 4, s[1]) * scale;
        const QPointF mid = base + QPointF(s[0] * 0.6, s[1] * 0.55) * scale;
        curve(p, {base + QPointF(s[0] * 0.3, 0) * scale, mid, tip}, dark, 2.0 * scale);
        curve(p, {base + QPointF(s[0] * 0.3, 0) * scale, mid, tip}, inMouth ? ink::leaf : blade, 1.0 * scale);
    }
}

void drawHorse(QPainter &p, const Pose &pose, Cloth cloth)
{
    const Leg nf = makeLeg(kNearFront, pose.nearFront);
    const Leg ff = makeLeg(kFarFront, pose.farFront);
    const Leg nh = makeLeg(kNearHind, pose.nearHind);
    const Leg fh = makeLeg(kFarHind, pose.farHind);
    const Head hd = makeHead(pose);

    const double dx = pose.shiftX;
    double dy = pose.shiftY;
    if (pose.align == Pose::Align::Hooves)
        dy = pose.lowestY - lowestHoof(pose, dx);
    else if (pose.align == Pose::Align::Standing)
        dy = pose.shiftY + (kHorseGround - lowestHoof(Pose(), 0));
    if (pose.shadow) {
        // A soft shadow on the ground under the hooves sits the horse on any background.
        const QTransform t = bodyTransform(pose, dx, dy);
        double lowX = 1e9, highX = -1e9;
        for (const Leg *leg : {&nf, &ff, &nh, &fh})
            for (const QPointF &pt : leg->hoof) {
                lowX = qMin(lowX, t.map(pt).x());
                highX = qMax(highX, t.map(pt).x());
            }
        const double r = (highX - lowX) / 2 + 6;
        const QPointF c((lowX + highX) / 2, kHorseGround - 0.4);
        QRadialGradient g(QPointF(0, 0), r);
        g.setColorAt(0.0, QColor(0, 0, 0, 70));
        g.setColorAt(0.7, QColor(0, 0, 0, 40));
        g.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.save();
        // Keep the shadow off the picture's edges so the corners stay clear.
        p.setClipRect(QRectF(2, 0, kHorseW - 4, kHorseH));
        p.translate(c);
        p.scale(1.0, 0.15);
        p.setBrush(g);
        p.drawEllipse(QPointF(0, 0), r, r);
        p.restore();
    }

    p.save();
    p.setTransform(bodyTransform(pose, dx, dy), true);

    // Far side first, in shadow.
    drawLeg(p, fh, ink::coatFar, mix(ink::points, ink::outline, 0.3), false);
    drawLeg(p, ff, ink::coatFar, mix(ink::points, ink::outline, 0.3), false);
    outlined(p, earPath(hd, 1.6, pose.earSwivel + 8), ink::coatFar);

    // Tail behind the body, with a couple of lighter strands.
    const QPainterPath tail = ribbon(pose.tail, pose.tailWidths);
    outlined(p, tail, ink::mane);
    {
        QVector<QPointF> strand;
        for (const QPointF &pt : pose.tail)
            strand << pt + QPointF(0.6, 0.3);
        p.save();
        p.setClipPath(tail, Qt::IntersectClip);
        curve(p, strand, ink::maneLight, 0.8);
        p.restore();
    }

    const QPainterPath body = bodyPath();
    const QPainterPath neck = neckPath(pose, hd);
    const QPainterPath head = headPath(hd);
    const QPainterPath ear = earPath(hd, 0, pose.earSwivel);

    const LegShapes nhs = legShapes(nh), nfs = legShapes(nf);
    QVector<QPainterPath> outlineParts{body, neck, head, ear};
    if (!pose.legsOverBody)
        outlineParts << nhs.top << nhs.bottom << nhs.hoof << nfs.top << nfs.bottom << nfs.hoof;
    strokeBehind(p, outlineParts);
    // Near legs standing under the body share its outline; the body is filled over their tops so they
    // seem to grow out from under it.
    if (!pose.legsOverBody) {
        fillLeg(p, nh, nhs, ink::coat, ink::points, true);
        fillLeg(p, nf, nfs, ink::coat, ink::points, false);
    }
    QLinearGradient coat(QPointF(0, 20), QPointF(0, 42));
    coat.setColorAt(0.0, ink::coatLight);
    coat.setColorAt(0.35, ink::coat);
    coat.setColorAt(1.0, ink::coatShade);
    fillParts(p, {body}, coat);
    fillParts(p, {neck, head, ear}, ink::coat);
    {
        // Inner ear, a smaller darker copy.
        const QPointF base = hd.at(0.2, 2.2);
        p.save();
        p.translate(base);
        p.scale(0.55, 0.55);
        p.translate(-base);
        p.setBrush(ink::coatShade);
        p.drawPath(earPath(hd, -0.2, pose.earSwivel));
        p.restore();
    }

    // Soft light on the rump and shoulder, shade on the belly.
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    QRadialGradient rump(QPointF(22, 26), 8);
    rump.setColorAt(0.0, withAlpha(ink::coatLight, 190));
    rump.setColorAt(1.0, withAlpha(ink::coatLight, 0));
    p.setBrush(rump);
    p.drawEllipse(QPointF(22, 26), 8, 8);
    QRadialGradient shoulder(QPointF(53, 28), 6);
    shoulder.setColorAt(0.0, withAlpha(ink::coatLight, 150));
    shoulder.setColorAt(1.0, withAlpha(ink::coatLight, 0));
    p.setBrush(shoulder);
    p.drawEllipse(QPointF(53, 28), 6, 6);
    p.restore();
    if (!pose.legsOverBody) {
        // Where the near legs meet the body: the curve of the stifle and the elbow.
        curve(p, {{19.0, 27.0}, {25.5, 30.5}, {27.5, 37.5}}, withAlpha(ink::outline, 90), 0.7);
        curve(p, {{52.0, 31.0}, {49.2, 34.5}, {48.8, 38.6}}, withAlpha(ink::outline, 90), 0.7);
    }

    // Saddle cloth in the player's colour, with a small saddle on top.
    {
        const QColor c = cloth == Cloth::Red ? ink::red : ink::blue;
        const QColor cd = cloth == Cloth::Red ? ink::redDark : ink::blueDark;
        const QPainterPath cl =
            smoothClosed({{32.5, 18.0}, {47.5, 17.5}, {47.8, 30.0}, {46.0, 34.2}, {34.0, 34.6}, {32.2, 30.5}}, 0.6);
        p.save();
        p.setClipPath(body, Qt::IntersectClip);
        strokeBehind(p, {cl}, 0.8);
        QLinearGradient g(QPointF(0, 22), QPointF(0, 35));
        g.setColorAt(0.0, c);
        g.setColorAt(1.0, cd);
        fillParts(p, {cl}, g);
        // Trim just inside the edge.
        p.setClipPath(cl, Qt::IntersectClip);
        QPen trim(ink::trim, 1.2);
        p.setPen(trim);
        p.setBrush(Qt::NoBrush);
        p.drawPath(
            smoothClosed({{33.9, 16.0}, {46.1, 16.0}, {46.4, 29.6}, {45.0, 32.9}, {35.0, 33.2}, {33.6, 29.9}}, 0.6));
        p.restore();
        const QPainterPath saddle = smoothClosed(
            {{35.5, 23.2}, {36.2, 20.6}, {39.0, 21.6}, {43.0, 21.2}, {45.2, 19.8}, {45.8, 22.4}, {41.0, 24.2}});
        outlined(p, saddle, ink::leather, 0.8);
        line(p, {37.5, 22.2}, {43.8, 21.8}, mix(ink::leather, ink::white, 0.35), 0.6);
    }

    if (pose.legsOverBody) {
        drawLeg(p, nh, ink::coat, ink::points, true);
        drawLeg(p, nf, ink::coat, ink::points, false);
    }

    // Mane along the crest, forelock between the ears.
    outlined(p, maneBand(pose, hd), ink::mane, 0.8);
    outlined(p, forelockPath(hd), ink::mane, 0.7);
    drawHeadDetails(p, hd, pose, head);
    if (pose.chewing) {
        // A mouthful of grass sticking out at the corner of the mouth.
        const QPointF mouth = hd.at(15.0, -2.4);
        const double blades[][2] = {{4.5, -3.5}, {2.0, -6.0}, {6.0, -0.5}, {-0.5, -5.5}};
        for (const auto &b : blades) {
            const QPointF tip = hd.at(15.0 + b[0], -2.4 + b[1]);
            const QPointF mid = (mouth + tip) / 2 + QPointF(0, 0.8);
            curve(p, {mouth, mid, tip}, ink::leafDark, 1.9);
        }
        for (const auto &b : blades) {
            const QPointF tip = hd.at(15.0 + b[0], -2.4 + b[1]);
            const QPointF mid = (mouth + tip) / 2 + QPointF(0, 0.8);
            curve(p, {mouth, mid, tip}, ink::leafLight, 0.8);
        }
    }
    p.restore();

    if (pose.grazing) {
        const QTransform t = bodyTransform(pose, dx, dy);
        drawGrassTuft(p, QPointF(t.map(hd.at(16.0, -1.0)).x() + 1.5, kHorseGround + 0.2), 0.75, false);
    }
}

QImage render(const Pose &pose, Cloth cloth)
{
    QImage img = newSprite(kHorseW, kHorseH);
    QPainter p(&img);
    prepare(p);
    drawHorse(p, pose, cloth);
    return img;
}

} // namespace

QImage horseStanding(Cloth cloth, bool swish)
{
    Pose pose;
    if (swish) {
        // Only the tail and one ear move, so flicking between the two frames reads as a swish, not a jump.
        pose.tail = {kTailRoot, {10.0, 27.0}, {5.0, 33.0}, {3.0, 42.5}};
        pose.tailWidths = {3.0, 5.5, 5.0, 1.4};
        pose.earSwivel = 25;
    }
    return render(pose, cloth);
}

QImage horseEating(Cloth cloth, int frame)
{
    Pose pose;
    pose.neck = frame == 0 ? -36 : -26;
    pose.neckLength = 17.5;
    pose.head = frame == 0 ? -82 : -72;
    pose.grazing = frame == 0;
    pose.chewing = frame == 1;
    pose.earSwivel = frame == 0 ? -10 : 15;
    pose.tail = {kTailRoot, {11.0, 30.0}, {9.0, 39.0}, {9.5, 48.0}};
    return render(pose, cloth);
}

QImage horseSettingOff(Cloth cloth)
{
    Pose pose;
    pose.nearFront = {55, -12, 10};
    pose.farFront = {-12, -6, 18};
    pose.nearHind = {-48, -35, -20};
    pose.farHind = {-10, 14, 28};
    pose.tilt = -5;
    pose.neck = 50;
    pose.head = -36;
    pose.earSwivel = 18;
    pose.shiftX = -1;
    pose.tail = {kTailRoot, {10.5, 26.0}, {6.5, 29.0}, {4.5, 36.0}};
    return render(pose, cloth);
}

QImage horseLying(Cloth cloth, bool asleep)
{
    // Resting on its chest: forelegs folded with the knees in front, one hind leg tucked forward under the belly.
    Pose pose;
    pose.nearFront = {62, -98, -80};
    pose.farFront = {54, -96, -80};
    pose.nearHind = {-38, 96, 104};
    pose.farHind = {-28, 100, 106};
    pose.legsOverBody = true;
    pose.align = Pose::Align::Free;
    pose.shadow = false;
    pose.shiftX = -5;
    pose.shiftY = 13.6;
    pose.neck = asleep ? 16 : 50;
    pose.neckLength = 18;
    pose.head = asleep ? -70 : -46;
    pose.eyes = asleep ? Eyes::Closed : Eyes::Open;
    pose.earSwivel = asleep ? 45 : 10;
    pose.tail = {kTailRoot, {12.0, 31.0}, {9.0, 39.5}, {7.5, 43.0}};
    pose.tailWidths = {3.0, 5.0, 4.5, 1.4};
    QImage img = newSprite(kHorseW, kHorseH);
    QPainter p(&img);
    prepare(p);
    // Shadow along the ground under the belly.
    QRadialGradient g(QPointF(0, 0), 32);
    g.setColorAt(0.0, QColor(0, 0, 0, 75));
    g.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.save();
    p.translate(38, kHorseGround - 0.4);
    p.scale(1.0, 0.1);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 32, 32);
    p.restore();
    drawHorse(p, pose, cloth);
    if (asleep) {
        const QColor zc(0x3a, 0x4c, 0x9a);
        blockTextOutlined(p, {62, 12}, "Z", 1.3, zc, QColor(255, 255, 255, 210));
        blockTextOutlined(p, {72, 3}, "z", 1.0, zc, QColor(255, 255, 255, 210));
    }
    return img;
}

QImage horseFallen(Cloth cloth)
{
    // Pitched over the hay block (which the game draws 30 px in from this picture's left edge):
    // hind legs still caught behind it, forelegs buckled on the far side, nose on the ground.
    Pose pose;
    pose.tilt = 26;
    pose.nearFront = {72, -30, 0};
    pose.farFront = {52, 5, 40};
    pose.nearHind = {-34, -8, 14};
    pose.farHind = {-50, -24, 0};
    pose.neck = -12;
    pose.neckLength = 15;
    pose.head = -78;
    pose.eyes = Eyes::Squeezed;
    pose.earSwivel = 50;
    pose.align = Pose::Align::Free;
    pose.shadow = false;
    pose.shiftX = 1;
    pose.shiftY = -4.5;
    pose.tail = {kTailRoot, {11.0, 23.5}, {7.5, 23.5}, {5.0, 26.5}};
    pose.tailWidths = {3.0, 5.0, 4.5, 1.2};
    QImage img = newSprite(kHorseW, kHorseH);
    QPainter p(&img);
    prepare(p);
    drawHorse(p, pose, cloth);
    // Dizzy stars above the head.
    auto star = [&](QPointF c, double r) {
        QPolygonF s;
        for (int i = 0; i < 10; ++i) {
            const double a = qDegreesToRadians(-90.0 + i * 36.0);
            const double rr = (i % 2) ? r * 0.45 : r;
            s << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        }
        QPainterPath path;
        path.addPolygon(s);
        path.closeSubpath();
        outlined(p, path, ink::goldLight, 0.7);
    };
    star({73, 39}, 3.0);
    star({68, 30}, 2.3);
    star({76.5, 48}, 1.8);
    return img;
}

QImage horseJumping(Cloth cloth)
{
    Pose pose;
    pose.nearFront = {88, -55, -30};
    pose.farFront = {78, -45, -20};
    pose.nearHind = {22, -60, -70};
    pose.farHind = {12, -52, -62};
    pose.tilt = -6;
    pose.neck = 42;
    pose.head = -38;
    pose.earSwivel = -5;
    pose.shadow = false;
    pose.lowestY = 56.0; // drawn 20 px higher than the grounded frames, this clears the block by a few pixels
    pose.neckLength = 16.5;
    pose.shiftX = -2;
    pose.tail = {kTailRoot, {10.0, 23.5}, {6.5, 24.0}, {5.0, 28.0}};
    pose.tailWidths = {3.0, 5.2, 4.6, 1.2};
    return render(pose, cloth);
}

QImage horseGallop(Cloth cloth, int frame)
{
    // Both frames keep the body within two pixels of the standing height, so flicking between them at
    // race speed reads as a gallop rather than a hop.
    Pose pose;
    pose.shiftX = -2;
    pose.neckLength = 16.5;
    pose.earSwivel = 20;
    pose.align = Pose::Align::Standing;
    if (frame == 0) {
        // Stretched out: forelegs reaching, hind legs pushing away, all four off the ground.
        pose.nearFront = {48, 64, 80};
        pose.farFront = {30, 42, 62};
        pose.nearHind = {-36, -42, -54};
        pose.farHind = {-28, -32, -46};
        pose.neck = 45;
        pose.head = -38;
        pose.tilt = 1;
        pose.shiftY = 2.2;
        pose.tail = {kTailRoot, {11.0, 24.0}, {7.5, 25.0}, {5.5, 29.0}};
    } else {
        // Gathered: legs bunched under the body, the leading foreleg planted.
        pose.nearFront = {34, -58, -46};
        pose.farFront = {-6, -10, 16};
        pose.nearHind = {34, 18, 38};
        pose.farHind = {18, 2, 28};
        pose.neck = 40;
        pose.head = -40;
        pose.tilt = -2;
        pose.shiftY = 0.2;
        pose.tail = {kTailRoot, {11.5, 26.0}, {8.0, 28.5}, {6.0, 33.5}};
    }
    return render(pose, cloth);
}

void horseHeadEmblem(QPainter &p, QPointF poll, double scale)
{
    Pose pose;
    pose.neck = 62;
    pose.head = -52;
    const Head hd = makeHead(pose);
    p.save();
    p.translate(poll);
    p.scale(scale, scale);
    p.translate(-hd.poll);
    const QPainterPath neck = neckPath(pose, hd);
    const QPainterPath head = headPath(hd);
    // Cut the neck off with a curved edge, like a badge.
    QPainterPath cut;
    cut.addEllipse(hd.poll + QPointF(-1, 6), 13.5, 13.5);
    const QPainterPath neckCut = neck.intersected(cut);
    outlined(p, earPath(hd, 1.6, 8), ink::coatFar);
    outlinedGroup(p, {neckCut, head, earPath(hd, 0, 0)}, ink::coat);
    outlined(p, maneBand(pose, hd).intersected(cut), ink::mane, 0.8);
    outlined(p, forelockPath(hd), ink::mane, 0.7);
    drawHeadDetails(p, hd, pose, head);
    p.restore();
}

} // namespace picgen
