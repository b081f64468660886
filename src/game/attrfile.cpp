#include "game/attrfile.h"

#include "game/attrcodec.h"
#include "game/history.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>

namespace {
// A real file is under a hundred bytes; nothing beyond this is looked at.
constexpr qint64 maxRead = 64 * 1024;
}

AttrLoadResult loadAttrFile(GameState &state, const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        // A fresh install: put the shipped template in place, as the device came with one.
        const QString shipped = Paths::attrTemplate();
        if (!QFileInfo::exists(shipped) || !QFile::copy(shipped, path)) {
            logText("trotix: No attribute file yet at %s\n", qPrintable(path));
            logText("trotix: New parameter file.\n");
            return AttrLoadResult::New;
        }
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        logText("trotix: Cannot read attribute file %s (%s); this horse will not be saved.\n",
                qPrintable(path), qPrintable(file.errorString()));
        return AttrLoadResult::Unreadable;
    }
    const QByteArray content = file.read(maxRead);
    file.close();

    const AttrFileContent read = parseAttrFile(content, horseOf(state));
    std::memset(state.attrProbe, 0, sizeof state.attrProbe);
    std::memcpy(state.attrProbe, read.probe.constData(), size_t(read.probe.size()));
    logText("trotix: String-> %s\n", state.attrProbe);
    if (read.isNew) {
        logText("trotix: New parameter file.\n");
        return AttrLoadResult::New;
    }
    logText("trotix: Old parameter file.\n");
    setHorse(state, read.horse);
    return AttrLoadResult::Old;
}

bool writeFileWhole(const QString &path, const QByteArray &content, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a write cut short (a full disk) shows here: a buffered QSaveFile writes
    // at commit() and then takes a short write for success, putting a torn file in place. The
    // rest is written again, so that the failing write tells the reason.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; written && done < content.size();) {
        const qint64 n = file.write(content.constData() + done, content.size() - done);
        written = n > 0;
        done += n;
    }
    if (!written || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool saveAttrFile(const GameState &state, const QString &path)
{
    QString error;
    if (!writeFileWhole(path, formatAttrFile(horseOf(state)), &error)) {
        logText("trotix: Cannot write attribute file %s (%s); the horse on disk stays as it was.\n",
                qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

bool saveNamedHorse(const GameState &state, const QString &path)
{
    if (state.attrFileValid != 1 || !state.noSaveReason.isEmpty())
        return false;
    logText("trotix: Write Attribute File\n");
    const bool saved = saveAttrFile(state, path);
    if (saved)
        appendHistory(state); // the horse's book: a line per save, beside it
    return saved;
}
