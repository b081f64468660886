// The horse's history beside the save and the book that shows it: the file's bytes, what is read
// back from any content, what the save does with a damaged file or another horse's history, and
// the book's numbers and chart.
#include "app/historychartwidget.h"
#include "app/horsebook.h"
#include "game/history.h"
#include "game/rules/attrcodec.h"
#include "game/rules/historychart.h"
#include "gamefixture.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "race/rules/raceweight.h"
#include "screencheck.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

namespace {

const QByteArray header("name,time,play_seconds,age,muscle,fat,power,spirit,race_weight\n");
const QByteArray thunder("\"THUNDER\",2026-12-07T18:00:00Z,3600,3.00,160.00,55.00,110.00,105.00,160\n");

HistoryLine line(const char *name, qint64 play, float muscle, int weight)
{
    return {QByteArray(name).leftJustified(15, ' '), 1700000000 + play, play, {2, muscle, 50, 100, 100}, weight, {}};
}

}

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    // The line's exact bytes, and what any content reads as.
    void readsAndWritesLines()
    {
        GameState thunderState;
        thunderState.horse = parseAttrFile("THUNDER\n3\n160\n55\n110\n105\n", thunderState.horse).horse;
        HistoryLine written{QByteArray(thunderState.horse.name),       1796666400, 3600, thunderState.horse.attributes,
                            raceWeight(thunderState.horse.attributes), {}};
        QCOMPARE(formatHistoryLine(written), thunder);
        written.horse = QByteArray("Zo\xeb \"A\",B").leftJustified(15);
        written.attributes.age = std::nanf("");
        written.time += 7;
        QCOMPARE(formatHistoryLine(written).left(29), QByteArray("\"Zo\xc3\xab \"\"A\"\",B\",2026-12-07T18:"));
        QVERIFY(formatHistoryLine(written).contains(",3600,0.00,160.00,"));
        // clang-format off
        struct Row { QByteArray content; int lines; bool damaged; };
        const Row rows[] = {
            {"", 0, false}, {header, 0, false}, {header + thunder + thunder, 2, false},
            {header + thunder + thunder.left(40), 1, false},               // torn by a crash
            {QByteArray(header + thunder).replace('\n', "\r\n"), 1, false}, // kept by a spreadsheet
            {header + "x\n" + thunder, 0, true}, {"name\n" + thunder, 0, true},
            {header + thunder.left(40) + '\n' + thunder, 0, true},
            {header + QByteArray(thunder).replace("3600", "-1"), 0, true},
            {header + QByteArray(thunder).replace("12-07", "13-07"), 0, true}, {header + QByteArray(thunder).replace("T18", "T1x"), 0, true}, // no such day, no time
            {header + QByteArray(thunder).replace("160.00", "nan"), 0, true}, {header + QByteArray(thunder).replace(",2026", ",+026"), 0, true},
            {header + QByteArray(thunder).replace("THUNDER", "SIXTEEN CHARS..."), 0, true},
            {header + QByteArray(thunder).replace("\",", "\";"), 0, true},
            {header + formatHistoryLine(written), 1, false},
        };
        // clang-format on
        for (const Row &r : rows) {
            const HistoryContent read = parseHistory(r.content);
            QCOMPARE(read.lines.size(), r.lines);
            QCOMPARE(read.damaged, r.damaged);
        }
        const HistoryLine back = parseHistory(header + formatHistoryLine(written)).lines.first();
        QCOMPARE(formatHistoryLine(back), formatHistoryLine(written));
        QCOMPARE(back.horse, written.horse);
    }

    // Past 2 000 lines every other older line goes, the first and the newer half stay; play time
    // counts the time between saves, never more than the session.
    void thinsAndCountsPlayTime()
    {
        QList<HistoryLine> lines;
        for (int i = 0; i < historyMaxLines; ++i)
            lines << line("A", i, float(i), i);
        QCOMPARE(thinHistory(lines).size(), historyMaxLines);
        lines << line("A", historyMaxLines, 0, historyMaxLines);
        const QList<HistoryLine> thinned = thinHistory(lines);
        QCOMPARE(thinned.size(), 1501);
        QCOMPARE(QList<int>({thinned[0].raceWeight, thinned[1].raceWeight, thinned[499].raceWeight, thinned[500].raceWeight,
                             thinned[1500].raceWeight}),
                 QList<int>({0, 2, 998, 1000, 2000}));
        const HistoryLine last = line("A", 100, 0, 0);
        QCOMPARE(nextPlaySeconds(last, last.time + 10, 500), 110);
        QCOMPARE(nextPlaySeconds(last, last.time + 86400, 10), 110); // closed between
        QCOMPARE(nextPlaySeconds(last, last.time - 50, 10), 100);    // the clock went back
        // The chart's time axis, counted from the first line (here after ten minutes of play); a one-line history.
        // clang-format off
        for (const auto &[play, label] : {std::pair{3599, "59 play minutes"}, {7200, "2.0 play hours"},
                                          {172800, "48.0 play hours"}, {216000, "2.5 play days"}})
            QCOMPARE(historyChart({line("A", 600, 0, 0), line("A", play + 600, 0, 0)}, QRectF(0, 0, 9, 9)).timeLabel, QString(label));
        // clang-format on
        HistoryLine old = line("A", 5, 0, 0);
        old.attributes.age = 12.5f;
        QCOMPARE(historyChart({old}, QRectF(10, 0, 9, 9)).lines[0].first(), QPointF(10, 9));
        QCOMPARE(historyChart({old}, QRectF(10, 0, 9, 9)).ageTop, 20.0);
        // Equal lines two pixels apart in the book's order, inside the plot: age, muscle, fat, power, spirit, race weight.
        const HistoryChart low = historyChart({HistoryLine{}}, QRectF(0, 0, 9, 99), 2);
        QCOMPARE(QList<qreal>({low.lines[1][0].y(), low.lines[2][0].y(), low.lines[5][0].y(), low.lines[0][0].y()}),
                 QList<qreal>({89, 91, 97, 99}));
    }

    // Each save's line: a new file, a torn line dropped, a damaged file and another horse's
    // history set aside (never overwritten), the history thinned.
    void appendKeepsEveryHistory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trotix_history.csv"));
        GameState state;
        state.horse = parseAttrFile("THUNDER\n3\n160\n55\n110\n105\n", state.horse).horse;
        LogCapture log;
        appendHistory(state, path, 1796666400, 10); // absent
        QCOMPARE(GameHome::readFile(path), header + QByteArray(thunder).replace("3600", "10"));
        GameHome::writeFile(path, GameHome::readFile(path) + thunder.left(30));
        appendHistory(state, path, 1796666410, 3000);
        QCOMPARE(parseHistory(GameHome::readFile(path)).lines.size(), 2);
        QCOMPARE(parseHistory(GameHome::readFile(path)).lines.last().playSeconds, 20);
        QCOMPARE(log.text(), QByteArray());
        for (const char *aside : {".damaged", ".damaged-2"}) {
            GameHome::writeFile(path, header + "not a line\n");
            appendHistory(state, path, 1796666420, 10);
            QCOMPARE(GameHome::readFile(path + aside), header + "not a line\n");
            QCOMPARE(parseHistory(GameHome::readFile(path)).lines.size(), 1);
            QCOMPARE(logLines(log.text()).last(),
                     QStringLiteral("trotix: The history %1 is damaged; it is kept as %2 and a new one begins.\n").arg(path, path + aside));
        }
        const QByteArray old = GameHome::readFile(path);
        std::memcpy(state.horse.name, "BLAZE          ", 15);
        appendHistory(state, path, 1796666430, 10);
        QCOMPARE(GameHome::readFile(dir.filePath(QStringLiteral("trotix_history-THUNDER.csv"))), old);
        QCOMPARE(logLines(log.text()).last(), QStringLiteral("trotix: A new horse: the history of THUNDER is kept as %1.\n")
                                                  .arg(dir.filePath(QStringLiteral("trotix_history-THUNDER.csv"))));
        QCOMPARE(parseHistory(GameHome::readFile(path)).lines.first().horse, QByteArray("BLAZE          "));
        for (const char *name : {"A B-C9\xe9        ", "BLAZE          "}) { // a name's odd letters not in a file name
            std::memcpy(state.horse.name, name, 15);
            appendHistory(state, path, 1796666440, 10);
        }
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("trotix_history-A_B_C9_.csv"))));
        QList<HistoryLine> full;
        for (int i = 0; i < historyMaxLines; ++i)
            full << line("BLAZE", i, 1, i);
        GameHome::writeFile(path, formatHistory(full).replace(",1.00,", ",1.0,")); // as a spreadsheet keeps numbers
        appendHistory(state, path, 1796666440, 10);
        QCOMPARE(parseHistory(GameHome::readFile(path)).lines.size(), 1501);
        QCOMPARE(GameHome::readFile(path).count(",1.0,"), 1500); // the lines kept, as they were written
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));      // a history that cannot be read stays
        appendHistory(state, path, 1796666450, 10);
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(logLines(log.text()).last().startsWith("trotix: Cannot read the history " + path + " ("));
        QVERIFY(QDir().rmdir(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0); // nor a FIFO waited on
        appendHistory(state, path, 1796666460, 10);
        QVERIFY(loadHistory(path).isEmpty());
        const QString fifo = QStringLiteral("trotix: Cannot read the history %1 (it is a FIFO, not a regular file); ").arg(path);
        QCOMPARE(logLines(log.text()).mid(logLines(log.text()).size() - 2),
                 QStringList({fifo + "it stays as it was.\n", fifo + "the book shows none.\n"}));
    }

    // A scripted horse: the book shows what the save holds and what the race weight rule gives,
    // changed since the session started; the chart's lines stand where the history puts them; a
    // second opening refills the same window.
    void theBookShowsTheSavedHorse()
    {
        GameFixture game("THUNDER||||||||\n3.000000\n160.000000\n55.000000\n110.000000\n105.000000\n");
        QList<HistoryLine> history{line("THUNDER", 0, 199, 200), line("THUNDER", 7200, 300, 280)};
        GameHome::writeFile(Paths::historyFile(), formatHistory(history));
        gs.horse.attributes.muscle = 163.5f;
        gs.horse.attributes.spirit = 104.5f;
        gs.horse.attributes.power = 120.0f;
        gs.horse.attributes.fat = 54.99f; // a loss too small to show
        game.tick(10);
        const Attributes saved = parseAttrFile(game.home().readAttr(), gs.horse).horse.attributes;
        QDialog *book = showHorseBook(game.widget(), gs);
        auto text = [book](int row, int column) {
            return book->findChild<QLabel *>(QStringLiteral("book_%1_%2").arg(row).arg(column))->text();
        };
        QCOMPARE(text(1, 0) + ' ' + text(1, 1) + ' ' + text(1, 2), QStringLiteral("Muscle 163.5 +3.5"));
        QCOMPARE(text(2, 1) + ' ' + text(2, 2), QStringLiteral("55.0 +0.0"));
        QCOMPARE(text(4, 1) + ' ' + text(4, 2), QStringLiteral("%1 -0.5").arg(double(saved.spirit), 0, 'f', 1));
        QCOMPARE(text(5, 1), QString::number(raceWeight(saved)));
        QCOMPARE(text(5, 2), QString::asprintf("%+d", raceWeight(saved) - raceWeight({3, 160, 55, 110, 105})));
        QCOMPARE(text(6, 1), QStringLiteral("280"));
        // The chart (drawn as filmed by tst_window): race weight 280 and muscle 300 on the left scale
        // (0 to 300), age 2 on its own (0 to 10), at two play hours of 7210 (this session's first ten seconds);
        // muscle 199 beside race weight 200, spirit equal to power.
        const HistoryChart chart = historyChart(loadHistory(Paths::historyFile()), QRectF(0, 0, 7210, 300));
        QCOMPARE(chart.valueTop, 300.0);
        QCOMPARE(QList<QPointF>({chart.lines[0][1], chart.lines[1][1], chart.lines[2][1], chart.lines[2][0]}),
                 QList<QPointF>({{7200, 20}, {7200, 240}, {7200, 0}, {0, 101}}));
        // As drawn, pixel for pixel, labels too (a change meant to be seen: look at the chart, then take
        // its new digest).
        auto *widget = book->findChild<HistoryChartWidget *>();
        const QImage drawn = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(digest(drawn), QStringLiteral("469a35b827a4"));
        // How many of the image's pixels in box are `is`, and the box they take.
        const auto ink = [](const QImage &image, QRect box, const std::function<bool(QRgb)> &is) {
            double count = 0;
            QRect taken;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    if (is(image.pixel(x, y)))
                        taken |= QRect(x, y, 1, 1), ++count;
            return std::pair(count, taken);
        };
        // In the 3x book's type the lines grow: the race weight's twice as wide as the others'.
        QFont large = widget->font();
        large.setPixelSize(33);
        widget->setFont(large);
        const QRectF big = widget->plotRect();
        const double across =
            ink(widget->grab().toImage(), QRect(int(big.center().x()), int(big.top()) + 1, 1, int(big.height()) - 2), [](QRgb c) {
                return c == qRgb(0, 0, 0);
            }).first;
        QVERIFY2(across >= 4, qPrintable(QString::number(across)));
        // Opened again: the same window, the horse as it is now, and a Close button with the same
        // palette, which the style draws from its cache instead of keeping one more copy.
        const qint64 drawnWith = book->findChild<QPushButton *>()->palette().cacheKey();
        gs.horse.attributes.muscle = 170.0f;
        QCOMPARE(showHorseBook(game.widget(), gs), book);
        QCOMPARE(book->findChildren<QLabel *>(QStringLiteral("book_1_1")).size(), 1);
        QCOMPARE(text(1, 1), QStringLiteral("170.0"));
        QCOMPARE(book->findChild<QPushButton *>()->palette().cacheKey(), drawnWith);
        // The Close button's icon (where a desktop's theme gives it one, offscreen does not) grows with the zoom, unsqueezed.
        auto *close = book->findChild<QPushButton *>();
        close->setIcon(close->style()->standardIcon(QStyle::SP_DialogCloseButton));
        close->setText(QString()); // its nearly black pixels are the icon's
        const auto dark = [](QRgb c) { return qMax(qMax(qRed(c), qGreen(c)), qBlue(c)) < 100; };
        const auto icon = [&] { return ink(close->grab().toImage(), close->rect(), dark).second.size(); };
        const QSize at1x = icon();
        QPEApplication::setWindowScale(game.widget(), 3);
        game.widget()->show();
        showHorseBook(game.widget(), gs);
        const QSize at3x = icon();
        QVERIFY2((at3x - 3 * at1x).width() / 7 == 0 && (at3x - 3 * at1x).height() / 7 == 0,
                 qPrintable(QDebug::toString(at1x) + " at 1x, " + QDebug::toString(at3x) + " at 3x"));
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
