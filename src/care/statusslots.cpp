// The status screen: the horse's name and its five attributes as bars, redrawn every tick.
#include "app/paint.h"
#include "app/trotix.h"
#include "care/rules/statusbars.h"
#include "game/gamestate.h"

#include <QPainter>

void Trotix::status()
{
    gs.shell.shownMode = ModeStatus;
    const auto bars = statusBars(gs.horse.attributes);

    QPainter painter(&m_screenBuffer);
    painter.setPen(Qt::black);
    painter.setFont(gameFont(14, 75));
    drawNameAt(painter, statusTitleX, statusTitleY, {}, QString::fromLatin1(gs.horse.name), statusTitleRoom);

    painter.setFont(gameFont(8, 50));
    for (const StatusBar &bar : bars) {
        painter.setBrush(QColor(bar.red, bar.green, bar.blue));
        drawTextAt(painter, bar.x, statusBarBase - 10 - bar.height, QString::number(bar.value));
        // A bar of no height is not drawn at all, not even its outline.
        if (bar.height != 0)
            drawExactRect(painter, QRect(bar.x, statusBarBase - bar.height, statusBarWidth, bar.height).normalized());
        drawTextAt(painter, bar.x, statusBarBase + 10, bar.label);
    }
    showBuffer();
}
