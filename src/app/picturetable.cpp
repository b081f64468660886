#include "app/picturetable.h"

#include "game/gamestate.h"
#include "platform/paths.h"

#include <QByteArray>
#include <QHash>
#include <QPixmap>

namespace {

constexpr quint64 shownOn(int mode) { return quint64(1) << mode; }

constexpr quint64 idle = shownOn(ModeIdle);
constexpr quint64 eat = shownOn(ModeEat);
constexpr quint64 sleep = shownOn(ModeSleep);
constexpr quint64 run = shownOn(ModeRun);
constexpr quint64 jump = shownOn(ModeJump);
constexpr quint64 about = shownOn(ModeAbout);
constexpr quint64 races = shownOn(ModeServerRace) | shownOn(ModeClientRace) | shownOn(ModeDemoRace);

QImage decode(const char *file)
{
    // Kept premultiplied: the format the raster paint engine blends fastest.
    return QImage(Paths::picture(QString::fromLatin1(file))).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}

const PictureEntry pictureTable[pictureCount] = {
    {Picture::Title, "Trotix.png", about},
    {Picture::Block, "block.png", jump},
    {Picture::Judge1, "txjudge1.png", races},
    {Picture::Judge2, "txjudge2.png", races},
    {Picture::Judge3, "txjudge3.png", races},
    {Picture::Judge4, "txjudge4.png", races},
    {Picture::Judge5, "txjudge5.png", races},
    {Picture::Sign1, "txsign1.png", races},
    {Picture::Sign2, "txsign2.png", races},
    {Picture::Sign3, "txsign3.png", races},
    {Picture::Sign4, "txsign4.png", races},
    {Picture::Jump5, "horse8.png", jump},
    {Picture::Idle1, "horse1.png", idle},
    {Picture::Idle2, "horse2.png", idle},
    {Picture::Eat1, "horse1.png", eat},
    {Picture::Eat2, "horse2.png", eat},
    {Picture::Eat3, "horse3.png", eat},
    {Picture::Eat4, "horse4.png", eat},
    {Picture::Eat5, "horse3.png", eat},
    {Picture::Eat6, "horse2.png", eat},
    {Picture::Sleep1, "horse1.png", sleep},
    {Picture::Sleep2, "horse6.png", sleep},
    {Picture::Sleep3, "horse7.png", sleep},
    {Picture::Sleep4, "horse6.png", sleep},
    {Picture::Run1, "horse5.png", run},
    {Picture::Run2, "horse11.png", run},
    {Picture::Run3, "horse12.png", run},
    {Picture::Jump1, "horse5.png", jump},
    {Picture::Jump2, "horse11.png", jump},
    {Picture::Jump3, "horse12.png", jump},
    {Picture::Jump4, "horse9.png", jump},
    {Picture::Face1, "face1.png", eat | run | jump},
    {Picture::Face2, "face2.png", eat | run | jump},
    {Picture::Face3, "face3.png", idle | jump},
    {Picture::Face4, "face4.png", sleep},
    {Picture::Face5, "face5.png", jump},
    {Picture::Face6, "face6.png", eat},
    {Picture::Face7, "face7.png", run},
    {Picture::Race1, "horse11.png", races},
    {Picture::Race2, "horse12.png", races},
    {Picture::Race3, "horse13.png", races},
    {Picture::Race4, "horse14.png", races},
};

void loadPictures(Pictures &pictures, int mode)
{
    // A file shown as several pictures of one screen is decoded once; they share its pixels,
    // which are only ever read (a write would give that picture its own copy). A picture already
    // there is kept.
    QHash<QByteArray, QImage> decoded;
    for (const PictureEntry &entry : pictureTable) {
        QImage &field = pictures[entry.picture];
        if (!field.isNull() || !(entry.screens & shownOn(mode)))
            continue;
        auto picture = decoded.constFind(entry.file);
        if (picture == decoded.constEnd())
            picture = decoded.insert(entry.file, decode(entry.file));
        field = *picture;
    }
}

const char *backgroundFile(int kind)
{
    switch (kind) {
    case 1:
        return "backgd1.png";
    case 2:
        return "backgd2.png";
    case 4:
        return "backgd3.png";
    default:
        return nullptr;
    }
}

QPixmap loadBackground(int kind)
{
    const char *file = backgroundFile(kind);
    return file ? QPixmap(Paths::picture(QString::fromLatin1(file))) : QPixmap();
}
