// The pictures the build draws: each there with the size and transparency the game's layout relies
// on, sprites standing on the ground line, and the attribute template in the shape the game reads.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

namespace {

// Alpha above this counts as the sprite itself; soft ground shadows stay well below it.
constexpr int solidAlpha = 128;

QImage load(const QString &name)
{
    return QImage(QDir(qEnvironmentVariable("TROTIX_TEST_PICS")).filePath(name + ".png"))
        .convertToFormat(QImage::Format_ARGB32);
}

int lowestSolidRow(const QImage &img)
{
    for (int y = img.height() - 1; y >= 0; --y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > solidAlpha)
                return y;
    return -1;
}

}

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    // Size range, and for sprites the lowest solid row range (-1: not checked). Strips and the
    // status screen are placed pixel for pixel; sprites drawn at y 200 stand on the ground at
    // about 258, the jump frame drawn at y 180 clears the block's top at 240, the block drawn
    // at y 240 stands on the ground, judges drawn from y 130 stand near y 190.
    void files_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("minSize");
        QTest::addColumn<QSize>("maxSize");
        QTest::addColumn<int>("lowestMin");
        QTest::addColumn<int>("lowestMax");
        QTest::newRow("backgd1") << "backgd1" << QSize(796, 320) << QSize(796, 320) << -1 << -1;
        QTest::newRow("backgd2") << "backgd2" << QSize(240, 320) << QSize(240, 320) << -1 << -1;
        QTest::newRow("backgd3") << "backgd3" << QSize(494, 320) << QSize(494, 320) << -1 << -1;
        QTest::newRow("Trotix") << "Trotix" << QSize(60, 20) << QSize(140, 40) << 0 << 40;
        QTest::newRow("block") << "block" << QSize(16, 16) << QSize(28, 22) << 16 << 19;
        for (const char *h : {"horse1", "horse2", "horse3", "horse4", "horse5", "horse12", "horse14"})
            QTest::newRow(h) << QString(h) << QSize(64, 50) << QSize(84, 62) << 56 << 59;
        for (const char *h : {"horse6", "horse7", "horse8", "horse11", "horse13"})
            QTest::newRow(h) << QString(h) << QSize(64, 50) << QSize(84, 62) << 54 << 59;
        QTest::newRow("horse9") << "horse9" << QSize(64, 50) << QSize(84, 62) << 40 << 59;
        for (int i = 1; i <= 7; ++i)
            QTest::addRow("face%d", i) << QString("face%1").arg(i) << QSize(34, 34) << QSize(42, 42) << 0 << 42;
        for (int i = 1; i <= 5; ++i)
            QTest::addRow("txjudge%d", i) << QString("txjudge%1").arg(i) << QSize(24, 54) << QSize(40, 62) << 55 << 59;
        for (int i = 1; i <= 4; ++i)
            QTest::addRow("txsign%d", i) << QString("txsign%1").arg(i) << QSize(40, 20) << QSize(140, 100) << 0 << 100;
    }

    void files()
    {
        QFETCH(QString, name);
        QFETCH(QSize, minSize);
        QFETCH(QSize, maxSize);
        QFETCH(int, lowestMin);
        QFETCH(int, lowestMax);
        const QImage img = load(name);
        QVERIFY2(!img.isNull(), qPrintable(name));
        QVERIFY(img.width() >= minSize.width() && img.width() <= maxSize.width());
        QVERIFY(img.height() >= minSize.height() && img.height() <= maxSize.height());
        if (lowestMin < 0) {
            QVERIFY(img.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32) == img);
            return;
        }
        // Drawn over the backgrounds, a sprite's corners must not paint a box.
        for (QPoint corner : {QPoint(0, 0), QPoint(img.width() - 1, img.height() - 1)})
            QCOMPARE(qAlpha(img.pixel(corner)), 0);
        const int lowest = lowestSolidRow(img);
        QVERIFY2(lowest >= lowestMin && lowest <= lowestMax, qPrintable(QString::number(lowest)));
    }

    // The game knows its own attribute files by the 16th character of the first word.
    void attributeTemplate()
    {
        QFile f(QStringLiteral(TROTIX_ATTR_TEMPLATE_PATH));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QVERIFY(lines.first().size() >= 16);
        QCOMPARE(lines.first().at(15), '%');
        QCOMPARE(lines.mid(1, 6), QList<QByteArray>({"1.000000", "150.000000", "50.000000", "100.000000", "100.000000", ""}));
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
