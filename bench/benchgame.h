#pragma once
// The game as the benchmarks drive it: a real main widget shown at 1x on the headless screen, its
// timer stopped, one tick being liveSlot() followed by the paint event the tick asked for, delivered
// at once instead of at the event loop's next turn. Every scenario puts the game state back to the
// same point before each tick, so that all the ticks of one scenario do the same work.
#include "gamefixture.h"

#include <QMetaMethod>
#include <functional>
#include <memory>
#include <vector>

class BenchGame;

struct TickScenario
{
    const char *name;
    // Once, before the scenario's first tick: the menu choice or button that leads to the screen.
    std::function<void(BenchGame &)> enter;
    // Before every tick: the state that makes the tick draw the same screen again.
    std::function<void()> prepare;
};

// naming, the activities, status and about, the four connection screens, and the three race
// modes at pos1 0, 400, 1000, 1950 and 2100.
const std::vector<TickScenario> &tickScenarios();

class BenchGame
{
public:
    BenchGame();
    ~BenchGame();

    // One tick: the game's own slot, then the paint event.
    void tick();
    // The floor of a tick, on the same buffer and window: one bare 240 x 320 copy of a picture
    // into the buffer (the status background), then the buffer to the window through the paint
    // event, over the region a tick repaints.
    void floorCopy();
    // The attribute save that the tick does every tenth time.
    void saveAttributes();
    // Calls a slot of the main widget by name, as a menu item or button would.
    void call(const char *slot) { m_fixture->call(slot); }
    Trotix *widget() const { return m_fixture->widget(); }

private:
    std::unique_ptr<GameFixture> m_fixture;
    QMetaMethod m_liveSlot;
    QMetaMethod m_setupBackgd;
};

// Makes the log go nowhere (the game writes a line per tick to stdout) and returns a stdout of
// our own, on the original descriptor, for the results.
FILE *quietGameLog();
