#pragma once
// What the start-up and memory probes share: the line that marks the first screen, running a
// function once the window is on the screen, and the peak memory line at the end of a play.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

// Printed on stdout once the first tick's screen has been painted to the window, followed by the
// CPU time the process has used so far, in milliseconds: less moved by a loaded machine than the
// wall time to the mark.
inline constexpr char firstScreenLine[] = "trotix-bench: first screen, cpu-ms ";
// Followed by the process's peak resident memory in KiB, as it quits.
inline constexpr char peakMemoryLine[] = "trotix-bench: peak-rss-kib ";

// Milliseconds since main() began, for the start-up's phases.
inline QElapsedTimer &sinceMain()
{
    static QElapsedTimer timer;
    return timer;
}

// One phase of the start-up done: "trotix-bench: phase NAME MS" on stdout.
inline void phaseDone(const char *name)
{
    std::printf("trotix-bench: phase %s %.3f\n", name, sinceMain().nsecsElapsed() / 1e6);
    std::fflush(stdout);
}

// Calls `then` at the first turn of the event loop at which the window system shows the window.
inline void whenExposed(QWidget *widget, const std::function<void()> &then)
{
    QTimer::singleShot(0, widget, [widget, then] {
        if (widget->windowHandle() && widget->windowHandle()->isExposed())
            then();
        else
            whenExposed(widget, then);
    });
}

// What this process has used so far: CPU time, peak memory.
inline rusage usageSoFar()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// The repaint a screen asked for, delivered now, then the mark. Under callgrind, the count so far
// is dumped here as "first screen": the start-up's instructions.
inline void paintAndMark(QWidget *widget)
{
    QCoreApplication::sendPostedEvents(widget, QEvent::UpdateRequest);
    CALLGRIND_DUMP_STATS_AT("first screen");
    phaseDone("first-screen");
    const rusage usage = usageSoFar();
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    std::printf("%s%.3f\n", firstScreenLine, ms(usage.ru_utime) + ms(usage.ru_stime));
    std::fflush(stdout);
}

// Quits after `seconds`, printing the peak memory line on the way out.
inline void quitAfter(int seconds)
{
    QTimer::singleShot(seconds * 1000, qApp, [] {
        std::printf("%s%ld\n", peakMemoryLine, usageSoFar().ru_maxrss);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
