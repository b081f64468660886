#include "game/rules/historychart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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

// The book lists age, muscle, fat, power, spirit, then the race weight: equal lines stack so.
constexpr std::array<int, 6> bookOrder{1, 2, 3, 4, 5, 0};

// Spreads the lines' points at index `at` to at least gap apart. Lines too close form a group,
// set gap apart round the group's mean and moved inside [top, bottom]; a group that then comes
// too close to the one above it joins it.
void spreadApart(QList<QPointF> (&lines)[6], qsizetype at, double gap, double top, double bottom)
{
    std::array<int, 6> order = bookOrder;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lines[a][at].y() < lines[b][at].y(); });
    struct Group
    {
        int size;
        double sum; // of the lines' own places
    };
    const auto firstOf = [&](const Group &group) {
        return std::max(top,
                        std::min(group.sum / group.size - (group.size - 1) * gap / 2, bottom - (group.size - 1) * gap));
    };
    std::vector<Group> groups;
    for (int line : order) {
        groups.push_back({1, lines[line][at].y()});
        while (groups.size() > 1) {
            const Group &above = groups[groups.size() - 2];
            const Group &below = groups.back();
            if (firstOf(below) - (firstOf(above) + (above.size - 1) * gap) >= gap)
                break;
            const Group joined{above.size + below.size, above.sum + below.sum};
            groups.pop_back();
            groups.back() = joined;
        }
    }
    std::size_t next = 0;
    for (const Group &group : groups) {
        const double first = firstOf(group);
        for (int i = 0; i < group.size; ++i)
            lines[order[next++]][at].setY(first + i * gap);
    }
}

}

HistoryChart historyChart(const QList<HistoryLine> &history, const QRectF &plot, double lineGap)
{
    HistoryChart chart;
    double highest = 0, oldest = 0;
    for (const HistoryLine &line : history) {
        const Attributes &a = line.attributes;
        highest = std::max(
            {highest, double(line.raceWeight), double(a.muscle), double(a.fat), double(a.power), double(a.spirit)});
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
        const double x =
            span == 0 ? plot.left() : plot.left() + double(line.playSeconds - first) / double(span) * plot.width();
        const Attributes &a = line.attributes;
        const double values[6] = {double(line.raceWeight), double(a.age),   double(a.muscle),
                                  double(a.fat),           double(a.power), double(a.spirit)};
        for (int i = 0; i < 6; ++i)
            chart.lines[i].append(
                {std::clamp(x, plot.left(), plot.right()), y(values[i], i == 1 ? chart.ageTop : chart.valueTop)});
        if (lineGap > 0)
            spreadApart(chart.lines, chart.lines[0].size() - 1, lineGap, plot.top(), plot.bottom());
    }
    return chart;
}
