#pragma once
// Where the book's chart puts the horse's life: the race weight and the five attributes over play
// time, inside a plot rectangle. Age (at most 40) has a scale of its own on the right; the others
// share the left one. Pure: the widget only draws what this gives.
#include "game/rules/historycodec.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

struct HistoryChart
{
    double valueTop = 100; // the left scale's top: race weight, muscle, fat, power, spirit
    double ageTop = 10;    // the right scale's top
    QString timeLabel;     // the time axis' length: "25 play minutes", "3.5 play hours" or "12.0 play days"
    // Race weight, age, muscle, fat, power, spirit: one point per history line, left to right.
    QList<QPointF> lines[6];
};

// Lines closer than lineGap at a point (equal values, or nearly) are spread lineGap apart round
// where they meet, in the book's order from the top (age, muscle, fat, power, spirit, race
// weight) where equal, and kept inside the plot: every line shows.
HistoryChart historyChart(const QList<HistoryLine> &history, const QRectF &plot, double lineGap = 0);
