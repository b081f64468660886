// Whole programs: the game against a minimal Qt program that shows one 240 x 320 picture. Each
// benchmark's counters hold both figures and their ratio (x_minimal; x_text against the minimal
// program with one line of text):
//   start-up          wall time and CPU time to the first screen, the programs taking turns;
//   start-up instr    instructions to the first screen, under callgrind (load-independent);
//   minute of play    peak memory after a minute of play (every screen, a race), and meanwhile
//                     the voluntary context switches per tick of the real game left idle.
//
//   trotix_bench_process [--quick] [Google Benchmark flags]     --quick: a few seconds in all
#include "callgrind.h"
#include "probe.h"

#include <QElapsedTimer>
#include <QList>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace {

bool quick = false;

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number after `label` in `text`, up to the end of its line.
double numberAfter(const QByteArray &text, const char *label)
{
    const qsizetype at = text.indexOf(label);
    if (at < 0)
        return 0;
    const qsizetype from = at + qsizetype(std::strlen(label));
    return text.mid(from, text.indexOf('\n', from) - from).trimmed().toDouble();
}

// A game home of its own for each program that plays: a second game on the same horse stops.
struct Home
{
    QTemporaryDir dir;
    Home()
    {
        QDir(dir.path()).mkpath(QStringLiteral("etc"));
        QFile::link(QStringLiteral(TROTIX_BUILD_PICS_DIR), dir.filePath(QStringLiteral("pics")));
        QFile attr(dir.filePath(QStringLiteral("etc/trotix_attr.conf")));
        if (attr.open(QIODevice::WriteOnly))
            attr.write("MY|HORSE|||||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
    }
};

QStringList game(const QStringList &args = {})
{
    return QStringList{QStringLiteral(TROTIX_BENCH_DIR "/trotix_bench_startup")} + args;
}

QStringList minimal(const QStringList &args = {})
{
    return QStringList{QStringLiteral(TROTIX_BENCH_DIR "/trotix_bench_minimal"),
                       QStringLiteral(TROTIX_BUILD_PICS_DIR "/backgd2.png")}
           + args;
}

// Starts a program in `home` with its stdout going to `out` (a file) or a pipe.
void start(QProcess &process, const QStringList &command, const Home &home, const QString &out = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QPEDIR"), home.dir.path());
    process.setProcessEnvironment(env);
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!out.isEmpty())
        process.setStandardOutputFile(out);
    process.start(command.first(), command.mid(1));
}

struct StartUp
{
    double wallMs = -1;
    double cpuMs = -1;
};

StartUp toFirstScreen(const QStringList &command, const Home &home)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    start(process, command, home);
    QByteArray seen;
    StartUp result;
    while (process.waitForReadyRead(60000)) {
        seen += process.readAllStandardOutput();
        if (result.wallMs < 0 && seen.contains(firstScreenLine))
            result.wallMs = timer.nsecsElapsed() / 1e6;
    }
    process.waitForFinished();
    result.cpuMs = numberAfter(seen + process.readAllStandardOutput(), firstScreenLine);
    return result;
}

// The game's figure and the minimal program's, and their ratio; for start-up also the ratio to the
// minimal program drawing one line of text, which pays for the font configuration as the game does.
void setPair(benchmark::State &state, const char *unit, double gameValue, double minimalValue, double textValue = 0)
{
    state.counters[std::string("game_") + unit] = gameValue;
    state.counters[std::string("minimal_") + unit] = minimalValue;
    state.counters["x_minimal"] = minimalValue > 0 ? gameValue / minimalValue : 0;
    if (textValue > 0)
        state.counters["x_text"] = gameValue / textValue;
}

void startUp(benchmark::State &state)
{
    const Home home;
    for (auto _ : state) {
        const StartUp gameRun = toFirstScreen(game(), home);
        const StartUp minimalRun = toFirstScreen(minimal(), home);
        const StartUp textRun = toFirstScreen(minimal({QStringLiteral("--text")}), home);
        state.SetIterationTime(gameRun.wallMs / 1e3);
        setPair(state, "ms", gameRun.wallMs, minimalRun.wallMs, textRun.wallMs);
        state.counters["game_cpu_ms"] = gameRun.cpuMs;
        state.counters["minimal_cpu_ms"] = minimalRun.cpuMs;
        state.counters["x_minimal_cpu"] = gameRun.cpuMs / minimalRun.cpuMs;
    }
}

void startUpInstructions(benchmark::State &state)
{
    const Home home;
    qputenv("QPEDIR", QFile::encodeName(home.dir.path()));
    const auto firstScreen = [](const QStringList &command) { return callgrindTotals(command)["first screen"] / 1e6; };
    for (auto _ : state)
        setPair(state, "Minstr", firstScreen(game()), firstScreen(minimal()),
                firstScreen(minimal({QStringLiteral("--text")})));
}

// Voluntary context switches of every thread of a process.
long voluntarySwitches(qint64 pid)
{
    long total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray status = fileText(tasks.filePath(task) + QStringLiteral("/status"));
        total += long(numberAfter(status, "\nvoluntary_ctxt_switches:"));
    }
    return total;
}

// Each tick logs one line "trotix: Action>>...()" for its mode; the activities' steps follow it.
int ticksLogged(const QString &log)
{
    const QList<QByteArray> lines = fileText(log).split('\n');
    return int(std::count_if(lines.begin(), lines.end(), [](const QByteArray &line) {
        return line.startsWith("trotix: Action>>") && line.endsWith("()");
    }));
}

void minuteOfPlay(benchmark::State &state)
{
    const int seconds = quick ? 3 : 60;
    for (auto _ : state) {
        const Home homes[3];
        QTemporaryDir logs;
        const QString gameLog = logs.filePath(QStringLiteral("game")),
                      minimalLog = logs.filePath(QStringLiteral("minimal")),
                      idleLog = logs.filePath(QStringLiteral("idle"));
        QProcess playing, baseline, idle;
        start(playing, game({QStringLiteral("--play"), QString::number(seconds)}), homes[0], gameLog);
        start(baseline, minimal({QStringLiteral("--play"), QString::number(seconds)}), homes[1], minimalLog);
        start(idle, {QStringLiteral(TROTIX_GAME_BINARY)}, homes[2], idleLog);
        QThread::msleep(quick ? 1500 : 3000);
        const long switchesBefore = voluntarySwitches(idle.processId());
        const int ticksBefore = ticksLogged(idleLog);
        QThread::msleep(quick ? 1000 : 10000);
        const long switches = voluntarySwitches(idle.processId()) - switchesBefore;
        const int ticks = ticksLogged(idleLog) - ticksBefore;
        idle.terminate();
        idle.waitForFinished();
        playing.waitForFinished((seconds + 60) * 1000);
        baseline.waitForFinished((seconds + 60) * 1000);
        setPair(state, "MiB", numberAfter(fileText(gameLog), peakMemoryLine) / 1024,
                numberAfter(fileText(minimalLog), peakMemoryLine) / 1024);
        state.counters["idle_ticks"] = ticks;
        state.counters["wakeups_per_tick"] = ticks > 0 ? double(switches) / ticks : 0;
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QTemporaryDir runtime;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TROTIX_SCALE", "1");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    benchmark::RegisterBenchmark("start-up", startUp)
        ->Iterations(1)
        ->Repetitions(quick ? 1 : 15)
        ->DisplayAggregatesOnly()
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    if (!quick)
        benchmark::RegisterBenchmark("start-up instr", startUpInstructions)->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("minute of play", minuteOfPlay)->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
