// `make bench`: runs every benchmark of the game against its floor or baseline and prints one table.
//
//   1. the tick of every screen against the floor (trotix_bench_ticks, Google Benchmark);
//   2. start-up to the first tick's screen, against a minimal Qt widget program;
//   3. peak memory (RSS) after a minute of play, against the same minimal program;
//   4. wake-ups of the idle game between ticks (the real game binary, headless);
//   5. instructions per tick under callgrind, against a 200 MHz device's second.
//
//   trotix_bench_report [--quick]     --quick: a few iterations of each, no callgrind (a smoke run)
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char firstScreen[] = "trotix-bench: first screen";
// A 200 MHz device at about one instruction per cycle, one tick per second: 1 % of its second.
constexpr double deviceInstructionsPerSecond = 200e6;
constexpr double instructionBudget = 0.01 * deviceInstructionsPerSecond;

QString benchBinary(const char *name) { return QStringLiteral(TROTIX_BENCH_DIR "/") + QLatin1String(name); }

struct Child
{
    pid_t pid = -1;
    int out = -1; // the child's stdout, when piped
};

enum class Output { Pipe, File, Nowhere, Ours };

// Starts a program with the benchmark's environment. Its stdout goes to a pipe, to a file, nowhere
// or to ours; its stderr (Qt's warnings) nowhere.
Child spawn(const QStringList &args, Output output, const QString &outFile = QString())
{
    const bool pipeOut = output == Output::Pipe;
    int pipeFds[2] = {-1, -1};
    if (pipeOut && pipe(pipeFds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const int nowhere = open("/dev/null", O_WRONLY);
        if (pipeOut) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            close(pipeFds[1]);
        } else if (output == Output::File) {
            const int file = open(QFile::encodeName(outFile).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(file, STDOUT_FILENO);
        } else if (output == Output::Nowhere) {
            dup2(nowhere, STDOUT_FILENO);
        }
        dup2(nowhere, STDERR_FILENO);
        QList<QByteArray> bytes;
        for (const QString &arg : args)
            bytes << QFile::encodeName(arg);
        std::vector<char *> argv;
        for (QByteArray &b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pipeOut)
        close(pipeFds[1]);
    return {pid, pipeOut ? pipeFds[0] : -1};
}

struct Ended
{
    int status = -1;
    long maxRssKb = 0;
};

Ended waitFor(const Child &child)
{
    Ended ended;
    struct rusage usage
    {
    };
    wait4(child.pid, &ended.status, 0, &usage);
    ended.maxRssKb = usage.ru_maxrss;
    if (child.out >= 0)
        close(child.out);
    return ended;
}

// Reads the child's stdout until the line, returning when it came.
double millisecondsToLine(const QStringList &args)
{
    const auto start = Clock::now();
    const Child child = spawn(args, Output::Pipe);
    if (child.pid < 0)
        return -1;
    QByteArray seen;
    double ms = -1;
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(child.out, chunk, sizeof chunk);
        if (n <= 0)
            break;
        seen.append(chunk, n);
        if (ms < 0 && seen.contains(firstScreen))
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    waitFor(child);
    return ms;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const int n = int(values.size());
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Voluntary and involuntary context switches of every thread of a process.
struct Switches
{
    long voluntary = 0;
    long involuntary = 0;
    int threads = 0;
};

Switches switchesOf(pid_t pid)
{
    Switches total;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task) + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        ++total.threads;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:"))
                total.voluntary += line.mid(24).trimmed().toLong();
            else if (line.startsWith("nonvoluntary_ctxt_switches:"))
                total.involuntary += line.mid(27).trimmed().toLong();
        }
    }
    return total;
}

// Each tick logs one line "trotix: Action>>...()" for its mode; the activities' steps follow it.
int countTicks(const QString &logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int ticks = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("trotix: Action>>") && line.endsWith("()"))
            ++ticks;
    }
    return ticks;
}

struct WakeUps
{
    Switches during;
    int ticks = 0;
    double seconds = 0;
};

// The real game, idle on its one-second timer: what wakes it between two ticks.
WakeUps measureWakeUps(const QString &dir, double settleSeconds, double seconds)
{
    const QString log = dir + QStringLiteral("/wakeups.log");
    const Child game = spawn({QStringLiteral(TROTIX_GAME_BINARY)}, Output::File, log);
    std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
    const Switches before = switchesOf(game.pid);
    const int ticksBefore = countTicks(log);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const Switches after = switchesOf(game.pid);
    const int ticksAfter = countTicks(log);
    kill(game.pid, SIGTERM);
    waitFor(game);
    WakeUps result;
    result.during.voluntary = after.voluntary - before.voluntary;
    result.during.involuntary = after.involuntary - before.involuntary;
    result.during.threads = after.threads;
    result.ticks = ticksAfter - ticksBefore;
    result.seconds = seconds;
    return result;
}

// Instructions per tick of each scenario, from the dumps of trotix_bench_ticks --instructions.
QMap<QString, double> countInstructions(const QString &dir, QStringList *order)
{
    QMap<QString, double> perTick;
    const QString out = dir + QStringLiteral("/callgrind.out");
    const Child run = spawn({QStringLiteral("/usr/bin/valgrind"), QStringLiteral("--tool=callgrind"),
                             QStringLiteral("--instr-atstart=no"), QStringLiteral("--callgrind-out-file=") + out,
                             benchBinary("trotix_bench_ticks"), QStringLiteral("--instructions")},
                            Output::Nowhere);
    if (run.pid < 0 || waitFor(run).status != 0)
        return perTick;
    const QStringList dumps = QDir(dir).entryList({QStringLiteral("callgrind.out.*")}, QDir::Files);
    QList<QPair<int, QString>> numbered;
    for (const QString &dump : dumps)
        numbered.append({dump.section(QLatin1Char('.'), -1).toInt(), dump});
    std::sort(numbered.begin(), numbered.end());
    for (const auto &dump : numbered) {
        QFile file(dir + QLatin1Char('/') + dump.second);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QString name;
        double total = -1;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("desc: Trigger: Client Request: "))
                name = QString::fromUtf8(line.mid(31));
            else if (line.startsWith("totals: ") || (total < 0 && line.startsWith("summary: ")))
                total = line.mid(line.indexOf(' ') + 1).trimmed().toDouble();
        }
        if (!name.isEmpty() && total >= 0) {
            perTick.insert(name, total / 10.0); // each dump holds ten ticks
            order->append(name);
        }
    }
    return perTick;
}

// CPU time per tick from Google Benchmark's JSON: the median of the repetitions, or the one run.
QMap<QString, double> readTickTimes(const QString &jsonFile, QStringList *order)
{
    QMap<QString, double> microseconds;
    QFile file(jsonFile);
    if (!file.open(QIODevice::ReadOnly))
        return microseconds;
    const QJsonArray runs = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("benchmarks")).toArray();
    for (const QJsonValue &value : runs) {
        const QJsonObject run = value.toObject();
        const QString type = run.value(QStringLiteral("run_type")).toString();
        const QString aggregate = run.value(QStringLiteral("aggregate_name")).toString();
        if (type == QLatin1String("aggregate") && aggregate != QLatin1String("median"))
            continue;
        QString name = run.value(QStringLiteral("run_name")).toString();
        name = name.section(QLatin1Char('/'), 0, 0);
        const QString unit = run.value(QStringLiteral("time_unit")).toString();
        const double scale = unit == QLatin1String("ns") ? 1e-3 : unit == QLatin1String("ms") ? 1e3 : 1.0;
        if (!microseconds.contains(name))
            order->append(name);
        microseconds.insert(name, run.value(QStringLiteral("cpu_time")).toDouble() * scale);
    }
    return microseconds;
}

QString cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("unknown processor");
}

void prepareHome(const QString &dir)
{
    QDir(dir).mkpath(QStringLiteral("etc"));
    QFile::link(QStringLiteral(TROTIX_BUILD_PICS_DIR), dir + QStringLiteral("/pics"));
    QFile attr(dir + QStringLiteral("/etc/trotix_attr.conf"));
    if (attr.open(QIODevice::WriteOnly))
        attr.write("MY|HORSE|||||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
}

const char *verdict(bool met) { return met ? "met" : "MISSED"; }

} // namespace

int main(int argc, char **argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    QTemporaryDir home;
    QTemporaryDir work;
    if (!home.isValid() || !work.isValid())
        return 1;
    prepareHome(home.path());
    qputenv("QPEDIR", QFile::encodeName(home.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TROTIX_SCALE", "1");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(work.path()));
    const QString picture = home.path() + QStringLiteral("/pics/backgd2.png");

    // 1. Ticks against the floor: Google Benchmark's own table and the ratios, straight through.
    std::printf("== 1. One tick of every screen against the floor\n");
    std::fflush(stdout);
    const QString json = work.path() + QStringLiteral("/ticks.json");
    QStringList tickArgs = {benchBinary("trotix_bench_ticks"), QStringLiteral("--benchmark_out=") + json,
                            QStringLiteral("--benchmark_out_format=json")};
    if (quick)
        tickArgs << QStringLiteral("--quick");
    else
        tickArgs << QStringLiteral("--benchmark_repetitions=3") << QStringLiteral("--benchmark_display_aggregates_only=true");
    waitFor(spawn(tickArgs, Output::Ours));
    QStringList tickOrder;
    const QMap<QString, double> tickUs = readTickTimes(json, &tickOrder);

    // 2. Start-up, the two programs taking turns.
    std::printf("\n== 2. Start-up to the first screen\n");
    std::fflush(stdout);
    const int startRuns = quick ? 1 : 15;
    QList<double> gameStarts, minimalStarts;
    for (int i = 0; i < startRuns; ++i) {
        gameStarts << millisecondsToLine({benchBinary("trotix_bench_startup")});
        minimalStarts << millisecondsToLine({benchBinary("trotix_bench_minimal"), picture});
    }
    const double gameStart = median(gameStarts);
    const double minimalStart = median(minimalStarts);

    // 3 and 4. A minute of play for both programs and the idle game's wake-ups, side by side:
    // they sleep nearly all the time.
    const int playSeconds = quick ? 2 : 60;
    std::printf("== 3. Peak memory after %d s of play, 4. wake-ups of the idle game%s\n", playSeconds,
                quick ? "" : ", 5. instructions per tick (callgrind)");
    std::fflush(stdout);
    // Each game gets a home of its own: a second game on the same horse stops at once.
    QTemporaryDir homes[2];
    auto useHome = [](const QTemporaryDir &dir) {
        prepareHome(dir.path());
        qputenv("QPEDIR", QFile::encodeName(dir.path()));
    };
    useHome(homes[0]);
    const QString gameLog = work.path() + QStringLiteral("/play.log");
    const Child gamePlay = spawn({benchBinary("trotix_bench_startup"), QStringLiteral("--play"),
                                  QString::number(playSeconds)},
                                 Output::File, gameLog);
    const Child minimalPlay = spawn({benchBinary("trotix_bench_minimal"), picture, QStringLiteral("--play"),
                                     QString::number(playSeconds)},
                                    Output::Nowhere);
    useHome(homes[1]);
    const WakeUps wakeUps = measureWakeUps(work.path(), quick ? 1.5 : 3.0, quick ? 2.0 : 10.0);
    QStringList instructionOrder;
    QMap<QString, double> instructions;
    if (!quick && QFile::exists(QStringLiteral("/usr/bin/valgrind")))
        instructions = countInstructions(work.path(), &instructionOrder);
    const Ended gameEnded = waitFor(gamePlay);
    const Ended minimalEnded = waitFor(minimalPlay);
    const int playedTicks = countTicks(gameLog);

    // The table.
    const QString floorName = tickOrder.isEmpty() ? QString() : tickOrder.first();
    const double floorUs = tickUs.value(floorName, -1);
    const double floorInstructions = instructions.value(floorName, -1);
    std::printf("\n== Trotix performance: %s, %u cores, Qt %s, %s build, QT_QPA_PLATFORM=offscreen\n\n",
                qPrintable(cpuModel()), std::thread::hardware_concurrency(), qVersion(), TROTIX_BUILD_TYPE);
    std::printf("%-34s %9s %8s %12s %9s %8s\n", "tick of", "us (CPU)", "x floor", "instructions", "x floor",
                "% budget");
    bool ticksMet = true, instructionsMet = true;
    for (const QString &name : tickOrder) {
        const double us = tickUs.value(name);
        const bool isSave = name.startsWith(QLatin1String("attribute save"));
        const double ratio = floorUs > 0 ? us / floorUs : 0;
        const double ir = instructions.value(name, -1);
        if (!isSave && name != floorName && ratio > 3.0)
            ticksMet = false;
        if (ir > instructionBudget)
            instructionsMet = false;
        if (ir >= 0) {
            std::printf("%-34s %9.1f %8.2f %12.0f %9.2f %7.2f%%\n", qPrintable(name), us, ratio, ir,
                        floorInstructions > 0 ? ir / floorInstructions : 0, 100.0 * ir / deviceInstructionsPerSecond);
        } else {
            std::printf("%-34s %9.1f %8.2f %12s %9s %8s\n", qPrintable(name), us, ratio, "-", "-", "-");
        }
    }
    const double startRatio = minimalStart > 0 ? gameStart / minimalStart : 0;
    const double rssRatio = minimalEnded.maxRssKb > 0 ? double(gameEnded.maxRssKb) / minimalEnded.maxRssKb : 0;
    std::printf("\n%-48s %10s %10s %8s %8s\n", "", "game", "minimal Qt", "ratio", "target");
    std::printf("%-48s %8.1f ms %8.1f ms %8.2f %8s  %s\n", "start-up to the first screen (median)", gameStart,
                minimalStart, startRatio, "1.50", verdict(startRatio <= 1.5));
    std::printf("%-48s %7.1f MiB %7.1f MiB %8.2f %8s  %s\n",
                qPrintable(QStringLiteral("peak RSS after %1 s of play").arg(playSeconds)),
                gameEnded.maxRssKb / 1024.0, minimalEnded.maxRssKb / 1024.0, rssRatio, "1.50", verdict(rssRatio <= 1.5));
    std::printf("\nwake-ups of the idle game over %.0f s: %ld voluntary, %ld involuntary context switches, "
                "%d ticks, %d threads\n",
                wakeUps.seconds, wakeUps.during.voluntary, wakeUps.during.involuntary, wakeUps.ticks,
                wakeUps.during.threads);
    std::printf("\ntargets: every tick within 3 x the floor: %s; no tick above %.0f instructions: %s; "
                "wake-ups: %.1f per tick\n",
                verdict(ticksMet), instructionBudget, instructions.isEmpty() ? "not measured" : verdict(instructionsMet),
                wakeUps.ticks > 0 ? double(wakeUps.during.voluntary) / wakeUps.ticks : 0.0);

    // Every program ran and measured something.
    QStringList failed;
    if (floorUs <= 0 || tickUs.size() < 2)
        failed << QStringLiteral("tick benchmark");
    if (gameStart <= 0 || minimalStart <= 0)
        failed << QStringLiteral("start-up");
    if (gameEnded.maxRssKb <= 0 || minimalEnded.maxRssKb <= 0 || playedTicks <= 0)
        failed << QStringLiteral("memory");
    if (wakeUps.ticks <= 0)
        failed << QStringLiteral("wake-ups");
    if (!quick && instructions.isEmpty())
        failed << QStringLiteral("instructions (is valgrind installed?)");
    if (!failed.isEmpty()) {
        std::printf("\nnot measured: %s\n", qPrintable(failed.join(QStringLiteral(", "))));
        return 1;
    }
    return 0;
}
