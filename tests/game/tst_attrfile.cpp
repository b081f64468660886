// The attribute file: what is written byte by byte, what is read back from any content, and that
// no save can leave a broken horse on disk.
#include "game/attrcodec.h"
#include "game/attrfile.h"
#include "game/racerecord.h"
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <functional>
#include <tuple>
#include <new>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

Horse defaultHorse()
{
    return horseOf(GameState());
}

Horse horse(const char *name15, float age, float muscle, float fat, float power, float spirit)
{
    Horse h;
    std::memcpy(h.name, name15, 15);
    h.name[15] = '\0';
    h.attributes.age = age;
    h.attributes.muscle = muscle;
    h.attributes.fat = fat;
    h.attributes.power = power;
    h.attributes.spirit = spirit;
    return h;
}

QByteArray nameOf(const Horse &h) { return QByteArray(h.name); }

// Horse number n of a run of saves: every field tells the number, so a mix of two saves shows.
Horse numberedHorse(int n)
{
    const QByteArray name = QByteArray("RUN|") + QByteArray::number(n).rightJustified(11, '0');
    Horse h = horse(name.constData(), float(n), float(n) * 2, float(n) + 0.5f, 1000.0f - float(n) / 4, float(n) / 8);
    for (char &c : h.name)
        c = c == '|' ? ' ' : c;
    return h;
}

QByteArray fileText(const Horse &h) { return formatAttrFile(h); }

// A child writes numbered contents (on from the number on disk) through `write` as fast
// as it can and tells through shared memory which write it has begun and which it has finished.
// It is killed at a random moment, `kills` times; after every kill `readBack` must give the
// number of the last finished write or of the one under way: a whole file, never a mix or a
// torn one (readBack gives -1 for those).
void killWritesAtRandom(int kills, const std::function<void(int)> &write, const std::function<int()> &readBack)
{
    struct Progress
    {
        std::atomic<int> begun;
        std::atomic<int> finished;
    };
    void *shared = mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    QVERIFY(shared != MAP_FAILED);
    auto *progress = new (shared) Progress{};

    QRandomGenerator random(4711);
    int onDisk = 0;
    int highest = 0;
    int foundUnderWay = 0;
    std::fflush(stdout);
    for (int round = 0; round < kills; ++round) {
        progress->begun = 0;
        progress->finished = 0;
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int number = onDisk + 1;; ++number) {
                progress->begun = number;
                write(number);
                progress->finished = number;
            }
        }
        // Once it is writing, the kill falls anywhere in the next few writes.
        for (int waited = 0; progress->begun == 0 && waited < 2000; ++waited)
            usleep(1000);
        usleep(random.bounded(0, 12000));
        kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        const int begun = progress->begun;
        const int finished = progress->finished;
        const int lastWhole = finished != 0 ? finished : onDisk;
        const int number = readBack();
        QVERIFY2(number == lastWhole || (begun != 0 && number == begun),
                 qPrintable(QStringLiteral("kill %1: number %2 on disk, last finished %3, under way %4")
                                .arg(round)
                                .arg(number)
                                .arg(lastWhole)
                                .arg(begun)));
        foundUnderWay += number != lastWhole ? 1 : 0;
        onDisk = number;
        highest = qMax(highest, begun);
    }
    munmap(shared, sizeof(Progress));
    qInfo("%d kills: the write under way was on disk after %d of them, the last finished one after the others; "
          "numbers up to %d written",
          kills, foundUnderWay, highest);
}

}

class TestAttrFile : public QObject
{
    Q_OBJECT

private slots:
    void defaultHorseIsWrittenAsSixLines()
    {
        QCOMPARE(formatAttrFile(defaultHorse()), defaultHorseFile);
    }

    void blanksBecomeBarsAndComeBackAsBlanks()
    {
        const Horse h = horse("A B            ", 2.5f, 151.25f, 49.0f, 0.005f, 1000.05f);
        const QByteArray file = formatAttrFile(h);
        QCOMPARE(file, QByteArray("A|B||||||||||||\n2.500000\n151.250000\n49.000000\n0.005000\n1000.049988\n"));
        const AttrFileContent back = parseAttrFile(file, defaultHorse());
        QVERIFY(!back.isNew);
        QCOMPARE(nameOf(back.horse), QByteArray("A B            "));
        QCOMPARE(back.horse.attributes.age, 2.5f);
        QCOMPARE(back.horse.attributes.muscle, 151.25f);
        QCOMPARE(back.horse.attributes.spirit, 1000.049988f);
        QCOMPARE(back.attributesRead, 5);
    }

    void aTypedBarComesBackAsABlank()
    {
        const Horse h = horse("X|Y            ", 1, 150, 50, 100, 100);
        QCOMPARE(nameOf(parseAttrFile(formatAttrFile(h), defaultHorse()).horse), QByteArray("X Y            "));
    }

    void numbersAreWrittenInTheCLocale()
    {
        std::setlocale(LC_ALL, "de_DE.UTF-8"); // if present, it would print "1,000000"
        const QByteArray file = formatAttrFile(defaultHorse());
        std::setlocale(LC_ALL, "C");
        QCOMPARE(file, defaultHorseFile);
    }

    void readsAnyContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QByteArray>("probe");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QList<float>>("attributes");

        const QList<float> initial{1.0f, 150.0f, 50.0f, 100.0f, 100.0f};
        QTest::newRow("16 percent signs: the template") << QByteArray("%%%%%%%%%%%%%%%%\n1.0\n") << true
                                                        << QByteArray("%%%%%%%%%%%%%%%%")
                                                        << QByteArray("MY HORSE       ") << initial;
        QTest::newRow("template word of 25 characters: probe keeps 19")
            << QByteArray("ABCDEFGHIJKLMNO%QRSTUVWXY\n") << true << QByteArray("ABCDEFGHIJKLMNO%QRS")
            << QByteArray("MY HORSE       ") << initial;
        QTest::newRow("15 percent signs: an old horse so named")
            << QByteArray("%%%%%%%%%%%%%%%\n2\n3\n4\n5\n6\n") << false << QByteArray("%%%%%%%%%%%%%%%")
            << QByteArray("%%%%%%%%%%%%%%%") << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("only a name line keeps the initial attributes")
            << QByteArray("BLAZE||||||||||\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << initial;
        QTest::newRow("short file: the fields read, the rest kept")
            << QByteArray("BLAZE||||||||||\n7.5\n200\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{7.5f, 200.0f, 50.0f, 100.0f, 100.0f};
        QTest::newRow("a word that is no number stops the reading")
            << QByteArray("BLAZE||||||||||\n7.5\nfast\n9\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{7.5f, 150.0f, 50.0f, 100.0f, 100.0f};
        QTest::newRow("empty file: an old default horse") << QByteArray("") << false << QByteArray()
                                                          << QByteArray("MY HORSE       ") << initial;
        QTest::newRow("blank file: an old default horse") << QByteArray(" \n\n\t") << false << QByteArray()
                                                          << QByteArray("MY HORSE       ") << initial;
        QTest::newRow("overlong first word: 15 characters kept, attributes read")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ\n2\n3\n4\n5\n6\n") << false
            << QByteArray("ABCDEFGHIJKLMNOPQRS") << QByteArray("ABCDEFGHIJKLMNO") << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("a shorter name ends at its NUL")
            << QByteArray("ABC\n2\n3\n4\n5\n6\n") << false << QByteArray("ABC") << QByteArray("ABC")
            << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("nan and inf keep the previous values, later fields still read")
            << QByteArray("BLAZE||||||||||\nnan\ninf\n-inf\n5\n6\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{1.0f, 150.0f, 50.0f, 5.0f, 6.0f};
        QTest::newRow("a float overflow reads as inf and is kept out")
            << QByteArray("BLAZE||||||||||\n1e39\n2\n3\n4\n5\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{1.0f, 2, 3, 4, 5};
        QTest::newRow("numbers on one line, extra lines ignored")
            << QByteArray("BLAZE|||||||||| 2 3 4 5 6 7 8\nxx") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("windows line ends") << QByteArray("BLAZE||||||||||\r\n2\r\n3\r\n4\r\n5\r\n6\r\n")
                                           << false << QByteArray("BLAZE||||||||||")
                                           << QByteArray("BLAZE          ") << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("a NUL byte ends the text")
            << QByteArray("BLAZE||||||||||\n2\n\0\n4\n", 22) << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{2, 150, 50, 100, 100};
    }

    void readsAnyContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, isNew);
        QFETCH(QByteArray, probe);
        QFETCH(QByteArray, name);
        QFETCH(QList<float>, attributes);

        const AttrFileContent read = parseAttrFile(content, defaultHorse());
        QCOMPARE(read.isNew, isNew);
        QCOMPARE(read.probe, probe);
        QCOMPARE(nameOf(read.horse), name);
        QCOMPARE(read.horse.name[15], '\0');
        const QList<float> got{read.horse.attributes.age, read.horse.attributes.muscle, read.horse.attributes.fat, read.horse.attributes.power,
                               read.horse.attributes.spirit};
        QCOMPARE(got, attributes);
    }

    void startUpLogsWhatItFound_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("attrFileValid");

        QTest::newRow("old") << defaultHorseFile
                             << QByteArray("trotix: String-> MY|HORSE|||||||\ntrotix: Old parameter file.\n") << 1 << 1;
        QTest::newRow("template") << QByteArray("%%%%%%%%%%%%%%%%\n")
                                  << QByteArray("trotix: String-> %%%%%%%%%%%%%%%%\ntrotix: New parameter file.\n")
                                  << 0 << 0;
        QTest::newRow("empty") << QByteArray("") << QByteArray("trotix: String-> \ntrotix: Old parameter file.\n")
                               << 1 << 1;
    }

    void startUpLogsWhatItFound()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, log);
        QFETCH(int, mode);
        QFETCH(int, attrFileValid);

        LogCapture capture;
        GameFixture game(content);
        QCOMPARE(capture.text(), log);
        QCOMPARE(gs.mode, mode);
        QCOMPARE(gs.attrFileValid, attrFileValid);
        QCOMPARE(gs.nameEdit->isHidden(), mode != 0);
        QCOMPARE(gs.okButton->isHidden(), mode != 0);
        QCOMPARE(gs.nameEdit->maxLength(), mode == 0 ? 15 : 32767);
    }

    void anAbsentFileAsksForAName()
    {
        LogCapture capture;
        GameFixture game(QByteArray{});
        QCOMPARE(gs.mode, 0);
        QCOMPARE(gs.attrFileValid, 0);
        // The shipped template is put in place, as a fresh device has it.
        QVERIFY(capture.text().startsWith("trotix: String-> %%%%%%%%%%%%%%%%\n"));
        QVERIFY(capture.text().endsWith("trotix: New parameter file.\n"));
        const QByteArray placed = game.home().readAttr();
        QVERIFY(placed.startsWith("%%%%%%%%%%%%%%%%"));
        game.tick(30);
        QCOMPARE(game.home().readAttr(), placed); // nothing is written before the horse has a name
    }

    void anUnwritableSaveIsLoggedAndTheGameGoesOn()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("notadir")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = dir.filePath(QStringLiteral("notadir/trotix_attr.conf"));
        LogCapture capture;
        QVERIFY(!saveAttrFile(gs, path));
        QVERIFY(capture.text().startsWith("trotix: Cannot write attribute file " + path.toLatin1()));
        QVERIFY(capture.text().endsWith("the horse on disk stays as it was.\n"));
        QCOMPARE(capture.text().count('\n'), 1);
    }

    void aSaveKilledAtAnyMomentLeavesTheLastHorseOrTheOneUnderWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_attr.conf"));
        GameState first;
        setHorse(first, numberedHorse(0));
        QVERIFY(saveAttrFile(first, path));
        killWritesAtRandom(
            400,
            [&path](int number) {
                GameState saving;
                setHorse(saving, numberedHorse(number));
                saveAttrFile(saving, path);
            },
            [&path] {
                GameState loaded;
                if (loadAttrFile(loaded, path) != AttrLoadResult::Old)
                    return -1;
                const int number = int(loaded.age);
                return fileText(horseOf(loaded)) == fileText(numberedHorse(number)) ? number : -1;
            });
        // Temporary files left by a kill never replace the save itself.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QVERIFY(name.startsWith(QStringLiteral("trotix_attr.conf")));
    }

    void aRaceRecordMissingOrDamagedCountsFromZero_data()
    {
        QTest::addColumn<QByteArray>("content"); // "-" for no file
        QTest::addColumn<QByteArray>("log");
        const QByteArray none = "trotix: No race record yet at %1; counting from zero.\n";
        const QByteArray damaged = "trotix: Race record %1 is damaged; counting from zero.\n";
        QTest::newRow("no file") << QByteArray("-") << none;
        QTest::newRow("empty") << QByteArray() << damaged;
        QTest::newRow("torn") << QByteArray("THUNDER||||||||\ncomputer 3 2\nnetw") << damaged;
        QTest::newRow("negative") << QByteArray("THUNDER||||||||\ncomputer -3 2\nnetwork 1 0\n") << damaged;
        QTest::newRow("too large") << QByteArray("THUNDER||||||||\ncomputer 9999999999 2\nnetwork 1 0\n") << damaged;
        QTest::newRow("an attribute file") << fileText(defaultHorse()) << damaged;
        QTest::newRow("another horse's") << QByteArray("OLD|HORSE||||||\ncomputer 3 2\nnetwork 1 0\n") << QByteArray();
    }

    void aRaceRecordMissingOrDamagedCountsFromZero()
    {
        // Whatever is there, the horse's next race is counted from zero and the file is whole again.
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_record.conf"));
        if (content != "-") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        LogCapture capture;
        QVERIFY(addRaceResult(path, "THUNDER        ", RaceKind::Network, false));
        QFETCH(QByteArray, log);
        QCOMPARE(QString::fromLatin1(capture.text()), log.isEmpty() ? QString() : QString::fromLatin1(log).arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("THUNDER||||||||\ncomputer 0 0\nnetwork 0 1\n"));
    }

    void aRaceRecordCountsEachKindAndKeepsTheAttributeFileApart()
    {
        // A win against the computer and a loss over the network go to their own lines of the
        // record, and the attribute file beside it is not touched.
        GameFixture game(QByteArray("THUNDER||||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n"));
        QFile attr(game.home().attrPath());
        QVERIFY(attr.open(QIODevice::ReadOnly));
        const QByteArray horseBefore = attr.readAll();
        attr.close();
        for (const auto &[demo, isServer, winner] : {std::tuple{1, 1, 1}, std::tuple{0, 0, 1}, std::tuple{0, 1, 1}}) {
            gs.demoRace = demo;
            gs.isServer = isServer;
            gs.winner = winner;
            gs.raceTick = 31;
            gs.mode = demo == 1 ? ModeDemoRace : isServer == 1 ? ModeServerRace : ModeClientRace;
            game.tick();
            QCOMPARE(gs.mode, ModeIdle);
        }
        game.tick(); // an idle tick counts nothing
        const RaceRecord record = loadRaceRecord(Paths::raceRecordFile(), "THUNDER        ");
        QCOMPARE(record.computer.wins, 1);
        QCOMPARE(record.computer.losses, 0);
        QCOMPARE(record.network.wins, 1);
        QCOMPARE(record.network.losses, 1);
        QVERIFY(attr.open(QIODevice::ReadOnly));
        QCOMPARE(attr.readAll(), horseBefore);
    }

    void aRaceRecordKilledDuringWriteIsTheLastOrTheOneUnderWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_record.conf"));
        killWritesAtRandom(
            150, [&path](int) { addRaceResult(path, "THUNDER        ", RaceKind::Computer, true); },
            [&path] {
                RaceRecord record;
                QFile file(path);
                if (!file.exists())
                    return 0;
                if (!file.open(QIODevice::ReadOnly) || !parseRaceRecord(file.readAll(), &record))
                    return -1;
                return record.computer.wins;
            });
    }

    void aSaveThatCannotBeWrittenIsLoggedAndTheGameGoesOn_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full disk") << true;
        QTest::newRow("read-only folder") << false;
    }

    void aSaveThatCannotBeWrittenIsLoggedAndTheGameGoesOn()
    {
        // The game runs twenty ticks in a child process that cannot write: either its files may
        // not grow past ten bytes (a disk that fills during the save) or it runs as a user who may
        // not write the folder (root may write anywhere, so the child gives up root).
        QFETCH(bool, fullDisk);
        const QByteArray oldHorse("OLD|HORSE||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        GameFixture game(oldHorse);
        gs.age = 9.0f;
        const QString etc = QFileInfo(game.home().attrPath()).path();
        const QFileDevice::Permissions writable = QFile::permissions(etc);
        if (!fullDisk) {
            // The save itself stays the player's and writable; only the folder is not.
            if (geteuid() == 0)
                QCOMPARE(::chown(QFile::encodeName(game.home().attrPath()).constData(), 65534, 65534), 0);
            QFile::setPermissions(game.home().root(), writable | QFileDevice::ExeOther | QFileDevice::ReadOther);
            QFile::setPermissions(etc, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                           | QFileDevice::ExeOther);
        }
        int out[2];
        QCOMPARE(pipe(out), 0);
        std::fflush(stdout);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            if (fullDisk) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit tenBytes{10, 10};
                setrlimit(RLIMIT_FSIZE, &tenBytes);
            } else if (geteuid() == 0) {
                const uid_t nobody = 65534;
                if (setgroups(0, nullptr) != 0 || setresgid(nobody, nobody, nobody) != 0
                    || setresuid(nobody, nobody, nobody) != 0)
                    _exit(2);
            }
            game.tick(20);
            std::fflush(stdout);
            _exit(gs.tickCount == 20 && gs.mode == ModeIdle ? 0 : 3);
        }
        ::close(out[1]);
        QByteArray log;
        char buffer[4096];
        ssize_t n;
        while ((n = read(out[0], buffer, sizeof buffer)) > 0)
            log.append(buffer, int(n));
        ::close(out[0]);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QFile::setPermissions(etc, writable);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // it went on ticking

        const QStringList lines = logLines(log);
        const QString failure = QStringLiteral("trotix: Cannot write attribute file ") + game.home().attrPath() + " (";
        QCOMPARE(lines.count(QStringLiteral("trotix: Write Attribute File\n")), 2);
        int failures = 0;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            if (!lines[i].startsWith(failure))
                continue;
            ++failures;
            QCOMPARE(lines[i - 1], QStringLiteral("trotix: Write Attribute File\n"));
            QVERIFY(lines[i].endsWith(QStringLiteral("); the horse on disk stays as it was.\n")));
            QCOMPARE(lines[i + 1], QStringLiteral("trotix: Action>>call idle()\n")); // and the tick plays on
        }
        QVERIFY2(failures == 2, log.constData());
        qInfo("%s", qPrintable(lines.filter(failure).first().trimmed()));
        QCOMPARE(game.home().readAttr(), oldHorse);
        QCOMPARE(QDir(etc).entryList(QDir::Files), QStringList{QStringLiteral("trotix_attr.conf")});
    }
};

QTEST_MAIN(TestAttrFile)
#include "tst_attrfile.moc"
