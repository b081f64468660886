// trotix-screenshots: plays a short game headless and writes every screen to a PNG, as the window
// shows it (menu bar, buttons and entry fields included), at a chosen zoom. The README's gallery
// and the AppStream screenshots come from here.
//
//   trotix-screenshots OUTDIR [--scale N] [--pics DIR] [--name NAME] [SCREEN ...]
//
// With no SCREEN names every screen is written; --list prints the names. NAME is the horse's,
// typed at the naming screen (THUNDER; the longest name shows how names are fitted).
#include "app/horsebook.h"
#include "app/trotix.h"
#include "game/gamestate.h"
#include "game/rules/historycodec.h"
#include "net/avahi.h"
#include "net/ownaddress.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/rules/random.h"
#include "race/rules/courselayout.h"
#include "race/rules/raceweight.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>

namespace {

// clang-format off
const char *const screenNames[] = {
    "naming",        "idle",          "eat",           "sleep",
    "run",           "jump",          "status",        "about",
    "server-ask",    "server-wait",   "server-challenger", "server-lost",
    "server-busy",   "client-ask",    "client-connecting", "client-challenger",
    "client-failed", "client-refused", "race-start",    "race-mid",
    "race-finish",   "race-result",   "help",          "paused",
    "book",
};
// clang-format on

class Director
{
public:
    Director(Trotix &widget, const QString &outDir, const QStringList &wanted)
        : m_widget(widget), m_outDir(outDir), m_wanted(wanted)
    {}

    // A slot renamed in the game stops the tool, rather than shooting the screen it left behind.
    void call(const char *slot)
    {
        if (!QMetaObject::invokeMethod(&m_widget, slot, Qt::DirectConnection))
            qFatal("screenshots: the game has no slot %s", slot);
    }

    // A part of the window by its object name; a renamed one stops the tool too.
    template <typename T>
    T *part(const char *name)
    {
        T *found = m_widget.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("screenshots: the game has no %s", name);
        return found;
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            call("liveSlot");
    }

    // Ticks until the condition holds, at most `limit` times; false when it never did.
    bool tickUntil(const std::function<bool()> &condition, int limit = 400)
    {
        for (int i = 0; i < limit && !condition(); ++i)
            tick();
        return condition();
    }

    void shoot(const char *name) { shoot(name, &m_widget); }

    void shoot(const char *name, QWidget *window)
    {
        m_shot << QString::fromLatin1(name);
        if (!m_wanted.isEmpty() && !m_wanted.contains(QString::fromLatin1(name)))
            return;
        QCoreApplication::processEvents();
        const QString path = m_outDir + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png");
        if (!window->grab().toImage().convertToFormat(QImage::Format_RGB32).save(path)) {
            std::fprintf(stderr, "trotix-screenshots: cannot write %s\n", qPrintable(path));
            m_failed = true;
            return;
        }
        std::printf("trotix-screenshots: wrote %s\n", qPrintable(path));
    }

    void fail(const char *what)
    {
        std::fprintf(stderr, "trotix-screenshots: %s\n", what);
        m_failed = true;
    }

    bool failed() const { return m_failed; }
    const QStringList &shot() const { return m_shot; }

private:
    Trotix &m_widget;
    QString m_outDir;
    QStringList m_wanted;
    QStringList m_shot;
    bool m_failed = false;
};

// One side of a network race: its question screen, then its progress screen in each state.
struct Side
{
    const char *menuSlot;
    int progressMode;
    const char *opponent;
    const char *address;  // typed into the question screen, or none
    const char *shots[5]; // question; waiting, challenger named, connection lost, refused
};

// clang-format off
const Side serverSide{"change2server", ModeServerWait, "BLUE COMET", nullptr,
                      {"server-ask", "server-wait", "server-challenger", "server-lost", "server-busy"}};
const Side clientSide{"change2client", ModeClientConnect, "RED ARROW", "192.168.1.20",
                      {"client-ask", "client-connecting", "client-challenger", "client-failed", "client-refused"}};
// clang-format on

void playCare(Director &d, const QString &name)
{
    d.tick();
    d.part<QLineEdit>("nameEdit")->setText(name);
    d.shoot("naming");

    d.call("handleOK");
    // A horse some weeks into its training: the status bars say something, and its race against
    // the computer stays close (its race weight, 197, gives it little head start).
    gs.horse.attributes.age = 6.5f;
    gs.horse.attributes.muscle = 320.0f;
    gs.horse.attributes.fat = 290.0f;
    gs.horse.attributes.power = 210.0f;
    gs.horse.attributes.spirit = 260.0f;
    d.tick(3);
    d.shoot("idle");

    d.call("change2eat");
    d.tick(4);
    d.shoot("eat");
    d.call("change2sleep");
    d.tick(3);
    d.shoot("sleep");
    d.call("change2run");
    d.tick(3);
    d.shoot("run");

    // The horse in the air over a block.
    d.call("change2jump");
    d.tick();
    const bool cleared = d.tickUntil([&d] {
        if (gs.care.block.active == 1 && gs.care.block.distance == 1)
            d.call("hop");
        return gs.care.inAir == 1 && gs.care.block.active == 1 && gs.care.block.distance == 0;
    });
    if (!cleared)
        d.fail("no block came to jump over");
    d.shoot("jump");

    d.call("change2status");
    d.tick();
    d.shoot("status");
    d.call("aboutTrotix");
    d.tick();
    d.shoot("about");
    d.call("handleOK");
    d.tick();
}

void playSide(Director &d, const Side &side)
{
    gs.race.opponentName = QString::fromLatin1(side.opponent);
    d.call(side.menuSlot);
    d.tick();
    if (side.address) {
        d.part<QLineEdit>("addressEdit")->setText(QString::fromLatin1(side.address));
        // Two games waiting nearby, the one typed above chosen from them.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *lan = window->findChild<LanGames *>())
                lan->pretendFound({{2, 0, "RED ARROW", "stable.local", side.address},
                                   {2, 0, "SILVER HOOF", "barn.local", "192.168.1.31"}});
            if (auto *list = window->findChild<QListWidget *>(QStringLiteral("gameList")))
                list->setCurrentRow(0);
        }
    }
    d.shoot(side.shots[0]);
    // The progress screen as confirmNetwork leaves it, without opening a real socket.
    gs.shell.mode = side.progressMode;
    d.call("clearScreen");
    d.part<QPushButton>("disconnectButton")->show();
    const int netStates[] = {0, 4, 10, 30};
    for (int i = 0; i < 4; ++i) {
        gs.net.netState = netStates[i];
        d.tick();
        d.shoot(side.shots[i + 1]);
    }
    d.call("disconnectNetwork");
    d.tick();
}

void playRace(Director &d)
{
    // A close race makes the better picture: EMBEDDED STAR and the see-saw pattern.
    scriptRandomDraws({RAND_MAX, 0, 0, 0});
    d.call("change2racedemo");
    d.tick(4);
    d.shoot("race-start");
    if (!d.tickUntil([] { return gs.race.positions.pos1 >= 1000; }))
        d.fail("the race never reached mid-course");
    d.shoot("race-mid");
    // The finish line over the distance readouts, which it leaves readable.
    if (!d.tickUntil([] { return finishLineOnScreen(gs.race.positions.pos1).right() <= readoutBand.right(); }))
        d.fail("the race never reached the finish");
    d.shoot("race-finish");
    if (!d.tickUntil([] { return gs.race.raceTick >= 24; }))
        d.fail("the race never showed its result");
    d.shoot("race-result");
}

// The help window as it opens over the idle horse, and the horse paused.
void playComforts(Director &d, Trotix &widget)
{
    d.call("change2idle");
    d.tick(2);
    widget.setPaused(true);
    d.shoot("paused");
    widget.setPaused(false);
    widget.showHelp();
    auto *help = widget.findChild<QDialog *>(QStringLiteral("helpWindow"));
    if (!help)
        return d.fail("no help window");
    d.shoot("help", help);
    help->close();
    // The book (R) over six play hours of training planted in the history: from a young horse to
    // today's, ageing past 5 on the way.
    QList<HistoryLine> life;
    const Attributes young{1, 150, 50, 100, 100}, now = gs.horse.attributes;
    for (int i = 0; i <= 36; ++i) {
        const float f = float(i) / 36, wave = 12.0f * float(std::sin(i / 3.0));
        const Attributes a{young.age + f * (now.age - young.age), young.muscle + f * (now.muscle - young.muscle) + wave,
                           young.fat + f * (now.fat - young.fat) - wave, young.power + f * (now.power - young.power),
                           young.spirit + f * (now.spirit - young.spirit) + wave};
        life << HistoryLine{QByteArray(gs.horse.name), 1796666400 + i * 600, i * 600, a, raceWeight(a), {}};
    }
    QFile history(Paths::historyFile());
    if (!history.open(QIODevice::WriteOnly) || history.write(formatHistory(life)) < 0)
        return d.fail("cannot plant the history");
    history.close();
    QDialog *book = showHorseBook(&widget, gs);
    // A desktop's theme puts its icon on the Close button; the offscreen platform shows none.
    auto *close = book->findChild<QPushButton *>();
    close->setIcon(close->style()->standardIcon(QStyle::SP_DialogCloseButton));
    d.shoot("book", book);
}

int usage()
{
    std::fprintf(stderr, "usage: trotix-screenshots OUTDIR [--scale N] [--pics DIR] [--name NAME] [SCREEN ...]\n"
                         "       trotix-screenshots --list\n");
    return 2;
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No search of this machine's network: the client's list shows two games made up below.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/trotix-screenshots");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--list")) {
        for (const char *name : screenNames)
            std::printf("%s\n", name);
        return 0;
    }
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-')))
        return usage();
    const QString outDir = QDir(args.takeFirst()).absolutePath();
    // The waiting screen shows a home network's address, whatever this machine has.
    setOwnAddressSource([] { return QList<QHostAddress>{QHostAddress(QStringLiteral("192.168.1.10"))}; });
    qreal scale = 1;
    QString pics = QStringLiteral(TROTIX_BUILD_PICS_DIR);
    QString name = QStringLiteral("THUNDER");
    QStringList wanted;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--scale") && !args.isEmpty()) {
            scale = ScreenScale::parseScale(args.takeFirst().toLatin1());
            if (scale < 1)
                return usage();
        } else if (arg == QLatin1String("--pics") && !args.isEmpty()) {
            pics = QDir(args.takeFirst()).absolutePath();
        } else if (arg == QLatin1String("--name") && !args.isEmpty()) {
            name = args.takeFirst();
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage();
        } else {
            wanted << arg;
        }
    }
    for (const QString &screen : wanted) {
        if (std::find(std::begin(screenNames), std::end(screenNames), screen) == std::end(screenNames)) {
            std::fprintf(stderr, "trotix-screenshots: no screen called %s (see --list)\n", qPrintable(screen));
            return 2;
        }
    }

    // The game plays in a home of its own: the player's real horse is never touched.
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("etc"))
        || !QFile::link(pics, home.path() + QStringLiteral("/pics")) || !QDir().mkpath(outDir)) {
        std::fprintf(stderr, "trotix-screenshots: cannot prepare %s and %s\n", qPrintable(home.path()),
                     qPrintable(outDir));
        return 1;
    }
    qputenv("QPEDIR", home.path().toLocal8Bit());

    Trotix widget(nullptr, nullptr, {});
    widget.findChild<QTimer *>(QStringLiteral("lifeTimer"))->stop();
    QPEApplication::setWindowScale(&widget, scale);
    widget.show();

    Director director(widget, outDir, wanted);
    playCare(director, name);
    playSide(director, serverSide);
    playSide(director, clientSide);
    playRace(director);
    playComforts(director, widget);

    for (const char *screen : screenNames) {
        if (!director.shot().contains(QString::fromLatin1(screen)))
            director.fail("a screen was left out");
    }
    return director.failed() ? 1 : 0;
}
