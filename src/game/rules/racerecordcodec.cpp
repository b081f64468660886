#include "game/rules/racerecordcodec.h"

#include <QList>

namespace {

QByteArray barred(QByteArray name) { return name.leftJustified(raceRecordNameLength, ' ', true).replace(' ', '|'); }

bool readCount(const QByteArray &text, int *count)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    *count = text.toInt();
    return true;
}

bool readTally(const QByteArray &line, const QByteArray &label, RaceTally *tally)
{
    // Blanks and tabs between the words, however many, are not data.
    const QList<QByteArray> words = line.simplified().split(' ');
    return words.size() == 3 && words[0] == label && readCount(words[1], &tally->wins)
           && readCount(words[2], &tally->losses);
}

QByteArray tallyLine(const char *label, const RaceTally &tally)
{
    return QByteArray(label) + ' ' + QByteArray::number(tally.wins) + ' ' + QByteArray::number(tally.losses) + '\n';
}

}

QByteArray formatRaceRecord(const RaceRecord &record)
{
    return barred(record.horse) + '\n' + tallyLine("computer", record.computer) + tallyLine("network", record.network);
}

bool parseRaceRecord(const QByteArray &content, RaceRecord *record)
{
    // Read as a person would write it: line ends of any system, the last one there or not, empty
    // lines after the three, blanks around a line.
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed();
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    RaceRecord read;
    // A name shorter than its 15 characters is padded, as the game pads a name.
    if (lines.size() != 3 || lines[0].isEmpty() || lines[0].size() > raceRecordNameLength
        || !readTally(lines[1], "computer", &read.computer) || !readTally(lines[2], "network", &read.network))
        return false;
    read.horse = QByteArray(lines[0]).replace('|', ' ').leftJustified(raceRecordNameLength, ' ');
    *record = read;
    return true;
}
