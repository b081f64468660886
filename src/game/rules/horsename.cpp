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

QString fittedName(const QString &name, const std::function<bool(const QString &)> &fits)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    const QString whole = name.left(end);
    if (whole.isEmpty() || fits(whole))
        return whole;
    const QChar ellipsis(0x2026);
    for (qsizetype n = end - 1; n > 0; --n) {
        QString cut = whole.left(n);
        while (cut.endsWith(QLatin1Char(' ')))
            cut.chop(1);
        cut += ellipsis;
        if (fits(cut))
            return cut;
    }
    return ellipsis;
}
