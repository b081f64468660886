// The screen services every screen uses: the copy of the buffer to the window and the repaint
// request, the child widgets repainted only when the buffer under them changed.
#include "app/trotix.h"

#include "app/notice.h"
#include "game/gamestate.h"
#include "platform/idmenubar.h"
#include "platform/rules/screenscale.h"
#include "platform/stylus.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QtMath>
#include <array>

namespace {

using ScreenScale::deviceHeight;
using ScreenScale::deviceWidth;

QImage bufferUnder(const QPixmap &buffer, const QWidget *widget, const QRect &picture)
{
    const QRect under = ScreenScale::underPicture(widget->geometry(), picture);
    return buffer.toImage().copy(under.intersected(QRect(0, 0, deviceWidth, deviceHeight)));
}

// Between two whole zooms: the screen enlarged pixel for pixel to the next whole zoom, which the
// paint reduces smoothly. A pixel's edge blends with its neighbour over one window pixel at most,
// where a smooth enlargement of the screen itself would blur every pixel into the next.
QImage sharpened(const QPixmap &buffer, qreal factor)
{
    const int whole = qCeil(factor);
    return buffer.toImage().copy(0, 0, deviceWidth, deviceHeight).scaled(deviceWidth * whole, deviceHeight * whole);
}

// The pause's banner, in game pixels: its title, and under it how to go on.
const QRect pausedBanner(50, 136, 140, 40);

QString pausedHint()
{
    return Stylus::touchScreen() ? QStringLiteral("Tap to go on") : QStringLiteral("P or tap to go on");
}

}

// The buttons and fields that may lie over the screen. A shown one is repainted with the screen only
// when the buffer under it has changed since that part of the window was last painted: a screen's
// background and texts under a button mostly stay, and a button costs more to draw than they do.
std::array<QWidget *, 7> Trotix::widgetsOverScreen() const
{
    return {m_nameEdit, m_addressEdit,      m_confirmButton,  m_cancelButton,
            m_okButton, m_disconnectButton, m_raceAgainButton};
}

void Trotix::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect &shown = m_picture;
    const qreal factor = screenScale();
    // A window of another shape than the screen's is black beside it.
    if (!shown.contains(rect())) {
        for (const QRect &beyond : QRegion(rect()) - QRegion(shown))
            painter.fillRect(beyond, Qt::black);
    }
    // Nearest neighbour: at a whole-number zoom each screen pixel becomes a sharp square block.
    const bool whole = ScreenScale::isWhole(factor);
    const QImage sharp = whole ? QImage() : sharpened(m_screenBuffer, factor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !whole);
    // Rectangle by rectangle: under a clip of several rectangles (the screen around a button) the
    // raster engine would blend span by span, and hand the spans to worker threads, instead of
    // copying rows.
    for (const QRect &part : event->region()) {
        painter.setClipRect(part);
        if (whole)
            painter.drawPixmap(shown, m_screenBuffer, QRect(0, 0, deviceWidth, deviceHeight));
        else
            painter.drawImage(shown, sharp);
    }
    if (m_paused) {
        // Over the picture, not in the buffer: the screen under it is the one shown when play goes on.
        painter.setClipRegion(event->region());
        painter.translate(shown.topLeft());
        painter.scale(factor, factor);
        painter.setPen(QColor(0x8a, 0x6a, 0x3a));
        painter.setBrush(QColor(0xf3, 0xea, 0xd8));
        painter.drawRect(pausedBanner);
        painter.setPen(QColor(0x2b, 0x1d, 0x0e));
        painter.setFont(QFont(QStringLiteral("helvetica"), 16, 75, false));
        painter.drawText(pausedBanner.adjusted(0, 2, 0, -16), Qt::AlignCenter, QStringLiteral("Paused"));
        QFont hint(QStringLiteral("helvetica"));
        hint.setPixelSize(11);
        painter.setFont(hint);
        painter.drawText(pausedBanner.adjusted(0, 24, 0, -2), Qt::AlignCenter, pausedHint());
    }
    if (m_noticeTicks > 0) {
        // Over the picture too, in game pixels: it grows with the zoom as the screen does.
        painter.resetTransform();
        painter.setClipRegion(event->region());
        painter.translate(shown.topLeft());
        painter.scale(factor, factor);
        paintNotice(painter, m_notice);
    }

    for (const QWidget *widget : widgetsOverScreen()) {
        if (!widget)
            continue;
        if (!widget->isVisible())
            m_shownUnderWidget.remove(widget);
        else if ((QRegion(widget->geometry()) - event->region()).isEmpty())
            m_shownUnderWidget.insert(widget, bufferUnder(m_screenBuffer, widget, m_picture));
        else if (event->region().intersects(widget->geometry()))
            m_shownUnderWidget.remove(widget);
    }
}

void Trotix::showNotice(const QString &text)
{
    m_notice = text;
    m_noticeTicks = noticeTicks;
    update();
}

void Trotix::tellSaveFailure(const QString &reason)
{
    if (m_saveFailureTold)
        return;
    m_saveFailureTold = true;
    showNotice(QStringLiteral("Your horse could not be saved (%1).\n"
                              "The game goes on and tries again every ten seconds.")
                   .arg(reason));
}

void Trotix::showBuffer()
{
    // The menu bar lies over the buffer's top rows and does not change with the screen: leaving
    // it out spares it a repaint every second. A repaint by the window system still covers all.
    QRegion screen(m_picture);
    if (m_menuBar && m_menuBar->isVisible())
        screen -= m_menuBar->geometry();
    for (const QWidget *widget : widgetsOverScreen()) {
        if (!widget)
            continue;
        if (!widget->isVisible()) {
            m_shownUnderWidget.remove(widget);
            continue;
        }
        const auto shownUnder = m_shownUnderWidget.constFind(widget);
        if (shownUnder != m_shownUnderWidget.constEnd()
            && *shownUnder == bufferUnder(m_screenBuffer, widget, m_picture))
            screen -= widget->geometry();
    }
    update(screen);
}

void Trotix::setActivityGroupEnabled(bool enabled)
{
    for (int id : activityGroup)
        m_menuBar->setItemEnabled(id, enabled);
}
