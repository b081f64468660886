#include "game/history.h"

#include "game/gamestate.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/savefile.h"
#include "race/rules/raceweight.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// 2 000 lines are under 200 kB; a file far larger is not one the game wrote.
constexpr qint64 maxHistoryRead = 1024 * 1024;

// stem + suffix when nothing is there, else the first free of stem-2 + suffix, stem-3 + suffix, ...
QString freeName(const QString &stem, const QString &suffix)
{
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + QLatin1Char('-') + QString::number(n) + suffix;
    return name;
}

bool setAside(const QString &path, const QString &aside)
{
    QFile file(path);
    if (file.rename(aside))
        return true;
    logText("trotix: Cannot set the history %s aside (%s); it stays as it was.\n", qPrintable(path),
            qPrintable(file.errorString()));
    return false;
}

}

QList<HistoryLine> loadHistory(const QString &path)
{
    if (nothingAt(path))
        return {};
    QByteArray content;
    QString error;
    if (!readFileWhole(path, maxHistoryRead, &content, &error)) {
        logText("trotix: Cannot read the history %s (%s); the book shows none.\n", qPrintable(path), qPrintable(error));
        return {};
    }
    return parseHistory(content).lines;
}

void appendHistory(const GameState &state, const QString &path, qint64 now, qint64 sessionSeconds)
{
    QList<HistoryLine> lines;
    if (!nothingAt(path)) {
        QByteArray content;
        QString error;
        if (!readFileWhole(path, maxHistoryRead + 1, &content, &error)) {
            logText("trotix: Cannot read the history %s (%s); it stays as it was.\n", qPrintable(path),
                    qPrintable(error));
            return;
        }
        const HistoryContent read = parseHistory(content);
        if (read.damaged || content.size() > maxHistoryRead) {
            const QString aside = freeName(path + QStringLiteral(".damaged"), QString());
            if (!setAside(path, aside))
                return;
            logText("trotix: The history %s is damaged; it is kept as %s and a new one begins.\n", qPrintable(path),
                    qPrintable(aside));
        } else {
            lines = read.lines;
        }
    }
    HistoryLine line;
    line.horse = QByteArray(state.horse.name).leftJustified(15, ' ', true);
    line.time = now;
    line.attributes = state.horse.attributes;
    line.raceWeight = raceWeight(line.attributes);
    if (!lines.isEmpty() && lines.last().horse != line.horse) {
        const QFileInfo info(path);
        const QString kept = freeName(info.dir().filePath(info.completeBaseName() + QLatin1Char('-')
                                                          + QString::fromLatin1(historyFileTag(lines.last().horse))),
                                      QLatin1Char('.') + info.suffix());
        if (!setAside(path, kept))
            return;
        logText("trotix: A new horse: the history of %s is kept as %s.\n",
                qPrintable(QString::fromLatin1(lines.last().horse.trimmed())), qPrintable(kept));
        lines.clear();
    }
    line.playSeconds =
        lines.isEmpty() ? qMax(sessionSeconds, qint64(0)) : nextPlaySeconds(lines.last(), now, sessionSeconds);
    lines.append(line);
    QString error;
    if (!writeFileWhole(path, formatHistory(thinHistory(lines)), &error))
        logText("trotix: Cannot write the history %s (%s); it stays as it was.\n", qPrintable(path), qPrintable(error));
}

void appendHistory(const GameState &state)
{
    appendHistory(state, Paths::historyFile(), QDateTime::currentSecsSinceEpoch(), state.shell.tickCount);
}
