// The history reader over any content, as a hand-edited or half-written file may hold. Whatever it
// accepts is written back and read again as the same lines; thinning keeps the file within its
// limit; and the book's chart puts every point of any history inside its plot.
#include "fuzzcheck.h"
#include "game/rules/historychart.h"
#include "game/rules/historycodec.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const HistoryContent read = parseHistory(content);
    FUZZ_CHECK(!read.damaged || read.lines.isEmpty(), "a damaged file gave %d lines", int(read.lines.size()));
    for (const HistoryLine &line : read.lines) {
        FUZZ_CHECK(line.horse.size() == 15, "a name of %d characters", int(line.horse.size()));
        FUZZ_CHECK(line.playSeconds >= 0, "play time %lld", static_cast<long long>(line.playSeconds));
    }

    // Written back, as read and formatted afresh: the same lines.
    QList<HistoryLine> fresh = read.lines;
    for (HistoryLine &line : fresh)
        line.text.clear();
    for (const QByteArray &written : {formatHistory(read.lines), formatHistory(fresh)}) {
        const HistoryContent again = parseHistory(written);
        FUZZ_CHECK(!again.damaged && again.lines.size() == read.lines.size(), "written lines read back as %d",
                   int(again.lines.size()));
        for (qsizetype i = 0; i < again.lines.size(); ++i)
            FUZZ_CHECK(again.lines[i].horse == read.lines[i].horse && again.lines[i].time == read.lines[i].time
                           && again.lines[i].raceWeight == read.lines[i].raceWeight,
                       "line %d came back otherwise", int(i));
    }
    FUZZ_CHECK(thinHistory(read.lines).size() <= historyMaxLines, "thinned to %d lines",
               int(thinHistory(read.lines).size()));

    const QRectF plot(30, 5, 180, 90);
    const HistoryChart chart = historyChart(read.lines, plot, 2); // lines that meet spread apart, still inside
    for (const QList<QPointF> &points : chart.lines) {
        FUZZ_CHECK(points.size() == read.lines.size(), "a chart line of %d points", int(points.size()));
        for (const QPointF &p : points)
            FUZZ_CHECK(std::isfinite(p.x()) && std::isfinite(p.y())
                           && plot.adjusted(-0.01, -0.01, 0.01, 0.01).contains(p),
                       "a point at %f, %f", p.x(), p.y());
    }
    return 0;
}
