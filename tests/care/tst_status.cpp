// The status screen's pixels: five bars of the written colours and heights standing on y = 260,
// their numbers 10 pixels above and their labels 10 pixels below, and the name as the title.
// Texts are checked against the same text drawn on the same background.
#include "gamefixture.h"
#include "platform/log.h"
#include "screencheck.h"

#include <QTest>

namespace {

const QColor plain(240, 230, 200);
const QColor black(0, 0, 0);

struct ExpectedBar
{
    int x;
    QColor fill;
    const char *label;
};
const ExpectedBar expectedBars[] = {
    {20, QColor(200, 80, 80), "Age"},     {60, QColor(80, 200, 80), "Muscle"}, {100, QColor(80, 80, 200), "Fat"},
    {140, QColor(200, 80, 200), "Power"}, {180, QColor(80, 200, 200), "Spirit"},
};

void plainBackground() { plantPlainBackground(*gs.backgd2Pixmap, 240, plain); }

// The plain background with one text drawn on it as the game draws text.
QImage withText(int size, int weight, int x, int y, const QString &text)
{
    return textOn(plain, 240, size, weight, black, {x, y}, text);
}

// The screen shows exactly the reference within the box.
void compareBox(const QImage &screen, const QImage &reference, const QRect &box, const char *what)
{
    QVERIFY2(screen.copy(box) == reference.copy(box), what);
    QVERIFY2(pixelsOtherThan(reference, box, plain) > 0, what);
}

// One bar of the given height: exactly 25 columns from x and `height` rows standing on y = 260
// (its lowest row is 259), outline, fill, and the background around it.
void checkBar(const QImage &screen, const ExpectedBar &bar, int height)
{
    const int mid = bar.x + 12;
    const QString name = QLatin1String(bar.label);
    if (height == 0) {
        for (int y = 240; y <= 262; ++y)
            QVERIFY2(colourAt(screen, mid, y) == plain, qPrintable(name));
        QVERIFY2(colourAt(screen, bar.x, 259) == plain, qPrintable(name));
        return;
    }
    const int top = 260 - height;
    QVERIFY2(colourAt(screen, mid, top) == black, qPrintable(name + QStringLiteral(" top")));
    QVERIFY2(colourAt(screen, mid, top - 1) == plain, qPrintable(name + QStringLiteral(" above")));
    QVERIFY2(colourAt(screen, mid, 259) == black, qPrintable(name + QStringLiteral(" lowest row")));
    QVERIFY2(colourAt(screen, mid, 260) == plain, qPrintable(name + QStringLiteral(" below")));
    QVERIFY2(colourAt(screen, bar.x, 259) == black, qPrintable(name + QStringLiteral(" left")));
    QVERIFY2(colourAt(screen, bar.x + 24, 259) == black, qPrintable(name + QStringLiteral(" right")));
    QVERIFY2(colourAt(screen, bar.x + 25, 259) == plain, qPrintable(name + QStringLiteral(" beside")));
    QVERIFY2(colourAt(screen, bar.x - 1, 259) == plain, qPrintable(name + QStringLiteral(" beside")));
    if (height >= 3) {
        QVERIFY2(colourAt(screen, mid, top + 1) == bar.fill, qPrintable(name + QStringLiteral(" fill")));
        QVERIFY2(colourAt(screen, mid, 258) == bar.fill, qPrintable(name + QStringLiteral(" fill")));
    }
}

void checkNumber(const QImage &screen, const ExpectedBar &bar, int height, const QString &number)
{
    const int baseline = 250 - height;
    compareBox(screen, withText(8, 50, bar.x, baseline, number), QRect(bar.x - 1, baseline - 10, 25, 12),
               qPrintable(QStringLiteral("number of ") + QLatin1String(bar.label)));
}

}

class TestStatus : public QObject
{
    Q_OBJECT
private slots:
    void initialAttributesShowFiveBars();
    void oneAttribute_data();
    void oneAttribute();
    void theScreenFollowsTheAttributesEveryTick();
    void aValueBeyondTheIntRangeShowsTheLargestInt();
    void aMinuteOfEatingShowsAsGrownFatAfterARestart();
};

void TestStatus::initialAttributesShowFiveBars()
{
    GameFixture game;
    plainBackground();
    game.call("change2status");
    LogCapture log;
    game.tick();
    QCOMPARE(logLines(log.text()), QStringList{"trotix: Action>>call status()\n"});
    QCOMPARE(gs.shownMode, int(ModeStatus));
    QCOMPARE((QList<int>{gs.shownAge, gs.shownMuscle, gs.shownFat, gs.shownPower, gs.shownSpirit}),
             (QList<int>{1, 150, 50, 100, 100}));
    const QImage screen = game.screen();
    const int heights[] = {6, 30, 10, 20, 20};
    const char *numbers[] = {"1", "150", "50", "100", "100"};
    for (int i = 0; i < 5; ++i) {
        checkBar(screen, expectedBars[i], heights[i]);
        checkNumber(screen, expectedBars[i], heights[i], QLatin1String(numbers[i]));
        compareBox(screen, withText(8, 50, expectedBars[i].x, 270, QLatin1String(expectedBars[i].label)),
                   QRect(expectedBars[i].x - 1, 261, 38, 14), expectedBars[i].label);
    }
    // The name in the title font, trailing blanks and all.
    compareBox(screen, withText(14, 75, 40, 40, QStringLiteral("MY HORSE       ")), QRect(30, 20, 210, 25), "name");
}

void TestStatus::oneAttribute_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("height");
    QTest::newRow("fat 54.9") << 2 << 54.9f << "54" << 10;
    QTest::newRow("power -0.5") << 3 << -0.5f << "0" << 0;
    QTest::newRow("spirit 0.99") << 4 << 0.99f << "0" << 0;
    QTest::newRow("muscle -3.7 divides toward zero") << 1 << -3.7f << "-3" << 0;
    QTest::newRow("power 9.9") << 3 << 9.9f << "9" << 1;
    QTest::newRow("age 40.005") << 0 << 40.005f << "40" << 240;
    QTest::newRow("spirit 1000.02") << 4 << 1000.02f << "1000" << 200;
}

void TestStatus::oneAttribute()
{
    QFETCH(int, bar);
    QFETCH(float, value);
    QFETCH(QString, number);
    QFETCH(int, height);
    GameFixture game;
    plainBackground();
    float *fields[] = {&gs.age, &gs.muscle, &gs.fat, &gs.power, &gs.spirit};
    *fields[bar] = value;
    game.call("change2status");
    game.tick();
    const QImage screen = game.screen();
    checkBar(screen, expectedBars[bar], height);
    if (height < 240)
        checkNumber(screen, expectedBars[bar], height, number);
    const int *shown[] = {&gs.shownAge, &gs.shownMuscle, &gs.shownFat, &gs.shownPower, &gs.shownSpirit};
    QCOMPARE(QString::number(*shown[bar]), number);
    if (height == 240) {
        // The age bar reaches above the title's baseline, and its number above the screen's 20th row.
        QCOMPARE(colourAt(screen, 32, 20), black);
        QCOMPARE(colourAt(screen, 32, 21), expectedBars[0].fill);
        QCOMPARE(colourAt(screen, 32, 41), expectedBars[0].fill);
    }
}

void TestStatus::theScreenFollowsTheAttributesEveryTick()
{
    GameFixture game;
    plainBackground();
    game.call("change2status");
    game.tick();
    checkBar(game.screen(), expectedBars[2], 10);
    gs.fat = 55.0f;
    game.tick();
    const QImage screen = game.screen();
    checkBar(screen, expectedBars[2], 11);
    checkNumber(screen, expectedBars[2], 11, QStringLiteral("55"));
}

void TestStatus::aValueBeyondTheIntRangeShowsTheLargestInt()
{
    GameFixture game;
    plainBackground();
    gs.fat = 3.0e9f;
    gs.muscle = -3.0e9f;
    gs.age = 1.0e20f;
    game.call("change2status");
    game.tick();
    QCOMPARE(gs.shownFat, 2147483647);
    QCOMPARE(gs.shownMuscle, -2147483647 - 1);
    QCOMPARE(gs.shownAge, 2147483647);
    const QImage screen = game.screen();
    // The bars fill the screen up from their base, and the negative one down from it.
    QCOMPARE(colourAt(screen, 112, 1), expectedBars[2].fill);
    QCOMPARE(colourAt(screen, 112, 258), expectedBars[2].fill);
    QCOMPARE(colourAt(screen, 72, 300), expectedBars[1].fill);
    QCOMPARE(colourAt(screen, 72, 250), plain);
}

void TestStatus::aMinuteOfEatingShowsAsGrownFatAfterARestart()
{
    QByteArray saved;
    float fat = 54.5f;
    {
        GameFixture game("TROTTER||||||||\n3.000000\n150.000000\n54.500000\n100.000000\n100.000000\n");
        game.call("change2eat");
        game.tick(60);
        saved = game.home().readAttr();
        // The save at the sixtieth tick holds the nine loops ended by the tick before.
        for (int loop = 0; loop < 9; ++loop)
            fat = float(double(fat) + 0.1);
        QCOMPARE(saved.split('\n').value(3), QByteArray::number(double(fat), 'f', 6));
    }
    GameFixture restarted(saved);
    plainBackground();
    QCOMPARE(QByteArray(gs.horseName), QByteArray("TROTTER        "));
    QVERIFY(gs.fat == fat); // exact: the file gives back the very float
    QVERIFY(gs.fat > 55.0f);
    restarted.call("change2status");
    restarted.tick();
    QCOMPARE(gs.shownFat, 55);
    const QImage screen = restarted.screen();
    checkBar(screen, expectedBars[2], 11);
    checkNumber(screen, expectedBars[2], 11, QStringLiteral("55"));
}

QTEST_MAIN(TestStatus)
#include "tst_status.moc"
