// The attribute file: what is written byte by byte, what is read back from any content, and that
// no save can leave a broken horse on disk.
#include "game/attrcodec.h"
#include "game/attrfile.h"
#include "gamefixture.h"
#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <cstring>
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
    h.age = age;
    h.muscle = muscle;
    h.fat = fat;
    h.power = power;
    h.spirit = spirit;
    return h;
}

QByteArray nameOf(const Horse &h) { return QByteArray(h.name); }

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
        QCOMPARE(back.horse.age, 2.5f);
        QCOMPARE(back.horse.muscle, 151.25f);
        QCOMPARE(back.horse.spirit, 1000.049988f);
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
        const QList<float> got{read.horse.age, read.horse.muscle, read.horse.fat, read.horse.power,
                               read.horse.spirit};
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

    void aSaveKilledAtAnyMomentLeavesAWholeHorse()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_attr.conf"));
        GameState first;
        first.muscle = first.age * 2;
        QVERIFY(saveAttrFile(first, path));
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 150; ++round) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                GameState state;
                for (int i = 1;; ++i) {
                    state.age = float(i);
                    state.muscle = float(i) * 2;
                    saveAttrFile(state, path);
                }
            }
            usleep(random->bounded(100, 3000));
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const AttrFileContent read = parseAttrFile(file.readAll(), horseOf(GameState()));
            QCOMPARE(read.attributesRead, 5);
            QCOMPARE(read.horse.muscle, read.horse.age * 2); // a horse from one save, never a mix
        }
        // Leftover temporary files never replace the save itself.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QVERIFY(name.startsWith(QStringLiteral("trotix_attr.conf")));
    }
};

QTEST_MAIN(TestAttrFile)
#include "tst_attrfile.moc"
