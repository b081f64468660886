// The game as a program: started headless it ticks and saves; a second game on the same save
// stays out; without any display it says how to play instead of dying.
#include "gamefixture.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace {

QString gameBinary() { return qEnvironmentVariable("TROTIX_GAME_BINARY"); }

// Waits until the game has said what is wanted (or stopped), keeping all it said.
bool waitForLog(QProcess &game, QByteArray &log, const QByteArray &wanted, int ms = 5000)
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

    void aSecondGameOnTheSameSaveStaysOut()
    {
        GameHome home;
        home.writeAttr(defaultHorseFile);
        QProcess first;
        startGame(first, home);
        QVERIFY(first.waitForStarted());
        QByteArray firstLog;
        QVERIFY(waitForLog(first, firstLog, "trotix: Old parameter file.\n"));

        QProcess second;
        startGame(second, home);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);
        const QByteArray said = second.readAllStandardOutput();
        QVERIFY2(said.startsWith("trotix: Another Trotix (process "), said.constData());
        QVERIFY(said.contains(home.attrPath().toLocal8Bit()));
        QVERIFY(!said.contains("parameter file")); // it never read nor touched the save

        // A game on its own save runs side by side.
        GameHome other;
        other.writeAttr(defaultHorseFile);
        QProcess third;
        startGame(third, other);
        QVERIFY(third.waitForStarted());
        QByteArray thirdLog;
        QVERIFY(waitForLog(third, thirdLog, "trotix: Old parameter file.\n"));

        for (QProcess *game : {&first, &third}) {
            game->kill();
            game->waitForFinished();
        }
        // The lock of a killed game does not keep the next start out.
        QProcess again;
        startGame(again, home);
        QByteArray againLog;
        QVERIFY(waitForLog(again, againLog, "trotix: Old parameter file.\n"));
        again.kill();
        again.waitForFinished();
    }

    void headlessGameTicksEverySecondAndSavesOnTheTenth()
    {
        GameHome home;
        home.writeAttr("BLAZE||||||||||\n2\n3\n4\n5\n6\n");
        QProcess game;
        startGame(game, home);
        QByteArray log;
        // The line after the save's own shows that the save is done.
        QVERIFY(waitForLog(game, log, "trotix: Write Attribute File\ntrotix: Action>>call idle()\n", 15000));
        game.kill();
        game.waitForFinished();
        QStringList lines;
        for (const QString &line : logLines(log)) {
            if (!line.contains(QLatin1String(" step ")))
                lines << line; // the dispatch lines, without the activity's own
        }
        QCOMPARE(lines.value(0), QStringLiteral("trotix: String-> BLAZE||||||||||\n"));
        QCOMPARE(lines.value(1), QStringLiteral("trotix: Old parameter file.\n"));
        for (int i = 2; i < 11; ++i)
            QCOMPARE(lines.value(i), QStringLiteral("trotix: Action>>call idle()\n"));
        QCOMPARE(lines.value(11), QStringLiteral("trotix: Write Attribute File\n"));
        QVERIFY(home.readAttr().startsWith("BLAZE||||||||||\n2."));
    }

    void withoutADisplayItSaysHowToPlay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        GameHome home;
        env.insert(QStringLiteral("QPEDIR"), home.root());
        QProcess game;
        game.setProcessEnvironment(env);
        game.start(gameBinary(), {});
        QVERIFY(game.waitForFinished(10000));
        QCOMPARE(game.exitCode(), 1);
        const QByteArray said = game.readAllStandardOutput();
        QVERIFY(said.startsWith("trotix: No display found"));
        QVERIFY(said.contains("xvfb-run"));
        QVERIFY(said.contains("QT_QPA_PLATFORM=vnc"));
        QCOMPARE(game.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestMain)
#include "tst_main.moc"
