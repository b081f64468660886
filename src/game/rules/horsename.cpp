#include "game/rules/horsename.h"

#include <QList>

bool nameKeeps(char32_t c)
{
    const bool control = c < 0x20 || (c >= 0x7f && c < 0xa0);
    return c <= 0xff && !control && c != '|';
}

QByteArray horseNameFromEntry(const QString &entry)
{
    // A letter typed as base and accent is one character, and Latin-1 may have it.
    const QString text = entry.isEmpty() ? QStringLiteral("MY HORSE") : entry.normalized(QString::NormalizationForm_C);
    QByteArray name;
    for (const uint c : text.toUcs4()) {
        if (name.size() == horseNameLength)
            break;
        name.append(nameKeeps(c) ? char(c) : '?');
    }
    while (name.size() < horseNameLength)
        name.append(' ');
    return name;
}

QString windowTitleFor(const QByteArray &name)
{
    const QString shown = QString::fromLatin1(name).trimmed();
    return shown.isEmpty() ? QStringLiteral("Trotix") : shown + QStringLiteral(" \u2014 Trotix");
}
