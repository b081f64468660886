#include "benchgame.h"

#include "game/attrfile.h"
#include "platform/idmenubar.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "race/rules/racemodel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Tick 1 of every ten: the tick's own attribute save stays out of the screens' figures and is
// measured on its own.
void steady(int mode)
{
    gs.shell.mode = mode;
    gs.shell.shownMode = mode;
    gs.shell.tickCount = 0;
}

// A network set-up screen reached without a real peer: the state the hand-shake would have left.
void enterProgress(BenchGame &game, int mode, int isServer)
{
    gs.shell.mode = mode;
    gs.shell.isServer = isServer;
    game.call("clearScreen");
    part<QPushButton>("disconnectButton")->show();
    gs.race.opponentName = QStringLiteral("BENCH CHALLENGER");
}

// Three rows below "Ready for racing": the screen stays, the race does not start.
void prepareProgress(int mode)
{
    steady(mode);
    gs.net.netState = 4;
}

struct RacePoint
{
    int pos1, pos2, raceTick, winner;
};

// pos1 0: the start sequence's "GO!" frame; 400 to 1950: running frames; 2100: the result banner.
const RacePoint racePoints[] = {
    {0, 0, 5, 0}, {400, 390, 10, 0}, {1000, 980, 10, 0}, {1950, 1930, 10, 0}, {2100, 2080, 25, 1},
};

void prepareRace(int mode, const RacePoint &point)
{
    steady(mode);
    gs.race.positions.pos1 = point.pos1;
    gs.race.positions.pos2 = point.pos2;
    gs.race.raceTick = point.raceTick;
    gs.race.winner = point.winner;
    // Each running frame scrolls by one step.
    gs.race.lastPos1 = point.pos1 - 20;
    gs.race.lastPos2 = point.pos2 - 20;
    // The race was already decided at its first step; no draw per tick.
    gs.race.winScenario = Player1Clearly;
    gs.race.racePattern = 1;
    // The server's answer to the previous ASKPOS has come.
    gs.net.askPosReady = 1;
}

void enterRace(BenchGame &game, int mode)
{
    switch (mode) {
    case ModeDemoRace: game.call("change2racedemo"); break;
    case ModeServerRace:
        enterProgress(game, ModeServerWait, 1);
        gs.race.demoRace = 0;
        break;
    default:
        enterProgress(game, ModeClientConnect, 0);
        gs.race.demoRace = 0;
        break;
    }
    gs.shell.mode = mode;
}

void prepareJump(int hop)
{
    steady(ModeJump);
    gs.care.animStep = 2;
    gs.care.block.active = 1;
    gs.care.block.hit = 0;
    // The block two positions ahead: shown, and hopped or still to come.
    gs.care.block.distance = 3;
    gs.care.hopRequested = hop;
    gs.care.inAir = 0;
}

std::vector<TickScenario> makeScenarios()
{
    std::vector<TickScenario> list = {
        {"naming",
         [](BenchGame &game) {
             gs.shell.mode = ModeNaming;
             game.call("clearScreen");
             part<QLineEdit>("nameEdit")->show();
             part<QPushButton>("okButton")->show();
         },
         [] { steady(ModeNaming); }},
        {"idle", [](BenchGame &game) { game.call("change2idle"); }, [] { steady(ModeIdle); }},
        {"eat", [](BenchGame &game) { game.call("change2eat"); }, [] { steady(ModeEat); }},
        {"sleep", [](BenchGame &game) { game.call("change2sleep"); }, [] { steady(ModeSleep); }},
        {"run", [](BenchGame &game) { game.call("change2run"); }, [] { steady(ModeRun); }},
        {"jump, block", [](BenchGame &game) { game.call("change2jump"); }, [] { prepareJump(0); }},
        {"jump, hop", [](BenchGame &game) { game.call("change2jump"); }, [] { prepareJump(1); }},
        {"status", [](BenchGame &game) { game.call("change2status"); }, [] { steady(ModeStatus); }},
        {"about", [](BenchGame &game) { game.call("aboutTrotix"); }, [] { steady(ModeAbout); }},
        {"server ask (20)", [](BenchGame &game) { game.call("change2server"); }, [] { steady(ModeServerAsk); }},
        {"server wait (21)", [](BenchGame &game) { enterProgress(game, ModeServerWait, 1); },
         [] { prepareProgress(ModeServerWait); }},
        {"client ask (40)", [](BenchGame &game) { game.call("change2client"); }, [] { steady(ModeClientAsk); }},
        {"client connect (41)", [](BenchGame &game) { enterProgress(game, ModeClientConnect, 0); },
         [] { prepareProgress(ModeClientConnect); }},
    };
    const struct
    {
        int mode;
        const char *label;
    } races[] = {{ModeServerRace, "server race (30)"},
                 {ModeClientRace, "client race (50)"},
                 {ModeDemoRace, "computer race (60)"}};
    static std::vector<QByteArray> names;
    for (const auto &race : races) {
        for (const RacePoint &point : racePoints) {
            names.push_back(QByteArray(race.label) + " pos1 " + QByteArray::number(point.pos1));
            const int mode = race.mode;
            list.push_back({names.back().constData(), [mode](BenchGame &game) { enterRace(game, mode); },
                            [mode, point] { prepareRace(mode, point); }});
        }
    }
    return list;
}

} // namespace

const std::vector<TickScenario> &tickScenarios()
{
    static const std::vector<TickScenario> list = makeScenarios();
    return list;
}

BenchGame::BenchGame() : m_fixture(std::make_unique<GameFixture>())
{
    Trotix *w = m_fixture->widget();
    QPEApplication::setWindowScale(w, 1);
    w->show();
    // Until the window system has exposed the window, a repaint paints nothing.
    (void)QTest::qWaitForWindowExposed(w);
    const QMetaObject *meta = w->metaObject();
    m_liveSlot = meta->method(meta->indexOfMethod("liveSlot()"));
    m_setupBackgd = meta->method(meta->indexOfMethod("setupBackgd(int)"));
}

BenchGame::~BenchGame() = default;

void BenchGame::tick()
{
    Trotix *w = m_fixture->widget();
    m_liveSlot.invoke(w, Qt::DirectConnection);
    // What the event loop does after the tick: the events it posted, the repaint among them, at
    // once rather than at the loop's next turn (and without waiting for the window system).
    QCoreApplication::sendPostedEvents();
}

void BenchGame::floorCopy()
{
    Trotix *w = m_fixture->widget();
    m_setupBackgd.invoke(w, Qt::DirectConnection, Q_ARG(int, 2));
    w->update(QRegion(0, 0, 240, 320) - part<IdMenuBar>("menuBar")->geometry());
    QCoreApplication::sendPostedEvents();
}

void BenchGame::saveAttributes() { saveAttrFile(gs, Paths::attrFile()); }

FILE *quietGameLog()
{
    std::fflush(stdout);
    const int own = dup(STDOUT_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    close(nowhere);
    return fdopen(own, "w");
}
