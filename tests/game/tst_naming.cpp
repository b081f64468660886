// Naming the horse on the first start, and the about screen.
#include "game/horsename.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "screencheck.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

namespace {

const QByteArray initialAttributes("\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
const QColor plain(200, 220, 240);

// The given background with the given texts drawn on it as the game draws text.
QImage reference(const QColor &background, const QList<ScreenText> &texts, const QImage &picture = QImage(),
                 QPoint at = QPoint())
{
    QPixmap image = gs.screenBuffer->copy();
    image.fill(background);
    QPainter painter(&image);
    painter.drawImage(at, picture);
    painter.setPen(Qt::black);
    drawTexts(painter, texts);
    painter.end();
    return image.toImage().convertToFormat(QImage::Format_RGB32);
}

bool sameRows(const QImage &a, const QImage &b, int fromY, int toY)
{
    const QRect rows(0, fromY, 240, toY - fromY + 1);
    return a.copy(rows) == b.copy(rows);
}

bool inkIn(const QImage &screen, const QRect &box) { return pixelsOtherThan(screen, box, Qt::white) > 0; }

}

class TestNaming : public QObject
{
    Q_OBJECT
private slots:
    void theEntryBecomesAFifteenCharacterName_data();
    void theEntryBecomesAFifteenCharacterName();
    void aNewFileShowsTheNamingScreen();
    void okNamesTheHorseAndWritesTheFileWithoutALogLine_data();
    void okNamesTheHorseAndWritesTheFileWithoutALogLine();
    void afterNamingTheIdleHorseFollowsAndTheTickSaves();
    void aboutShowsTheTitleAndTheDescription();
    void okOnTheAboutScreenOnlyReturnsToIdle_data();
    void okOnTheAboutScreenOnlyReturnsToIdle();
    void anotherChoiceHidesTheAboutScreensOk();
};

void TestNaming::theEntryBecomesAFifteenCharacterName_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("empty") << QString() << QByteArray("MY HORSE       ");
    QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("blanks inside") << "A B" << QByteArray("A B            ");
    QTest::newRow("only blanks") << "   " << QByteArray("               ");
    QTest::newRow("Latin-1") << QString::fromUtf8("Zo\u00eb") << QByteArray("Zo\xeb            ");
    QTest::newRow("accent typed apart") << QString::fromUtf8("Zoe\u0308") << QByteArray("Zo\xeb            ");
    QTest::newRow("outside Latin-1") << QString::fromUtf8("\u03a9mega") << QByteArray("?mega          ");
    QTest::newRow("outside the BMP") << QString::fromUtf8("\U0001F40E Star") << QByteArray("? Star         ");
    QTest::newRow("tab") << "Tab\there" << QByteArray("Tab?here       ");
    QTest::newRow("too long") << "ABCDEFGHIJKLMNOPQ" << QByteArray("ABCDEFGHIJKLMNO");
}

void TestNaming::theEntryBecomesAFifteenCharacterName()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, name);
    QCOMPARE(horseNameFromEntry(entry), name);
}

void TestNaming::aNewFileShowsTheNamingScreen()
{
    GameFixture game(templateHorseFile);
    plantPlainBackground(*gs.backgd1Pixmap, 796, plain);
    QCOMPARE(gs.mode, int(ModeNaming));
    QVERIFY(!gs.nameEdit->isHidden());
    QCOMPARE(gs.nameEdit->maxLength(), 15);
    LogCapture log;
    game.tick();
    QCOMPARE(logLines(log.text()), QStringList{"trotix: Action>>Naming()\n"});
    QCOMPARE(gs.shownMode, int(ModeNaming));
    const QImage expected = reference(plain, {{50, 70, 12, 75, QStringLiteral("Give Your Horse A Name")},
                                              {50, 110, 10, 50, QStringLiteral("Input the name:")},
                                              {50, 153, 10, 50, QStringLiteral("Maximum length is 15 characters.")},
                                              {50, 166, 10, 50, QStringLiteral("Default name is: MY HORSE")}});
    QVERIFY(sameRows(game.screen(), expected, 0, 319));
    // Nothing else can be chosen while the horse has no name.
    for (int id : activityGroup)
        QVERIFY(!gs.menuBar->isItemEnabled(id));
    QVERIFY(!gs.menuBar->isItemEnabled(IdHop));
}

void TestNaming::okNamesTheHorseAndWritesTheFileWithoutALogLine_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("firstLine");
    QTest::newRow("empty") << QString() << QByteArray("MY|HORSE|||||||");
    QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("blank inside") << "A B" << QByteArray("A|B||||||||||||");
    QTest::newRow("outside Latin-1") << QString::fromUtf8("\u03a9 Star") << QByteArray("?|Star|||||||||");
}

void TestNaming::okNamesTheHorseAndWritesTheFileWithoutALogLine()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, firstLine);
    GameFixture game(templateHorseFile);
    game.tick();
    gs.nameEdit->setText(entry);
    LogCapture log;
    game.call("handleOK");
    QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>change to idle\n"});
    QCOMPARE(game.home().readAttr(), firstLine + initialAttributes);
    QCOMPARE(QByteArray(gs.horseName), horseNameFromEntry(entry));
    QCOMPARE(gs.attrFileValid, 1);
    QCOMPARE(gs.mode, int(ModeIdle));
    QVERIFY(gs.nameEdit->isHidden());
    QVERIFY(gs.okButton->isHidden());
    for (int id : activityGroup)
        QVERIFY(gs.menuBar->isItemEnabled(id));
}

void TestNaming::afterNamingTheIdleHorseFollowsAndTheTickSaves()
{
    GameFixture game(templateHorseFile);
    game.tick(12); // tick 10 writes nothing while the horse has no name
    QCOMPARE(game.home().readAttr(), templateHorseFile);
    gs.nameEdit->setText(QStringLiteral("Bolt"));
    game.call("handleOK");
    const QByteArray named = game.home().readAttr();
    QCOMPARE(named, QByteArray("Bolt|||||||||||") + initialAttributes);
    LogCapture log;
    game.tick();
    QCOMPARE(logLines(log.text()), (QStringList{"trotix: Action>>call idle()\n", "trotix: Action>>idle step 1\n"}));
    game.tick(6);
    QVERIFY(!log.text().contains("Write Attribute File"));
    log.clear();
    game.tick(); // the twentieth tick since start
    QCOMPARE(logLines(log.text()).first(), QStringLiteral("trotix: Write Attribute File\n"));
    QVERIFY(game.home().readAttr() != named); // the horse has aged meanwhile
    QVERIFY(game.home().readAttr().startsWith("Bolt|||||||||||\n1.0"));
}

void TestNaming::aboutShowsTheTitleAndTheDescription()
{
    GameFixture game;
    QImage title(40, 20, QImage::Format_RGB32);
    title.fill(QColor(30, 90, 150));
    gs.titleImage = title;
    LogCapture log;
    game.call("aboutTrotix");
    QCOMPARE(logLines(log.text()), QStringList{"trotix: About selected\n"});
    QCOMPARE(gs.mode, int(ModeAbout));
    QVERIFY(gs.okButton->isHidden());
    log.clear();
    game.tick();
    QCOMPARE(logLines(log.text()), QStringList{"trotix: Action>>about()\n"});
    QCOMPARE(gs.shownMode, int(ModeAbout));
    QVERIFY(!gs.okButton->isHidden());

    const QList<ScreenText> written = {
        {88, 75, 12, 75, QStringLiteral("Trotix v1.0")},
        {8, 150, 9, 50, QStringLiteral("In this  game, you can train your own horse.  The horse can")},
        {8, 165, 9, 50, QStringLiteral("then race with another player's horse through the network.")},
        {8, 180, 9, 50, QStringLiteral("Keep track of your horse's status.  Give your horse enough")},
        {8, 195, 9, 50, QStringLiteral("activities, challenges and rest. Repeative activity can drive")},
        {8, 210, 9, 50, QStringLiteral("it to fatique.  Smart training,  rather than long time hard,")},
        {8, 225, 9, 50, QStringLiteral("training is desired. Remember, your horse get older as you")},
        {8, 240, 9, 50, QStringLiteral("spend the more time.")},
    };
    const QImage screen = game.screen();
    const QImage expected = reference(Qt::white, written, title, QPoint(50, 45));
    // Everything but the rows of our own three lines is as written; those three carry text.
    QVERIFY(sameRows(screen, expected, 0, 83));
    QVERIFY(sameRows(screen, expected, 136, 319));
    QVERIFY(inkIn(screen, QRect(20, 86, 200, 11)));
    QVERIFY(inkIn(screen, QRect(20, 101, 200, 11)));
    QVERIFY(inkIn(screen, QRect(50, 122, 180, 10)));

    game.tick();
    QCOMPARE(game.screen(), screen);
}

void TestNaming::okOnTheAboutScreenOnlyReturnsToIdle_data()
{
    QTest::addColumn<bool>("readable");
    QTest::newRow("named horse") << true;
    QTest::newRow("unreadable file") << false;
}

void TestNaming::okOnTheAboutScreenOnlyReturnsToIdle()
{
    QFETCH(bool, readable);
    // A line the game would not write itself shows whether the file was written again; a folder
    // in the file's place is a file that cannot be read.
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
    QVERIFY(gs.okButton->isHidden());
    QCOMPARE(game.home().readAttr(), readable ? file : QByteArray());
    game.tick(10); // the tick saves a named horse only
    QCOMPARE(log.text().contains("trotix: Write Attribute File\n"), readable);
    QCOMPARE(QFileInfo(game.home().attrPath()).isDir(), !readable);
    if (readable)
        return;
    // The player was told, once, over the first screen.
    QTRY_VERIFY(game.widget()->findChild<QMessageBox *>(QStringLiteral("noSaveNotice")));
    const auto notices = game.widget()->findChildren<QMessageBox *>(QStringLiteral("noSaveNotice"));
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first()->isVisible());
    QCOMPARE(notices.first()->text(),
             QStringLiteral("Your horse's file could not be read.\nThis session will not be saved."));
}

void TestNaming::anotherChoiceHidesTheAboutScreensOk()
{
    GameFixture game;
    game.call("aboutTrotix");
    game.tick();
    QVERIFY(!gs.okButton->isHidden());
    game.call("change2eat");
    QVERIFY(gs.okButton->isHidden());
}

QTEST_MAIN(TestNaming)
#include "tst_naming.moc"
