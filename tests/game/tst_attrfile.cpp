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
    const QByteArray name = QByteArray("RUN ") + QByteArray::number(n).rightJustified(11, '0');
    return horse(name.constData(), float(n), float(n) * 2, float(n) + 0.5f, 1000.0f - float(n) / 4, float(n) / 8);
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

    // Any content: whether it is the template, its probe, and the horse read over the default one.
    void readsAnyContent()
    {
        const QByteArray blaze("BLAZE||||||||||"), unnamed("MY HORSE       ");
        const QList<float> initial{1, 150, 50, 100, 100}, counted{2, 3, 4, 5, 6};
        struct Row { QByteArray content; bool isNew; QByteArray probe, name; QList<float> attributes; };
        const Row rows[] = {
            {"%%%%%%%%%%%%%%%%\n1.0\n", true, "%%%%%%%%%%%%%%%%", unnamed, initial}, // the template
            {"ABCDEFGHIJKLMNO%QRSTUVWXY\n", true, "ABCDEFGHIJKLMNO%QRS", unnamed, initial}, // probe keeps 19
            {"%%%%%%%%%%%%%%%\n2\n3\n4\n5\n6\n", false, "%%%%%%%%%%%%%%%", "%%%%%%%%%%%%%%%", counted},
            {blaze + "\n7.5\n200\n", false, blaze, "BLAZE          ", {7.5f, 200, 50, 100, 100}}, // short
            {blaze + "\n7.5\nfast\n9\n", false, blaze, "BLAZE          ", {7.5f, 150, 50, 100, 100}}, // no number
            {"ABCDEFGHIJKLMNOPQRSTUVWXYZ\n2\n3\n4\n5\n6\n", false, "ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNO", counted},
            {blaze + "\nnan\ninf\n-inf\n5\n6\n", false, blaze, "BLAZE          ", {1, 150, 50, 5, 6}},
            {blaze + QByteArray("\n2\n\0\n4\n", 7), false, blaze, "BLAZE          ", {2, 150, 50, 100, 100}}, // NUL ends it
        };
        for (const Row &r : rows) {
            const AttrFileContent read = parseAttrFile(r.content, defaultHorse());
            const Attributes &a = read.horse.attributes;
            QCOMPARE(read.isNew, r.isNew);
            QCOMPARE(read.probe, r.probe);
            QCOMPARE(nameOf(read.horse), r.name);
            QCOMPARE(read.horse.name[15], '\0');
            QCOMPARE(QList<float>({a.age, a.muscle, a.fat, a.power, a.spirit}), r.attributes);
        }
    }

    // A child saves numbered horses (on from the number on disk) as fast as it can and tells
    // through shared memory which save it has begun and which it has finished. It is killed at a
    // random moment, 400 times; after every kill the file must hold the horse of the last finished
    // save or of the one under way: a whole horse, never a mix or a torn file.
    void aSaveKilledAtAnyMomentLeavesTheLastHorseOrTheOneUnderWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_attr.conf"));
        GameState first;
        setHorse(first, numberedHorse(0));
        QVERIFY(saveAttrFile(first, path));
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
        for (int round = 0; round < 400; ++round) {
            progress->begun = 0;
            progress->finished = 0;
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int number = onDisk + 1;; ++number) {
                    progress->begun = number;
                    GameState saving;
                    setHorse(saving, numberedHorse(number));
                    saveAttrFile(saving, path);
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
            const int lastWhole = progress->finished != 0 ? int(progress->finished) : onDisk;
            GameState loaded;
            const int number = loadAttrFile(loaded, path) == AttrLoadResult::Old ? int(loaded.age) : -1;
            QVERIFY2(formatAttrFile(horseOf(loaded)) == formatAttrFile(numberedHorse(number))
                         && (number == lastWhole || (begun != 0 && number == begun)),
                     qPrintable(QStringLiteral("kill %1: %2 on disk, last finished %3, under way %4")
                                    .arg(round).arg(number).arg(lastWhole).arg(begun)));
            onDisk = number;
        }
        munmap(shared, sizeof(Progress));
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
        // Twenty ticks while this process's files may not grow past ten bytes: a disk that fills
        // during the save. (A read-only folder: tst_main.)
        const QByteArray oldHorse("OLD|HORSE||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        GameFixture game(oldHorse);
        gs.age = 9.0f;
        const QString etc = QFileInfo(game.home().attrPath()).path();
        LogCapture capture;
        rlimit files{};
        getrlimit(RLIMIT_FSIZE, &files);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tenBytes{10, files.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tenBytes), 0);
        game.tick(20);
        setrlimit(RLIMIT_FSIZE, &files);
        QCOMPARE(gs.tickCount, 20); // it went on ticking
        QCOMPARE(gs.mode, int(ModeIdle));
        const QByteArray log = capture.text();

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

    // Naming the horse on the first start, the about screen, and the save on every tenth tick.
    void theEntryBecomesAFifteenCharacterName()
    {
        const std::pair<const char *, QByteArray> rows[] = {
            {"", "MY HORSE       "}, {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"}, {"   ", "               "},
            {"Zo\u00eb", "Zo\xeb            "}, {"Zoe\u0308", "Zo\xeb            "}, // Latin-1, accent typed apart
            {"\u03a9mega", "?mega          "}, {"\U0001F40E Star", "? Star         "}, // outside Latin-1, the BMP
            {"Tab\there", "Tab?here       "}, {"A|B", "A?B            "}, // the bar is the file's blank
            {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"}};
        for (const auto &[entry, name] : rows)
            QCOMPARE(horseNameFromEntry(QString::fromUtf8(entry)), name);
    }

    // A horse without a name shows the naming screen, is never saved by the tick, and is saved
    // at once by OK (blanks as bars); from then on every tenth tick saves it.
    void namingSavesAndTheTickSavesEveryTenth()
    {
        GameFixture game(templateHorseFile);
        plantPlainBackground(*gs.backgd1Pixmap, 796, plain);
        QCOMPARE(gs.nameEdit->maxLength(), 15);
        QCOMPARE(gs.nameEdit->geometry(), QRect(50, 120, 150, 20));
        QCOMPARE(gs.menuBar->actions().first()->menu()->font().pixelSize(), 11); // the 1x menus
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
        game.tick(18); // to tick 30: the tick saves the named horse, aged meanwhile
        QVERIFY(game.home().readAttr().startsWith("A|B||||||||||||\n1.0"));
        QVERIFY(game.home().readAttr() != "A|B||||||||||||" + initialAttributes);
    }

    void aboutShowsTheTitleAndTheDescription()
    {
        GameFixture game;
        QImage title(30, 10, QImage::Format_RGB32);
        title.fill(QColor(30, 90, 150));
        gs.titleImage = title;
        game.call("aboutTrotix");
        game.tick();
        QCOMPARE(colourAt(game.screen(), 52, 47), QColor(30, 90, 150));
        compareText(game.screen(), Qt::white, 12, 75, {88, 75}, QStringLiteral("Trotix v1.0"));
        compareText(game.screen(), Qt::white, 9, 50, {50, 130}, QStringLiteral("Raise it, train it, race it!"));
        title.fill(QColor(200, 30, 30)); // a title picture loaded later is drawn too
        gs.titleImage = title;
        game.tick();
        QCOMPARE(colourAt(game.screen(), 52, 47), QColor(200, 30, 30));
    }

    // OK on the about screen returns, and never renames nor saves; a file that could not be read
    // is never written, and the player is told once.
    void okOnTheAboutScreenOnlyReturnsToIdle()
    {
        for (bool readable : {true, false}) { // a named horse; a file that could not be read
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
                continue;
            QTRY_VERIFY(game.widget()->findChild<QMessageBox *>(QStringLiteral("noSaveNotice")));
            const auto notices = game.widget()->findChildren<QMessageBox *>(QStringLiteral("noSaveNotice"));
            QCOMPARE(notices.size(), 1);
            QVERIFY(notices.first()->isVisible());
            QCOMPARE(notices.first()->text(),
                     QStringLiteral("Your horse's file could not be read.\nThis session will not be saved."));
            notices.first()->close(); // and gone once closed
            QTRY_VERIFY(!game.widget()->findChild<QMessageBox *>(QStringLiteral("noSaveNotice")));
        }
    }
};

QTEST_MAIN(TestAttrFile)
#include "tst_attrfile.moc"
