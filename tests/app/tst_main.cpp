// The game as a program: a second game on the same save brings the first to the front or stays out, while a save that cannot be
// locked only stops the saving; a signal ends it with the horse saved; without any display it
// says how to play instead of dying, and answers --help.
#include "gamefixture.h"
#include "platform/savelock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString gameBinary() { return qEnvironmentVariable("TROTIX_GAME_BINARY"); }

// Waits until the game has said what is wanted (or stopped), keeping all it said: long, as a busy machine is slow.
bool waitForLog(QProcess &game, QByteArray &log, const QByteArray &wanted, int ms = 30000)
{
    QDeadlineTimer deadline(ms);
    game.waitForStarted();
    while (!log.contains(wanted) && game.state() == QProcess::Running && !deadline.hasExpired()) {
        game.waitForReadyRead(50);
        log += game.readAllStandardOutput();
    }
    return log.contains(wanted);
}

// Starts the game headless on the home's save.
void startGame(QProcess &game, const GameHome &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QPEDIR"), home.root());
    game.setProcessEnvironment(env);
    game.start(gameBinary(), {});
}

// Ends the game with a signal and returns all it said; it must end by itself, in order.
QByteArray endWith(QProcess &game, QByteArray log, int signalNumber)
{
    ::kill(pid_t(game.processId()), signalNumber);
    if (!game.waitForFinished(10000))
        game.kill();
    return log + game.readAllStandardOutput();
}

const QByteArray namedHorse("BLAZE||||||||||\n2.000000\n3.000000\n4.000000\n5.000000\n6.000000\n");

}

class TestMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (gameBinary().isEmpty())
            QSKIP("TROTIX_GAME_BINARY is not set");
    }

    // A second start on a save brings the first game's window to the front and stays out without touching the save;
    // where no game answers (an older one, here a lock held by another program), it says so and stops; a killed
    // game's lock does not hold.
    void aSecondGameOnTheSameSaveStaysOut()
    {
        GameHome home, old;
        home.writeAttr(defaultHorseFile);
        QProcess first, second, again, live, secondOnOld;
        QByteArray firstLog, againLog;
        startGame(first, home);
        QVERIFY(waitForLog(first, firstLog, "trotix: Old parameter file.\n"));
        startGame(second, home);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(),
                 "trotix: Trotix already plays the horse in " + home.attrPath().toLocal8Bit() + "; its window is brought to the front.\n");
        QVERIFY(waitForLog(first, firstLog, "trotix: Another start on this horse's save: this window is brought to the front.\n"));
        live.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(live.waitForStarted());
        old.writeAttr(defaultHorseFile);
        GameHome::writeFile(old.attrPath() + ".lock",
                            QByteArray::number(live.processId()) + "\nsleep\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        startGame(secondOnOld, old);
        QVERIFY(secondOnOld.waitForFinished(10000));
        QCOMPARE(secondOnOld.exitCode(), 1);
        const QByteArray said = secondOnOld.readAllStandardOutput();
        QVERIFY2(said.startsWith("trotix: Another Trotix (process ") && !said.contains("parameter file"), said);
        QVERIFY(said.contains(old.attrPath().toLocal8Bit()));
        endWith(first, {}, SIGKILL);
        startGame(again, home);
        QVERIFY(waitForLog(again, againLog, "trotix: Old parameter file.\n"));
        endWith(again, {}, SIGKILL);
        live.kill();
        live.waitForFinished();
    }

    // The start says what it found; SIGTERM (a log-out) ends the game with the horse saved, and
    // with no name yet nothing is written.
    void aSignalEndsTheGameWithTheHorseSaved()
    {
        for (const QByteArray &horse : {namedHorse, templateHorseFile}) {
            const bool named = horse == namedHorse;
            GameHome home;
            home.writeAttr(horse);
            QProcess game;
            startGame(game, home);
            QByteArray log;
            // The idle loop's end ages the horse: progress that the tenth tick has not saved yet.
            QVERIFY(waitForLog(game, log, named ? "idle step 2\n" : "trotix: Action>>Naming()\n"));
            log = endWith(game, log, SIGTERM);
            QCOMPARE(game.exitStatus(), QProcess::NormalExit);
            QCOMPARE(game.exitCode(), 0);
            const QByteArray ending = "trotix: SIGTERM: the game ends in order.\n";
            QVERIFY2(log.startsWith(named ? "trotix: String-> BLAZE||||||||||\ntrotix: Old parameter file.\n"
                                          : "trotix: String-> %%%%%%%%%%%%%%%%\ntrotix: New parameter file.\n"),
                     log.constData());
            QVERIFY2(log.endsWith(named ? ending + "trotix: Write Attribute File\n" : ending), log.right(200).constData());
            QVERIFY2(named ? home.readAttr().startsWith("BLAZE||||||||||\n2.01") : home.readAttr() == horse, home.readAttr().constData());
        }
    }

    // A lock left next to the save is taken unless it names a live game here (aSecondGameOnTheSameSaveStaysOut,
    // tst_attrfile) or a game elsewhere; a lock that is no file fails. Who holds it is told.
    void aLockLeftBehindIsReadForWhatItSays()
    {
        const QByteArray host = "\n" + QSysInfo::machineHostName().toUtf8() + "\n",
                         own = QByteArray::number(QCoreApplication::applicationPid());
        using R = SaveLock::Result;
        // clang-format off
        const std::pair<QByteArray, R> rows[] = {
            {{}, R::Held}, {"", R::Held}, {"garbage\n\x01\xff", R::Held}, {"1\nanother-program" + host, R::Held},
            {"2147483646\ntrotix" + host, R::Held},
            {own + "\n" + QCoreApplication::applicationName().toUtf8() + host, R::Held}, // an earlier run's, of this very program
            {"1\ntrotix\nanother-machine\n", R::HeldByOther}, {"fifo", R::Failed}};
        // clang-format on
        for (const auto &[content, result] : rows) {
            GameHome home;
            const QString lockPath = home.attrPath() + ".lock";
            if (content == "fifo")
                QVERIFY(::mkfifo(QFile::encodeName(lockPath).constData(), 0600) == 0);
            else if (!content.isNull())
                GameHome::writeFile(lockPath, content);
            SaveLock lock(home.attrPath());
            QCOMPARE(lock.acquire(), result);
            QCOMPARE(lock.failure().isEmpty(), result != R::Failed);
            if (result != R::Failed)
                QCOMPARE(lock.holderPid(), result == R::Held ? own.toLongLong() : content.split('\n')[0].toLongLong());
        }
    }

    void aSaveThatCannotBeLockedStopsOnlyTheSaving()
    {
        GameHome home;
        home.writeAttr(namedHorse);
        const QString etc = QFileInfo(home.attrPath()).path();
        QProcess game;
        QFile::setPermissions(etc, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
        if (geteuid() == 0) {
            // Root writes anywhere: the game plays as nobody, who may read the home but not write it.
            QFile::setPermissions(home.root(), QFile::permissions(home.root()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
            game.setChildProcessModifier([] {
                const uid_t nobody = 65534;
                if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                    ::_exit(2);
            });
        }
        startGame(game, home);
        QByteArray log;
        QVERIFY2(waitForLog(game, log, "trotix: Action>>idle step 2\n"), log.constData());
        log = endWith(game, log, SIGTERM);
        QFile::setPermissions(etc, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(game.exitCode(), 0);
        const QStringList lines = logLines(log);
        QCOMPARE(lines.value(0), "trotix: Cannot lock the save " + home.attrPath()
                                     + ".lock (Permission denied); the game plays on but this session cannot save.\n");
        QVERIFY(lines.contains(QStringLiteral("trotix: Old parameter file.\n")));
        QVERIFY(!log.contains("Write Attribute File"));
        QCOMPARE(home.readAttr(), namedHorse);
    }

    // Without any display: --help and --version answer, a game says how to play instead of dying.
    void withoutADisplay()
    {
        const std::tuple<QString, int, QString> rows[] = {
            {"--help", 0, "^Usage: \\S*trotix \\[options\\]\n(.*\n)*  -v, --version .*\n$"},
            {"--version", 0, "^trotix \\d+\\.\\d+\\.\\d+\n$"},
            {QString(), 1, "^trotix: No display found(.*\n)*.*xvfb-run(.*\n)*.*QT_QPA_PLATFORM=vnc"}};
        for (const auto &[option, exitCode, answer] : rows) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
            GameHome home;
            env.insert(QStringLiteral("QPEDIR"), home.root());
            QProcess game;
            game.setProcessEnvironment(env);
            game.start(gameBinary(), option.isEmpty() ? QStringList() : QStringList{option});
            QVERIFY(game.waitForFinished(10000));
            QCOMPARE(game.exitCode(), exitCode);
            const QString said = QString::fromLocal8Bit(game.readAllStandardOutput());
            QVERIFY2(QRegularExpression(answer).match(said).hasMatch(), qPrintable(said));
            QCOMPARE(game.readAllStandardError(), QByteArray());
            if (exitCode == 0)
                QVERIFY(QDir(home.root() + QStringLiteral("/etc")).isEmpty()); // no game began
        }
    }
};

QTEST_GUILESS_MAIN(TestMain)
#include "tst_main.moc"
