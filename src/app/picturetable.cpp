#include "app/picturetable.h"

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

const PictureEntry pictureTable[42] = {
    {&GameState::titleImage, "Trotix.png", about},
    {&GameState::blockImage, "block.png", jump},
    {&GameState::judgeImage1, "txjudge1.png", races},
    {&GameState::judgeImage2, "txjudge2.png", races},
    {&GameState::judgeImage3, "txjudge3.png", races},
    {&GameState::judgeImage4, "txjudge4.png", races},
    {&GameState::judgeImage5, "txjudge5.png", races},
    {&GameState::signImage1, "txsign1.png", races},
    {&GameState::signImage2, "txsign2.png", races},
    {&GameState::signImage3, "txsign3.png", races},
    {&GameState::signImage4, "txsign4.png", races},
    {&GameState::jumpImage5, "horse8.png", jump},
    {&GameState::idleImage1, "horse1.png", idle},
    {&GameState::idleImage2, "horse2.png", idle},
    {&GameState::eatImage1, "horse1.png", eat},
    {&GameState::eatImage2, "horse2.png", eat},
    {&GameState::eatImage3, "horse3.png", eat},
    {&GameState::eatImage4, "horse4.png", eat},
    {&GameState::eatImage5, "horse3.png", eat},
    {&GameState::eatImage6, "horse2.png", eat},
    {&GameState::sleepImage1, "horse1.png", sleep},
    {&GameState::sleepImage2, "horse6.png", sleep},
    {&GameState::sleepImage3, "horse7.png", sleep},
    {&GameState::sleepImage4, "horse6.png", sleep},
    {&GameState::runImage1, "horse5.png", run},
    {&GameState::runImage2, "horse11.png", run},
    {&GameState::runImage3, "horse12.png", run},
    {&GameState::jumpImage1, "horse5.png", jump},
    {&GameState::jumpImage2, "horse11.png", jump},
    {&GameState::jumpImage3, "horse12.png", jump},
    {&GameState::jumpImage4, "horse9.png", jump},
    {&GameState::faceImage1, "face1.png", eat | run | jump},
    {&GameState::faceImage2, "face2.png", eat | run | jump},
    {&GameState::faceImage3, "face3.png", idle | jump},
    {&GameState::faceImage4, "face4.png", sleep},
    {&GameState::faceImage5, "face5.png", jump},
    {&GameState::faceImage6, "face6.png", eat},
    {&GameState::faceImage7, "face7.png", run},
    {&GameState::raceImage1, "horse11.png", races},
    {&GameState::raceImage2, "horse12.png", races},
    {&GameState::raceImage3, "horse13.png", races},
    {&GameState::raceImage4, "horse14.png", races},
};

void loadPictures(GameState &state, int mode)
{
    // A file shown in several fields of one screen is decoded once; the fields share its pixels,
    // which are only ever read (a write would give that field its own copy). A field that already
    // holds a picture keeps it.
    QHash<QByteArray, QImage> decoded;
    for (const PictureEntry &entry : pictureTable) {
        QImage &field = state.*entry.field;
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
