#include "game/rules/historycodec.h"

#include "game/rules/horsename.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <cmath>

namespace {

constexpr int numberColumns = 8; // time, play seconds, five attributes, race weight

// A hand-edited save may hold a NaN or an infinity; the line keeps a number any reader takes.
QByteArray number(float value) { return QByteArray::number(std::isfinite(value) ? double(value) : 0.0, 'f', 2); }

// The name in double quotes, a quote inside doubled; UTF-8 for the reader, blanks at the end left out.
QByteArray quotedName(const QByteArray &horse)
{
    QByteArray name = horse;
    while (name.endsWith(' '))
        name.chop(1);
    return '"' + QString::fromLatin1(name).toUtf8().replace('"', "\"\"") + '"';
}

// Reads the quoted name at the start of line; returns where the rest begins, or -1.
qsizetype readName(const QByteArray &line, QByteArray *horse)
{
    if (!line.startsWith('"'))
        return -1;
    QByteArray text;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            text += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            const QString name = QString::fromUtf8(text);
            if (name.size() > horseNameLength || name.toUtf8() != text)
                return -1;
            *horse = name.toLatin1().leftJustified(horseNameLength, ' ');
            return i + 1;
        }
    }
    return -1;
}

// "2026-12-07T18:00:00Z", as the game writes it; read by hand, as a full history is read at every save.
bool readTime(const QByteArray &text, qint64 *seconds)
{
    static const char shape[] = "0000-00-00T00:00:00Z";
    if (text.size() != qsizetype(sizeof shape - 1))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (shape[i] == '0' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != shape[i])
            return false;
    auto number = [&text](int at, int length) { return text.mid(at, length).toInt(); };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid())
        return false;
    *seconds = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    return true;
}

bool readLine(QByteArray text, HistoryLine *line)
{
    if (text.endsWith('\r'))
        text.chop(1);
    HistoryLine read;
    const qsizetype rest = readName(text, &read.horse);
    if (rest < 0 || text.mid(rest, 1) != ",")
        return false;
    const QList<QByteArray> fields = text.mid(rest + 1).split(',');
    if (fields.size() != numberColumns)
        return false;
    bool ok = readTime(fields[0], &read.time);
    bool each = true;
    read.playSeconds = fields[1].toLongLong(&each);
    ok = ok && each && read.playSeconds >= 0;
    float *attributes[] = {&read.attributes.age, &read.attributes.muscle, &read.attributes.fat, &read.attributes.power,
                           &read.attributes.spirit};
    for (int i = 0; i < 5; ++i) {
        *attributes[i] = fields[2 + i].toFloat(&each);
        ok = ok && each && std::isfinite(*attributes[i]);
    }
    read.raceWeight = fields[7].toInt(&each);
    if (!ok || !each)
        return false;
    read.text = text;
    *line = read;
    return true;
}

}

QByteArray historyHeader() { return "name,time,play_seconds,age,muscle,fat,power,spirit,race_weight\n"; }

QByteArray formatHistoryLine(const HistoryLine &line)
{
    const Attributes &a = line.attributes;
    const QByteArray time = QDateTime::fromSecsSinceEpoch(line.time, Qt::UTC).toString(Qt::ISODate).toLatin1();
    return quotedName(line.horse) + ',' + time + ',' + QByteArray::number(line.playSeconds) + ',' + number(a.age) + ','
           + number(a.muscle) + ',' + number(a.fat) + ',' + number(a.power) + ',' + number(a.spirit) + ','
           + QByteArray::number(line.raceWeight) + '\n';
}

QByteArray formatHistory(const QList<HistoryLine> &lines)
{
    QByteArray text = historyHeader();
    for (const HistoryLine &line : lines)
        text += line.text.isEmpty() ? formatHistoryLine(line) : line.text + '\n';
    return text;
}

HistoryContent parseHistory(const QByteArray &content)
{
    HistoryContent read;
    QList<QByteArray> texts = content.split('\n');
    texts.removeLast(); // after the last line feed: empty, or a line cut short
    if (texts.isEmpty())
        return read;
    QByteArray header = texts.takeFirst();
    if (header.endsWith('\r'))
        header.chop(1);
    read.damaged = header + '\n' != historyHeader();
    for (const QByteArray &text : texts) {
        HistoryLine line;
        if (read.damaged || !readLine(text, &line)) {
            read.damaged = true;
            break;
        }
        read.lines.append(line);
    }
    if (read.damaged)
        read.lines.clear();
    return read;
}

QList<HistoryLine> thinHistory(const QList<HistoryLine> &lines)
{
    if (lines.size() <= historyMaxLines)
        return lines;
    QList<HistoryLine> thinned;
    const qsizetype older = lines.size() / 2;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (i >= older || i % 2 == 0)
            thinned.append(lines[i]);
    return thinned;
}

qint64 nextPlaySeconds(const HistoryLine &last, qint64 now, qint64 sessionSeconds)
{
    return last.playSeconds + std::clamp(now - last.time, qint64(0), std::max(sessionSeconds, qint64(0)));
}

QByteArray historyFileTag(const QByteArray &horse)
{
    QByteArray tag = horse.trimmed();
    for (char &c : tag)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            c = '_';
    return tag.isEmpty() ? QByteArray("_") : tag;
}
