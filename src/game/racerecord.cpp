#include "game/racerecord.h"

#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace {

constexpr int nameLength = 15;
// Far beyond any player's count, and it keeps the sum of one more race inside an int.
constexpr int maxCount = 999999999;
// A real record is under sixty bytes; a file much larger than that is not one.
constexpr qint64 maxRead = 1024;

QByteArray barred(QByteArray name)
{
    return name.leftJustified(nameLength, ' ', true).replace(' ', '|');
}

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
    const QList<QByteArray> words = line.split(' ');
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
    return barred(record.horse) + '\n' + tallyLine("computer", record.computer)
           + tallyLine("network", record.network);
}

bool parseRaceRecord(const QByteArray &content, RaceRecord *record)
{
    if (!content.endsWith('\n'))
        return false;
    const QList<QByteArray> lines = content.chopped(1).split('\n');
    RaceRecord read;
    if (lines.size() != 3 || lines[0].size() != nameLength || lines[0].contains(' ')
        || !readTally(lines[1], "computer", &read.computer) || !readTally(lines[2], "network", &read.network))
        return false;
    read.horse = QByteArray(lines[0]).replace('|', ' ');
    *record = read;
    return true;
}

RaceRecord loadRaceRecord(const QString &path, const QByteArray &horse)
{
    RaceRecord fresh;
    fresh.horse = horse.leftJustified(nameLength, ' ', true);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (QFileInfo::exists(path))
            logText("trotix: Cannot read race record %s (%s); counting from zero.\n", qPrintable(path),
                    qPrintable(file.errorString()));
        else
            logText("trotix: No race record yet at %s; counting from zero.\n", qPrintable(path));
        return fresh;
    }
    RaceRecord read;
    if (!parseRaceRecord(file.read(maxRead + 1), &read) || file.size() > maxRead) {
        logText("trotix: Race record %s is damaged; counting from zero.\n", qPrintable(path));
        return fresh;
    }
    return read.horse == fresh.horse ? read : fresh;
}

bool addRaceResult(const QString &path, const QByteArray &horse, RaceKind kind, bool won)
{
    RaceRecord record = loadRaceRecord(path, horse);
    RaceTally &tally = kind == RaceKind::Computer ? record.computer : record.network;
    int &count = won ? tally.wins : tally.losses;
    count = qMin(count + 1, maxCount);
    QString error;
    if (!writeFileWhole(path, formatRaceRecord(record), &error)) {
        logText("trotix: Cannot write race record %s (%s); it stays as it was.\n", qPrintable(path),
                qPrintable(error));
        return false;
    }
    return true;
}

void recordFinishedRace(const GameState &state)
{
    if (state.winner != 1 && state.winner != 2)
        return;
    const int local = state.isServer == 1 ? 1 : 2;
    addRaceResult(Paths::raceRecordFile(), QByteArray(state.horseName),
                  state.demoRace == 1 ? RaceKind::Computer : RaceKind::Network, state.winner == local);
}
