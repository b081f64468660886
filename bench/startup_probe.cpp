// The game's start-up, as main() does it, up to the first tick's screen on the window. The game's
// own first tick waits for its one-second timer; here it runs at the event loop's first turn once
// the window is shown, so that the figure is the start-up's work and not the timer's wait.
//
//   trotix_bench_startup          starts, prints the mark after the first screen, and quits
//   trotix_bench_startup --play S [--tick-ms N]
//                                 plays for S seconds (every screen, a race against the computer),
//                                 ticking every N ms (1000, as the game), then prints its peak
//                                 memory and quits
#include "probe.h"

#include "app/trotix.h"
#include "game/gamestate.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/savelock.h"

#include <QMetaObject>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// A minute of play: every activity, status, about, both question screens, and a whole race
// against the computer; then idle. Keyed by the tick after which the slot is chosen.
const std::map<int, const char *> playScript = {
    {2, "change2eat"},     {8, "change2sleep"},   {12, "change2run"},      {16, "change2jump"},
    {18, "hop"},           {20, "hop"},           {22, "change2status"},   {24, "aboutTrotix"},
    {26, "change2server"}, {28, "change2client"}, {30, "change2racedemo"},
};

void play(Trotix *game, int seconds, int tickMs)
{
    auto *timer = game->findChild<QTimer *>(QStringLiteral("lifeTimer"));
    timer->setInterval(tickMs);
    QObject::connect(timer, &QTimer::timeout, game, [game] {
        const auto next = playScript.find(gs.shell.tickCount);
        if (next != playScript.end())
            QMetaObject::invokeMethod(game, next->second, Qt::DirectConnection);
    });
    quitAfter(seconds);
}

}

int main(int argc, char **argv)
{
    sinceMain().start();
    int playSeconds = 0;
    int tickMs = 1000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--play") == 0)
            playSeconds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--tick-ms") == 0)
            tickMs = std::atoi(argv[i + 1]);
    }

    QPEApplication app(argc, argv, QPEApplication::GuiClient);
    phaseDone("application");
    SaveLock lock(Paths::attrFile());
    if (lock.acquire() != SaveLock::Result::Held)
        return 1;
    Trotix game(nullptr, nullptr, {});
    phaseDone("widget");
    app.showMainWidget(&game, false);
    phaseDone("shown");
    if (playSeconds > 0) {
        play(&game, playSeconds, tickMs);
    } else {
        whenExposed(&game, [&game] {
            phaseDone("exposed");
            QMetaObject::invokeMethod(&game, "liveSlot", Qt::DirectConnection);
            paintAndMark(&game);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
