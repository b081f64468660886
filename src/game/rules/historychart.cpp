#include "game/rules/historychart.h"

#include <algorithm>
#include <cmath>

namespace {

// A hand-edited save can hold any number; the scales stop here.
constexpr double largestTop = 1e9;
constexpr qint64 secondsPerHour = 3600;
// Under an hour the axis counts minutes, up to two days hours, then days.
constexpr qint64 hoursUpTo = 48 * secondsPerHour;

// The next multiple of step at or above value, at least one step.
double roundedUp(double value, double step)
{
    return std::max(step, std::ceil(std::min(value, largestTop) / step) * step);
}

}

HistoryChart historyChart(const QList<HistoryLine> &history, const QRectF &plot)
{
    HistoryChart chart;
    double highest = 0, oldest = 0;
    for (const HistoryLine &line : history) {
        const Attributes &a = line.attributes;
        highest = std::max({highest, double(line.raceWeight), double(a.muscle), double(a.fat), double(a.power),
                            double(a.spirit)});
        oldest = std::max(oldest, double(a.age));
    }
    chart.valueTop = roundedUp(highest, 100);
    chart.ageTop = roundedUp(oldest, 10);
    const qint64 first = history.isEmpty() ? 0 : history.first().playSeconds;
    const qint64 span = history.isEmpty() ? 0 : std::max(qint64(0), history.last().playSeconds - first);
    if (span < secondsPerHour)
        chart.timeLabel = QStringLiteral("%1 play minutes").arg(span / 60);
    else if (span <= hoursUpTo)
        chart.timeLabel = QStringLiteral("%1 play hours").arg(double(span) / secondsPerHour, 0, 'f', 1);
    else
        chart.timeLabel = QStringLiteral("%1 play days").arg(double(span) / (24 * secondsPerHour), 0, 'f', 1);
    auto y = [&plot](double value, double top) {
        return plot.bottom() - std::clamp(value, 0.0, top) / top * plot.height();
    };
    for (const HistoryLine &line : history) {
        const double x = span == 0 ? plot.left()
                                   : plot.left() + double(line.playSeconds - first) / double(span) * plot.width();
        const Attributes &a = line.attributes;
        const double values[6] = {double(line.raceWeight), double(a.age), double(a.muscle),
                                  double(a.fat), double(a.power), double(a.spirit)};
        for (int i = 0; i < 6; ++i)
            chart.lines[i].append({std::clamp(x, plot.left(), plot.right()), y(values[i], i == 1 ? chart.ageTop : chart.valueTop)});
    }
    return chart;
}
