#pragma once
// The book's chart: the horse's race weight and five attributes over its play time, drawn with a
// painter where historyChart() puts them. It takes the room the book's text leaves; its scales
// follow its font, so they grow with the game's zoom.
#include "game/rules/historychart.h"

#include <QColor>
#include <QWidget>

// Line 0 is the race weight (black); lines 1 to 5 age, muscle, fat, power and spirit in their
// status bars' colours.
QColor historyLineColour(int line);

class HistoryChartWidget : public QWidget
{
    Q_OBJECT

public:
    explicit HistoryChartWidget(const QList<HistoryLine> &history, QWidget *parent = nullptr);
    // Where the lines go: inside the scales' numbers and the time axis' text.
    QRectF plotRect() const;
    // Where the lines go in plotRect(), as drawn: lines that meet run a line's width apart.
    HistoryChart chart() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The attributes' lines; the race weight's is twice as wide.
    qreal thinLine() const;

    QList<HistoryLine> m_history;
};
