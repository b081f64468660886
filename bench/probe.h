#pragma once
// What the start-up and memory probes share: the line that marks the first screen, and running a
// function once the window is on the screen.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <functional>

// Printed on stdout once the first tick's screen has been painted to the window.
inline constexpr char firstScreenLine[] = "trotix-bench: first screen\n";
// Followed by the milliseconds that decoding the game's pictures takes.
inline constexpr char decodeLine[] = "trotix-bench: decoding ms ";

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

// The repaint a screen asked for, delivered now, then the mark.
inline void paintAndMark(QWidget *widget)
{
    QCoreApplication::sendPostedEvents(widget, QEvent::UpdateRequest);
    phaseDone("first-screen");
    std::fputs(firstScreenLine, stdout);
    std::fflush(stdout);
}
