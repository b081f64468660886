#include "app/historychartwidget.h"

#include "care/rules/statusbars.h"

#include <QPainter>

QColor historyLineColour(int line)
{
    if (line == 0)
        return Qt::black;
    const StatusBar bar = statusBars(Attributes{})[size_t(line - 1)];
    return QColor(bar.red, bar.green, bar.blue);
}

HistoryChartWidget::HistoryChartWidget(const QList<HistoryLine> &history, QWidget *parent)
    : QWidget(parent), m_history(history)
{
    setObjectName(QStringLiteral("historyChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRectF HistoryChartWidget::plotRect() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("0000")) + 4;
    const int right = metrics.horizontalAdvance(QStringLiteral("00")) + 4;
    const int half = metrics.height() / 2;
    return QRectF(left, half, width() - left - right, height() - half - metrics.height() - 2);
}

qreal HistoryChartWidget::thinLine() const { return qMax(1, fontMetrics().height() / 14); }

HistoryChart HistoryChartWidget::chart() const { return historyChart(m_history, plotRect(), 2 * thinLine()); }

void HistoryChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF plot = plotRect();
    const QFontMetrics metrics = fontMetrics();
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(190, 190, 190));
    painter.drawRect(plot);
    if (m_history.isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("The chart grows with every save."));
        return;
    }
    const HistoryChart chart = this->chart();
    // The scales: the shared one on the left, age's on the right in its colour, time below.
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, plot.top() - metrics.height() / 2.0, plot.left() - 3, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(chart.valueTop));
    painter.drawText(QRectF(0, plot.bottom() - metrics.height() / 2.0, plot.left() - 3, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1, plot.width(), metrics.height()),
                     Qt::AlignRight | Qt::AlignTop, chart.timeLabel);
    painter.setPen(historyLineColour(1));
    painter.drawText(QRectF(plot.right() + 3, plot.top() - metrics.height() / 2.0, width(), metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::number(chart.ageTop));
    // Age and the attributes first, the race weight over them.
    const qreal thin = thinLine();
    for (int line = 5; line >= 0; --line) {
        painter.setPen(QPen(historyLineColour(line), line == 0 ? 2 * thin : thin));
        const QList<QPointF> &points = chart.lines[line];
        if (points.size() == 1)
            painter.drawPoint(points.first());
        else
            painter.drawPolyline(points.constData(), int(points.size()));
    }
}
