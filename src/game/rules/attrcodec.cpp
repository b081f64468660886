#include "game/rules/attrcodec.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

// The file holds C-locale numbers whatever locale the player runs under.
class CNumericLocale
{
public:
    CNumericLocale()
        : m_c(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr))),
          m_old(m_c ? uselocale(m_c) : static_cast<locale_t>(nullptr))
    {}
    ~CNumericLocale()
    {
        if (m_c) {
            uselocale(m_old);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_c;
    locale_t m_old;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads one whitespace-delimited word as "%s" does, from pos on. Returns false at the end.
bool readWord(const std::string &text, size_t &pos, std::string &word)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos >= text.size())
        return false;
    const size_t start = pos;
    while (pos < text.size() && !isBlank(text[pos]))
        ++pos;
    word.assign(text, start, pos - start);
    return true;
}

}

AttrFileContent parseAttrFile(const QByteArray &content, const Horse &current)
{
    CNumericLocale cLocale;
    AttrFileContent result;
    result.horse = current;
    // A NUL ends the text the way it ends what the number reader sees.
    const std::string text(content.constData(), strnlen(content.constData(), size_t(content.size())));

    size_t pos = 0;
    std::string word;
    const bool haveWord = readWord(text, pos, word);
    result.probe = QByteArray(word.data(), int(std::min<size_t>(word.size(), 19)));
    result.isNew = result.probe.size() >= 16 && result.probe.at(15) == '%';
    if (result.isNew || !haveWord)
        return result;

    // The name: at most 15 characters are kept of an overlong word; a shorter one ends at its NUL.
    const size_t kept = std::min<size_t>(word.size(), 15);
    std::memcpy(result.horse.name, word.data(), kept);
    if (kept < 15)
        result.horse.name[kept] = '\0';
    for (int i = 0; i < 15; ++i) {
        if (result.horse.name[i] == '|')
            result.horse.name[i] = ' ';
    }
    result.horse.name[15] = '\0';

    Attributes &read = result.horse.attributes;
    float *fields[] = {&read.age, &read.muscle, &read.fat, &read.power, &read.spirit};
    const char *cursor = text.c_str() + pos;
    for (float *field : fields) {
        float value = 0.0f;
        int consumed = 0;
        if (std::sscanf(cursor, "%f%n", &value, &consumed) != 1)
            break; // the file ends early or holds no number: this and every later field keep theirs
        cursor += consumed;
        ++result.attributesRead;
        if (std::isfinite(value))
            *field = value;
    }
    return result;
}

QByteArray formatAttrFile(const Horse &horse)
{
    CNumericLocale cLocale;
    char name[16];
    for (int i = 0; i < 15; ++i)
        name[i] = horse.name[i] == ' ' ? '|' : horse.name[i];
    name[15] = '\0';

    QByteArray out(name);
    out += '\n';
    const Attributes &a = horse.attributes;
    for (float value : {a.age, a.muscle, a.fat, a.power, a.spirit}) {
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%f\n", double(value));
        out.append(line, std::min<int>(n, int(sizeof line) - 1));
    }
    return out;
}
