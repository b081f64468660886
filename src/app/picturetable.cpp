#include "app/picturetable.h"

#include "platform/paths.h"

#include <QByteArray>
#include <QHash>

const PictureEntry pictureTable[42] = {
    {&GameState::titleImage, "Trotix.png"},
    {&GameState::blockImage, "block.png"},
    {&GameState::judgeImage1, "txjudge1.png"},
    {&GameState::judgeImage2, "txjudge2.png"},
    {&GameState::judgeImage3, "txjudge3.png"},
    {&GameState::judgeImage4, "txjudge4.png"},
    {&GameState::judgeImage5, "txjudge5.png"},
    {&GameState::signImage1, "txsign1.png"},
    {&GameState::signImage2, "txsign2.png"},
    {&GameState::signImage3, "txsign3.png"},
    {&GameState::signImage4, "txsign4.png"},
    {&GameState::jumpImage5, "horse8.png"},
    {&GameState::idleImage1, "horse1.png"},
    {&GameState::idleImage2, "horse2.png"},
    {&GameState::eatImage1, "horse1.png"},
    {&GameState::eatImage2, "horse2.png"},
    {&GameState::eatImage3, "horse3.png"},
    {&GameState::eatImage4, "horse4.png"},
    {&GameState::eatImage5, "horse3.png"},
    {&GameState::eatImage6, "horse2.png"},
    {&GameState::sleepImage1, "horse1.png"},
    {&GameState::sleepImage2, "horse6.png"},
    {&GameState::sleepImage3, "horse7.png"},
    {&GameState::sleepImage4, "horse6.png"},
    {&GameState::runImage1, "horse5.png"},
    {&GameState::runImage2, "horse11.png"},
    {&GameState::runImage3, "horse12.png"},
    {&GameState::jumpImage1, "horse5.png"},
    {&GameState::jumpImage2, "horse11.png"},
    {&GameState::jumpImage3, "horse12.png"},
    {&GameState::jumpImage4, "horse9.png"},
    {&GameState::faceImage1, "face1.png"},
    {&GameState::faceImage2, "face2.png"},
    {&GameState::faceImage3, "face3.png"},
    {&GameState::faceImage4, "face4.png"},
    {&GameState::faceImage5, "face5.png"},
    {&GameState::faceImage6, "face6.png"},
    {&GameState::faceImage7, "face7.png"},
    {&GameState::raceImage1, "horse11.png"},
    {&GameState::raceImage2, "horse12.png"},
    {&GameState::raceImage3, "horse13.png"},
    {&GameState::raceImage4, "horse14.png"},
};

void loadPictures(GameState &state)
{
    // A file shown in several fields is decoded once; the fields share its pixels, which are only
    // ever read (a write would give that field its own copy).
    QHash<QByteArray, QImage> decoded;
    for (const PictureEntry &entry : pictureTable) {
        auto picture = decoded.constFind(entry.file);
        if (picture == decoded.constEnd()) {
            // Kept premultiplied: the format the raster paint engine blends fastest.
            picture = decoded.insert(entry.file, QImage(Paths::picture(QString::fromLatin1(entry.file)))
                                                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        state.*entry.field = *picture;
    }
}
