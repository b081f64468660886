// One whole tick of every screen, and the floor it is measured against: the bare copy of a
// 240 x 320 picture into the game's buffer and on to its window. Prints Google Benchmark's table;
// with --instructions, each tick's instructions counted under callgrind go beside its time.
// report.py sets both against the floor's.
//
//   trotix_bench_ticks [--quick] [--instructions] [--screens DIR] [Google Benchmark flags]
//
// --quick runs every benchmark for a few milliseconds only (a smoke run). --instructions first
// runs every scenario a fixed number of ticks under callgrind (this program again, with
// --count-instructions), each scenario's ticks counted in a dump of their own. --screens DIR saves
// the buffer and window of three ticks of every scenario, to compare two builds.
#include "benchgame.h"
#include "callgrind.h"

#include "game/gamestate.h"
#include "game/history.h"
#include "platform/paths.h"
#include "race/rules/raceweight.h"

#include <QFile>

#include <QApplication>
#include <QScreen>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

namespace {

const char floorName[] = "floor: 240x320 copy to buffer and widget";
const char saveName[] = "attribute save (every 10th tick)";
const char historyName[] = "history line (every 10th tick, 1500-2000 lines)";

// The history of a horse played for months: 2 000 lines, thinned to 1 500 by the first append.
void plantFullHistory()
{
    QList<HistoryLine> lines;
    for (int i = 0; i < historyMaxLines; ++i)
        lines << HistoryLine{QByteArray(gs.horse.name),
                             1796666400 + i * 10,
                             i * 10,
                             gs.horse.attributes,
                             raceWeight(gs.horse.attributes),
                             {}};
    QFile file(Paths::historyFile());
    if (file.open(QIODevice::WriteOnly))
        file.write(formatHistory(lines));
}

constexpr int countedTicks = 10;

// Under callgrind: each scenario's ticks counted apart, in a dump named after it.
int countInstructions(BenchGame &game, int ticks)
{
    CALLGRIND_START_INSTRUMENTATION;
    for (int i = 0; i < 3; ++i)
        game.floorCopy();
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < ticks; ++i)
        game.floorCopy();
    CALLGRIND_DUMP_STATS_AT(floorName);
    for (const TickScenario &scenario : tickScenarios()) {
        scenario.enter(game);
        // Glyphs and pictures met for the first time are cached in the first ticks.
        for (int i = 0; i < 3; ++i) {
            scenario.prepare();
            game.tick();
        }
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < ticks; ++i) {
            scenario.prepare();
            game.tick();
        }
        CALLGRIND_DUMP_STATS_AT(scenario.name);
    }
    return 0;
}

// The buffer and the window after each of three ticks per scenario (the third one scrolled), to
// compare two builds pixel for pixel.
int saveScreens(BenchGame &game, const QString &dir)
{
    int n = 0;
    for (const TickScenario &scenario : tickScenarios()) {
        scenario.enter(game);
        for (int t = 0; t < 3; ++t) {
            scenario.prepare();
            if (t == 2)
                gs.care.backgroundOffset += 7;
            game.tick();
            const QString base = dir + QString::asprintf("/%02d-%d", n, t);
            game.widget()->screenBuffer().toImage().save(base + QStringLiteral("-buffer.png"));
            QApplication::processEvents();
            game.widget()->screen()->grabWindow(game.widget()->winId()).save(base + QStringLiteral("-window.png"));
        }
        ++n;
    }
    return 0;
}

// Instructions per tick by benchmark name, when counted.
std::map<std::string, double> instructionsPerTick;

// Runs `step` as Google Benchmark asks (it measures the process's CPU time); glyphs and pictures
// met for the first time are cached in the first steps, which are not measured. The instructions
// per tick, when counted, go beside the time; report.py sets both against the floor's.
void measure(benchmark::State &state, const char *name, const std::function<void()> &step)
{
    for (int i = 0; i < 3; ++i)
        step();
    for (auto _ : state)
        step();
    if (const auto counted = instructionsPerTick.find(name); counted != instructionsPerTick.end())
        state.counters["instructions"] = counted->second;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool quick = false;
    bool instructions = false;
    int instructionTicks = 0;
    QString screensDir;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--instructions") == 0)
            instructions = true;
        else if (std::strcmp(argv[i], "--count-instructions") == 0)
            instructionTicks = countedTicks;
        else if (std::strcmp(argv[i], "--screens") == 0 && i + 1 < argc)
            screensDir = QString::fromLocal8Bit(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QApplication app(restCount, rest.data());

    FILE *results = quietGameLog();
    __gnu_cxx::stdio_filebuf<char> resultBuffer(results, std::ios::out);
    std::ostream out(&resultBuffer);

    if (instructions) {
        const QStringList self = {QCoreApplication::applicationFilePath(), QStringLiteral("--count-instructions")};
        for (const auto &[name, total] : callgrindTotals(self, {QStringLiteral("--instr-atstart=no")}))
            instructionsPerTick[name] = total / countedTicks;
    }
    BenchGame game;
    if (instructionTicks > 0)
        return countInstructions(game, instructionTicks);
    if (!screensDir.isEmpty())
        return saveScreens(game, screensDir);

    const double minTime = quick ? 0.002 : 0.5;
    const auto add = [minTime](const char *name, const std::function<void(benchmark::State &)> &run) {
        benchmark::RegisterBenchmark(name, run)->MinTime(minTime)->MeasureProcessCPUTime()->Unit(
            benchmark::kMicrosecond);
    };
    add(floorName, [&game](benchmark::State &state) { measure(state, floorName, [&game] { game.floorCopy(); }); });
    for (const TickScenario &scenario : tickScenarios()) {
        add(scenario.name, [&game, &scenario](benchmark::State &state) {
            scenario.enter(game);
            measure(state, scenario.name, [&game, &scenario] {
                scenario.prepare();
                game.tick();
            });
        });
    }
    add(saveName, [&game](benchmark::State &state) { measure(state, saveName, [&game] { game.saveAttributes(); }); });
    add(historyName, [](benchmark::State &state) {
        plantFullHistory();
        measure(state, historyName, [] { appendHistory(gs); });
    });

    benchmark::Initialize(&restCount, rest.data());
    // Colours only for a terminal.
    benchmark::ConsoleReporter reporter(isatty(fileno(results)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                                : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&out);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
