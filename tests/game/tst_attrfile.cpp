// The attribute file: what is written byte by byte, what is read back from any content, and that
// no save can leave a broken horse on disk.
#include "game/attrcodec.h"
#include "game/horsename.h"
#include "game/attrfile.h"
#include "game/racerecord.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "screencheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <functional>
#include <utility>
#include <new>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

Horse defaultHorse() { return horseOf(GameState()); }

Horse horse(const char *name15, float age, float muscle, float fat, float power, float spirit)
{
    Horse h{{}, {age, muscle, fat, power, spirit}};
    std::memcpy(h.name, name15, 15);
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
                 qPrintable(QStringLiteral("kill %1: %2 on disk, last finished %3, under way %4")
                                .arg(round).arg(number).arg(lastWhole).arg(begun)));
        onDisk = number;
    }
    munmap(shared, sizeof(Progress));
}

const QByteArray initialAttributes("\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
const QColor plain(200, 220, 240);

// The screen shows the text, drawn as the game draws it, within the box.
void compareText(const QImage &screen, const QColor &ground, int size, int weight, QPoint at, const QString &text)
{
    const QRect box(at.x() - 1, at.y() - size - 2, 240 - at.x(), size + 6);
    QCOMPARE(screen.copy(box), textOn(ground, 240, size, weight, Qt::black, at, text).copy(box));
}

}

class TestAttrFile : public QObject
{
    Q_OBJECT

private slots:
    // Six lines, blanks as bars, numbers with six decimals in the C locale whatever the user's.
    void writesSixLinesAndReadsThemBack()
    {
        std::setlocale(LC_ALL, "de_DE.UTF-8"); // if present, it would print "1,000000"
        const QByteArray standard = formatAttrFile(defaultHorse());
        const Horse h = horse("A B|           ", 2.5f, 151.25f, 49.0f, 0.005f, 1000.05f);
        const QByteArray file = formatAttrFile(h);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(standard, defaultHorseFile);
        QCOMPARE(file, QByteArray("A|B||||||||||||\n2.500000\n151.250000\n49.000000\n0.005000\n1000.049988\n"));
        const Horse back = parseAttrFile(file, defaultHorse()).horse;
        QCOMPARE(nameOf(back), QByteArray("A B            "));
        QCOMPARE(QList<float>({back.attributes.age, back.attributes.muscle, back.attributes.fat, back.attributes.power, back.attributes.spirit}),
                 QList<float>({2.5f, 151.25f, 49.0f, 0.005f, 1000.049988f}));
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
        QTest::newRow("short file: the fields read, the rest kept")
            << QByteArray("BLAZE||||||||||\n7.5\n200\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{7.5f, 200.0f, 50.0f, 100.0f, 100.0f};
        QTest::newRow("a word that is no number stops the reading")
            << QByteArray("BLAZE||||||||||\n7.5\nfast\n9\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{7.5f, 150.0f, 50.0f, 100.0f, 100.0f};
        QTest::newRow("overlong first word: 15 characters kept, attributes read")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ\n2\n3\n4\n5\n6\n") << false
            << QByteArray("ABCDEFGHIJKLMNOPQRS") << QByteArray("ABCDEFGHIJKLMNO") << QList<float>{2, 3, 4, 5, 6};
        QTest::newRow("nan and inf keep the previous values, later fields still read")
            << QByteArray("BLAZE||||||||||\nnan\ninf\n-inf\n5\n6\n") << false << QByteArray("BLAZE||||||||||")
            << QByteArray("BLAZE          ") << QList<float>{1.0f, 150.0f, 50.0f, 5.0f, 6.0f};
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

    void startUpLogsWhatItFound()
    {
        for (const QByteArray &content : {defaultHorseFile, templateHorseFile}) {
            const bool old = content == defaultHorseFile;
            LogCapture capture;
            GameFixture game(content);
            QCOMPARE(capture.text(), "trotix: String-> " + content.left(content.indexOf('\n'))
                                         + (old ? "\ntrotix: Old parameter file.\n" : "\ntrotix: New parameter file.\n"));
            QCOMPARE(gs.mode, old ? int(ModeIdle) : int(ModeNaming));
            QCOMPARE(gs.attrFileValid, old ? 1 : 0);
        }
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
                return formatAttrFile(horseOf(loaded)) == formatAttrFile(numberedHorse(number)) ? number : -1;
            });
        // Temporary files left by a kill never replace the save itself.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QVERIFY(name.startsWith(QStringLiteral("trotix_attr.conf")));
    }

    // A win against the computer and a loss over the network go to their own lines.
    void aRaceRecordCountsEachKind()
    {
        GameFixture game(QByteArray("THUNDER||||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n"));
        for (const auto &[demo, isServer] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{0, 1}}) {
            gs.demoRace = demo;
            gs.isServer = isServer;
            gs.winner = 1;
            gs.raceTick = 31;
            gs.mode = demo == 1 ? ModeDemoRace : isServer == 1 ? ModeServerRace : ModeClientRace;
            game.tick();
        }
        game.tick(); // an idle tick counts nothing
        const RaceRecord record = loadRaceRecord(Paths::raceRecordFile(), "THUNDER        ");
        QCOMPARE(QList<int>({record.computer.wins, record.computer.losses, record.network.wins, record.network.losses}),
                 QList<int>({1, 0, 1, 1}));
    }

    void aSaveThatCannotBeWrittenIsLoggedAndTheGameGoesOn()
    {
        // The game runs twenty ticks in a child process whose files may not grow past ten bytes: a
        // disk that fills during the save. (A read-only folder: tst_main.)
        const QByteArray oldHorse("OLD|HORSE||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        GameFixture game(oldHorse);
        gs.age = 9.0f;
        const QString etc = QFileInfo(game.home().attrPath()).path();
        int out[2];
        QCOMPARE(pipe(out), 0);
        std::fflush(stdout);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit tenBytes{10, 10};
            setrlimit(RLIMIT_FSIZE, &tenBytes);
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
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // it went on ticking

        // Each save says so, fails with its reason, and the tick plays on.
        const QString failed = "trotix: Write Attribute File\ntrotix: Cannot write attribute file "
                               + game.home().attrPath() + " (%1); the horse on disk stays as it was.\n"
                               "trotix: Action>>call idle()\n";
        static const QRegularExpression reason(QStringLiteral(" \\(([^)]*)\\); the horse"));
        const QString why = reason.match(QString::fromLatin1(log)).captured(1);
        QVERIFY2(!why.isEmpty() && QString::fromLatin1(log).count(failed.arg(why)) == 2, log.constData());
        QCOMPARE(game.home().readAttr(), oldHorse);
        QCOMPARE(QDir(etc).entryList(QDir::Files), QStringList{QStringLiteral("trotix_attr.conf")});
    }

    // Naming the horse on the first start, the about screen, and the tick's bookkeeping: the save
    // on every tenth tick of a named horse and the end of a race.
    void theEntryBecomesAFifteenCharacterName_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("empty") << QString() << QByteArray("MY HORSE       ");
        QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO");
        QTest::newRow("only blanks") << "   " << QByteArray("               ");
        QTest::newRow("Latin-1") << QString::fromUtf8("Zo\u00eb") << QByteArray("Zo\xeb            ");
        QTest::newRow("accent typed apart") << QString::fromUtf8("Zoe\u0308") << QByteArray("Zo\xeb            ");
        QTest::newRow("outside Latin-1") << QString::fromUtf8("\u03a9mega") << QByteArray("?mega          ");
        QTest::newRow("outside the BMP") << QString::fromUtf8("\U0001F40E Star") << QByteArray("? Star         ");
        QTest::newRow("tab") << "Tab\there" << QByteArray("Tab?here       ");
        QTest::newRow("too long") << "ABCDEFGHIJKLMNOPQ" << QByteArray("ABCDEFGHIJKLMNO");
    }
    void theEntryBecomesAFifteenCharacterName()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, name);
        QCOMPARE(horseNameFromEntry(entry), name);
    }

    // A horse without a name shows the naming screen, is never saved by the tick, and is saved
    // at once by OK (blanks as bars); from then on every tenth tick saves it.
    void namingSavesAndTheTickSavesEveryTenth()
    {
        GameFixture game(templateHorseFile);
        plantPlainBackground(*gs.backgd1Pixmap, 796, plain);
        QCOMPARE(gs.nameEdit->maxLength(), 15);
        LogCapture log;
        game.tick();
        QCOMPARE(logLines(log.text()), QStringList{"trotix: Action>>Naming()\n"});
        compareText(game.screen(), plain, 12, 75, {50, 70}, QStringLiteral("Give Your Horse A Name"));
        for (int id : activityGroup)
            QVERIFY(!gs.menuBar->isItemEnabled(id));
        game.tick(11);
        QCOMPARE(game.home().readAttr(), templateHorseFile);
        gs.nameEdit->setText(QStringLiteral("A B"));
        log.clear();
        game.call("handleOK");
        QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>change to idle\n"});
        QCOMPARE(game.home().readAttr(), "A|B||||||||||||" + initialAttributes);
        QVERIFY(gs.nameEdit->isHidden() && gs.okButton->isHidden());
        for (int id : activityGroup)
            QVERIFY(gs.menuBar->isItemEnabled(id));
        for (int tick = 13; tick <= 30; ++tick) {
            log.clear();
            game.tick();
            QCOMPARE(log.text().contains("trotix: Write Attribute File\n"), tick % 10 == 0);
        }
        QVERIFY(game.home().readAttr().startsWith("A|B||||||||||||\n1.0"));
        QVERIFY(game.home().readAttr() != "A|B||||||||||||" + initialAttributes); // it aged meanwhile
    }

    void aboutShowsTheTitleAndTheDescription()
    {
        GameFixture game;
        QImage title(30, 10, QImage::Format_RGB32);
        title.fill(QColor(30, 90, 150));
        gs.titleImage = title;
        LogCapture log;
        game.call("aboutTrotix");
        QCOMPARE(gs.mode, int(ModeAbout));
        QVERIFY(gs.okButton->isHidden());
        game.tick();
        QCOMPARE(logLines(log.text()), (QStringList{"trotix: About selected\n", "trotix: Action>>about()\n"}));
        QVERIFY(!gs.okButton->isHidden());
        QCOMPARE(colourAt(game.screen(), 52, 47), QColor(30, 90, 150));
        compareText(game.screen(), Qt::white, 12, 75, {88, 75}, QStringLiteral("Trotix v1.0"));
        title.fill(QColor(200, 30, 30)); // a title picture loaded later is drawn too
        gs.titleImage = title;
        game.tick();
        QCOMPARE(colourAt(game.screen(), 52, 47), QColor(200, 30, 30));
    }

    // OK on the about screen returns, and never renames nor saves; a file that could not be read
    // is never written, and the player is told once.
    void okOnTheAboutScreenOnlyReturnsToIdle_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("named horse") << true;
        QTest::newRow("unreadable file") << false;
    }
    void okOnTheAboutScreenOnlyReturnsToIdle()
    {
        QFETCH(bool, readable);
        // A line the game would not write shows whether the file was written again; a folder in
        // the file's place is a file that cannot be read.
        const QByteArray file = defaultHorseFile + "kept\n";
        GameFixture game(readable ? file : QByteArray(), GameHome::WithPictures,
                         [readable](const GameHome &home) { readable || QDir().mkdir(home.attrPath()); });
        game.call("aboutTrotix");
        game.tick();
        gs.nameEdit->setText(QStringLiteral("Other"));
        LogCapture log;
        game.call("handleOK");
        QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>change to idle\n"});
        QCOMPARE(QByteArray(gs.horseName), QByteArray("MY HORSE       "));
        QCOMPARE(gs.mode, int(ModeIdle));
        QCOMPARE(game.home().readAttr(), readable ? file : QByteArray());
        game.tick(10); // the tick saves a readable horse only
        QCOMPARE(log.text().contains("trotix: Write Attribute File\n"), readable);
        QCOMPARE(QFileInfo(game.home().attrPath()).isDir(), !readable);
        if (readable)
            return;
        QTRY_VERIFY(game.widget()->findChild<QMessageBox *>(QStringLiteral("noSaveNotice")));
        const auto notices = game.widget()->findChildren<QMessageBox *>(QStringLiteral("noSaveNotice"));
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.first()->text(),
                 QStringLiteral("Your horse's file could not be read.\nThis session will not be saved."));
    }

    void theRaceClockJumpsToTheResultOnlyWhenBothArePast2000_data()
    {
        QTest::addColumn<int>("pos1");
        QTest::addColumn<int>("pos2");
        QTest::addColumn<int>("raceTick");
        QTest::addColumn<bool>("jumps");
        QTest::newRow("2001/2000: no") << 2001 << 2000 << 7 << false;
        QTest::newRow("2000/2001: no") << 2000 << 2001 << 7 << false;
        QTest::newRow("2001/2001 at 19: yes") << 2001 << 2001 << 19 << true;
        QTest::newRow("2001/2001 at 25: left alone") << 2001 << 2001 << 25 << false;
    }
    void theRaceClockJumpsToTheResultOnlyWhenBothArePast2000()
    {
        QFETCH(int, pos1);
        QFETCH(int, pos2);
        QFETCH(int, raceTick);
        QFETCH(bool, jumps);
        GameFixture game;
        gs.mode = gs.shownMode = ModeServerRace; // nothing moves the clock while no client is there
        gs.pos1 = pos1;
        gs.pos2 = pos2;
        gs.raceTick = raceTick;
        gs.racePattern = 9; // no pattern moves the horses
        game.tick();
        const int from = jumps ? 20 : raceTick; // the frame itself may advance it by one
        QVERIFY2(gs.raceTick == from || gs.raceTick == from + 1, qPrintable(QString::number(gs.raceTick)));
    }

    void aFinishedRaceReturnsToIdleAfterItsLastFrame()
    {
        for (int mode : {int(ModeServerRace), int(ModeClientRace), int(ModeDemoRace)}) {
            GameFixture game;
            gs.mode = gs.shownMode = mode;
            gs.raceTick = 30;
            gs.pos1 = gs.pos2 = 2100;
            gs.racePattern = 1;
            game.tick();
            QCOMPARE(gs.mode, mode); // 30: the race goes on
            gs.raceTick = 31;
            game.tick(); // 31: ends, but this tick still draws the course
            QCOMPARE(gs.mode, int(ModeIdle));
            QCOMPARE(gs.shownMode, mode);
            LogCapture log;
            game.tick();
            QCOMPARE(logLines(log.text()).value(0), QStringLiteral("trotix: Action>>call idle()\n"));
        }
    }
};

QTEST_MAIN(TestAttrFile)
#include "tst_attrfile.moc"
