// The attribute arithmetic at its limits and guards, compared bit for bit.
#include "care/attributes.h"
#include "exactfloat.h"

#include <QTest>

namespace {

Attributes initial() { return {1.0f, 150.0f, 50.0f, 100.0f, 100.0f}; }

enum class Change { Idle, Eat, Sleep, Run, Fall, Bonus, JumpAge };

void apply(Change change, Attributes &a, int actionTicks)
{
    switch (change) {
    case Change::Idle: idleLoopEnd(a); break;
    case Change::Eat: eatLoopEnd(a, actionTicks); break;
    case Change::Sleep: sleepLoopEnd(a, actionTicks); break;
    case Change::Run: runStepThree(a, actionTicks); break;
    case Change::Fall: jumpFall(a); break;
    case Change::Bonus: blockBonus(a); break;
    case Change::JumpAge: jumpAgeing(a); break;
    }
}

}

Q_DECLARE_METATYPE(Attributes)
Q_DECLARE_METATYPE(Change)

class TestAttributes : public QObject
{
    Q_OBJECT
private slots:
    void oneChangeGivesExactFloats_data();
    void oneChangeGivesExactFloats();
    void ageStopsAtTheFirstValuePastForty();
    void fatStopsAtTheFirstValuePastItsLimit();
    void overLongSleepSwingsPowerAroundZero();
    void overLongRunningSinksSpiritNoFurtherThanItsGuard();
    void runningWithoutFatBurnsMuscle();
};

void TestAttributes::oneChangeGivesExactFloats_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("actionTicks");
    QTest::addColumn<Attributes>("before");
    QTest::addColumn<Attributes>("after");

    const Attributes h = initial();
    QTest::newRow("idle ages") << Change::Idle << 1 << h << Attributes{up(1.0f, 0.01), 150.0f, 50.0f, 100.0f, 100.0f};
    QTest::newRow("idle at age 39.995")
        << Change::Idle << 1 << Attributes{39.995f, 150.0f, 50.0f, 100.0f, 100.0f}
        << Attributes{up(39.995f, 0.01), 150.0f, 50.0f, 100.0f, 100.0f};
    QTest::newRow("idle at age 40 exactly")
        << Change::Idle << 1 << Attributes{40.0f, 150.0f, 50.0f, 100.0f, 100.0f}
        << Attributes{40.0f, 150.0f, 50.0f, 100.0f, 100.0f};

    QTest::newRow("eat within 40 ticks")
        << Change::Eat << 40 << h << Attributes{up(1.0f, 0.01), up(150.0f, 0.01), up(50.0f, 0.1), 100.0f, 100.0f};
    QTest::newRow("eat past 40 ticks")
        << Change::Eat << 41 << h
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.01), up(50.0f, 0.1), down(100.0f, 0.01), down(100.0f, 0.02)};
    QTest::newRow("eat at fat 999.95")
        << Change::Eat << 5 << Attributes{1.0f, 150.0f, 999.95f, 100.0f, 100.0f}
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.01), up(999.95f, 0.1), 100.0f, 100.0f};
    QTest::newRow("eat past 40 ticks at power 0.005: guard fails")
        << Change::Eat << 41 << Attributes{1.0f, 150.0f, 50.0f, 0.005f, 100.0f}
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.01), up(50.0f, 0.1), 0.005f, down(100.0f, 0.02)};
    QTest::newRow("eat past 40 ticks at spirit 0.015: guard fails")
        << Change::Eat << 41 << Attributes{1.0f, 150.0f, 50.0f, 100.0f, 0.015f}
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.01), up(50.0f, 0.1), down(100.0f, 0.01), 0.015f};
    QTest::newRow("eat at the limits")
        << Change::Eat << 5 << Attributes{40.0f, 1000.0f, 1000.0f, 100.0f, 100.0f}
        << Attributes{40.0f, 1000.0f, 1000.0f, 100.0f, 100.0f};

    QTest::newRow("sleep within 80 ticks")
        << Change::Sleep << 80 << h
        << Attributes{up(1.0f, 0.005), 150.0f, up(50.0f, 0.005), up(100.0f, 0.01), up(100.0f, 0.01)};
    QTest::newRow("sleep past 80 ticks")
        << Change::Sleep << 83 << h
        << Attributes{up(1.0f, 0.005), 150.0f, up(50.0f, 0.005), down(up(100.0f, 0.01), 0.02),
                      down(up(100.0f, 0.01), 0.03)};
    // 0.005 is raised to 0.015 first, which passes the guard 0.01; the 0.02 taken ends below zero.
    QTest::newRow("sleep past 80 ticks at power and spirit 0.005")
        << Change::Sleep << 83 << Attributes{1.0f, 150.0f, 50.0f, 0.005f, 0.005f}
        << Attributes{up(1.0f, 0.005), 150.0f, up(50.0f, 0.005), down(up(0.005f, 0.01), 0.02), up(0.005f, 0.01)};
    QTest::newRow("sleep past 80 ticks at spirit 0.015")
        << Change::Sleep << 83 << Attributes{1.0f, 150.0f, 50.0f, 100.0f, 0.015f}
        << Attributes{up(1.0f, 0.005), 150.0f, up(50.0f, 0.005), down(up(100.0f, 0.01), 0.02),
                      down(up(0.015f, 0.01), 0.03)};
    QTest::newRow("sleep at power 999.995")
        << Change::Sleep << 3 << Attributes{1.0f, 150.0f, 50.0f, 999.995f, 1000.0f}
        << Attributes{up(1.0f, 0.005), 150.0f, up(50.0f, 0.005), up(999.995f, 0.01), 1000.0f};

    QTest::newRow("run within 40 ticks")
        << Change::Run << 40 << h
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.1), down(50.0f, 0.1), up(100.0f, 0.1), up(100.0f, 0.05)};
    QTest::newRow("run at 42 ticks")
        << Change::Run << 42 << h
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.1), down(50.0f, 0.1), down(up(100.0f, 0.1), 0.05),
                      down(up(100.0f, 0.05), 0.07)};
    QTest::newRow("run past 40 ticks at spirit 0.01")
        << Change::Run << 42 << Attributes{1.0f, 150.0f, 50.0f, 100.0f, 0.01f}
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.1), down(50.0f, 0.1), down(up(100.0f, 0.1), 0.05),
                      down(up(0.01f, 0.05), 0.07)};
    QTest::newRow("run at fat 0.05 burns muscle")
        << Change::Run << 2 << Attributes{1.0f, 150.0f, 0.05f, 100.0f, 100.0f}
        << Attributes{up(1.0f, 0.01), up(down(150.0f, 0.2), 0.1), 0.05f, up(100.0f, 0.1), up(100.0f, 0.05)};
    // The float nearest 0.1 lies just above 0.1 in double: the guard holds and a trace of fat is left.
    QTest::newRow("run at fat 0.1 is computed in double")
        << Change::Run << 2 << Attributes{1.0f, 150.0f, 0.1f, 100.0f, 100.0f}
        << Attributes{up(1.0f, 0.01), up(150.0f, 0.1), down(0.1f, 0.1), up(100.0f, 0.1), up(100.0f, 0.05)};
    QTest::newRow("run with neither fat nor muscle to burn")
        << Change::Run << 2 << Attributes{1.0f, 0.15f, 0.05f, 100.0f, 100.0f}
        << Attributes{up(1.0f, 0.01), up(0.15f, 0.1), 0.05f, up(100.0f, 0.1), up(100.0f, 0.05)};

    QTest::newRow("fall") << Change::Fall << 0 << h << Attributes{1.0f, 150.0f, 50.0f, down(100.0f, 0.02), down(100.0f, 0.1)};
    QTest::newRow("fall at power 0.015: guard fails")
        << Change::Fall << 0 << Attributes{1.0f, 150.0f, 50.0f, 0.015f, 100.0f}
        << Attributes{1.0f, 150.0f, 50.0f, 0.015f, down(100.0f, 0.1)};
    QTest::newRow("fall at power 0.025")
        << Change::Fall << 0 << Attributes{1.0f, 150.0f, 50.0f, 0.025f, 0.05f}
        << Attributes{1.0f, 150.0f, 50.0f, down(0.025f, 0.02), 0.05f};
    QTest::newRow("block bonus") << Change::Bonus << 0 << h << Attributes{1.0f, 150.0f, 50.0f, up(100.0f, 0.005), up(100.0f, 0.03)};
    QTest::newRow("block bonus at the limit")
        << Change::Bonus << 0 << Attributes{1.0f, 150.0f, 50.0f, 1000.0f, 999.99f}
        << Attributes{1.0f, 150.0f, 50.0f, 1000.0f, up(999.99f, 0.03)};
    QTest::newRow("jump ageing at 39.995")
        << Change::JumpAge << 0 << Attributes{39.995f, 150.0f, 50.0f, 100.0f, 100.0f}
        << Attributes{up(39.995f, 0.01), 150.0f, 50.0f, 100.0f, 100.0f};
}

void TestAttributes::oneChangeGivesExactFloats()
{
    QFETCH(Change, change);
    QFETCH(int, actionTicks);
    QFETCH(Attributes, before);
    QFETCH(Attributes, after);
    Attributes a = before;
    apply(change, a, actionTicks);
    COMPARE_ATTRIBUTES(a, after);
}

void TestAttributes::ageStopsAtTheFirstValuePastForty()
{
    Attributes a{39.995f, 150.0f, 50.0f, 100.0f, 100.0f};
    idleLoopEnd(a);
    const float first = up(39.995f, 0.01);
    QVERIFY(first >= 40.0f);
    for (int i = 0; i < 5; ++i) {
        idleLoopEnd(a);
        eatLoopEnd(a, 1);
        jumpAgeing(a);
        COMPARE_FLOAT(a.age, first);
    }
}

void TestAttributes::fatStopsAtTheFirstValuePastItsLimit()
{
    Attributes a{1.0f, 150.0f, 999.95f, 100.0f, 100.0f};
    eatLoopEnd(a, 1);
    const float first = up(999.95f, 0.1);
    COMPARE_FLOAT(a.fat, first);
    QVERIFY(a.fat > 1000.0f);
    eatLoopEnd(a, 1);
    sleepLoopEnd(a, 1);
    COMPARE_FLOAT(a.fat, first);
}

void TestAttributes::overLongSleepSwingsPowerAroundZero()
{
    Attributes a{1.0f, 150.0f, 50.0f, 0.005f, 100.0f};
    sleepLoopEnd(a, 83);
    const float low = down(up(0.005f, 0.01), 0.02);
    COMPARE_FLOAT(a.power, low);
    QVERIFY(a.power < 0.0f);
    sleepLoopEnd(a, 87);
    const float high = up(low, 0.01); // the guard high - 0.01 > 0 fails
    QVERIFY(double(high) - 0.01 <= 0.0);
    COMPARE_FLOAT(a.power, high);
    sleepLoopEnd(a, 91);
    COMPARE_FLOAT(a.power, down(up(high, 0.01), 0.02));
}

void TestAttributes::overLongRunningSinksSpiritNoFurtherThanItsGuard()
{
    Attributes a{1.0f, 150.0f, 1000.0f, 100.0f, 0.01f};
    float expected = 0.01f;
    float lowest = expected;
    for (int step = 0; step < 20; ++step) {
        runStepThree(a, 42 + 2 * step);
        expected = up(expected, 0.05);
        if (double(expected) - 0.02 > 0.0)
            expected = down(expected, 0.07);
        COMPARE_FLOAT(a.spirit, expected);
        lowest = std::min(lowest, a.spirit);
    }
    QVERIFY(lowest > -0.0501f);
    QVERIFY(lowest < -0.02f);
}

void TestAttributes::runningWithoutFatBurnsMuscle()
{
    Attributes a{1.0f, 150.0f, 0.05f, 100.0f, 100.0f};
    float muscle = 150.0f;
    for (int step = 0; step < 3; ++step) {
        runStepThree(a, 2);
        muscle = up(down(muscle, 0.2), 0.1);
        COMPARE_FLOAT(a.muscle, muscle);
        COMPARE_FLOAT(a.fat, 0.05f);
    }
    QVERIFY(a.muscle < 149.71f && a.muscle > 149.69f);
}

QTEST_APPLESS_MAIN(TestAttributes)
#include "tst_attributes.moc"
