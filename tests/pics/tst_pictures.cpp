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
    return QImage(QDir(qEnvironmentVariable("TROTIX_TEST_PICS")).filePath(name + ".png")).convertToFormat(QImage::Format_ARGB32);
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
    void files()
    {
        // clang-format off
        struct Row { QString name; QSize minSize, maxSize; int lowestMin, lowestMax; };
        QList<Row> rows{{"backgd1", {796, 320}, {796, 320}, -1, -1}, {"backgd2", {240, 320}, {240, 320}, -1, -1},
                        {"backgd3", {494, 320}, {494, 320}, -1, -1}, {"Trotix", {60, 20}, {140, 40}, 0, 40},
                        {"block", {16, 16}, {28, 22}, 16, 19}};
        for (int h : {1, 2, 3, 4, 5, 12, 14, 6, 7, 8, 11, 13, 9})
            rows.append({QStringLiteral("horse%1").arg(h), {64, 50}, {84, 62}, h == 9 ? 40 : h <= 5 || h >= 12 ? 56 : 54, 59});
        // clang-format on
        for (int i = 1; i <= 7; ++i)
            rows.append({QStringLiteral("face%1").arg(i), {34, 34}, {42, 42}, 0, 42});
        for (int i = 1; i <= 5; ++i)
            rows.append({QStringLiteral("txjudge%1").arg(i), {24, 54}, {40, 62}, 55, 59});
        for (int i = 1; i <= 4; ++i)
            rows.append({QStringLiteral("txsign%1").arg(i), {40, 20}, {140, 100}, 0, 100});
        for (const Row &r : rows) {
            const QImage img = load(r.name);
            const QByteArray name = r.name.toLatin1();
            QVERIFY2(!img.isNull() && img.width() >= r.minSize.width() && img.width() <= r.maxSize.width()
                         && img.height() >= r.minSize.height() && img.height() <= r.maxSize.height(),
                     name);
            if (r.lowestMin < 0) { // a strip: opaque
                QVERIFY2(img.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32) == img, name);
                continue;
            }
            // Drawn over the backgrounds, a sprite's corners must not paint a box.
            QVERIFY2(qAlpha(img.pixel(0, 0)) == 0 && qAlpha(img.pixel(img.width() - 1, img.height() - 1)) == 0, name);
            const int lowest = lowestSolidRow(img);
            QVERIFY2(lowest >= r.lowestMin && lowest <= r.lowestMax, name + " lowest solid row " + QByteArray::number(lowest));
        }
    }

    // The game knows its own attribute files by the 16th character of the first word.
    void attributeTemplate()
    {
        QFile f(QStringLiteral(TROTIX_ATTR_TEMPLATE_PATH));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.first().mid(15, 1), "%");
        QCOMPARE(lines.mid(1, 6), QByteArrayList({"1.000000", "150.000000", "50.000000", "100.000000", "100.000000", ""}));
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
