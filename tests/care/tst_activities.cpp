// The activities as the player sees them, tick by tick: log lines, the face and horse pictures of
// every step, the thresholds on the activity's tick count, and the jump game's blocks and hops.
// Every picture is replaced by a small block of its own colour, so the screen tells which one
// was drawn where.
#include "app/picturetable.h"
#include "exactfloat.h"
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/random.h"
#include "screencheck.h"

#include <QTest>

namespace {

int pictureIndex(QImage GameState::*field)
{
    for (int i = 0; i < 42; ++i) {
        if (pictureTable[i].field == field)
            return i;
    }
    qFatal("not a picture field");
}

QColor colourOf(QImage GameState::*field)
{
    const int i = pictureIndex(field);
    return QColor(10 + 5 * i, 250 - 5 * i, (i * 53) % 256);
}

void paintPictures()
{
    for (const PictureEntry &entry : pictureTable)
        gs.*entry.field = solidPicture(12, 12, colourOf(entry.field));
    // A plain field, so that every tick starts from a clean screen.
    plantPlainBackground(*gs.backgd1Pixmap, 796, QColor(128, 128, 128));
}

// The step lines of a tick, without the tick's own lines.
QStringList stepLines(const QByteArray &log)
{
    QStringList lines;
    for (const QString &line : logLines(log)) {
        if (!line.startsWith(QLatin1String("trotix: Action>>call")) && line != QLatin1String("trotix: Write Attribute File\n"))
            lines << line;
    }
    return lines;
}

using Field = QImage GameState::*;

Attributes horse() { return {gs.age, gs.muscle, gs.fat, gs.power, gs.spirit}; }

}

class TestActivities : public QObject
{
    Q_OBJECT
private slots:
    void idleShowsItsTwoStepsAndAges();
    void eatingChangesOnStepSixAndTiresAfterFortyTicks();
    void sleepingChangesOnStepFourAndTiresAfterEightyTicks();
    void runningLoopsOneTwoThreeTwoThree();
    void choosingTheShownActivityAgainRestartsNothing();
    void choosingAnotherActivityAndBackRestartsTheLoop();
    void jumpWithoutHopFallsAtEveryBlock();
    void hopTiming_data();
    void hopTiming();
    void aHopInTheAirIsIgnoredButLogged();
    void anEmptyTrackGivesNoBonus();
};

void TestActivities::idleShowsItsTwoStepsAndAges()
{
    GameFixture game;
    paintPictures();
    LogCapture log;
    game.tick();
    QCOMPARE(logLines(log.text()), (QStringList{"trotix: Action>>call idle()\n", "trotix: Action>>idle step 1\n"}));
    QImage screen = game.screen();
    QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage3));
    QCOMPARE(colourAt(screen, 80, 200), colourOf(&GameState::idleImage1));
    COMPARE_FLOAT(gs.age, 1.0f);

    log.clear();
    game.tick();
    QCOMPARE(stepLines(log.text()), QStringList{"trotix: Action>>idle step 2\n"});
    screen = game.screen();
    QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage3));
    QCOMPARE(colourAt(screen, 80, 200), colourOf(&GameState::idleImage2));
    COMPARE_FLOAT(gs.age, up(1.0f, 0.01));

    log.clear();
    game.tick();
    QCOMPARE(stepLines(log.text()), QStringList{"trotix: Action>>idle step 1\n"});
    COMPARE_FLOAT(gs.age, up(1.0f, 0.01));
    QCOMPARE(gs.backgroundOffset, 0);
}

void TestActivities::eatingChangesOnStepSixAndTiresAfterFortyTicks()
{
    GameFixture game;
    paintPictures();
    const Field faces[] = {&GameState::faceImage1, &GameState::faceImage1, &GameState::faceImage2,
                           &GameState::faceImage2, &GameState::faceImage2, &GameState::faceImage1};
    const Field horses[] = {&GameState::eatImage1, &GameState::eatImage2, &GameState::eatImage3,
                            &GameState::eatImage4, &GameState::eatImage5, &GameState::eatImage6};
    game.call("change2eat");
    LogCapture log;
    Attributes want = horse();
    for (int ticks = 0; ticks <= 48; ++ticks) {
        log.clear();
        game.tick();
        QCOMPARE(gs.actionTicks, ticks);
        const int step = ticks % 6 + 1;
        QCOMPARE(stepLines(log.text()), QStringList{QStringLiteral("trotix: Action>>eat step %1\n").arg(step)});
        const QImage screen = game.screen();
        const Field face = step == 6 && ticks > 40 ? &GameState::faceImage6 : faces[step - 1];
        QCOMPARE(colourAt(screen, 1, 40), colourOf(face));
        QCOMPARE(colourAt(screen, 80, 200), colourOf(horses[step - 1]));
        if (step == 6) {
            want.age = up(want.age, 0.01);
            want.fat = up(want.fat, 0.1);
            want.muscle = up(want.muscle, 0.01);
            if (ticks >= 41) {
                want.power = down(want.power, 0.01);
                want.spirit = down(want.spirit, 0.02);
            }
        }
        COMPARE_ATTRIBUTES(horse(), want);
    }
    QVERIFY(gs.power < 100.0f);
}

void TestActivities::sleepingChangesOnStepFourAndTiresAfterEightyTicks()
{
    GameFixture game;
    paintPictures();
    const Field horses[] = {&GameState::sleepImage1, &GameState::sleepImage2, &GameState::sleepImage3,
                            &GameState::sleepImage4};
    game.call("change2sleep");
    LogCapture log;
    Attributes want = horse();
    for (int ticks = 0; ticks <= 88; ++ticks) {
        log.clear();
        game.tick();
        QCOMPARE(gs.actionTicks, ticks);
        const int step = ticks % 4 + 1;
        QCOMPARE(stepLines(log.text()), QStringList{QStringLiteral("trotix: Action>>sleep step %1\n").arg(step)});
        const QImage screen = game.screen();
        QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage4));
        QCOMPARE(colourAt(screen, 80, 200), colourOf(horses[step - 1]));
        if (step == 4) {
            want.age = up(want.age, 0.005);
            want.fat = up(want.fat, 0.005);
            want.spirit = up(want.spirit, 0.01);
            want.power = up(want.power, 0.01);
            if (ticks >= 83) {
                want.power = down(want.power, 0.02);
                want.spirit = down(want.spirit, 0.03);
            }
        }
        COMPARE_ATTRIBUTES(horse(), want); // muscle stays at 150
    }
}

void TestActivities::runningLoopsOneTwoThreeTwoThree()
{
    GameFixture game;
    paintPictures();
    game.call("change2run");
    LogCapture log;
    Attributes want = horse();
    int offset = gs.backgroundOffset;
    for (int ticks = 0; ticks <= 64; ++ticks) {
        log.clear();
        game.tick();
        QCOMPARE(gs.actionTicks, ticks);
        const int step = ticks == 0 ? 1 : ticks % 2 == 1 ? 2 : 3;
        QCOMPARE(stepLines(log.text()), QStringList{QStringLiteral("trotix: Action>>run step %1\n").arg(step)});
        // The field is reset to its start once scrolled past its width, then moves on.
        offset = (offset > 796 ? 0 : offset) + 20;
        QCOMPARE(gs.backgroundOffset, offset);
        const QImage screen = game.screen();
        if (step == 1) {
            QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage2));
            QCOMPARE(colourAt(screen, 80, 200), colourOf(&GameState::runImage1));
        } else if (step == 2) {
            QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage1));
            QCOMPARE(colourAt(screen, 80, 200), colourOf(&GameState::runImage2));
        } else {
            QCOMPARE(colourAt(screen, 1, 40), colourOf(ticks >= 62 ? &GameState::faceImage7 : &GameState::faceImage2));
            QCOMPARE(colourAt(screen, 80, 200), colourOf(&GameState::runImage3));
            want.age = up(want.age, 0.01);
            want.fat = down(want.fat, 0.1);
            want.muscle = up(want.muscle, 0.1);
            want.power = up(want.power, 0.1);
            want.spirit = up(want.spirit, 0.05);
            if (ticks >= 42) {
                want.power = down(want.power, 0.05);
                want.spirit = down(want.spirit, 0.07);
            }
        }
        COMPARE_ATTRIBUTES(horse(), want);
    }
}

void TestActivities::choosingTheShownActivityAgainRestartsNothing()
{
    GameFixture game;
    game.call("change2eat");
    game.tick(3);
    QCOMPARE(gs.actionTicks, 2);
    LogCapture log;
    game.call("change2eat");
    QCOMPARE(gs.mode, int(ModeEat));
    QCOMPARE(gs.shownMode, int(ModeEat));
    game.tick();
    QCOMPARE(gs.actionTicks, 3);
    QCOMPARE(logLines(log.text()), (QStringList{"trotix: MenuSelect>>change to eat\n", "trotix: Action>>call eat()\n",
                                                "trotix: Action>>eat step 4\n"}));
}

void TestActivities::choosingAnotherActivityAndBackRestartsTheLoop()
{
    GameFixture game;
    game.call("change2eat");
    game.tick(3);
    game.call("change2sleep");
    game.tick();
    QCOMPARE(gs.actionTicks, 0);
    game.call("change2eat");
    LogCapture log;
    game.tick();
    QCOMPARE(gs.actionTicks, 0);
    QCOMPARE(stepLines(log.text()), QStringList{"trotix: Action>>eat step 1\n"});
}

void TestActivities::jumpWithoutHopFallsAtEveryBlock()
{
    GameFixture game;
    paintPictures();
    scriptRandomDraws({2000000000, 1600000001});
    game.call("change2jump");
    LogCapture log;
    game.tick();
    QCOMPARE(stepLines(log.text()), QStringList{"trotix: Action>>jump step 1\n"});
    QCOMPARE(scriptedDrawsLeft(), 2);
    QImage screen = game.screen();
    QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage3));
    QCOMPARE(colourAt(screen, 30, 200), colourOf(&GameState::jumpImage1));
    QCOMPARE(gs.backgroundOffset, 20);
    COMPARE_FLOAT(gs.age, 1.0f);

    Attributes want = horse();
    const int xs[] = {200, 180, 160, 140, 120, 100};
    for (int i = 0; i < 6; ++i) {
        log.clear();
        game.tick();
        const int step = i % 2 == 0 ? 2 : 3;
        QStringList expected{QStringLiteral("trotix: Action>>jump step %1\n").arg(step)};
        if (i == 0)
            expected << QStringLiteral("trotix: Random block generated!\n");
        QCOMPARE(stepLines(log.text()), expected);
        screen = game.screen();
        QCOMPARE(colourAt(screen, xs[i], 240), colourOf(&GameState::blockImage));
        QCOMPARE(colourAt(screen, 1, 40), colourOf(step == 2 ? &GameState::faceImage1 : &GameState::faceImage2));
        QCOMPARE(colourAt(screen, 30, 200), colourOf(step == 2 ? &GameState::jumpImage2 : &GameState::jumpImage3));
        want.power = up(want.power, 0.005);
        want.spirit = up(want.spirit, 0.03);
        want.age = up(want.age, 0.01);
        COMPARE_ATTRIBUTES(horse(), want);
        QCOMPARE(gs.backgroundOffset, 40 + 20 * i);
    }

    // Distance 0 with no hop pending: the fall, without the block.
    log.clear();
    game.tick();
    QCOMPARE(stepLines(log.text()), QStringList{"trotix: Action>>jump step 2\n"});
    screen = game.screen();
    QCOMPARE(colourAt(screen, 1, 40), colourOf(&GameState::faceImage5));
    QCOMPARE(colourAt(screen, 30, 200), colourOf(&GameState::jumpImage5));
    QVERIFY(colourAt(screen, 60, 240) != colourOf(&GameState::blockImage));
    want.power = down(want.power, 0.02);
    want.spirit = down(want.spirit, 0.1);
    want.age = up(want.age, 0.01);
    COMPARE_ATTRIBUTES(horse(), want);
    QCOMPARE(gs.blockHit, 0);
    QCOMPARE(gs.backgroundOffset, 160);

    // The next frame draws again and a new block starts at once.
    log.clear();
    game.tick();
    QCOMPARE(stepLines(log.text()),
             (QStringList{"trotix: Action>>jump step 3\n", "trotix: Random block generated!\n"}));
    QCOMPARE(colourAt(game.screen(), 200, 240), colourOf(&GameState::blockImage));
    QCOMPARE(scriptedDrawsLeft(), 0);
}

void TestActivities::hopTiming_data()
{
    QTest::addColumn<int>("pressAfterX");
    QTest::addColumn<QString>("framesAfterPress");
    // H: hop with the block drawn at x; h: hop with no block; G: gallop; F: fall.
    QTest::newRow("in time") << 100 << "H60";
    QTest::newRow("one tick early") << 120 << "H100 F";
    QTest::newRow("two ticks early") << 140 << "H120 G100 F";
}

void TestActivities::hopTiming()
{
    QFETCH(int, pressAfterX);
    QFETCH(QString, framesAfterPress);
    GameFixture game;
    paintPictures();
    scriptRandomDraws({2000000000, 0});
    game.call("change2jump");
    game.tick(); // step 1
    for (int x = 200; x >= pressAfterX; x -= 20) {
        game.tick();
        QCOMPARE(colourAt(game.screen(), x, 240), colourOf(&GameState::blockImage));
    }
    game.call("hop");
    QCOMPARE(gs.hopRequested, 1);

    QStringList frames;
    const QStringList expected = framesAfterPress.split(QLatin1Char(' '));
    for (int i = 0; i < expected.size(); ++i) {
        const float power = gs.power;
        game.tick();
        const QImage screen = game.screen();
        const QColor horse = colourAt(screen, 30, 200);
        if (colourAt(screen, 30, 180) == colourOf(&GameState::jumpImage4)) {
            QCOMPARE(gs.inAir, 1);
            QCOMPARE(gs.hopRequested, 0);
            const int x = gs.blockDistance == 0 ? 60 : 80 + 20 * gs.blockDistance;
            QCOMPARE(colourAt(screen, x, 240), colourOf(&GameState::blockImage));
            COMPARE_FLOAT(gs.power, up(power, 0.005));
            frames << QStringLiteral("H%1").arg(x);
        } else if (horse == colourOf(&GameState::jumpImage5)) {
            COMPARE_FLOAT(gs.power, down(power, 0.02));
            frames << QStringLiteral("F");
        } else {
            QVERIFY(horse == colourOf(&GameState::jumpImage2) || horse == colourOf(&GameState::jumpImage3));
            QCOMPARE(gs.inAir, 0);
            frames << QStringLiteral("G%1").arg(80 + 20 * gs.blockDistance);
        }
    }
    QCOMPARE(frames, expected);
    QCOMPARE(gs.blockHit, 0);
}

void TestActivities::aHopInTheAirIsIgnoredButLogged()
{
    GameFixture game;
    scriptRandomDraws({0, 0, 0});
    game.call("change2jump");
    game.tick(2);
    game.call("hop");
    game.tick();
    QCOMPARE(gs.inAir, 1);
    LogCapture log;
    game.call("hop");
    QCOMPARE(gs.hopRequested, 0);
    QCOMPARE(logLines(log.text()), QStringList{"trotix: MenuSelect>>press hop!\n"});
    game.tick();
    QCOMPARE(gs.inAir, 0);
    game.call("hop");
    QCOMPARE(gs.hopRequested, 1);
}

void TestActivities::anEmptyTrackGivesNoBonus()
{
    GameFixture game;
    paintPictures();
    scriptRandomDraws({1600000000, 1600000000});
    game.call("change2jump");
    game.tick(3);
    COMPARE_ATTRIBUTES(horse(), (Attributes{up(up(1.0f, 0.01), 0.01), 150.0f, 50.0f, 100.0f, 100.0f}));
    QCOMPARE(gs.blockActive, 0);
    QVERIFY(colourAt(game.screen(), 60, 240) != colourOf(&GameState::blockImage));
}

QTEST_MAIN(TestActivities)
#include "tst_activities.moc"
