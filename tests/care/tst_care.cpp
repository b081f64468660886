// Caring for the horse: the attribute arithmetic at its limits, what each activity shows step by
// step, the jump game's blocks and hops, the menu choices and the status screen's bars. Every
// picture is replaced by a block of its own colour, so a pixel tells which one was drawn.
#include "app/gamesound.h"
#include "app/picturetable.h"
#include "care/rules/attributes.h"
#include "care/rules/block.h"
#include "care/rules/statusbars.h"
#include "gamefixture.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/rules/random.h"
#include "platform/windowsettings.h"
#include "screencheck.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

namespace {

QColor colourOf(Picture picture)
{
    const int i = int(picture);
    return QColor(10 + 5 * i, 250 - 5 * i, (i * 53) % 256);
}

void paintPictures()
{
    for (int i = 0; i < pictureCount; ++i)
        liveGame()->picture(Picture(i)) = solidPicture(12, 12, colourOf(Picture(i)));
    plantPlainBackground(liveGame()->background(BackgroundField), 796, QColor(128, 128, 128));
}

QString text(const Attributes &a)
{
    QString s;
    for (float v : {a.age, a.muscle, a.fat, a.power, a.spirit})
        s += QString::number(double(v), 'g', 9) + QLatin1Char(' ');
    return s;
}

enum class Change { Idle, Eat, Sleep, Run, Fall, Bonus };

const QColor plain(240, 230, 200);
const QColor barFill[] = {{200, 80, 80}, {80, 200, 80}, {80, 80, 200}, {200, 80, 200}, {80, 200, 200}};

}

class TestCare : public QObject
{
    Q_OBJECT
private slots:
    // Expected floats worked out by hand from the rule (read the float, change it in double, store
    // a float); limits are tested strictly below, guards as "value - guard > 0".
    void attributesAtTheirLimits()
    {
        const struct
        {
            Change change;
            int ticks;
            Attributes before, after;
        } rows[] = {
            {Change::Idle, 0, {39.995f, 150, 50, 100, 100}, {40.004997f, 150, 50, 100, 100}},
            {Change::Idle, 0, {40, 150, 50, 100, 100}, {40, 150, 50, 100, 100}},
            {Change::Eat, 40, {1, 150, 50, 100, 100}, {1.01f, 150.01f, 50.1f, 100, 100}},
            {Change::Eat, 41, {1, 150, 50, 100, 100}, {1.01f, 150.01f, 50.1f, 99.99f, 99.98f}},
            {Change::Eat, 5, {1, 150, 999.95f, 0.005f, 0.015f}, {1.01f, 150.01f, 1000.05f, 0.005f, 0.015f}},
            {Change::Eat, 41, {40, 1000, 1000, 0.005f, 0.015f}, {40, 1000, 1000, 0.005f, 0.015f}},
            {Change::Sleep, 80, {1, 150, 50, 100, 100}, {1.005f, 150, 50.005f, 100.01f, 100.01f}},
            {Change::Sleep, 81, {1, 150, 50, 0.005f, 0.015f}, {1.005f, 150, 50.005f, -0.0050000004f, -0.0049999994f}},
            {Change::Sleep, 3, {1, 150, 50, 999.995f, 1000}, {1.005f, 150, 50.005f, 1000.005f, 1000}},
            {Change::Run, 40, {1, 150, 50, 100, 100}, {1.01f, 150.1f, 49.9f, 100.1f, 100.05f}},
            {Change::Run, 41, {1, 150, 0.1f, 100, 0.01f}, {1.01f, 150.1f, 1.4901161e-09f, 100.049995f, -0.010000002f}},
            {Change::Run, 2, {1, 150, 0.05f, 100, 100}, {1.01f, 149.90001f, 0.05f, 100.1f, 100.05f}},
            {Change::Run, 2, {1, 0.15f, 0.05f, 100, 100}, {1.01f, 0.25f, 0.05f, 100.1f, 100.05f}},
            {Change::Fall, 0, {1, 150, 50, 100, 100}, {1, 150, 50, 99.98f, 99.9f}},
            {Change::Fall, 0, {1, 150, 50, 0.015f, 0.05f}, {1, 150, 50, 0.015f, 0.05f}},
            {Change::Bonus, 0, {1, 150, 50, 1000, 999.99f}, {1, 150, 50, 1000, 1000.02f}},
        };
        for (const auto &row : rows) {
            Attributes a = row.before;
            switch (row.change) {
            case Change::Idle: idleLoopEnd(a); break;
            case Change::Eat: eatLoopEnd(a, row.ticks); break;
            case Change::Sleep: sleepLoopEnd(a, row.ticks); break;
            case Change::Run: runStepThree(a, row.ticks); break;
            case Change::Fall: jumpFall(a); break;
            case Change::Bonus: blockBonus(a); break;
            }
            QCOMPARE(text(a), text(row.after));
        }
    }

    // Tick n of an activity (from 0): its log line, face and horse picture, and the age once the
    // frame is drawn, 1 before it (the loop's end is applied on its last step only). Age 0: not
    // checked. The first steps of each are filmed (tst_window's first session).
    void eachActivityStepShowsItsPictures()
    {
        // clang-format off
        struct Row { const char *slot; int tick; const char *line; Picture face, horse; float age; };
        const Row rows[] = {
            {"change2idle", 1, "idle step 2", Picture::Face3, Picture::Idle2, 1.01f},
            {"change2eat", 5, "eat step 6", Picture::Face1, Picture::Eat6, 1.01f},
            {"change2eat", 41, "eat step 6", Picture::Face6, Picture::Eat6, 0.0f}, // tired
            {"change2eat", 46, "eat step 5", Picture::Face2, Picture::Eat5, 0.0f},
            {"change2sleep", 3, "sleep step 4", Picture::Face4, Picture::Sleep4, 1.005f},
            {"change2run", 2, "run step 3", Picture::Face2, Picture::Run3, 1.01f},
            {"change2run", 60, "run step 3", Picture::Face2, Picture::Run3, 0.0f},
            {"change2run", 62, "run step 3", Picture::Face7, Picture::Run3, 0.0f}, // tired
        };
        // clang-format on
        for (const Row &r : rows) {
            GameFixture game;
            paintPictures();
            game.call(r.slot);
            game.tick(r.tick);
            LogCapture log;
            const float before = gs.horse.attributes.age;
            game.tick();
            const QString where = QStringLiteral("%1 %2").arg(r.slot).arg(r.tick);
            // Idle is shown from its start, so its first tick counts.
            QVERIFY2(gs.care.actionTicks == r.tick + (QByteArray(r.slot) == "change2idle"), qPrintable(where));
            QStringList lines = logLines(log.text()); // the activity's own frame, without the tick's lines
            lines.removeIf([](const QString &l) { return l.startsWith("trotix: Action>>call") || l.contains("Write Attr"); });
            QVERIFY2(lines == QStringList{"trotix: Action>>" + QString(r.line) + "\n"}, qPrintable(where));
            QVERIFY2(colourAt(game.screen(), 1, 40) == colourOf(r.face), qPrintable(where));
            QVERIFY2(colourAt(game.screen(), 80, 200) == colourOf(r.horse), qPrintable(where));
            QVERIFY2(r.age == 0.0f || (before == 1.0f && text({gs.horse.attributes.age, 0, 0, 0, 0}) == text({r.age, 0, 0, 0, 0})),
                     qPrintable(where));
        }
    }

    // The block comes 20 pixels closer each frame from x 200; without a hop it throws the horse.
    // H: hop over the block drawn at x; G: gallop with the block at x; F: fall.
    void hopTiming()
    {
        const std::pair<int, QString> rows[] = {{100, "H60"}, {120, "H100 F"}, {140, "H120 G100 F"}, {0, "F"}};
        for (const auto &[pressAfterX, framesAfterPress] : rows) {
            GameFixture game;
            paintPictures();
            scriptRandomDraws({2000000000, 0});
            game.call("change2jump");
            game.tick();
            QCOMPARE(colourAt(game.screen(), 30, 200), colourOf(Picture::Jump1));
            for (int x = 200; x >= qMax(pressAfterX, 100); x -= 20) {
                game.tick();
                QCOMPARE(colourAt(game.screen(), x, 240), colourOf(Picture::Block));
            }
            if (pressAfterX > 0)
                game.call("hop");
            QStringList frames;
            for (int i = 0; i < framesAfterPress.count(' ') + 1; ++i) {
                const float power = gs.horse.attributes.power;
                game.tick();
                const QImage screen = game.screen();
                const int x = gs.care.block.distance == 0 ? 60 : 80 + 20 * gs.care.block.distance;
                if (colourAt(screen, 30, 180) == colourOf(Picture::Jump4))
                    frames << QStringLiteral("H%1").arg(x);
                // The block goes under the fallen horse.
                else if (colourAt(screen, 30, 200) == colourOf(Picture::Jump5) && colourAt(screen, 1, 40) == colourOf(Picture::Face5)
                         && colourAt(screen, 60, 240) != colourOf(Picture::Block))
                    frames << QString(gs.horse.attributes.power < power ? "F" : "F at no cost");
                else
                    frames << QStringLiteral("G%1").arg(x);
            }
            QCOMPARE(frames.join(' '), framesAfterPress);
        }
    }

    void aDrawAtTheThresholdBringsNoBlockAndNoBonus()
    {
        GameFixture game;
        paintPictures();
        scriptRandomDraws({blockDrawThreshold, blockDrawThreshold});
        game.call("change2jump");
        game.tick(3);
        QCOMPARE(gs.care.block.active, 0);
        QCOMPARE(gs.horse.attributes.power, 100.0f);
        QVERIFY(colourAt(game.screen(), 60, 240) != colourOf(Picture::Block));
    }

    // Each menu choice from a half-made network set-up and a finished race: its mode, its one log
    // line, the set-up and the race left behind, and the next tick's screen (its log line: the films).
    void aChoiceLogsOneLineAndShowsItsScreenNextTick()
    {
        // clang-format off
        struct Row { const char *slot; int mode; const char *line; };
        const Row rows[] = {{"change2idle", 1, "change to idle"}, {"change2eat", 2, "change to eat"}, {"change2sleep", 3, "change to sleep"},
                            {"change2run", 4, "change to run"}, {"change2jump", 5, "change to jump"}, {"change2status", 9, "change to status"},
                            {"aboutTrotix", 10, "About selected"}, {"change2server", 20, "change to server"},
                            {"change2client", 40, "change to client"}, {"change2racedemo", 60, "change to race demo"}};
        // clang-format on
        for (const Row &r : rows) {
            GameFixture game;
            gs.shell.mode = ModeServerWait;
            gs.net.netState = 3;
            part<QPushButton>("confirmButton")->show();
            gs.race.positions.pos1 = gs.race.positions.pos2 = 2222;
            gs.race.winner = gs.race.winScenario = gs.race.racePattern = 2;
            LogCapture log;
            game.call(r.slot);
            const QString line = QString(r.line).startsWith("About") ? r.line : "MenuSelect>>" + QString(r.line);
            QCOMPARE(logLines(log.text()), QStringList{"trotix: " + line + "\n"});
            QCOMPARE(gs.shell.mode, r.mode);
            QVERIFY(r.mode == ModeAbout || r.mode == ModeDemoRace || gs.net.netState == 0);
            QVERIFY(part<QPushButton>("confirmButton")->isHidden());
            if (r.mode >= 20) // a race starts afresh
                QCOMPARE(
                    QList<int>({gs.race.positions.pos1, gs.race.positions.pos2, gs.race.winner, gs.race.winScenario, gs.race.racePattern}),
                    QList<int>(5, 0));
            game.tick();
            QCOMPARE(gs.shell.shownMode, r.mode);
            QCOMPARE(game.widget()->picture(Picture::Race1).isNull(),
                     r.mode != ModeDemoRace); // a picture is decoded when first drawn
            game.widget()->setPaused(true);   // a pause holds on every screen but a network race's
            QCOMPARE(game.widget()->isPaused(), r.mode < ModeServerAsk || r.mode == ModeDemoRace);
        }
    }

    // M says what it did, and turned on it is remembered; with no output to play on, the entry
    // shows off, M says so, and the first sound wanted logs one line, every later one nothing.
    void mSaysWhatItDid()
    {
        const struct
        {
            bool output;
            int presses;
            const char *notice;
        } rows[] = {{true, 1, "Sound on"}, {true, 2, "Sound off"}, {false, 1, "No sound output here"}};
        for (const auto &r : rows) {
            if (r.output)
                listenToTheGame();
            else
                qputenv("PULSE_SERVER", "unix:/nowhere");
            GameFixture game;
            auto *sound = game.widget()->findChild<QAction *>(QStringLiteral("soundAction"));
            QVERIFY(sound && !sound->isChecked());
            LogCapture log;
            for (int i = 0; i < r.presses; ++i)
                sound->trigger();
            QCOMPARE(game.widget()->notice(), QString(r.notice));
            QCOMPARE(sound->isChecked(), r.output && r.presses == 1);
            QCOMPARE(WindowSettings::sound(), r.presses == 1);
            game.call("change2eat");
            game.tick(5); // the first bite wants a sound, the fifth another
            QCOMPARE(log.text().count("trotix: No audio output: the game stays silent\n"), r.output ? 0 : 1);
            QCOMPARE(log.text().count("trotix: Action>>eat step"), 5);
            useTestSoundOutput(nullptr);
        }
        // Settings that are no file (a FIFO) are never opened: the choice is this session's, said once.
        qputenv("PULSE_SERVER", "unix:/nowhere");
        GameFixture game;
        auto *sound = game.widget()->findChild<QAction *>(QStringLiteral("soundAction"));
        const QString settings = Paths::settingsFile();
        QVERIFY(QFile::remove(settings) && ::mkfifo(QFile::encodeName(settings).constData(), 0600) == 0);
        LogCapture log;
        sound->trigger();
        QVERIFY(!sound->isChecked() && WindowSettings::sound() && QFile::remove(settings));
        QCOMPARE(log.text(), "trotix: Cannot use the window settings " + QFile::encodeName(settings)
                                 + " (it is a FIFO, not a regular file); the window's choices are not remembered.\n"
                                   "trotix: No audio output: the game stays silent\n");
    }

    // The horse named in a paused game is named silently (the films hear every other sound on its
    // frame, named.wav in play too).
    void aHorseNamedWhilePausedIsNamedSilently()
    {
        listenToTheGame();
        GameFixture game(templateHorseFile);
        game.widget()->setPaused(true);
        game.widget()->findChild<QAction *>(QStringLiteral("soundAction"))->trigger();
        game.call("handleOK");
        QCOMPARE(heard, QStringList());
        useTestSoundOutput(nullptr);
    }

    // A value beyond the int range shows the largest: its bar up to the screen's top, a negative
    // one down from the base (the bars of a normal horse are filmed by tst_window).
    void theStatusBarsAtTheIntLimits()
    {
        GameFixture game;
        plantPlainBackground(game.widget()->background(BackgroundStatus), 240, plain);
        game.call("change2status");
        gs.horse.attributes.fat = 3.0e9f;
        gs.horse.attributes.muscle = -3.0e9f;
        game.tick();
        QCOMPARE(statusBars(gs.horse.attributes)[2].value, 2147483647);
        QCOMPARE(statusBars(gs.horse.attributes)[1].value, -2147483647 - 1);
        const QImage screen = game.screen();
        QCOMPARE(colourAt(screen, 112, 1), barFill[2]);  // up from the base to the screen's top
        QCOMPARE(colourAt(screen, 72, 300), barFill[1]); // the negative one down from it
        QCOMPARE(colourAt(screen, 72, 250), plain);
    }

    // Playing with the keyboard as on the device: the plain letters U, H and B, an Alt mnemonic, a
    // focused field taking those letters as text, Return and Escape on each screen, and Ctrl+Q.
    void theKeyboardFollowsTheScreensThroughAFirstSession()
    {
        // Every key goes where a real one goes: to the window's focused widget, through the shortcuts.
        const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(static_cast<QWidget *>(nullptr), k, modifiers);
        };
        GameFixture game(templateHorseFile);
        game.widget()->show();
        game.widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(game.widget())); // the name field's, as filmed
        // A letter the save cannot keep is not taken: neither outside Latin-1 nor its blank marker; an
        // accent typed apart joins its letter.
        for (const QChar typed : QStringLiteral("St\u0394e\u0308a|r"))
            for (const auto action : {QTest::Press, QTest::Release})
                QTest::sendKeyEvent(action, part<QLineEdit>("nameEdit"), Qt::Key_unknown, QString(typed), Qt::NoModifier);
        QCOMPARE(part<QLineEdit>("nameEdit")->text(), QStringLiteral("St\u00ebar"));
        key(Qt::Key_Return);
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        QVERIFY(game.home().readAttr().startsWith("St\353ar||||||||||\n"));
        QCOMPARE(game.widget()->windowTitle(), QStringLiteral("St\u00ebar \u2014 Trotix"));
        LogCapture log;
        key(Qt::Key_H); // Hop! is off outside the jump
        key(Qt::Key_U); // the hidden name field no longer takes it
        QCOMPARE(gs.shell.mode, int(ModeStatus));
        game.call("change2jump");
        key(Qt::Key_H);
        QCOMPARE(gs.care.hopRequested, 1);
        QCOMPARE(logLines(log.text()), (QStringList{"trotix: MenuSelect>>change to status\n", "trotix: MenuSelect>>change to jump\n",
                                                    "trotix: MenuSelect>>press hop!\n"}));
        game.call("change2idle");
        QVERIFY(part<IdMenuBar>("menuBar")->isItemEnabled(IdHop)); // Hop! goes off with the next tick
        game.tick();
        QVERIFY(!part<IdMenuBar>("menuBar")->isItemEnabled(IdHop));

        game.call("change2client");
        game.tick();
        QVERIFY(part<QLineEdit>("addressEdit")->hasFocus()); // typing goes in at once
        key(Qt::Key_A, Qt::AltModifier);                     // Action opens; a tap back in the field and a letter there end A's turn
        key(Qt::Key_Escape);
        QTest::mouseClick(part<QLineEdit>("addressEdit"), Qt::LeftButton);
        QTest::keyClicks(nullptr, QStringLiteral("h u/b"));
        QCOMPARE(part<QLineEdit>("addressEdit")->text(), QStringLiteral("hub"));
        key(Qt::Key_Escape);
        QCOMPARE(gs.shell.mode, int(ModeIdle));
        key(Qt::Key_A, Qt::AltModifier); // the Action menu's mnemonic opens it, its letters choose
        QMenu *actions = part<IdMenuBar>("menuBar")->actions().first()->menu();
        QTRY_VERIFY(actions->isVisible());
        QTest::keyClick(actions, Qt::Key_E);
        QTRY_COMPARE(gs.shell.mode, int(ModeEat));
        // After a choice, or any other key, Alt+A opens Action again; pressed again straight after, it
        // chooses About.
        key(Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(actions->isVisible());
        key(Qt::Key_Escape);
        key(Qt::Key_U);
        key(Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(actions->isVisible());
        key(Qt::Key_Alt); // closes the open menu on its way, as a real Alt does
        key(Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(gs.shell.mode, int(ModeAbout));
        key(Qt::Key_S, Qt::AltModifier); // the Status item's chooses it at once
        QTRY_COMPARE(gs.shell.mode, int(ModeStatus));

        game.call("change2client");
        game.tick();
        part<QLineEdit>("addressEdit")->clear(); // no address and no game found: the question stays
        key(Qt::Key_Return);
        QCOMPARE(gs.shell.mode, int(ModeClientAsk));
        key(Qt::Key_Escape);
        key(Qt::Key_U);
        QCOMPARE(gs.shell.mode, int(ModeStatus));

        key(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!game.widget()->isVisible());
    }
};

QTEST_MAIN(TestCare)
#include "tst_care.moc"
