#include "game/racerecord.h"

#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QFile>

namespace {

// Far beyond any player's count, and it keeps the sum of one more race inside an int.
constexpr int maxCount = 999999999;
// A real record is under sixty bytes; a file much larger than that is not one.
constexpr qint64 maxRecordRead = 1024;

}

RaceRecord loadRaceRecord(const QString &path, const QByteArray &horse, bool *unreadable)
{
    RaceRecord fresh;
    fresh.horse = horse.leftJustified(raceRecordNameLength, ' ', true);
    if (unreadable)
        *unreadable = false;
    QByteArray content;
    QString error;
    if (nothingAt(path)) {
        logText("trotix: No race record yet at %s; counting from zero.\n", qPrintable(path));
        return fresh;
    }
    RaceRecord read;
    if (!readFileWhole(path, maxRecordRead + 1, &content, &error)) {
        logText("trotix: Cannot read race record %s (%s); counting from zero.\n", qPrintable(path), qPrintable(error));
    } else if (!parseRaceRecord(content, &read) || content.size() > maxRecordRead) {
        logText("trotix: Race record %s is damaged; counting from zero.\n", qPrintable(path));
    } else {
        return read.horse == fresh.horse ? read : fresh;
    }
    if (unreadable)
        *unreadable = true;
    return fresh;
}

namespace {

// Moves a record that cannot be read out of the way under a name of its own (the rename never
// replaces a file), so that nothing a player may still want is overwritten.
bool setAside(const QString &path)
{
    const QString aside = path + QStringLiteral(".unreadable-")
                          + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::rename(path, aside)) {
        logText("trotix: Race record %s could not be read nor set aside; it stays as it was.\n", qPrintable(path));
        return false;
    }
    logText("trotix: Race record %s could not be read; it is kept as %s and a new one is started.\n", qPrintable(path),
            qPrintable(aside));
    return true;
}

}

bool addRaceResult(const QString &path, const QByteArray &horse, RaceKind kind, bool won)
{
    bool unreadable = false;
    RaceRecord record = loadRaceRecord(path, horse, &unreadable);
    // What is no file at all (a device, a FIFO) is never moved nor written; the write says why.
    if (unreadable && notARegularFile(path).isEmpty() && !setAside(path))
        return false;
    RaceTally &tally = kind == RaceKind::Computer ? record.computer : record.network;
    int &count = won ? tally.wins : tally.losses;
    count = qMin(count + 1, maxCount);
    QString error;
    if (!writeFileWhole(path, formatRaceRecord(record), &error)) {
        logText("trotix: Cannot write race record %s (%s); it stays as it was.\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

void recordFinishedRace(const GameState &state)
{
    // A session that does not save the horse writes none of its files.
    if ((state.race.winner != 1 && state.race.winner != 2) || !maySave(state))
        return;
    const int local = state.shell.isServer == 1 ? 1 : 2;
    addRaceResult(Paths::raceRecordFile(), QByteArray(state.horse.name),
                  state.race.demoRace == 1 ? RaceKind::Computer : RaceKind::Network, state.race.winner == local);
}
