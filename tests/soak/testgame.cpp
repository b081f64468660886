// trotix-testgame: the game started as main.cpp starts it (application object, save lock, main
// widget with its timer, event loop), with a player who picks menu items and presses buttons. For
// tests only: the soak test runs it as the race server that hostile peers attack, valgrind and the
// sanitizer build run its short scripted game.
//
//   trotix-testgame server   The real one-second clock, in the folder QPEDIR names. The player
//                            picks Race > Server(Red) and presses CONFIRM; once the waiting screen
//                            takes challengers the log says "testgame: waiting for challengers".
//                            Commands on standard input: "server" picks Server(Red) and CONFIRM
//                            again; "quit", or the end of the input, closes the main widget as the
//                            platform does at exit.
//   trotix-testgame play     A short game in a folder of its own, the clock 50 times faster: the
//                            naming, every activity, the status and about screens, a race against
//                            the computer, a network race against a challenger on loopback (port
//                            1234), and a client refused by the game's own server. Exits 0 when
//                            each step went as the player sees it, 1 with the step that did not.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/savelock.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

void choose(int itemId) { gs.menuBar->item(itemId)->trigger(); }

bool pressable(QPushButton *button) { return button->isVisible() && button->isEnabled(); }

// A player that looks at the game 100 times a second and does the next thing when it is due.
class Player : public QObject
{
public:
    explicit Player(QObject *parent) : QObject(parent)
    {
        connect(&m_look, &QTimer::timeout, this, [this] { look(); });
        m_look.start(10);
    }

    // Picks Race > Server(Red), then presses CONFIRM on the question screen.
    void becomeServer()
    {
        m_wantServer = true;
        m_confirmed = false;
        m_pick = true;
    }

private:
    void look()
    {
        if (!m_wantServer)
            return;
        // The menu is out of reach while a network screen shows; the player waits for it.
        if (m_pick && gs.menuBar->isItemEnabled(IdServer)) {
            m_pick = false;
            choose(IdServer);
        }
        if (!m_confirmed && gs.shownMode == ModeServerAsk && pressable(gs.confirmButton)) {
            gs.confirmButton->click();
            m_confirmed = true;
        }
        if (m_confirmed && gs.mode == ModeServerWait && gs.serverAccepting == 1) {
            // A port held by another program shows "busy" for four ticks and then idle; the player
            // then tries again.
            if (gs.bindFailed == 1) {
                logText("testgame: port 1234 is busy, trying again\n");
                m_confirmed = false;
                m_pick = true;
                return;
            }
            logText("testgame: waiting for challengers\n");
            m_wantServer = false;
        }
    }

    QTimer m_look;
    bool m_wantServer = false;
    bool m_pick = false;
    bool m_confirmed = false;
};

int serveOnCommand(QPEApplication &app, Trotix &game)
{
    auto *player = new Player(&game);
    player->becomeServer();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &game, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            game.close();
            return;
        }
        pending.append(buffer, int(n));
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray command = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            logText("testgame: command %s\n", command.constData());
            if (command == "server")
                player->becomeServer();
            else if (command == "quit")
                game.close();
        }
    });
    return app.exec();
}

// The scripted game: one step after the other, each with what the player does, what the player
// then waits to see, and how many ticks that may take.
struct Step
{
    const char *what;
    std::function<void()> act;
    std::function<bool()> seen;
    int maxTicks;
};

// The challenger of the scripted network race: a plain socket that plays the client's part of the
// protocol, asking for the positions once per tick of the game's race.
class Challenger : public QObject
{
public:
    explicit Challenger(QObject *parent) : QObject(parent)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] { send("TROTIX\n"); });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), 1234);
    }
    // Called whenever the player looks; asks at most once per tick of the game.
    void tick()
    {
        if (m_stage == Stage::Racing && !m_started && gs.mode == ModeServerRace && gs.raceTick == 4) {
            send("GOGOGO\n");
            m_started = true;
        } else if (m_started && !m_asking && gs.raceTick > 6 && gs.tickCount != m_askedAt) {
            send("ASKPOS\n");
            m_asking = true;
            m_askedAt = gs.tickCount;
        }
    }
    int replies() const { return m_replies; }
    int lastWinner() const { return m_winner; }

private:
    enum class Stage { Greeting, Naming, Racing };

    void send(const QByteArray &line)
    {
        m_socket.write(line);
        m_socket.flush();
    }
    void read()
    {
        while (m_socket.canReadLine()) {
            const QByteArray line = m_socket.readLine();
            if (m_stage == Stage::Greeting && line == "TROTIX\n") {
                send("CHALLENGER|ONE+321\n");
                m_stage = Stage::Naming;
            } else if (m_stage == Stage::Naming && line.size() == 16) {
                send("OKOKOK\n");
                m_stage = Stage::Racing;
            } else if (m_stage == Stage::Racing && line.count('+') == 2) {
                m_winner = line.mid(line.lastIndexOf('+') + 1).trimmed().toInt();
                ++m_replies;
                m_asking = false;
            }
        }
    }

    QTcpSocket m_socket;
    Stage m_stage = Stage::Greeting;
    bool m_started = false;
    bool m_asking = false;
    int m_askedAt = -1;
    int m_replies = 0;
    int m_winner = 0;
};

int playScript(QPEApplication &app, Trotix &game)
{
    gs.lifeTimer->setInterval(20);
    Challenger *challenger = nullptr;
    bool raced = false;
    int mark = 0; // the tick at which the current step began
    const auto ticksSince = [&] { return gs.tickCount - mark; };
    const auto backToIdle = [] { return gs.mode == ModeIdle && gs.shownMode == ModeIdle; };
    const auto activity = [&](const char *what, int item, int ticks) {
        return Step{what, [item] { choose(item); }, [&, ticks] { return ticksSince() >= ticks; }, ticks + 5};
    };

    const std::vector<Step> steps{
        {"the naming screen comes up for a new horse", [] {}, [] { return gs.shownMode == ModeNaming; }, 3},
        {"naming the horse",
         [] {
             gs.nameEdit->setText(QStringLiteral("Valgrind Runner"));
             gs.okButton->click();
         },
         [&] { return backToIdle() && gs.attrFileValid == 1; }, 3},
        activity("idling", IdIdle, 4),
        activity("eating", IdEat, 12),
        activity("sleeping", IdSleep, 10),
        activity("running", IdRun, 10),
        {"jumping with hops",
         [] { choose(IdJump); },
         [&] {
             if (gs.menuBar->isItemEnabled(IdHop))
                 choose(IdHop);
             return ticksSince() >= 16;
         },
         20},
        activity("the status screen", IdStatus, 3),
        {"the about screen", [] { choose(IdAbout); }, [&] { return ticksSince() >= 3; }, 5},
        {"back from about with OK", [] { gs.okButton->click(); }, backToIdle, 3},
        {"a race against the computer to its end",
         [] { choose(IdComputer); },
         [&] {
             raced = raced || gs.shownMode == ModeDemoRace;
             return raced && backToIdle();
         },
         80},
        {"the server question", [] { choose(IdServer); }, [] { return gs.shownMode == ModeServerAsk; }, 3},
        {"waiting for challengers",
         [] { gs.confirmButton->click(); },
         [] { return gs.mode == ModeServerWait && gs.serverAccepting == 1; }, 3},
        {"a network race against a challenger to its end",
         [&] { challenger = new Challenger(&game); },
         [&] {
             if (gs.shownMode == ModeServerRace)
                 raced = false;
             return gs.tickCount > mark + 10 && backToIdle() && challenger->replies() > 0;
         },
         90},
        {"the client question", [] { choose(IdClient); }, [] { return gs.shownMode == ModeClientAsk; }, 3},
        {"a client refused by the idle server, shown, then idle",
         [] {
             gs.addressEdit->setText(QStringLiteral("127.0.0.1"));
             gs.confirmButton->click();
         },
         [&] { return gs.tickCount > mark + 3 && backToIdle(); }, 12},
        {"the tick's save", [] {}, [&] { return gs.tickCount / 10 > mark / 10; }, 11},
    };

    size_t current = 0;
    bool acted = false;
    int failed = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &game, [&] {
        if (current == steps.size()) {
            look.stop();
            game.close();
            return;
        }
        const Step &step = steps[current];
        if (!acted) {
            mark = gs.tickCount;
            logText("testgame: %s\n", step.what);
            step.act();
            acted = true;
        }
        if (challenger)
            challenger->tick();
        if (step.seen()) {
            ++current;
            acted = false;
        } else if (ticksSince() > step.maxTicks) {
            logText("testgame: FAILED: %s (mode %d, shown %d, netState %d)\n", step.what, gs.mode, gs.shownMode,
                    gs.netState);
            failed = 1;
            look.stop();
            game.close();
        }
    });
    look.start(5);
    const int status = app.exec();

    QFile save(Paths::attrFile());
    if (!failed && (!save.open(QIODevice::ReadOnly) || !save.readAll().startsWith("Valgrind|Runner"))) {
        logText("testgame: FAILED: the horse is not in %s\n", qPrintable(save.fileName()));
        failed = 1;
    }
    if (!failed && challenger)
        logText("testgame: played through; the challenger had %d position replies\n", challenger->replies());
    return status != 0 ? status : failed;
}

}

int main(int argc, char **argv)
{
    const QByteArray role = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (role != "server" && role != "play") {
        std::fputs("usage: trotix-testgame server|play\n", stderr);
        return 2;
    }
    // The scripted game plays a new horse in a folder of its own.
    QTemporaryDir home;
    if (role == "play") {
        QDir(home.path()).mkpath(QStringLiteral("etc"));
        QFile::link(qEnvironmentVariable("TROTIX_TEST_PICS", QStringLiteral(TROTIX_BUILD_PICS_DIR)),
                    home.filePath(QStringLiteral("pics")));
        qputenv("QPEDIR", home.path().toLocal8Bit());
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QPEApplication app(argc, argv, QPEApplication::GuiClient);
    SaveLock lock(Paths::attrFile());
    if (lock.acquire() != SaveLock::Result::Held) {
        logText("testgame: the save is locked by process %lld\n", static_cast<long long>(lock.holderPid()));
        return 1;
    }
    Trotix game(nullptr, nullptr, {});
    app.showMainWidget(&game, false);
    return role == "server" ? serveOnCommand(app, game) : playScript(app, game);
}
