#include "platform/rules/screenscale.h"

#include <QRegularExpression>
#include <cmath>

namespace ScreenScale {

namespace {

// Where a device coordinate lies on a picture `shown` pixels long for `device` of the device's.
int mapped(int at, int shown, int device) { return int(std::lround(qint64(at) * shown / double(device))); }

}

qreal parseScale(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.compare("fit", Qt::CaseInsensitive) == 0)
        return fit;
    // Digits with at most one point inside: "+2", "0x2", "1e1" or ".5" are not what a player means.
    static const QRegularExpression number(QStringLiteral("\\A\\d{1,3}(\\.\\d{1,6})?\\z"));
    if (!number.match(QString::fromLatin1(trimmed)).hasMatch())
        return 0;
    const qreal value = trimmed.toDouble();
    return value >= 1 && value <= maxScale ? value : 0;
}

QByteArray scaleText(qreal zoom) { return zoom == fit ? QByteArray("fit") : QByteArray::number(zoom); }

int automaticScale(const QSize &available)
{
    const int byWidth = (available.width() - frameAllowanceWidth) / deviceWidth;
    const int byHeight = (available.height() - frameAllowanceHeight) / deviceHeight;
    return qBound(1, qMin(byWidth, byHeight), maxScale);
}

bool fitsScreen(qreal zoom, const QSize &available)
{
    return deviceWidth * zoom + frameAllowanceWidth <= available.width()
           && deviceHeight * zoom + frameAllowanceHeight <= available.height();
}

bool isDeviceSized(const QSize &screen) { return screen.width() <= deviceWidth && screen.height() <= deviceHeight; }

qreal startZoom(qreal requested, qreal remembered, const QSize &available)
{
    // A zoom asked for, or chosen on a larger screen than today's, may not fit: the largest whole
    // one that does is taken instead, and where that would be the device's own size the picture
    // fills the screen. The device's own size is there on any screen.
    const qreal wanted = requested != 0 ? requested : remembered;
    if (wanted == fit || wanted == 1 || (wanted > 0 && fitsScreen(wanted, available)))
        return wanted;
    const int fitting = automaticScale(available);
    return fitting >= 2 ? fitting : fit;
}

QRect pictureIn(const QSize &window)
{
    // Width against height in whole numbers: a window of exactly the shape gets all of it.
    QSize shown = qint64(window.width()) * deviceHeight <= qint64(window.height()) * deviceWidth
                      ? QSize(window.width(), mapped(window.width(), deviceHeight, deviceWidth))
                      : QSize(mapped(window.height(), deviceWidth, deviceHeight), window.height());
    if (shown.width() < deviceWidth)
        return QRect(0, 0, deviceWidth, deviceHeight);
    return QRect(QPoint((window.width() - shown.width()) / 2, (window.height() - shown.height()) / 2), shown);
}

bool isWhole(qreal factor) { return factor == std::floor(factor); }

QRect onPicture(const QRect &device, const QRect &picture)
{
    const int left = mapped(device.left(), picture.width(), deviceWidth);
    const int top = mapped(device.top(), picture.height(), deviceHeight);
    const int right = mapped(device.left() + device.width(), picture.width(), deviceWidth);
    const int bottom = mapped(device.top() + device.height(), picture.height(), deviceHeight);
    return QRect(left, top, right - left, bottom - top).translated(picture.topLeft());
}

QRect underPicture(const QRect &window, const QRect &picture)
{
    const QRect on = window.translated(-picture.topLeft());
    const auto down = [](int at, int shown, int device) { return int(std::floor(double(at) * device / shown)); };
    const int width = picture.width(), height = picture.height();
    return QRect(QPoint(down(on.left(), width, deviceWidth), down(on.top(), height, deviceHeight)),
                 QPoint(down(on.right(), width, deviceWidth), down(on.bottom(), height, deviceHeight)));
}

QString rescaledStyleSheet(const QString &styleSheet, qreal factor)
{
    static const QRegularExpression length(QStringLiteral("(\\d+)px"));
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &match : length.globalMatch(styleSheet)) {
        result += QStringView(styleSheet).mid(last, match.capturedStart() - last);
        result += QString::number(std::lround(match.captured(1).toInt() * factor)) + QStringLiteral("px");
        last = match.capturedEnd();
    }
    result += QStringView(styleSheet).mid(last);
    return result;
}

}
