// The seat that Weston's headless backend lacks, preloaded into the real game by wayland.py: one
// command a line on standard input, handed to Qt's window system interface where the Wayland
// plugin hands over a seat's events; answers on standard output (the game's log), "seat: ...".
//   key K           K pressed and released: a character (W) or a key's name (F11)
//   tap|hold|click  a finger's tap, a finger held 1.5 s, the pointer's click, at the centre of a
//     [TARGET]      widget (object name), of an entry of the open pop-up menu (text), or else of the window
//   window          "seat: window WxH full F popup P"
#include <QApplication>
#include <QMenu>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

void touch(QWindow *window, QPoint at, bool press)
{
    static QPointingDevice *finger = QTest::createTouchDevice();
    auto sequence = QTest::touchEvent(window, finger);
    press ? sequence.press(0, at, window) : sequence.release(0, at, window);
}

void run(const QString &line)
{
    const QString verb = line.section(QLatin1Char(' '), 0, 0), what = line.section(QLatin1Char(' '), 1);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QWidget *game = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!game && top->isVisible() && !top->inherits("QMenu"))
            game = top;
    }
    QWidget *widget = menu ? menu : game;
    QWindow *window = widget->windowHandle();
    QPoint at = widget->rect().center();
    for (QAction *action : menu ? menu->actions() : QList<QAction *>())
        at = action->text() == what ? menu->actionGeometry(action).center() : at;
    if (auto *child = widget->findChild<QWidget *>(what))
        at = child->mapTo(widget, child->rect().center());
    if (verb == QLatin1String("window")) {
        std::printf("seat: window %dx%d full %d popup %s\n", game->width(), game->height(), int(game->isFullScreen()),
                    menu ? qPrintable(menu->objectName()) : "none");
    } else if (verb == QLatin1String("key")) {
        // A seat's keyboard entering the window makes it the active one, whose shortcuts count.
        QApplication::setActiveWindow(game);
        if (what.size() == 1)
            QTest::keyClick(window, what.at(0).toLatin1());
        else
            QTest::keyClick(window, QKeySequence::fromString(what)[0].key());
    } else if (verb == QLatin1String("click")) {
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
    } else {
        touch(window, at, true);
        QTimer::singleShot(verb == QLatin1String("hold") ? 1500 : 50, window, [=] { touch(window, at, false); });
    }
    std::printf("seat: done %s\n", qPrintable(line));
    std::fflush(stdout);
}

// Called as the application is made, before its loop runs.
void start()
{
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        static QByteArray pending;
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        notifier->setEnabled(got > 0);
        pending.append(buffer, qMax<ssize_t>(got, 0));
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            run(QString::fromLatin1(pending.left(end)));
    });
}

}

Q_COREAPP_STARTUP_FUNCTION(start)
