#include "platform/rules/screenscale.h"

#include "platform/rules/wholenumber.h"

#include <QRegularExpression>

namespace ScreenScale {

int parseScale(const QByteArray &text) { return parseWholeNumber(text, 1, maxScale); }

int automaticScale(const QSize &available)
{
    const int byWidth = (available.width() - frameAllowanceWidth) / deviceWidth;
    const int byHeight = (available.height() - frameAllowanceHeight) / deviceHeight;
    return qBound(1, qMin(byWidth, byHeight), maxScale);
}

bool isDeviceSized(const QSize &screen)
{
    return screen.width() <= deviceWidth && screen.height() <= deviceHeight;
}

QRect rescaled(const QRect &rect, int from, int to)
{
    // Integer arithmetic in this order keeps a rectangle that went up and back down exact.
    return QRect(rect.x() * to / from, rect.y() * to / from, rect.width() * to / from, rect.height() * to / from);
}

QString rescaledStyleSheet(const QString &styleSheet, int from, int to)
{
    static const QRegularExpression length(QStringLiteral("(\\d+)px"));
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &match : length.globalMatch(styleSheet)) {
        result += QStringView(styleSheet).mid(last, match.capturedStart() - last);
        result += QString::number(match.captured(1).toInt() * to / from) + QStringLiteral("px");
        last = match.capturedEnd();
    }
    result += QStringView(styleSheet).mid(last);
    return result;
}

int startZoom(int requested, int remembered, int fitting)
{
    // A zoom asked for, or chosen on a larger screen than today's, may not fit: the largest that
    // does is taken instead.
    const int wanted = requested > 0 ? requested : remembered;
    return wanted > 0 ? qMin(wanted, fitting) : fitting;
}

}
