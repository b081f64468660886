// Checks the pictures the build draws: that each one is there with the size and transparency the game's layout
// relies on, that sprites line up with the ground and the block, that the scrolling strips join without a seam,
// that the generator is reproducible, and that the attribute template has the shape the game reads.
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

const QStringList kPictures = {
    "backgd1", "backgd2", "backgd3", "Trotix", "block",
    "horse1", "horse2", "horse3", "horse4", "horse5", "horse6", "horse7", "horse8", "horse9",
    "horse11", "horse12", "horse13", "horse14",
    "face1", "face2", "face3", "face4", "face5", "face6", "face7",
    "txjudge1", "txjudge2", "txjudge3", "txjudge4", "txjudge5",
    "txsign1", "txsign2", "txsign3", "txsign4"};

// Alpha above this counts as the sprite itself; soft ground shadows stay well below it.
constexpr int kSolid = 128;

QString picsDir()
{
    return qEnvironmentVariable("TROTIX_TEST_PICS");
}

QImage load(const QString &name)
{
    return QImage(QDir(picsDir()).filePath(name + ".png")).convertToFormat(QImage::Format_ARGB32);
}

QString generatorPath()
{
    const QString fromEnv = qEnvironmentVariable("TROTIX_PICGEN");
    if (!fromEnv.isEmpty())
        return fromEnv;
#ifdef TROTIX_PICGEN_PATH
    return QStringLiteral(TROTIX_PICGEN_PATH);
#else
    return QString();
#endif
}

QString templatePath()
{
    const QString fromEnv = qEnvironmentVariable("TROTIX_ATTR_TEMPLATE");
    if (!fromEnv.isEmpty())
        return fromEnv;
#ifdef TROTIX_ATTR_TEMPLATE_PATH
    return QStringLiteral(TROTIX_ATTR_TEMPLATE_PATH);
#else
    // The build copies the template next to the picture folder.
    return QDir(picsDir()).filePath("../trotix_attr.conf");
#endif
}

int luma(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

int lowestSolidRow(const QImage &img)
{
    for (int y = img.height() - 1; y >= 0; --y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > kSolid)
                return y;
    return -1;
}

int highestSolidRow(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > kSolid)
                return y;
    return -1;
}

// Mean over rows of the largest channel difference between two columns.
double columnDifference(const QImage &img, int a, int b, int *worst = nullptr)
{
    double sum = 0;
    int most = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb p = img.pixel(a, y), q = img.pixel(b, y);
        const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        sum += d;
        most = std::max(most, d);
    }
    if (worst)
        *worst = most;
    return sum / img.height();
}

bool runGenerator(const QString &outDir, QString *error)
{
    QProcess gen;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    gen.setProcessEnvironment(env);
    gen.setProcessChannelMode(QProcess::MergedChannels);
    gen.start(generatorPath(), {outDir});
    if (!gen.waitForStarted(-1) || !gen.waitForFinished(-1)) {
        *error = gen.errorString();
        return false;
    }
    if (gen.exitStatus() != QProcess::NormalExit || gen.exitCode() != 0) {
        *error = QString::fromLocal8Bit(gen.readAll());
        return false;
    }
    return true;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void files_data();
    void files();
    void groundLine_data();
    void groundLine();
    void lightAreas_data();
    void lightAreas();
    void stripsWrap_data();
    void stripsWrap();
    void playerColours_data();
    void playerColours();
    void fallMeetsBlock();
    void gallopBodyStaysLevel();
    void generatorIsReproducible();
    void largeIconsAreDrawnNotBlownUp();
    void attributeTemplate();
};

void TestPictures::initTestCase()
{
    QVERIFY2(!picsDir().isEmpty(), "TROTIX_TEST_PICS is not set");
    QVERIFY2(QDir(picsDir()).exists(), qPrintable(picsDir()));
}

void TestPictures::files_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("minSize");
    QTest::addColumn<QSize>("maxSize");
    QTest::addColumn<bool>("opaque");

    // The strips and the status screen are placed pixel for pixel, so their sizes are exact.
    QTest::newRow("backgd1") << "backgd1" << QSize(796, 320) << QSize(796, 320) << true;
    QTest::newRow("backgd2") << "backgd2" << QSize(240, 320) << QSize(240, 320) << true;
    QTest::newRow("backgd3") << "backgd3" << QSize(494, 320) << QSize(494, 320) << true;
    // Title at (50,45) must stay inside x 50..190 and above the author line at y 85.
    QTest::newRow("Trotix") << "Trotix" << QSize(60, 20) << QSize(140, 40) << false;
    // Block at y 240 stands on the ground near y 260.
    QTest::newRow("block") << "block" << QSize(16, 16) << QSize(28, 22) << false;
    for (const char *h : {"horse1", "horse2", "horse3", "horse4", "horse5", "horse6", "horse7", "horse8", "horse9",
                          "horse11", "horse12", "horse13", "horse14"})
        QTest::newRow(h) << QString(h) << QSize(64, 50) << QSize(84, 62) << false;
    for (int i = 1; i <= 7; ++i)
        QTest::newRow(qPrintable(QString("face%1").arg(i))) << QString("face%1").arg(i) << QSize(34, 34)
                                                          << QSize(42, 42) << false;
    for (int i = 1; i <= 5; ++i)
        QTest::newRow(qPrintable(QString("txjudge%1").arg(i))) << QString("txjudge%1").arg(i) << QSize(24, 54)
                                                             << QSize(40, 62) << false;
    QTest::newRow("txsign1") << "txsign1" << QSize(40, 40) << QSize(120, 66) << false;
    QTest::newRow("txsign2 (sky, from y 8)") << "txsign2" << QSize(40, 20) << QSize(140, 60) << false;
    QTest::newRow("txsign3") << "txsign3" << QSize(40, 40) << QSize(120, 66) << false;
    QTest::newRow("txsign4 (finish, from y 85)") << "txsign4" << QSize(60, 50) << QSize(120, 100) << false;
}

void TestPictures::files()
{
    QFETCH(QString, name);
    QFETCH(QSize, minSize);
    QFETCH(QSize, maxSize);
    QFETCH(bool, opaque);

    const QString path = QDir(picsDir()).filePath(name + ".png");
    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QImage img = load(name);
    QVERIFY2(!img.isNull(), qPrintable(path + " does not load"));
    QVERIFY2(img.width() >= minSize.width() && img.width() <= maxSize.width(), qPrintable(QString::number(img.width())));
    QVERIFY2(img.height() >= minSize.height() && img.height() <= maxSize.height(),
             qPrintable(QString::number(img.height())));

    int transparent = 0, solid = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int a = qAlpha(img.pixel(x, y));
            transparent += a == 0;
            solid += a > kSolid;
        }
    if (opaque) {
        QCOMPARE(transparent, 0);
        QCOMPARE(solid, img.width() * img.height());
        return;
    }
    // Sprites are drawn over the backgrounds: their corners must not paint a box.
    for (const QPoint &corner : {QPoint(0, 0), QPoint(img.width() - 1, 0), QPoint(0, img.height() - 1),
                                 QPoint(img.width() - 1, img.height() - 1)})
        QVERIFY2(qAlpha(img.pixel(corner)) == 0,
                 qPrintable(QString("corner %1,%2 not transparent").arg(corner.x()).arg(corner.y())));
    const int area = img.width() * img.height();
    QVERIFY2(solid > area / 8, "the sprite is nearly empty");
    QVERIFY2(transparent > area / 50, "the sprite has almost no transparent background");
}

void TestPictures::groundLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lowestMin");
    QTest::addColumn<int>("lowestMax");

    // Drawn at y 200, standing and running horses put their hooves on the ground line at about 258.
    for (const char *h : {"horse1", "horse2", "horse3", "horse4", "horse5", "horse12", "horse14"})
        QTest::newRow(h) << QString(h) << 56 << 59;
    // The stretched gallop frame has all four hooves just off the ground.
    QTest::newRow("horse11") << "horse11" << 54 << 59;
    QTest::newRow("horse13") << "horse13" << 54 << 59;
    // Lying horses rest on the same ground.
    QTest::newRow("horse6") << "horse6" << 55 << 59;
    QTest::newRow("horse7") << "horse7" << 55 << 59;
    // The jump frame is drawn at y 180; it must clear the top of the block at y 240.
    QTest::newRow("horse9 clears block") << "horse9" << 40 << 59;
    // Block drawn at y 240 stands on the ground, bottom near y 258..259.
    QTest::newRow("block") << "block" << 16 << 19;
    // Judges drawn from y 130 stand with their feet near y 190.
    for (int i = 1; i <= 5; ++i)
        QTest::newRow(qPrintable(QString("txjudge%1").arg(i))) << QString("txjudge%1").arg(i) << 55 << 59;
}

void TestPictures::groundLine()
{
    QFETCH(QString, name);
    QFETCH(int, lowestMin);
    QFETCH(int, lowestMax);
    const QImage img = load(name);
    QVERIFY(!img.isNull());
    const int lowest = lowestSolidRow(img);
    QVERIFY2(lowest >= lowestMin && lowest <= lowestMax, qPrintable(QString("lowest solid row %1").arg(lowest)));
    if (name == "horse9") {
        // 180 + lowest row must stay above the block's top edge at 240.
        QVERIFY2(180 + lowest < 240, qPrintable(QString("jumping hooves reach y %1").arg(180 + lowest)));
    }
}

void TestPictures::lightAreas_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("minLuma");

    // Black "Trotix v1.0" is written over the title picture with its baseline at (88,75), i.e. (38,30) inside it.
    QTest::newRow("title text") << "Trotix" << QRect(40, 19, 80, 14) << 200;
    // Black text, bars and labels go anywhere on the status screen.
    QTest::newRow("status screen") << "backgd2" << QRect(12, 12, 216, 280) << 185;
    // The red and blue distance figures are printed at baselines 270 and 280 wherever the course has scrolled.
    QTest::newRow("course read-outs") << "backgd3" << QRect(0, 260, 494, 24) << 185;
}

void TestPictures::lightAreas()
{
    QFETCH(QString, name);
    QFETCH(QRect, area);
    QFETCH(int, minLuma);
    const QImage img = load(name);
    QVERIFY(!img.isNull());
    QVERIFY(img.rect().contains(area));
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            QVERIFY2(qAlpha(c) == 255, qPrintable(QString("see-through at %1,%2").arg(x).arg(y)));
            QVERIFY2(luma(c) >= minLuma, qPrintable(QString("too dark at %1,%2: %3").arg(x).arg(y).arg(luma(c))));
        }
}

void TestPictures::stripsWrap_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("field") << "backgd1";
    QTest::newRow("race course") << "backgd3";
}

void TestPictures::stripsWrap()
{
    QFETCH(QString, name);
    const QImage img = load(name);
    QVERIFY(!img.isNull());
    // The window wraps from the last column straight into the first: that pair must look like any two neighbours.
    int seamWorst = 0;
    const double seam = columnDifference(img, img.width() - 1, 0, &seamWorst);
    double neighbours = 0;
    for (int x = 0; x + 1 < img.width(); ++x)
        neighbours = std::max(neighbours, columnDifference(img, x, x + 1));
    QVERIFY2(seam <= std::max(3.0, neighbours),
             qPrintable(QString("seam differs by %1 on average, neighbours at most %2").arg(seam).arg(neighbours)));
    QVERIFY2(seam < 6.0, qPrintable(QString("seam differs by %1 on average").arg(seam)));
    int badRows = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb p = img.pixel(img.width() - 1, y), q = img.pixel(0, y);
        if (std::abs(luma(p) - luma(q)) > 60)
            ++badRows;
    }
    QVERIFY2(badRows <= img.height() / 50, qPrintable(QString("%1 rows break at the seam").arg(badRows)));
}

void TestPictures::playerColours_data()
{
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("blue");
    QTest::newRow("gallop 1") << "horse11" << "horse13";
    QTest::newRow("gallop 2") << "horse12" << "horse14";
}

void TestPictures::playerColours()
{
    // Player 1's and player 2's horses must be the same frame, told apart only by the cloth colour.
    QFETCH(QString, red);
    QFETCH(QString, blue);
    const QImage r = load(red), b = load(blue);
    QCOMPARE(r.size(), b.size());
    int differing = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const QRgb p = r.pixel(x, y), q = b.pixel(x, y);
            QCOMPARE(qAlpha(p), qAlpha(q));
            if (p == q)
                continue;
            ++differing;
            QVERIFY2(qRed(p) - qBlue(p) > qRed(q) - qBlue(q),
                     qPrintable(QString("pixel %1,%2 is not redder on %3").arg(x).arg(y).arg(red)));
        }
    QVERIFY2(differing > 40, "the cloths hardly differ");
    QVERIFY2(differing < r.width() * r.height() / 8, "more than the cloth differs");
}

void TestPictures::fallMeetsBlock()
{
    // The fall frame is drawn at x 30, y 200 with the block at x 60, y 240: the horse must be over the block.
    const QImage horse = load("horse8"), block = load("block");
    QVERIFY(!horse.isNull() && !block.isNull());
    int touching = 0;
    for (int y = 0; y < block.height(); ++y)
        for (int x = 0; x < block.width(); ++x) {
            const int hx = 30 + x, hy = 40 + y;
            if (hx >= horse.width() || hy >= horse.height())
                continue;
            if (qAlpha(block.pixel(x, y)) > kSolid && qAlpha(horse.pixel(hx, hy)) > kSolid)
                ++touching;
        }
    // Or at least resting right on top of it.
    int above = 0;
    for (int x = 30; x < 30 + block.width() && x < horse.width(); ++x)
        for (int y = 34; y < 42; ++y)
            above += qAlpha(horse.pixel(x, y)) > kSolid;
    QVERIFY2(touching > 0 || above > 20, "the falling horse does not meet the block");
}

void TestPictures::gallopBodyStaysLevel()
{
    // The two gallop frames alternate quickly; a big jump of the back line would look like hopping.
    const QImage a = load("horse11"), b = load("horse12");
    QVERIFY(!a.isNull() && !b.isNull());
    const QString rows = QString("tops %1/%2, bottoms %3/%4")
                             .arg(highestSolidRow(a))
                             .arg(highestSolidRow(b))
                             .arg(lowestSolidRow(a))
                             .arg(lowestSolidRow(b));
    QVERIFY2(std::abs(highestSolidRow(a) - highestSolidRow(b)) <= 4, qPrintable(rows));
    QVERIFY2(std::abs(lowestSolidRow(a) - lowestSolidRow(b)) <= 4, qPrintable(rows));
}

void TestPictures::generatorIsReproducible()
{
    const QString gen = generatorPath();
    if (gen.isEmpty())
        QSKIP("the generator's path is not known to this build");
    QVERIFY2(QFile::exists(gen), qPrintable(gen));
    QTemporaryDir first, second;
    QVERIFY(first.isValid() && second.isValid());
    QString error;
    QVERIFY2(runGenerator(first.path(), &error), qPrintable(error));
    QVERIFY2(runGenerator(second.path(), &error), qPrintable(error));

    QStringList expected;
    for (const QString &name : kPictures)
        expected << name + ".png";
    expected << "contact-sheet.png";
    expected.sort();
    QStringList made = QDir(first.path()).entryList(QDir::Files, QDir::Name);
    made.sort();
    QCOMPARE(made, expected);

    for (const QString &file : expected) {
        QFile a(QDir(first.path()).filePath(file)), b(QDir(second.path()).filePath(file));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray bytesA = a.readAll();
        QVERIFY2(bytesA == b.readAll(), qPrintable(file + " differs between two runs"));
        if (file == "contact-sheet.png")
            continue;
        // The pictures the build installed came from this same generator.
        QFile built(QDir(picsDir()).filePath(file));
        QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(built.fileName()));
        QVERIFY2(built.readAll() == bytesA, qPrintable(file + " in the build folder is stale"));
    }
}

void TestPictures::attributeTemplate()
{
    QFile f(templatePath());
    QVERIFY2(f.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(f.fileName()));
    const QString text = QString::fromLatin1(f.readAll());
    const QStringList words = text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    QVERIFY(!words.isEmpty());
    // The game checks the 16th character of the first word to recognise its own attribute files.
    QVERIFY2(words.first().size() >= 16, qPrintable(words.first()));
    QCOMPARE(words.first().at(15), QChar('%'));
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    const QStringList defaults = {"1.000000", "150.000000", "50.000000", "100.000000", "100.000000"};
    QCOMPARE(lines.mid(1), defaults);
}

void TestPictures::largeIconsAreDrawnNotBlownUp()
{
    // The menu icons come from the face's painter at each size. Blown up from the 38-pixel
    // picture, every 6 x 6 block of the 228-pixel face would be one colour.
    const QImage face = picgen::face(picgen::Mood::Happy, 228);
    QCOMPARE(face.size(), QSize(228, 228));
    int blocks = 0, detailed = 0;
    for (int y = 0; y < 228; y += 6) {
        for (int x = 0; x < 228; x += 6) {
            const QImage block = face.copy(x, y, 6, 6);
            ++blocks;
            for (int i = 1; i < 36; ++i) {
                if (block.pixel(i % 6, i / 6) != block.pixel(0, 0)) {
                    ++detailed;
                    break;
                }
            }
        }
    }
    QVERIFY2(detailed * 4 > blocks, qPrintable(QStringLiteral("%1 of %2 blocks show detail").arg(detailed).arg(blocks)));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
