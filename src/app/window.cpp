// The window's comforts beyond the device: the help window, the pause, and the zoom.
#include "app/trotix.h"

#include "app/gamesound.h"
#include "app/helpwindow.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/screenscale.h"
#include "platform/stylus.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>

void Trotix::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showOver(this, screenScale());
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
    if (on) {
        // A stylus or a finger has no P: a tap on the game's picture goes on. The hold still
        // opens the window menu, as the tap is the stylus's press too.
        connect(Stylus::attach(this), &Stylus::pressed, this, &Trotix::tappedWhilePaused, Qt::UniqueConnection);
    }
    m_sound->setHeld(on);
    logText(on ? "trotix: Paused\n" : "trotix: Play goes on\n");
    update();
}

void Trotix::togglePause() { setPaused(!m_paused); }

void Trotix::tappedWhilePaused(QPoint globalAt)
{
    if (m_paused && m_picture.contains(mapFromGlobal(globalAt)))
        setPaused(false);
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
        m_fullScreenAction->setEnabled(QPEApplication::fullScreenChangeable(this));
        if (isMinimized() && !m_paused && pauseApplies()) {
            setPaused(true);
            m_pausedByMinimise = true;
        } else if (!isMinimized() && m_pausedByMinimise) {
            setPaused(false);
        }
    }
    TrotixBase::changeEvent(event);
}

namespace {

// The application's font, or a child's own, grown from the device's size by the factor.
QFont zoomedFont(QFont font, qreal factor)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * factor));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

}

void Trotix::resizeEvent(QResizeEvent *event)
{
    // The picture follows the window, however it was sized: the zoom menu, a drag of its edge,
    // the window manager's maximise, full screen. Its size now, not the event's: under Wayland a
    // resize event can hold a size older than the window's (as the compositor's first size arrives
    // while the window is being shown), and the picture would keep it.
    placeScreen(ScreenScale::pictureIn(size()));
    TrotixBase::resizeEvent(event);
}

void Trotix::placeScreen(const QRect &picture)
{
    const QRect from = m_picture;
    if (picture == from)
        return;
    m_picture = picture;
    const qreal factor = screenScale();
    for (QMenu *menu : findChildren<QMenu *>())
        IdMenuBar::styleMenu(menu, factor);
    // Pop-up menus are windows of their own; they take the zoomed font too.
    setAttribute(Qt::WA_WindowPropagation);
    setFont(factor == 1 ? QFont() : zoomedFont(QApplication::font(), factor));
    // The menu bar, buttons and line edits move to their device places on the picture, so a click
    // lands where the picture shows them; a child's own font and style grow with it. Each is taken
    // from the device's size, never from the last zoom's rounded one.
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow())
            continue;
        auto part = m_deviceParts.find(child);
        if (part == m_deviceParts.end()) {
            part = m_deviceParts.insert(
                child, DevicePart{{}, {}, child->font(), child->styleSheet(), child->testAttribute(Qt::WA_SetFont)});
        }
        // Placed anew since (the screen keyboard opens where its field is): that place is the one to keep.
        if (child->geometry() != part->placed)
            part->place = ScreenScale::underPicture(child->geometry(), from);
        if (part->ownFont)
            child->setFont(zoomedFont(part->font, factor));
        if (!part->styleSheet.isEmpty())
            child->setStyleSheet(ScreenScale::rescaledStyleSheet(part->styleSheet, factor));
        // The menu bar spans the picture's top edge at its new font's height.
        if (qobject_cast<QMenuBar *>(child))
            child->setGeometry(picture.x(), picture.y(), picture.width(), child->sizeHint().height());
        else
            child->setGeometry(ScreenScale::onPicture(part->place, picture));
        part->placed = child->geometry();
    }
    update();
}
