#include "app/picturetable.h"

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/savefile.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QImageReader>
#include <QPixmap>
#include <QSet>

namespace {

// Far above the largest picture the game ships; a file past it is not read whole and fails to decode.
constexpr qint64 largestPictureFile = 16 << 20;

// A picture file as it is, or an empty image and, once per file, a line saying why: the game
// draws on without it. A screen asks for its missing pictures at every tick, so a picture put in
// place later still shows, but is told of once.
QImage readPicture(const char *file)
{
    const QString path = Paths::picture(QString::fromLatin1(file));
    QByteArray content;
    QString error;
    QImage image;
    if (readFileWhole(path, largestPictureFile, &content, &error)) {
        QBuffer buffer(&content);
        QImageReader reader(&buffer);
        image = reader.read();
        error = reader.errorString();
    }
    static QSet<QString> told;
    if (image.isNull() && !told.contains(path)) {
        told.insert(path);
        logText("trotix: Cannot load picture %s (%s); drawing without it.\n", qPrintable(path), qPrintable(error));
    }
    return image;
}

QImage decode(const char *file)
{
    // Kept premultiplied: the format the raster paint engine blends fastest.
    return readPicture(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// In the enum's order, which the check below holds it to.
constexpr struct
{
    Picture picture;
    const char *file;
} pictureFiles[pictureCount] = {
    {Picture::Title, "Trotix.png"},    {Picture::Block, "block.png"},     {Picture::Judge1, "txjudge1.png"},
    {Picture::Judge2, "txjudge2.png"}, {Picture::Judge3, "txjudge3.png"}, {Picture::Judge4, "txjudge4.png"},
    {Picture::Judge5, "txjudge5.png"}, {Picture::Sign1, "txsign1.png"},   {Picture::Sign2, "txsign2.png"},
    {Picture::Sign3, "txsign3.png"},   {Picture::Sign4, "txsign4.png"},   {Picture::Jump5, "horse8.png"},
    {Picture::Idle1, "horse1.png"},    {Picture::Idle2, "horse2.png"},    {Picture::Eat1, "horse1.png"},
    {Picture::Eat2, "horse2.png"},     {Picture::Eat3, "horse3.png"},     {Picture::Eat4, "horse4.png"},
    {Picture::Eat5, "horse3.png"},     {Picture::Eat6, "horse2.png"},     {Picture::Sleep1, "horse1.png"},
    {Picture::Sleep2, "horse6.png"},   {Picture::Sleep3, "horse7.png"},   {Picture::Sleep4, "horse6.png"},
    {Picture::Run1, "horse5.png"},     {Picture::Run2, "horse11.png"},    {Picture::Run3, "horse12.png"},
    {Picture::Jump1, "horse5.png"},    {Picture::Jump2, "horse11.png"},   {Picture::Jump3, "horse12.png"},
    {Picture::Jump4, "horse9.png"},    {Picture::Face1, "face1.png"},     {Picture::Face2, "face2.png"},
    {Picture::Face3, "face3.png"},     {Picture::Face4, "face4.png"},     {Picture::Face5, "face5.png"},
    {Picture::Face6, "face6.png"},     {Picture::Face7, "face7.png"},     {Picture::Race1, "horse11.png"},
    {Picture::Race2, "horse12.png"},   {Picture::Race3, "horse13.png"},   {Picture::Race4, "horse14.png"},
};

constexpr bool inEnumOrder()
{
    for (int i = 0; i < pictureCount; ++i)
        if (pictureFiles[i].picture != Picture(i))
            return false;
    return true;
}
static_assert(inEnumOrder());

}

void loadPictures(Pictures &pictures, const std::vector<Picture> &wanted)
{
    // A file shown as several pictures of one screen is decoded once; they share its pixels,
    // which are only ever read (a write would give that picture its own copy). A picture already
    // there is kept.
    QHash<QByteArray, QImage> decoded;
    for (const Picture which : wanted) {
        QImage &field = pictures[which];
        if (!field.isNull())
            continue;
        const char *file = pictureFiles[int(which)].file;
        auto picture = decoded.constFind(file);
        if (picture == decoded.constEnd())
            picture = decoded.insert(file, decode(file));
        field = *picture;
    }
}

const char *backgroundFile(int kind)
{
    switch (kind) {
    case 1: return "backgd1.png";
    case 2: return "backgd2.png";
    case 4: return "backgd3.png";
    default: return nullptr;
    }
}

QPixmap loadBackground(int kind)
{
    const char *file = backgroundFile(kind);
    return file ? QPixmap::fromImage(readPicture(file)) : QPixmap();
}
