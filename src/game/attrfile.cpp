#include "game/attrfile.h"

#include "game/history.h"
#include "game/rules/attrcodec.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace {
// A real file is under a hundred bytes; nothing beyond this is looked at.
constexpr qint64 maxAttrRead = 64 * 1024;
}

AttrLoadResult loadAttrFile(GameState &state, const QString &path)
{
    if (nothingAt(path)) {
        // A fresh install: put the shipped template in place, as the device came with one; a
        // session that may not save writes nothing, not even that.
        const QString shipped = Paths::attrTemplate();
        if (!maySave(state) || !QFileInfo::exists(shipped) || !QFile::copy(shipped, path)) {
            logText("trotix: No attribute file yet at %s\n", qPrintable(path));
            logText("trotix: New parameter file.\n");
            return AttrLoadResult::New;
        }
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QByteArray content;
    QString error;
    if (!readFileWhole(path, maxAttrRead, &content, &error)) {
        logText("trotix: Cannot read attribute file %s (%s); this horse will not be saved.\n", qPrintable(path),
                qPrintable(error));
        return AttrLoadResult::Unreadable;
    }

    const AttrFileContent read = parseAttrFile(content, state.horse);
    std::memset(state.shell.attrProbe, 0, sizeof state.shell.attrProbe);
    std::memcpy(state.shell.attrProbe, read.probe.constData(), size_t(read.probe.size()));
    logText("trotix: String-> %s\n", state.shell.attrProbe);
    if (read.isNew) {
        logText("trotix: New parameter file.\n");
        return AttrLoadResult::New;
    }
    logText("trotix: Old parameter file.\n");
    state.horse = read.horse;
    return AttrLoadResult::Old;
}

bool saveAttrFile(const GameState &state, const QString &path, QString *error)
{
    QString why;
    QString &reason = error ? *error : why;
    if (!writeFileWhole(path, formatAttrFile(state.horse), &reason)) {
        logText("trotix: Cannot write attribute file %s (%s); the horse on disk stays as it was.\n", qPrintable(path),
                qPrintable(reason));
        return false;
    }
    return true;
}

void removeLeftoverSaves()
{
    for (const QString &path : {Paths::attrFile(), Paths::raceRecordFile(), Paths::historyFile()})
        removeLeftoverTemps(path);
}

bool saveNamedHorse(const GameState &state, const QString &path, QString *error)
{
    if (state.shell.attrFileValid != 1 || !maySave(state))
        return false;
    logText("trotix: Write Attribute File\n");
    const bool saved = saveAttrFile(state, path, error);
    if (saved)
        appendHistory(state); // the horse's book: a line per save, beside it
    return saved;
}
