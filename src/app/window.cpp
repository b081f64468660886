// The window's comforts beyond the device: the help window, the pause, and the zoom.
#include "app/trotix.h"


#include "app/gamesound.h"
#include "app/helpwindow.h"
#include "app/paint.h"
#include "app/picturetable.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/rules/screenscale.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <array>

void Trotix::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showOver(this, m_screenScale);
}

void Trotix::setPaused(bool on)
{
    if (on && !pauseApplies())
        on = false;
    m_pausedByMinimise = false;
    m_pauseAction->setChecked(on);
    if (on == m_paused)
        return;
    m_paused = on;
    m_sound->setHeld(on);
    logText(on ? "trotix: Paused\n" : "trotix: Play goes on\n");
    update();
}

void Trotix::togglePause() { setPaused(!m_paused); }

void Trotix::mousePressEvent(QMouseEvent *event)
{
    // A stylus has no P: a tap on the game's screen goes on. The press still reaches the stylus's
    // hold (TrotixBase), so holding opens the window menu as ever.
    const QRect shown(m_origin, QSize(ScreenScale::deviceWidth, ScreenScale::deviceHeight) * m_screenScale);
    if (m_paused && event->button() == Qt::LeftButton && shown.contains(event->position().toPoint()))
        setPaused(false);
    TrotixBase::mousePressEvent(event);
}

bool Trotix::tickHeld()
{
    if (!m_paused)
        return false;
    // A network set-up chosen from the menu while paused: its screens need the tick.
    if (pauseApplies())
        return true;
    setPaused(false);
    return false;
}

void Trotix::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        m_fullScreenAction->setChecked(isFullScreen());
        // A device-sized screen is always filled: nothing to toggle there.
        m_fullScreenAction->setEnabled(!isFullScreen() || !ScreenScale::isDeviceSized(size()));
        if (isMinimized() && !m_paused && pauseApplies()) {
            setPaused(true);
            m_pausedByMinimise = true;
        } else if (!isMinimized() && m_pausedByMinimise) {
            setPaused(false);
        }
    }
    TrotixBase::changeEvent(event);
}


void Trotix::setScreenScale(int factor) { placeScreen(factor, m_origin); }

void Trotix::setScreenOrigin(QPoint origin) { placeScreen(m_screenScale, origin); }

void Trotix::placeScreen(int factor, QPoint origin)
{
    factor = qBound(1, factor, ScreenScale::maxScale);
    const int from = m_screenScale;
    const QPoint fromOrigin = m_origin;
    if (factor == from && origin == fromOrigin)
        return;
    m_screenScale = factor;
    m_origin = origin;
    for (QMenu *menu : findChildren<QMenu *>())
        IdMenuBar::styleMenu(menu, factor);
    // Pop-up menus are windows of their own; they take the zoomed font too.
    setAttribute(Qt::WA_WindowPropagation);
    if (factor == 1) {
        setFont(QFont());
    } else {
        QFont zoomed = QApplication::font();
        if (zoomed.pixelSize() > 0)
            zoomed.setPixelSize(zoomed.pixelSize() * factor);
        else
            zoomed.setPointSizeF(zoomed.pointSizeF() * factor);
        setFont(zoomed);
    }
    // The menu bar, buttons and line edits move to their device places times the factor, so a
    // click lands where the zoomed screen shows them; a child's own font and style grow with it.
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow())
            continue;
        if (child->testAttribute(Qt::WA_SetFont)) {
            QFont own = child->font();
            if (own.pixelSize() > 0)
                own.setPixelSize(own.pixelSize() * factor / from);
            else
                own.setPointSizeF(own.pointSizeF() * factor / from);
            child->setFont(own);
        }
        if (!child->styleSheet().isEmpty())
            child->setStyleSheet(ScreenScale::rescaledStyleSheet(child->styleSheet(), from, factor));
        // The menu bar spans the window's top edge at its new font's height.
        if (qobject_cast<QMenuBar *>(child))
            child->setGeometry(origin.x(), origin.y(), ScreenScale::deviceWidth * factor, child->sizeHint().height());
        else
            child->setGeometry(
                ScreenScale::rescaled(child->geometry().translated(-fromOrigin), from, factor).translated(origin));
    }
    update();
}

