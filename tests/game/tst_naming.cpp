// Naming the horse on the first start, the about screen, and the tick's bookkeeping: the save on
// every tenth tick of a named horse and the end of a race.
#include "game/horsename.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "screencheck.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

const QByteArray initialAttributes("\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
const QColor plain(200, 220, 240);

// The screen shows the text, drawn as the game draws it, within the box.
void compareText(const QImage &screen, const QColor &ground, int size, int weight, QPoint at, const QString &text)
{
    const QRect box(at.x() - 1, at.y() - size - 2, 240 - at.x(), size + 6);
    QCOMPARE(screen.copy(box), textOn(ground, 240, size, weight, Qt::black, at, text).copy(box));
}

}

class TestNaming : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_MAIN(TestNaming)
#include "tst_naming.moc"
