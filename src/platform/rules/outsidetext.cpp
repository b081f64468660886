#include "platform/rules/outsidetext.h"

#include <QList>

namespace {

constexpr qsizetype longestEcho = 32;

bool printable(char32_t c)
{
    return QChar::isPrint(c) && QChar::category(c) != QChar::Separator_Line
           && QChar::category(c) != QChar::Separator_Paragraph;
}

// Unicode's Bidi_Control characters: each turns or isolates the text around it without a glyph.
bool bidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
}

}

QByteArray printableForLog(const QString &text)
{
    QString shown;
    // By code point, so that a character beyond the first 65536 stays one (and its half, cut at
    // the end, is no character).
    for (const uint code : text.trimmed().left(longestEcho).toUcs4()) {
        const char32_t c = code;
        shown += printable(c) ? QString::fromUcs4(&c, 1) : QStringLiteral("?");
    }
    return shown.toUtf8();
}

QString withoutControls(const QString &text)
{
    QString shown = text;
    shown.removeIf([](QChar c) { return c.category() == QChar::Other_Control || bidiControl(c); });
    return shown;
}
