#include "app/trotix.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/gamepad.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/quitsignals.h"
#include "platform/savelock.h"
#include "platform/secondstart.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

void describeCommandLine(QCommandLineParser &parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("trotix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TROTIX_VERSION));
    parser.setApplicationDescription(
        QStringLiteral("Raise a horse, train it and race it against the computer or a friend's game.\n"
                       "The horse is kept in $QPEDIR/etc/trotix_attr.conf, else in ~/.local/share/trotix/."));
    // Qt's own options (-platform, -display ...) are single-dash words, not letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
}

}

int main(int argc, char **argv)
{
    // --help and --version answer even where no display could be opened, so they come first.
    {
        QCommandLineParser parser;
        describeCommandLine(parser);
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        parser.parse(arguments);
        if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))
            || parser.isSet(QStringLiteral("version"))) {
            QCoreApplication answering(argc, argv);
            parser.process(answering); // prints and exits
        }
    }

    QString help;
    if (!QPEApplication::displayAvailable(&help)) {
        std::fputs(qPrintable(help), stdout);
        return 1;
    }
    QPEApplication a(argc, argv, QPEApplication::GuiClient);
    {
        // What is left once Qt has taken its own options: anything else is a mistake.
        QCommandLineParser parser;
        describeCommandLine(parser);
        parser.process(a);
    }

    const QString save = Paths::attrFile();
    SaveLock lock(save);
    switch (lock.acquire()) {
    case SaveLock::Result::Held: removeLeftoverSaves(); break;
    case SaveLock::Result::HeldByOther:
        if (SecondStart::askToFront(lock.path())) {
            logText("trotix: Trotix already plays the horse in %s; its window is brought to the front.\n",
                    qPrintable(save));
            return 0;
        }
        logText("trotix: Another Trotix (process %lld) is already playing the horse in %s; "
                "this one stops so that neither overwrites the other.\n",
                static_cast<long long>(lock.holderPid()), qPrintable(save));
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            QMessageBox::warning(nullptr, QStringLiteral("Trotix"),
                                 QStringLiteral("Another Trotix is already playing this horse.\n"
                                                "Close it first, or start this one with its own QPEDIR."));
        }
        return 1;
    case SaveLock::Result::Failed:
        logText("trotix: Cannot lock the save %s.lock (%s); the game plays on but this session cannot save.\n",
                qPrintable(save), qPrintable(lock.failure()));
        forbidSavingUntilLocked(gs, QStringLiteral("Your horse's save cannot be locked (%1).\n").arg(lock.failure()));
        break;
    }

    // Made before the window so that a signal during start-up is handled once the loop runs.
    QuitSignals quitSignals;
    Trotix w(nullptr, nullptr, {});
    w.retrySaveLock(&lock);
    if (lock.isHeld())
        new SecondStart(&w, lock.path());
    QObject::connect(&quitSignals, &QuitSignals::received, &w, [&w](int signalNumber) {
        logText("trotix: %s: the game ends in order.\n", QuitSignals::name(signalNumber));
        w.close();
        QCoreApplication::quit();
    });
    a.showMainWidget(&w, false);
    Gamepad::attach(&w);
    const int result = a.exec();
    // Every orderly end (the window closed, Quit, a signal) keeps what happened since the last
    // tenth tick.
    saveNamedHorse(gs, save);
    return result;
}
