// What the player sees through the real window (menu bar, buttons, pop-ups, help and record windows)
// step by step at 1x, 2x and 3x, with the log: each step a line of a film, the window's place, zoom,
// state and a digest of its pixels, to match tests/app/films/. A change meant to be seen: run with
// TROTIX_FILM_REFRESH=1, look at the frames it saves beside the test, commit the new films.
#include "app/historychartwidget.h"
#include "gamefixture.h"
#include "net/ownaddress.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/stylus.h"
#include "platform/windowsettings.h"
#include "screencheck.h"

#include <QDialog>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <cstdlib>

namespace {

QString place(const QWidget *w)
{
    const QRect g = w->frameGeometry();
    return QStringLiteral("%1x%2+%3+%4").arg(g.width()).arg(g.height()).arg(g.x()).arg(g.y());
}

QString focus(const QWidget *window) // where the keys go: the focused widget, by name or else by class
{
    const QWidget *w = window->focusWidget();
    const QString name = w ? w->objectName() : QStringLiteral("none");
    return " focus " + (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name);
}

QString size(const QFont &font)
{
    return font.pixelSize() > 0 ? QStringLiteral("%1px").arg(font.pixelSize()) : QStringLiteral("%1pt").arg(font.pointSizeF());
}

class Film
{
public:
    explicit Film(const QString &name) : m_name(name)
    {
        QFile file(QStringLiteral(TROTIX_FILMS_DIR "/%1.txt").arg(name));
        if (file.open(QIODevice::ReadOnly))
            m_expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    }
    // One line; a frame whose line differs from the reference is saved for a look.
    void add(const QString &line, const QImage &frame = QImage())
    {
        for (const QString &logged : logLines(m_log.text())) // the game's home: a new folder each run
            m_lines << QStringLiteral("  log: ") + logged.trimmed().replace(qEnvironmentVariable("QPEDIR"), "$QPEDIR");
        m_log.clear();
        if (!heard.isEmpty())
            m_lines << QStringLiteral("  heard: ") + std::exchange(heard, {}).join(QStringLiteral(", "));
        m_lines << line;
        if (!frame.isNull() && (m_refresh || m_lines.size() > m_expected.size() || m_expected[m_lines.size() - 1] != line))
            frame.save(QStringLiteral("%1-%2.png").arg(m_name).arg(m_lines.size(), 3, 10, QLatin1Char('0')));
    }
    void check()
    {
        add(QStringLiteral("end"));
        QFile out(m_refresh ? QStringLiteral(TROTIX_FILMS_DIR "/%1.txt").arg(m_name) : m_name + QStringLiteral(".txt"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(m_lines.join(QLatin1Char('\n')).toUtf8());
        for (int i = 0; i < m_lines.size() && !m_refresh; ++i)
            QVERIFY2(i < m_expected.size() && m_lines[i] == m_expected[i],
                     qPrintable(QStringLiteral("%1.txt line %2 is \"%3\", was \"%4\"")
                                    .arg(m_name, QString::number(i + 1), m_lines[i], m_expected.value(i))));
    }

private:
    QString m_name;
    QStringList m_expected, m_lines;
    LogCapture m_log;
    const bool m_refresh = qEnvironmentVariableIsSet("TROTIX_FILM_REFRESH");
};

// The main window as shown, and the game's state that the player can tell from it.
void shoot(Film &film, const QString &step, Trotix *widget)
{
    // What the window system was given to show, partial repaints included.
    QCoreApplication::processEvents();
    const QImage frame = widget->screen()->grabWindow(widget->winId()).toImage();
    const QPoint at = widget->screenOrigin();
    const QString zoom = QStringLiteral("%1 at %2,%3").arg(widget->screenScale()).arg(at.x()).arg(at.y());
    const QString flags = QString(widget->isFullScreen() ? " full" : "") + (widget->isPaused() ? " paused" : "");
    film.add(QStringLiteral("%1: %2 zoom %3%4 mode %5 font %6 %7 \"%8\"")
                     .arg(step, place(widget), zoom, flags, QString::number(gs.shell.mode), size(widget->font()), digest(frame),
                          widget->windowTitle())
                 + focus(widget),
             frame);
}

// A window of its own (pop-up menu, help, record): its place, its font and its pixels.
void shootWindow(Film &film, const QString &step, QWidget *window)
{
    QVERIFY(window && QTest::qWaitForWindowExposed(window));
    QImage frame = window->grab().toImage();
    const QTextBrowser *text = window->findChild<QTextBrowser *>();
    // The guide's own words are the documentation's to change: their place and type are what count.
    if (text)
        for (const QWidget *part : {text->viewport(), static_cast<QWidget *>(text->verticalScrollBar())})
            QPainter(&frame).fillRect(QRect(part->mapTo(window, QPoint()), part->size()), Qt::black);
    // The book's chart follows the clock its history was written by (tst_history checks its lines).
    if (const auto *chart = window->findChild<HistoryChartWidget *>())
        QPainter(&frame).fillRect(QRect(chart->mapTo(window, QPoint()), chart->size()), Qt::black);
    // Its title, and the guide's part shown first: the handheld's on the device's own screen.
    const QString top = text ? QStringLiteral(" at \"%1\"").arg(text->cursorForPosition(QPoint(8, 8)).block().text()) : QString();
    film.add(QStringLiteral("%1: %2 font %3 %4 %5 \"%6\"%7")
                     .arg(step, place(window), size((text ? text : window)->font()), digest(frame),
                          text ? text->document()->defaultStyleSheet() : QString(), window->windowTitle(), top)
                 + focus(window),
             frame);
    // A window's own button closes it (a touch screen has no Escape); a menu goes as a click beside it would.
    if (auto *button = window->findChild<QPushButton *>())
        QTest::mouseClick(button, Qt::LeftButton);
    else
        window->close();
    QVERIFY(!window->isVisible());
}

// Plays one step: "tick N", "slot NAME", "type TEXT", "key NAME", "zoom N", "net MODE STATE", "scroll N", "disconnect",
// "notice TEXT", "keyboard", "minimise" (and "minimise no"), "menu N" (the bar's N-th pop-up), "zoommenu", "help", "record".
void play(Film &film, GameFixture &game, const QString &step)
{
    Trotix *widget = game.widget();
    const QString what = step.section(QLatin1Char(' '), 0, 0), arg = step.section(QLatin1Char(' '), 1);
    if (what == QLatin1String("tick")) {
        for (int i = 0; i < arg.toInt(); ++i) {
            game.tick();
            shoot(film, QStringLiteral("tick"), widget);
        }
        return;
    }
    if (what == QLatin1String("slot"))
        game.call(qPrintable(arg));
    else if (what == QLatin1String("type"))
        QTest::keyClicks(QApplication::focusWidget(), arg);
    else if (what == QLatin1String("key") || what == QLatin1String("record")) { // the record as a player opens it: R
        // The game's keys are the window's: back to it from a pop-up or dialog, as a click would.
        widget->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(widget));
        QTest::keySequence(widget->windowHandle(), QKeySequence::fromString(what == QLatin1String("key") ? arg : "R"));
    } else if (what == QLatin1String("zoom"))
        QPEApplication::setWindowScale(widget, arg.toDouble());
    else if (what == QLatin1String("net")) // "net MODE STATE": where a connection stands
        std::tie(gs.shell.mode, gs.net.netState) = std::pair(arg.section(' ', 0, 0).toInt(), arg.section(' ', 1).toInt());
    else if (what == QLatin1String("scroll")) // the field moved under what is shown
        gs.care.backgroundOffset += arg.toInt();
    else if (what == QLatin1String("disconnect")) // as a network race shows it
        part<QPushButton>("disconnectButton")->show();
    else if (what == QLatin1String("notice")) // over the screens for a while
        widget->showNotice(arg);
    else if (what == QLatin1String("keyboard")) { // the screen keyboard, opened as a tap on the field opens it
        qputenv("TROTIX_KEYBOARD", "screen");
        Stylus::attach(widget);
        qunsetenv("TROTIX_KEYBOARD");
        QTest::mouseClick(QApplication::focusWidget(), Qt::LeftButton);
    } else if (what == QLatin1String("minimise"))
        widget->setWindowState(arg.isEmpty() ? Qt::WindowMinimized : Qt::WindowNoState);
    if (what == QLatin1String("menu") || what == QLatin1String("zoommenu")) {
        QList<QMenu *> menus{widget->findChild<QMenu *>(QStringLiteral("zoomMenu"))};
        for (QAction *title : part<IdMenuBar>("menuBar")->actions())
            if (title->menu())
                menus << title->menu();
        QMenu *menu = menus.value(what == QLatin1String("menu") ? arg.toInt() + 1 : 0);
        menu->popup(widget->mapToGlobal(QPoint(10, 40)));
        return shootWindow(film, step, menu);
    }
    if (what == QLatin1String("help"))
        widget->showHelp();
    if (what == QLatin1String("help") || what == QLatin1String("record"))
        return shootWindow(film, step, widget->findChild<QDialog *>(what == QLatin1String("help") ? "helpWindow" : "horseBook"));
    shoot(film, step, widget);
}

}

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setCursorFlashTime(0);
        // The waiting screen shows the device's addresses: the same ones wherever the test runs.
        setOwnAddressSource(
            [] { return QList<QHostAddress>{QHostAddress(QStringLiteral("10.0.0.7")), QHostAddress(QStringLiteral("192.168.100.200"))}; });
    }

    // Scenes played on Qt's offscreen default screen (800 x 800), each from a fresh game.
    void scenes_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<QStringList>("steps");
        // clang-format off
        QTest::newRow("first-session") << templateHorseFile << QStringList{
            "zoom 1", "tick 1", "keyboard", "tick 1", "type THUNDER", "key Return", "tick 3", "menu 0", "menu 1",
            "slot change2eat", "tick 7", "slot change2sleep", "tick 5", "slot change2run", "tick 6",
            "slot change2jump", "tick 2", "key H", "slot change2idle", "tick 1", "slot change2jump", "tick 2", "key H", "tick 4", "key U", "tick 1", "key Esc", "key B", "tick 1",
            "slot handleOK", "tick 1", "key P", "tick 1", "key P", "minimise", "tick 1", "minimise no", "key P", "minimise",
            "minimise no", "tick 1", "key P",
            "record", "help", "key F11", "tick 1", "key Esc", "tick 1"}; // full screen left for the zoom it left
        QTest::newRow("race-2x") << defaultHorseFile << QStringList{
            "zoom 2", "menu 0", "menu 1", "slot change2run", "tick 3", "slot change2racedemo", "tick 40", "key P", "tick 2", "key P",
            "tick 80", "record", "help", "key F11", "tick 1", "key Esc", "tick 1",
            "slot change2run", "tick 2", "slot change2racedemo", "slot change2run", "tick 1", "help", "slot change2jump", "tick 12", "key M", "slot change2eat", "tick 3"};
            // run afresh after a race; the help again; a jump until the block hits; sound off, a silent meal
        QTest::newRow("repaints") << defaultHorseFile << QStringList{"slot aboutTrotix", "tick 2", "slot change2server", "tick 2",
            "scroll 10", "tick 1", "slot change2client", "tick 2", "type 127.0.0.1", "tick 1", "slot change2racedemo",
            "disconnect", "tick 12", "slot change2idle", "tick 2", "zoom 2", "slot aboutTrotix", "tick 2", "zoom 1.5",
            "slot change2client", "tick 1", "keyboard", "tick 1", "zoom 2.5", "tick 1", "zoom 1.33", "zoom 1"};
            // sharp between whole zooms, and back at 1x every button and field where it was
        QTest::newRow("notice") << defaultHorseFile << QStringList{"notice Your horse could not be saved (no room left).", "tick 2", "zoom 2", "slot change2status", "tick 2", "zoom 3", "slot change2run", "tick 9", "zoom 1", "tick 1",
            "slot aboutTrotix", "tick 1", "notice A notice long enough to reach down to the OK button of the about screen, and to go with it when its time is over, leaving the button as it was, with nothing of it left behind: not a word, not a line, not a single pixel of its box, nor of the frame around it, nor of its shade, nor of anything at all that it once covered on the way.", "tick 13"};
        QTest::newRow("network-3x") << defaultHorseFile << QStringList{
            "zoom 3", "menu 0", "menu 1", "key P", "slot change2server", "tick 2", "key P", "tick 1", "key Esc",
            "tick 1", "slot change2client", "tick 1", "keyboard", "type 10.0.0.1", "tick 1", "key Esc", "tick 1",
            "zoom 1", "slot change2client", "tick 1", "help", "net 21 10", "tick 5", "net 21 30", "tick 5", "net 41 30", "tick 5",
            "net 21 11", "tick 1", "net 41 11", "tick 1", "net 21 1", "tick 1", "net 21 4", "tick 1", "net 41 3", "tick 1",
            "slot change2run", "tick 2", "net 41 5", "tick 2", "slot change2server", "tick 1", "slot confirmNetwork", "tick 2"};
        // clang-format on
    }

    void scenes()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QStringList, steps);
        listenToTheGame(); // each shot names what was heard since the one before
        GameFixture game(attr, GameHome::WithPictures, [](const GameHome &) { WindowSettings::setSound(true); });
        std::srand(1);
        game.widget()->show();
        QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
        Film film(QLatin1String(QTest::currentDataTag()));
        for (const QString &step : steps)
            play(film, game, step);
        film.check();
    }

    // The game presented on this screen by TROTIX_SCALE, a remembered zoom or full screen: screen, menu, help.
    void presentation()
    {
        const QSize screen = QGuiApplication::primaryScreen()->size();
        Film film(QStringLiteral("present-%1x%2").arg(screen.width()).arg(screen.height()));
        // Full screen remembered on (1), off (0), or no choice yet (-1: a first start).
        // clang-format off
        const std::tuple<const char *, qreal, int> rows[] = {{"", 0, false}, {"1", 0, false}, {"2", 0, false},
            {"3", 0, false}, {"", 1, false}, {"", 3, false}, {"", 0, true}, {"1", 0, true}, {"1.5", 0, false}, {"fit", 0, false},
            {"", ScreenScale::fit, false}, {"", 0, -1}};
        // clang-format on
        for (const auto &[scale, zoom, full] : rows) {
            qputenv("TROTIX_SCALE", scale);
            GameFixture game;
            WindowSettings::setZoom(zoom);
            if (full >= 0)
                WindowSettings::setFullScreen(full);
            QPEApplication::presentMainWidget(game.widget(), false);
            QVERIFY(QTest::qWaitForWindowExposed(game.widget()));
            const QString how = full > 0 ? " full" : full < 0 ? " first start" : "";
            const QString zoomed = QStringLiteral("TROTIX_SCALE=%1 zoom %2").arg(scale).arg(zoom);
            const QString row = zoomed + how + " as " + QGuiApplication::applicationDisplayName();
            play(film, game, QStringLiteral("tick 1"));
            film.add(row);
            play(film, game, QStringLiteral("zoommenu"));
            play(film, game, QStringLiteral("help"));
            for (QAction *entry : game.widget()->findChild<QMenu *>(QStringLiteral("zoomMenu"))->actions())
                if (entry->text().startsWith(QLatin1String("Zoom 1x"))) // chosen: the one marked then
                    entry->trigger();
            play(film, game, QStringLiteral("zoommenu"));
        }
        qunsetenv("TROTIX_SCALE");
        film.check();
    }
};

int main(int argc, char **argv)
{
    QPEApplication app(argc, argv, QPEApplication::GuiClient);
    TestWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window.moc"
