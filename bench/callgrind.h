#pragma once
// Instruction counts from callgrind, which the benchmarks set beside their times: unlike times,
// they do not move with the machine's load.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <map>
#include <string>

// Runs the command under callgrind and returns each dump's instruction total by what triggered
// it: the name given to CALLGRIND_DUMP_STATS_AT, or "Program termination". Empty if valgrind is
// missing or the program failed.
inline std::map<std::string, double> callgrindTotals(const QStringList &command, const QStringList &options = {})
{
    std::map<std::string, double> totals;
    QTemporaryDir dir;
    QProcess run;
    run.setStandardOutputFile(QProcess::nullDevice());
    run.setStandardErrorFile(QProcess::nullDevice());
    run.start(QStringLiteral("valgrind"),
              QStringList{QStringLiteral("--tool=callgrind"),
                          QStringLiteral("--callgrind-out-file=") + dir.filePath(QStringLiteral("callgrind.out"))}
                  + options + command);
    if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
        return totals;
    for (const QFileInfo &dump : QDir(dir.path()).entryInfoList(QDir::Files)) {
        QFile file(dump.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray trigger;
        double total = -1;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("desc: Trigger: "))
                trigger = line.mid(15).replace("Client Request: ", "");
            else if (line.startsWith("totals: ") || (total < 0 && line.startsWith("summary: ")))
                total = line.mid(line.indexOf(' ') + 1).trimmed().toDouble();
        }
        if (total >= 0)
            totals[trigger.toStdString()] = total;
    }
    return totals;
}
