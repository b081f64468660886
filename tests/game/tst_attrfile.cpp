// The attribute file: what is written byte by byte, what is read back from any content, and that
// no save can leave a broken horse on disk.
#include "app/entryvalidator.h"
#include "game/attrfile.h"
#include "game/history.h"
#include "game/racerecord.h"
#include "game/rules/attrcodec.h"
#include "game/rules/horsename.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/savelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

Horse defaultHorse() { return GameState().horse; }

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
        QCOMPARE(nameOf(back), QByteArray("A B            ")); // read back as written: fuzz_attrfile
    }

    // Any content: whether it is the template, its probe, and the horse read over the default one.
    void readsAnyContent()
    {
        const QByteArray blaze("BLAZE||||||||||"), unnamed("MY HORSE       ");
        const QList<float> initial{1, 150, 50, 100, 100}, counted{2, 3, 4, 5, 6};
        // clang-format off
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
            {"\n \t" + blaze + "\n7.5\n", false, blaze, "BLAZE          ", {7.5f, 150, 50, 100, 100}}, // blanks first
            {"|" + blaze + "\n", false, "|" + blaze, " BLAZE         ", {1, 150, 50, 100, 100}}, // a blank first
        };
        // clang-format on
        // The caller's locale is left as it was found.
        const locale_t callers = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        uselocale(callers);
        for (const Row &r : rows) {
            const AttrFileContent read = parseAttrFile(r.content, defaultHorse());
            const Attributes &a = read.horse.attributes;
            QCOMPARE(read.isNew, r.isNew);
            QCOMPARE(read.probe, r.probe);
            QCOMPARE(nameOf(read.horse), r.name); // ended by a NUL within 16: fuzz_attrfile
            QCOMPARE(QList<float>({a.age, a.muscle, a.fat, a.power, a.spirit}), r.attributes);
            QCOMPARE(uselocale(static_cast<locale_t>(nullptr)), callers);
        }
        uselocale(LC_GLOBAL_LOCALE);
        freelocale(callers);
    }

    // A child saves numbered horses (on from the number on disk) as fast as it can and tells
    // through shared memory which save it has begun and which it has finished. It is killed at a
    // random moment, 400 times; after every kill the file must hold the horse of the last finished
    // save or of the one under way: a whole horse, never a mix or a torn file. Each save adds its
    // line to the history too, which must then hold every whole line, in order, up to one of these.
    void aSaveKilledAtAnyMomentLeavesTheLastHorseOrTheOneUnderWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_attr.conf"));
        const QString historyPath = dir.filePath(QStringLiteral("trotix_history.csv"));
        GameState first;
        first.horse = numberedHorse(0);
        QVERIFY(saveAttrFile(first, path));
        // The history is there from the start: on a slow disk every kill may come before a save's line.
        std::memcpy(first.horse.name, "RUN            ", 15);
        appendHistory(first, historyPath, 0, 1);
        struct Progress
        {
            std::atomic<int> begun, finished;
        };
        void *shared = mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        QVERIFY(shared != MAP_FAILED);
        auto *progress = new (shared) Progress{};
        QRandomGenerator random(4711);
        int onDisk = 0;
        qint64 historyLast = 0;
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
                    saving.horse = numberedHorse(number);
                    saveAttrFile(saving, path);
                    std::memcpy(saving.horse.name, "RUN            ", 15);
                    appendHistory(saving, historyPath, number, 1);
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
            const int number = loadAttrFile(loaded, path) == AttrLoadResult::Old ? int(loaded.horse.attributes.age) : -1;
            QVERIFY2(formatAttrFile(loaded.horse) == formatAttrFile(numberedHorse(number))
                         && (number == lastWhole || (begun != 0 && number == begun)),
                     qPrintable(QString::asprintf("kill %d: %d on disk, last finished %d, under way %d", round, number, lastWhole, begun)));
            onDisk = number;
            const HistoryContent history = parseHistory(GameHome::readFile(historyPath));
            QVERIFY(!history.damaged);
            // The attribute file may hold the horse under way while its line is not yet written.
            const qint64 lastLine = history.lines.isEmpty() ? 0 : history.lines.last().time;
            const qint64 low = qMax(historyLast, qint64(progress->finished)), high = qMax(qint64(begun), historyLast);
            QVERIFY2(lastLine >= low && lastLine <= high,
                     qPrintable(QString::asprintf("kill %d: line %lld, last finished %d", round, lastLine, lastWhole)));
            historyLast = lastLine;
            for (qsizetype i = 1; i < history.lines.size(); ++i)
                QVERIFY(history.lines[i].time > history.lines[i - 1].time);
        }
        munmap(shared, sizeof(Progress));
        // What the kills left beside the save goes at the next start, and only that: the player's
        // copies, whatever their names, stay as they were through two starts.
        const QStringList kept{"trotix_attr.conf",         "trotix_attr.conf.202412",   "trotix_attr.conf.Backup",
                               "trotix_attr.conf.backup",  "trotix_attr.conf.bak001",   "trotix_attr.conf.v2save",
                               "trotix_history.csv",       "trotix_history.csv.keep01", "trotix_history.csv.trotix-tmp-copy",
                               "trotix_record.conf.old123"};
        const QStringList copies = kept.filter(QStringLiteral(".conf.")) + kept.filter(QStringLiteral(".csv."));
        for (const QString &name : copies)
            GameHome::writeFile(dir.filePath(name), name.toLatin1());
        GameHome::writeFile(dir.filePath("trotix_record.conf.trotix-tmp-Ab12Cd"), "RACER"); // if no kill left one
        for (int start = 0; start < 2; ++start)
            for (const char *file : {"trotix_attr.conf", "trotix_record.conf", "trotix_history.csv"})
                removeLeftoverTemps(dir.filePath(QLatin1String(file)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), kept);
        for (const QString &name : copies)
            QCOMPARE(GameHome::readFile(dir.filePath(name)), name.toLatin1());
    }

    // The save a link to something elsewhere: a regular file is read and written through, the
    // link kept; a device, FIFO, socket or folder is never written nor replaced, nor waited on.
    void aSaveIsWrittenThroughALinkOnlyToARegularFile()
    {
        const std::pair<mode_t, QByteArray> rows[] = {
            {S_IFREG, ""}, {S_IFCHR, "a device"}, {S_IFIFO, "a FIFO"}, {S_IFSOCK, "a socket"}, {S_IFDIR, "a folder"}};
        for (const auto &[kind, what] : rows) {
            QTemporaryDir dir;
            QString target = dir.filePath(QStringLiteral("elsewhere"));
            const QByteArray name = QFile::encodeName(target);
            sockaddr_un address{AF_UNIX, {}};
            std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
            const int sock = kind == S_IFSOCK ? ::socket(AF_UNIX, SOCK_STREAM, 0) : -1;
            QFile regular(target);
            const QByteArray big = QByteArray("BIG\n1\n2\n3\n4\n").leftJustified(64 * 1024 - 1, ' ') + "56"; // read to 64 KiB
            const bool made = kind == S_IFREG    ? regular.open(QIODevice::WriteOnly) && regular.write(big) > 0
                              : kind == S_IFSOCK ? ::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
                              : kind == S_IFDIR  ? QDir().mkdir(target)
                              : kind == S_IFIFO  ? ::mkfifo(name.constData(), 0600) == 0
                                                 : ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
            regular.close();
            regular.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup); // kept
            if (!made && kind == S_IFCHR)
                target = QStringLiteral("/dev/null"); // not root: a device it could not replace anyway
            else
                QVERIFY(made);
            const QString link = dir.filePath(QStringLiteral("trotix_attr.conf"));
            QVERIFY(QFile::link(target, link));
            GameState state;
            LogCapture log;
            QCOMPARE(loadAttrFile(state, link), kind == S_IFREG ? AttrLoadResult::Old : AttrLoadResult::Unreadable);
            QCOMPARE(state.horse.attributes.spirit, kind == S_IFREG ? 5.0f : GameState().horse.attributes.spirit);
            QVERIFY(kind == S_IFREG || log.text().contains(" (it is " + what + ", not a regular file); this horse will"));
            state.horse = numberedHorse(7);
            QCOMPARE(saveAttrFile(state, link), kind == S_IFREG);
            struct stat after{};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &after), 0);
            QCOMPARE(after.st_mode & S_IFMT, kind);
            QCOMPARE(QFileInfo(link).symLinkTarget(), target);
            if (kind == S_IFREG)
                QCOMPARE(GameHome::readFile(target) + QByteArray::number(after.st_mode & 07777, 8),
                         formatAttrFile(numberedHorse(7)) + "640");
            if (sock >= 0)
                ::close(sock);
        }
        // A link to itself is a save that cannot be read, and says why: never a horse yet to come.
        QTemporaryDir dir;
        const QString loop = dir.filePath(QStringLiteral("trotix_attr.conf"));
        QVERIFY(QFile::link(loop, loop));
        GameState state;
        LogCapture log;
        QCOMPARE(loadAttrFile(state, loop), AttrLoadResult::Unreadable);
        QCOMPARE(log.text(), "trotix: Cannot read attribute file " + QFile::encodeName(loop) + " (" + std::strerror(ELOOP)
                                 + "); this horse will not be saved.\n");
        QVERIFY(!saveAttrFile(state, loop) && QFileInfo(loop).isSymLink()); // nor replaced
        // A new file gets what the umask leaves, as any program's would.
        QFile(dir.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly);
        QVERIFY(saveAttrFile(state, dir.filePath(QStringLiteral("made"))));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("made"))).permissions(),
                 QFileInfo(dir.filePath(QStringLiteral("plain"))).permissions());
    }

    // A win against the computer and a loss over the network go to their own lines.
    void aRaceRecordCountsEachKind()
    {
        GameFixture game(QByteArray("THUNDER||||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n"));
        for (const auto &[demo, isServer] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{0, 1}}) {
            gs.race.demoRace = demo;
            gs.shell.isServer = isServer;
            gs.race.winner = 1;
            gs.race.raceTick = 31;
            gs.shell.mode = demo == 1 ? ModeDemoRace : isServer == 1 ? ModeServerRace : ModeClientRace;
            game.tick();
        }
        game.tick(); // an idle tick counts nothing
        const RaceRecord record = loadRaceRecord(Paths::raceRecordFile(), "THUNDER        ");
        QCOMPARE(QList<int>({record.computer.wins, record.computer.losses, record.network.wins, record.network.losses}),
                 QList<int>({1, 0, 1, 1}));
        // A record of a kilobyte is read to its last byte (blanks are free), a byte more is not one.
        for (const int size : {1024, 1025}) {
            const QByteArray head = "THUNDER||||||||\ncomputer 7 3\n", tail = "network 2 2";
            game.home().writeFile(Paths::raceRecordFile(), head + QByteArray(size - head.size() - tail.size(), ' ') + tail);
            QCOMPARE(loadRaceRecord(Paths::raceRecordFile(), "THUNDER        ").computer.wins, size == 1024 ? 7 : 0);
        }
        // A count at its most stays there, a number the record can read back.
        const QByteArray most("THUNDER||||||||\ncomputer 999999999 0\nnetwork 1 1\n");
        game.home().writeFile(Paths::raceRecordFile(), most);
        QVERIFY(addRaceResult(Paths::raceRecordFile(), "THUNDER        ", RaceKind::Computer, true));
        QCOMPARE(GameHome::readFile(Paths::raceRecordFile()), most);
    }

    // A record as a person would write it keeps its counts; one that really is no record is not read.
    void aRecordIsReadAsAPersonWritesIt()
    {
        const QByteArray tallies = "computer 7 3\nnetwork 2 2";
        for (const QByteArray &text :
             QByteArrayList{"RACER||||||||||\r\ncomputer 7 3\r\nnetwork 2 2\r\n", "RACER||||||||||\n" + tallies,
                            "RACER||||||||||\n" + tallies + "\n\n", "RACER \ncomputer  7\t3\n network 2   2 \n",
                            "RACERRACERRACERR\n" + tallies, "RACER\n\n" + tallies, "RACER\ncomputer 7 3 1\nnetwork 2 2", "\n" + tallies}) {
            RaceRecord record;
            const bool read = parseRaceRecord(text, &record);
            QCOMPARE(read, text.startsWith("RACER") && !text.contains("RACERR") && !text.contains("\n\ncomputer") && !text.contains("3 1"));
            if (read) // written back as the game writes it
                QCOMPARE(formatRaceRecord(record), QByteArray("RACER||||||||||\ncomputer 7 3\nnetwork 2 2\n"));
        }
    }

    // A session that does not save writes no file at all; a record that cannot be read is set aside,
    // never overwritten, before a new one is started.
    void aRecordIsLeftByANoSaveSessionAndSetAsideWhenUnreadable()
    {
        const QByteArray racer("RACER||||||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        const QByteArray readable("RACER||||||||||\ncomputer 7 3\nnetwork 2 2\n");
        // An unreadable save; a lock not taken, on a first start (not even the template is put in
        // place); a saving session with a record that cannot be read.
        for (const int row : {0, 1, 2}) {
            const bool saving = row == 2;
            const QByteArray before = saving ? QByteArray("RACER||||||||||\ncomputer 7 3\nnetwork x 2\n") : readable;
            LogCapture log;
            GameFixture game(saving ? racer : QByteArray(), GameHome::WithPictures, [&](const GameHome &home) {
                GameHome::writeFile(QFileInfo(home.attrPath()).path() + "/trotix_record.conf", before);
                if (row == 0)
                    QDir().mkdir(home.attrPath());
                if (row == 1)
                    forbidSaving(gs, QStringLiteral("Your horse's save cannot be locked (x).\n"));
            });
            gs.race.demoRace = gs.shell.isServer = gs.race.winner = 1;
            gs.race.raceTick = 31;
            gs.shell.mode = ModeDemoRace;
            game.tick();
            const QDir etc = QFileInfo(game.home().attrPath()).dir();
            const QStringList aside = etc.entryList({QStringLiteral("trotix_record.conf.*")}, QDir::Files);
            QCOMPARE(etc.entryList(QDir::Files).size(), saving ? 3 : 1);
            QCOMPARE(aside.size(), saving ? 1 : 0);
            QCOMPARE(GameHome::readFile(etc.filePath(QStringLiteral("trotix_record.conf"))),
                     saving ? QByteArray("RACER||||||||||\ncomputer 1 0\nnetwork 0 0\n") : before);
            if (!saving) {
                QVERIFY(!saveNamedHorse(gs, game.home().attrPath())); // a refused save is not reported as saved
                QVERIFY(row == 0
                        || log.text().startsWith("trotix: No attribute file yet at " + QFile::encodeName(game.home().attrPath())
                                                 + "\ntrotix: New parameter file.\n"));
                continue;
            }
            QVERIFY(
                QRegularExpression(QStringLiteral("^trotix_record\\.conf\\.unreadable-\\d{8}-\\d{6}$")).match(aside.first()).hasMatch());
            QCOMPARE(GameHome::readFile(etc.filePath(aside.first())), before);
            QVERIFY(log.text().contains(" is kept as " + QFile::encodeName(etc.filePath(aside.first())) + " and a new"));
        }
    }

    void aSaveThatCannotBeWrittenIsLoggedAndTheGameGoesOn()
    {
        // Thirty ticks while this process's files may not grow past ten bytes: a disk that fills
        // during the save. (A read-only folder: tst_main.)
        const QByteArray oldHorse("OLD|HORSE||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        GameFixture game(oldHorse);
        gs.horse.attributes.age = 9.0f;
        const QString etc = QFileInfo(game.home().attrPath()).path();
        LogCapture capture;
        rlimit files{};
        getrlimit(RLIMIT_FSIZE, &files);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tenBytes{10, files.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tenBytes), 0);
        game.tick(10);
        // The screen says so once; the log every time.
        QVERIFY(game.widget()->notice().startsWith(QStringLiteral("Your horse could not be saved (")));
        game.tick(Trotix::noticeTicks + 8);
        setrlimit(RLIMIT_FSIZE, &files);
        QCOMPARE(game.widget()->notice(), QString());
        QCOMPARE(gs.shell.tickCount, 30); // it went on ticking
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        const QByteArray log = capture.text();

        // Each save says so, fails with its reason, and the tick plays on.
        const QString failed = "trotix: Write Attribute File\ntrotix: Cannot write attribute file " + game.home().attrPath()
                               + " (%1); the horse on disk stays as it was.\n"
                                 "trotix: Action>>call idle()\n";
        static const QRegularExpression reason(QStringLiteral(" \\(([^)]*)\\); the horse"));
        const QString why = reason.match(QString::fromLatin1(log)).captured(1);
        QVERIFY2(!why.isEmpty() && QString::fromLatin1(log).count(failed.arg(why)) == 3, log.constData());
        QCOMPARE(game.home().readAttr(), oldHorse);
        QCOMPARE(QDir(etc).entryList(QDir::Files), QStringList{QStringLiteral("trotix_attr.conf")});
    }

    // A lock that could not be made (a full disk) is tried again at each tenth tick, nothing saved
    // meanwhile: made at last, it is said once, on the screen too, and the horse is saved; taken
    // meanwhile by a game at play, this session never saves.
    void aLockThatCouldNotBeMadeIsTriedAgain()
    {
        QProcess live;
        live.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(live.waitForStarted());
        for (const bool taken : {false, true}) {
            GameFixture game;
            const QString lockPath = game.home().attrPath() + ".lock";
            QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
            SaveLock lock(game.home().attrPath());
            QCOMPARE(lock.acquire(), SaveLock::Result::Failed);
            forbidSavingUntilLocked(gs, lock.failure());
            game.widget()->retrySaveLock(&lock);
            LogCapture log;
            game.tick(10);
            QCOMPARE(game.widget()->notice(), QString()); // a try that failed says nothing
            QFile::remove(lockPath);
            if (taken)
                GameHome::writeFile(lockPath,
                                    QByteArray::number(live.processId()) + "\nsleep\n" + QSysInfo::machineHostName().toUtf8() + "\n");
            game.tick(10);
            QCOMPARE(game.widget()->notice(), taken ? "Another Trotix is playing this horse now.\nThis session will not be saved."
                                                    : "Saving works again: your horse is saved every ten seconds.");
            game.tick(12);
            QCOMPARE(game.widget()->notice(), QString()); // once
            QString said = taken ? "trotix: Another Trotix (process %1) now plays the horse in %2; this session will not save.\n"
                                 : "trotix: The save %2.lock is made at last; this session saves from now on.\n";
            said.replace("%1", QString::number(live.processId())).replace("%2", game.home().attrPath());
            QCOMPARE(QString::fromLatin1(log.text()).count(said), 1);
            QCOMPARE(log.text().count("trotix: Write Attribute File\n"), taken ? 0 : 2);
        }
    }

    // The entry as typed becomes the saved name: Latin-1, the bar and control characters as '?', 15 long.
    void theEntryBecomesAFifteenCharacterName()
    {
        // clang-format off
        const std::pair<const char *, QByteArray> rows[] = {
            {"", "MY HORSE       "}, {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"}, {"   ", "               "},
            {"Zo\u00eb", "Zo\xeb            "}, {"Zoe\u0308", "Zo\xeb            "}, // Latin-1, accent typed apart
            {"\u03a9mega", "?mega          "}, {"\U0001F40E Star", "? Star         "}, // outside Latin-1, the BMP
            {"Tab\there", "Tab?here       "}, {"A|B", "A?B            "}, // the bar is the file's blank
            {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"}};
        // clang-format on
        for (const auto &[entry, name] : rows)
            QCOMPARE(horseNameFromEntry(QString::fromUtf8(entry)), name);
        // Shown in too little room: cut after the longest start that fits, without a blank before the "…".
        for (const auto &[room, shown] : {std::pair(8, "MY HORSE"), {6, "MY HO\u2026"}, {4, "MY\u2026"}, {0, "\u2026"}})
            QCOMPARE(fittedName("MY HORSE       ", [room = room](const QString &t) { return t.size() <= room; }), QString::fromUtf8(shown));
        // As typed: an accent typed apart joins its letter, and the cursor stays after what was typed.
        const EntryValidator latin([](char32_t c) { return c < 0x100; }, nullptr);
        for (auto [typed, at, after] : {std::tuple(QStringLiteral("Zoe\u0308X"), 4, 3), std::tuple(QStringLiteral("AB"), 0, 0)}) {
            QCOMPARE(latin.validate(typed, at), QValidator::Acceptable);
            QCOMPARE(at, after);
        }
    }

    // A horse without a name shows the naming screen, is never saved by the tick, and is saved
    // at once by OK (blanks as bars); from then on every tenth tick saves it. (The lines logged on
    // the way are the first-session film's.)
    void namingSavesAndTheTickSavesEveryTenth()
    {
        GameFixture game(templateHorseFile);
        QCOMPARE(part<QLineEdit>("nameEdit")->maxLength(), 15);
        game.tick();
        QCOMPARE(gs.shell.shownMode, int(ModeNaming));
        for (int id : activityGroup)
            QVERIFY(!part<IdMenuBar>("menuBar")->isItemEnabled(id));
        game.tick(11);
        QCOMPARE(game.home().readAttr(), templateHorseFile);
        part<QLineEdit>("nameEdit")->setText(QStringLiteral("A B"));
        game.call("handleOK");
        QCOMPARE(game.home().readAttr(), "A|B||||||||||||" + initialAttributes);
        QVERIFY(part<QLineEdit>("nameEdit")->isHidden() && part<QPushButton>("okButton")->isHidden());
        for (int id : activityGroup)
            QVERIFY(part<IdMenuBar>("menuBar")->isItemEnabled(id));
        game.tick(18); // to tick 30: the tick saves the named horse, aged meanwhile
        QVERIFY(game.home().readAttr().startsWith("A|B||||||||||||\n1.0"));
        QVERIFY(game.home().readAttr() != "A|B||||||||||||" + initialAttributes);
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
            part<QLineEdit>("nameEdit")->setText(QStringLiteral("Other"));
            LogCapture log;
            game.call("handleOK");
            QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>change to idle\n"});
            QCOMPARE(QByteArray(gs.horse.name), QByteArray("MY HORSE       "));
            QCOMPARE(gs.shell.mode, int(ModeIdle));
            QCOMPARE(game.home().readAttr(), readable ? file : QByteArray());
            game.tick(10); // the tick saves a readable horse only
            QCOMPARE(log.text().contains("trotix: Write Attribute File\n"), readable);
            QCOMPARE(QFileInfo(game.home().attrPath()).isDir(), !readable);
            QCOMPARE(game.widget()->notice(), readable ? "" : "Your horse's file could not be read.\nThis session will not be saved.");
        }
    }
};

QTEST_MAIN(TestAttrFile)
#include "tst_attrfile.moc"
