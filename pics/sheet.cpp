// The list of pictures the game loads, and the contact sheet that shows them all with the screens they make up,
// so placement can be judged at a glance after any change.
#include "paint.h"
#include "pictures.h"

#include <QFont>
#include <QMap>

namespace picgen {

const std::vector<std::pair<QString, Painter>> &catalogue()
{
    static const std::vector<std::pair<QString, Painter>> list = {
        {"backgd1", [] { return field(); }},
        {"backgd2", [] { return statusBack(); }},
        {"backgd3", [] { return raceCourse(); }},
        {"Trotix", [] { return titleEmblem(); }},
        {"block", [] { return hayBlock(); }},
        {"horse1", [] { return horseStanding(Cloth::Red, false); }},
        {"horse2", [] { return horseStanding(Cloth::Red, true); }},
        {"horse3", [] { return horseEating(Cloth::Red, 0); }},
        {"horse4", [] { return horseEating(Cloth::Red, 1); }},
        {"horse5", [] { return horseSettingOff(Cloth::Red); }},
        {"horse6", [] { return horseLying(Cloth::Red, false); }},
        {"horse7", [] { return horseLying(Cloth::Red, true); }},
        {"horse8", [] { return horseFallen(Cloth::Red); }},
        {"horse9", [] { return horseJumping(Cloth::Red); }},
        {"horse11", [] { return horseGallop(Cloth::Red, 0); }},
        {"horse12", [] { return horseGallop(Cloth::Red, 1); }},
        {"horse13", [] { return horseGallop(Cloth::Blue, 0); }},
        {"horse14", [] { return horseGallop(Cloth::Blue, 1); }},
        {"face1", [] { return face(Mood::Happy); }},
        {"face2", [] { return face(Mood::Effort); }},
        {"face3", [] { return face(Mood::Calm); }},
        {"face4", [] { return face(Mood::Asleep); }},
        {"face5", [] { return face(Mood::Hurt); }},
        {"face6", [] { return face(Mood::Overfed); }},
        {"face7", [] { return face(Mood::Exhausted); }},
        {"txjudge1", [] { return judge(JudgePose::StartDown); }},
        {"txjudge2", [] { return judge(JudgePose::StartUp); }},
        {"txjudge3", [] { return judge(JudgePose::FinishRed); }},
        {"txjudge4", [] { return judge(JudgePose::FinishBlue); }},
        {"txjudge5", [] { return judge(JudgePose::FinishWaiting); }},
        {"txsign1", [] { return spectatorStand(); }},
        {"txsign2", [] { return blimp(); }},
        {"txsign3", [] { return advertBoard(); }},
        {"txsign4", [] { return finishBoard(); }},
    };
    return list;
}

namespace {

using Set = QMap<QString, QImage>;

Set toSet(const std::vector<std::pair<QString, QImage>> &pictures)
{
    Set s;
    for (const auto &[name, img] : pictures)
        s.insert(name, img);
    return s;
}

// Shows 240 columns of a wrapping strip starting at 'column', as the game's window does.
void strip(QPainter &p, const QImage &img, int column)
{
    p.drawImage(-column, 0, img);
    p.drawImage(img.width() - column, 0, img);
}

QFont labelFont(int px, bool bold = false)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage screen(const std::function<void(QPainter &)> &draw)
{
    QImage img(240, 320, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    draw(p);
    return img;
}

void menuBar(QPainter &p, const QString &title)
{
    p.fillRect(QRect(0, 0, 240, 20), QColor(0xee, 0xee, 0xee));
    p.fillRect(QRect(0, 19, 240, 1), QColor(0x88, 0x88, 0x88));
    p.setPen(Qt::black);
    p.setFont(labelFont(11, true));
    p.drawText(6, 14, title);
}

// The race's two distance readouts, its menu bar over them.
void raceReadouts(QPainter &p, const char *player1, const char *player2)
{
    p.setFont(labelFont(10, true));
    p.setPen(QColor(0xd0, 0, 0));
    p.drawText(10, 270, player1);
    p.setPen(QColor(0, 0, 0xd0));
    p.drawText(10, 280, player2);
    menuBar(p, "1000M RACE");
}

QImage idle(const Set &s)
{
    return screen([&](QPainter &p) {
        strip(p, s["backgd1"], 0);
        p.drawImage(1, 40, s["face3"]);
        p.drawImage(80, 200, s["horse1"]);
    });
}

std::vector<std::pair<QString, QImage>> scenes(const Set &s)
{
    std::vector<std::pair<QString, QImage>> out;
    out.emplace_back("idle: backgd1 0..239, face3, horse1", screen([&](QPainter &p) {
                         p.drawImage(0, 0, idle(s));
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("eating: backgd1 from 560, face1, horse3", screen([&](QPainter &p) {
                         strip(p, s["backgd1"], 560);
                         p.drawImage(1, 40, s["face1"]);
                         p.drawImage(80, 200, s["horse3"]);
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("jump: horse9 at (30,180), block at (60,240)", screen([&](QPainter &p) {
                         strip(p, s["backgd1"], 300);
                         p.drawImage(1, 40, s["face2"]);
                         p.drawImage(60, 240, s["block"]);
                         p.drawImage(30, 180, s["horse9"]);
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("fall: horse8 at (30,200), block at (60,240)", screen([&](QPainter &p) {
                         strip(p, s["backgd1"], 300);
                         p.drawImage(1, 40, s["face5"]);
                         p.drawImage(60, 240, s["block"]);
                         p.drawImage(30, 200, s["horse8"]);
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("sleep: backgd1 from 700 (wraps), face4, horse7", screen([&](QPainter &p) {
                         strip(p, s["backgd1"], 700);
                         p.drawImage(1, 40, s["face4"]);
                         p.drawImage(80, 200, s["horse7"]);
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("race start: judge2, txsign2, txsign1", screen([&](QPainter &p) {
                         strip(p, s["backgd3"], 0);
                         p.drawImage(110, 8, s["txsign2"]);
                         p.drawImage(140, 133, s["txsign1"]);
                         // The game's distance boards stand on legs in the infield.
                         p.fillRect(QRect(20, 78, 44, 30), Qt::white);
                         p.setPen(Qt::black);
                         p.drawRect(QRect(20, 78, 44, 30));
                         p.drawLine(30, 108, 30, 132);
                         p.drawLine(54, 108, 54, 132);
                         p.setFont(labelFont(11, true));
                         p.drawText(QRect(20, 78, 44, 30), Qt::AlignCenter, "1000M");
                         p.drawImage(70, 130, s["txjudge2"]);
                         p.drawImage(20, 160, s["horse14"]);
                         p.drawImage(20, 190, s["horse11"]);
                         raceReadouts(p, "P1 0M", "P2 0M");
                     }));
    out.emplace_back("race finish: txsign4, txsign3, judge3, finish line", screen([&](QPainter &p) {
                         strip(p, s["backgd3"], 300);
                         p.drawImage(10, 85, s["txsign4"]);
                         p.drawImage(140, 133, s["txsign3"]);
                         p.drawImage(200, 130, s["txjudge3"]);
                         p.fillRect(QRect(150, 203, 6, 80), Qt::white);
                         p.setPen(Qt::black);
                         p.drawRect(QRect(150, 203, 6, 80));
                         p.drawImage(120, 160, s["horse13"]);
                         p.drawImage(100, 190, s["horse12"]);
                         raceReadouts(p, "P1 996M", "P2 981M");
                     }));
    out.emplace_back("status: backgd2 with bars and labels", screen([&](QPainter &p) {
                         p.drawImage(0, 0, s["backgd2"]);
                         p.setPen(Qt::black);
                         p.setFont(labelFont(12, true));
                         p.drawText(40, 40, "Status");
                         const int values[] = {180, 120, 150, 90, 200};
                         const QColor colors[] = {QColor(0xe0, 0x40, 0x40), QColor(0x40, 0xa0, 0xe0),
                                                  QColor(0x50, 0xc0, 0x50), QColor(0xf0, 0xc0, 0x30),
                                                  QColor(0xb0, 0x60, 0xd0)};
                         const char *labels[] = {"WT", "SPD", "STA", "FUL", "JOY"};
                         p.setFont(labelFont(10));
                         for (int i = 0; i < 5; ++i) {
                             const QRect bar(24 + i * 37, 260 - values[i], 24, values[i]);
                             p.fillRect(bar, colors[i]);
                             p.setPen(Qt::black);
                             p.drawRect(bar);
                             p.drawText(24 + i * 37, 270, labels[i]);
                         }
                         p.drawLine(20, 260, 205, 260);
                         menuBar(p, "Trotix");
                     }));
    out.emplace_back("about: Trotix at (50,45), text at (88,75)", screen([&](QPainter &p) {
                         p.drawImage(50, 45, s["Trotix"]);
                         p.setPen(Qt::black);
                         p.setFont(labelFont(12, true));
                         p.drawText(88, 75, "Trotix v1.0");
                         p.setFont(labelFont(10));
                         p.drawText(50, 95, "by the Trotix developers");
                         menuBar(p, "About");
                     }));
    return out;
}

void checker(QPainter &p, const QRect &r)
{
    p.save();
    p.setClipRect(r);
    for (int y = r.top(); y <= r.bottom(); y += 6)
        for (int x = r.left(); x <= r.right(); x += 6)
            p.fillRect(QRect(x, y, 6, 6), ((x - r.left()) / 6 + (y - r.top()) / 6) % 2 ? QColor(0xe4, 0xe4, 0xe4)
                                                                                       : QColor(0xfa, 0xfa, 0xfa));
    p.restore();
}

} // namespace

QImage idleScene(const std::vector<std::pair<QString, QImage>> &pictures) { return idle(toSet(pictures)); }

QImage contactSheet(const std::vector<std::pair<QString, QImage>> &pictures)
{
    const Set s = toSet(pictures);
    const int W = 1040, margin = 16, gap = 14, labelH = 30;
    const auto composed = scenes(s);

    // Lay everything out first to know the height: backgrounds at their size, sprites doubled.
    struct Item
    {
        QString title, sub;
        QImage img;
        int scale;
        QRect box;
    };
    std::vector<Item> items;
    for (const auto &[name, img] : pictures) {
        const bool background = name.startsWith("backgd");
        items.push_back(
            {name + ".png", QString("%1 x %2").arg(img.width()).arg(img.height()), img, background ? 1 : 2, {}});
    }
    for (const auto &[title, img] : composed)
        items.push_back({title, QString(), img, 1, {}});

    int x = margin, y = 56, rowH = 0;
    for (Item &it : items) {
        const int w = it.img.width() * it.scale, h = it.img.height() * it.scale;
        if (x + w > W - margin) {
            x = margin;
            y += rowH + labelH + gap;
            rowH = 0;
        }
        it.box = QRect(x, y, w, h);
        x += qMax(w, 120) + gap;
        rowH = qMax(rowH, h);
    }
    const int H = y + rowH + labelH + margin;

    QImage sheet(W, H, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xf4, 0xf1, 0xea));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(QColor(0x33, 0x22, 0x18));
    p.setFont(labelFont(18, true));
    p.drawText(margin, 32, "Trotix pictures");
    p.setFont(labelFont(11));
    p.drawText(margin, 48,
               QString("%1 pictures; sprites shown at twice their size on a chequer where transparent; "
                       "screens composed as the game places them")
                   .arg(pictures.size()));
    for (const Item &it : items) {
        if (it.img.hasAlphaChannel())
            checker(p, it.box);
        p.drawImage(it.box, it.img);
        p.setPen(QColor(0xb0, 0xa8, 0x98));
        p.setBrush(Qt::NoBrush);
        p.drawRect(it.box.adjusted(-1, -1, 0, 0));
        p.setPen(QColor(0x33, 0x22, 0x18));
        p.setFont(labelFont(11, true));
        const int labelW = qMax(it.box.width(), 120) + gap - 2;
        p.drawText(QRect(it.box.left(), it.box.bottom() + 3, labelW, 28), Qt::AlignLeft | Qt::TextWordWrap, it.title);
        if (!it.sub.isEmpty()) {
            p.setFont(labelFont(10));
            p.drawText(QRect(it.box.left(), it.box.bottom() + 16, labelW, 13), Qt::AlignLeft, it.sub);
        }
    }
    return sheet;
}

} // namespace picgen
