#include "game/horsename.h"

#include <QList>

QByteArray horseNameFromEntry(const QString &entry)
{
    // A letter typed as base and accent is one character, and Latin-1 may have it.
    const QString text = entry.isEmpty() ? QStringLiteral("MY HORSE") : entry.normalized(QString::NormalizationForm_C);
    QByteArray name;
    for (const uint c : text.toUcs4()) {
        if (name.size() == horseNameLength)
            break;
        const bool control = c < 0x20 || (c >= 0x7f && c < 0xa0);
        name.append(c > 0xff || control ? '?' : char(c));
    }
    while (name.size() < horseNameLength)
        name.append(' ');
    return name;
}
