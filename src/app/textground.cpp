#include "app/textground.h"

#include <QPainter>
#include <QPixmap>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// WCAG's relative luminance and contrast ratio: below 4.5 small text is hard to read (black on
// the field's trees is about 3.5).
qreal luminance(QRgb rgb)
{
    // Each tick looks at every pixel under its texts: the power is taken once per channel value.
    static const auto linear = [] {
        std::array<qreal, 256> table{};
        for (int v = 0; v < 256; ++v) {
            const qreal c = v / 255.0;
            table[size_t(v)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    return 0.2126 * linear[size_t(qRed(rgb))] + 0.7152 * linear[size_t(qGreen(rgb))]
           + 0.0722 * linear[size_t(qBlue(rgb))];
}

constexpr qreal readableContrast = 4.5;

}

// The pixels of an image or pixmap device within box (the game draws into nothing else).
QImage pixelsUnder(const QPainter &painter, const QRect &box)
{
    const QPaintDevice *device = painter.device();
    if (device->devType() == QInternal::Image)
        return static_cast<const QImage *>(device)->copy(box);
    if (device->devType() == QInternal::Pixmap)
        return static_cast<const QPixmap *>(device)->copy(box).toImage();
    return QImage();
}

// Dark text whose ground (the pixels under its ink and one around) is dark anywhere: the trees
// of the field, say. ground holds the pixels of groundBox.
bool needsHalo(const QColor &pen, const QImage &ground, const QRect &groundBox, const QRect &box)
{
    const qreal ink = luminance(pen.rgb());
    if (ink > 0.05)
        return false;
    const QImage under = ground.copy(box.translated(-groundBox.topLeft())).convertToFormat(QImage::Format_RGB32);
    const int width = under.width();
    for (int y = 0; y < under.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(under.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if ((luminance(line[x]) + 0.05) / (ink + 0.05) < readableContrast)
                return true;
    }
    return false;
}

// Byte for byte: QImage's own comparison goes pixel by pixel.
bool sameBytes(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const size_t row = size_t(a.width()) * size_t(a.depth() / 8);
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), row) != 0)
            return false;
    return true;
}
