#include "game/racerecord.h"

#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace {

// Far beyond any player's count, and it keeps the sum of one more race inside an int.
constexpr int maxCount = 999999999;
// A real record is under sixty bytes; a file much larger than that is not one.
constexpr qint64 maxRead = 1024;

}

RaceRecord loadRaceRecord(const QString &path, const QByteArray &horse)
{
    RaceRecord fresh;
    fresh.horse = horse.leftJustified(raceRecordNameLength, ' ', true);
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
