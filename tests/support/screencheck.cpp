#include "screencheck.h"

#include <QCryptographicHash>
#include <QPixmap>

QImage solidPicture(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void plantPlainBackground(QPixmap &background, int width, const QColor &colour)
{
    background = QPixmap(width, 320);
    background.fill(colour);
}

QColor colourAt(const QImage &image, int x, int y) { return QColor(image.pixel(x, y)); }

QString digest(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto md5 = QCryptographicHash::hash(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()), QCryptographicHash::Md5);
    return QString::fromLatin1(md5.toHex().left(12));
}
