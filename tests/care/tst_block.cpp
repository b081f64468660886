// The jump game's block: when it appears, where it is drawn, and when it hits.
#include "care/block.h"

#include <QTest>
#include <vector>

namespace {

// Hands out the given draws and counts how many were asked for.
struct Draws
{
    std::vector<int> values;
    size_t used = 0;
    std::function<int()> fn()
    {
        return [this] { return values.at(used++); };
    }
};

}

class TestBlock : public QObject
{
    Q_OBJECT
private slots:
    void aDrawAboveTheThresholdStartsABlock_data();
    void aDrawAboveTheThresholdStartsABlock();
    void theBlockApproachesAndHitsWithoutAHop();
    void aPendingHopAtTheHorseAvoidsTheHit();
    void aHopPendingBeforeTheBlockArrivesDoesNotCount();
    void theTrackIsDrawnAgainOnlyWhenEmpty();
};

void TestBlock::aDrawAboveTheThresholdStartsABlock_data()
{
    QTest::addColumn<int>("draw");
    QTest::addColumn<bool>("appears");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("threshold") << 1600000000 << false;
    QTest::newRow("threshold + 1") << 1600000001 << true;
    QTest::newRow("RAND_MAX") << 2147483647 << true;
}

void TestBlock::aDrawAboveTheThresholdStartsABlock()
{
    QFETCH(int, draw);
    QFETCH(bool, appears);
    BlockTrack track;
    Draws draws{{draw}};
    const BlockMove move = moveBlock(track, 0, 80, draws.fn());
    QCOMPARE(move.appeared, appears);
    QCOMPARE(track.distance, appears ? 6 : 0);
    QCOMPARE(track.active, appears ? 1 : 0);
    QCOMPARE(track.hit, 0);
    QCOMPARE(move.x, appears ? 200 : 60);
}

void TestBlock::theBlockApproachesAndHitsWithoutAHop()
{
    BlockTrack track;
    Draws draws{{2000000000}};
    QList<int> xs;
    for (int frame = 0; frame < 7; ++frame) {
        QCOMPARE(track.hit, 0);
        xs << moveBlock(track, 0, 80, draws.fn()).x;
    }
    QCOMPARE(xs, (QList<int>{200, 180, 160, 140, 120, 100, 60}));
    QCOMPARE(draws.used, size_t(1));
    QCOMPARE(track.distance, 0);
    QCOMPARE(track.hit, 1);
}

void TestBlock::aPendingHopAtTheHorseAvoidsTheHit()
{
    BlockTrack track{1, 1, 0};
    Draws draws;
    const BlockMove move = moveBlock(track, 1, 80, draws.fn());
    QCOMPARE(move.x, 60);
    QCOMPARE(track.distance, 0);
    QCOMPARE(track.active, 1);
    QCOMPARE(track.hit, 0);
    QCOMPARE(draws.used, size_t(0));
}

void TestBlock::aHopPendingBeforeTheBlockArrivesDoesNotCount()
{
    BlockTrack track{2, 1, 0};
    Draws draws;
    moveBlock(track, 1, 80, draws.fn());
    QCOMPARE(track.hit, 0);
    moveBlock(track, 0, 80, draws.fn());
    QCOMPARE(track.hit, 1);
}

void TestBlock::theTrackIsDrawnAgainOnlyWhenEmpty()
{
    // A hopped block leaves the track at distance 0: the next frame draws again, and a low draw
    // clears the track.
    BlockTrack track{0, 1, 0};
    Draws draws{{5, 1600000001}};
    BlockMove move = moveBlock(track, 0, 80, draws.fn());
    QCOMPARE(track.active, 0);
    QCOMPARE(track.hit, 0);
    QCOMPARE(move.x, 60);
    move = moveBlock(track, 0, 80, draws.fn());
    QVERIFY(move.appeared);
    QCOMPARE(move.x, 200);
    QCOMPARE(draws.used, size_t(2));
}

QTEST_APPLESS_MAIN(TestBlock)
#include "tst_block.moc"
