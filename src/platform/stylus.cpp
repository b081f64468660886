#include "platform/stylus.h"

#include "platform/log.h"
#include "platform/rules/fingertarget.h"
#include "platform/rules/keyboardlayout.h"
#include "platform/rules/outsidetext.h"
#include "platform/rules/screenscale.h"
#include "platform/screenkeyboard.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QInputDevice>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScroller>
#include <QTouchEvent>
#include <algorithm>

namespace {

// TROTIX_KEYBOARD, else the screen: one no bigger than the device's, or a phone's, has no keyboard
// beside it.
bool keyboardWanted()
{
    const QByteArray text = qgetenv("TROTIX_KEYBOARD");
    bool bad = false;
    const KeyboardLayout::Choice choice = KeyboardLayout::choice(text, &bad);
    if (bad)
        logText("trotix: TROTIX_KEYBOARD=%s is neither screen nor none; the screen decides.\n",
                printableForLog(QString::fromLocal8Bit(text)).constData());
    if (choice != KeyboardLayout::Choice::ByScreen)
        return choice == KeyboardLayout::Choice::Screen;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && (ScreenScale::isDeviceSized(screen->size()) || FingerTarget::isPhoneSized(screen->size()));
}

bool isTouch(const QEvent *event)
{
    const QEvent::Type type = event->type();
    return type == QEvent::TouchBegin || type == QEvent::TouchUpdate || type == QEvent::TouchEnd
           || type == QEvent::TouchCancel;
}

}

Stylus *Stylus::attach(QWidget *mainWidget)
{
    if (auto *existing = mainWidget->findChild<Stylus *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new Stylus(mainWidget, keyboardWanted());
}

Stylus::Stylus(QWidget *mainWidget, bool keyboardOn) : QObject(mainWidget), m_main(mainWidget), m_keyboardOn(keyboardOn)
{
    m_hold.setSingleShot(true);
    m_hold.setInterval(holdMilliseconds);
    connect(&m_hold, &QTimer::timeout, this, &Stylus::held);
    // A finger's touch reaches the filter as a touch, not only as the mouse events made of it.
    mainWidget->setAttribute(Qt::WA_AcceptTouchEvents);
    mainWidget->installEventFilter(this);
    for (QObject *child : mainWidget->children())
        watch(child);
}

bool Stylus::touchScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && ScreenScale::isDeviceSized(screen->size()))
        return true;
    const QList<const QInputDevice *> devices = QInputDevice::devices();
    return std::any_of(devices.cbegin(), devices.cend(), [](const QInputDevice *device) {
        return device->type() == QInputDevice::DeviceType::TouchScreen;
    });
}

ScreenKeyboard *Stylus::keyboard() const { return m_keyboard; }

void Stylus::dragScrolls(QAbstractScrollArea *area)
{
    // The handheld's stylus is its only pointer: it drags the page as a finger would (a finger
    // there comes as the mouse events Qt makes of it, and drags the same way).
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && ScreenScale::isDeviceSized(screen->size())) {
        QScroller::grabGesture(area, QScroller::LeftMouseButtonGesture);
        return;
    }
    // Elsewhere a mouse selects text as usual, and a finger's touch is kept from the page's text,
    // which would take the mouse events made of it for a selection.
    QScroller::grabGesture(area, QScroller::TouchGesture);
    area->viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    area->viewport()->installEventFilter(this);
}

ScreenKeyboard *Stylus::openKeyboard(QLineEdit *field)
{
    if (!m_keyboard)
        m_keyboard = new ScreenKeyboard(m_main);
    m_keyboard->open(field);
    return m_keyboard;
}

void Stylus::watch(QObject *child)
{
    // The fields only where the screen keyboard is used: elsewhere nothing of it is made or watched.
    if ((m_keyboardOn && qobject_cast<QLineEdit *>(child)) || qobject_cast<QDialog *>(child))
        child->installEventFilter(this);
}

bool Stylus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_main) {
        return mainWidgetEvent(event);
    } else if (isTouch(event)) {
        // A page that scrolls by drag: the scroller has seen the touch before this filter.
        event->accept();
        return true;
    } else if (auto *field = qobject_cast<QLineEdit *>(watched); field && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && field->isEnabled()
            && field->rect().contains(mouse->position().toPoint())) {
            openKeyboard(field);
        }
    } else if (event->type() == QEvent::Hide && qobject_cast<QDialog *>(watched)) {
        // Once the window is gone, so that the window system does not give the keyboard to it.
        QTimer::singleShot(0, this, &Stylus::handBackKeyboard);
    }
    return false;
}

bool Stylus::mainWidgetEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildPolished:
        // A window or field made after the start (the help window, a notice) is watched from its
        // first showing.
        watch(static_cast<QChildEvent *>(event)->child());
        break;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            press(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseMove: moveTo(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()); break;
    case QEvent::TouchBegin: {
        // Only a touch on the picture itself is the hold's; one on a button, a field or a list is
        // left unaccepted, and Qt makes it the click they know.
        auto *touch = static_cast<QTouchEvent *>(event);
        if (touch->pointCount() != 1 || m_main->childAt(touch->point(0).position().toPoint()))
            return false;
        press(touch->point(0).globalPosition().toPoint());
        event->accept();
        return true;
    }
    case QEvent::TouchUpdate: {
        // A second finger makes it a pinch or a swipe, no hold.
        auto *touch = static_cast<QTouchEvent *>(event);
        if (touch->pointCount() != 1)
            m_hold.stop();
        moveTo(touch->point(0).globalPosition().toPoint());
        return true;
    }
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: m_hold.stop(); return true;
    case QEvent::MouseButtonRelease:
    case QEvent::Hide: m_hold.stop(); break;
    default: break;
    }
    return false;
}

void Stylus::press(QPoint globalAt)
{
    m_pressedAt = globalAt;
    m_hold.start();
    emit pressed(globalAt);
}

void Stylus::moveTo(QPoint globalAt)
{
    const qreal scale = qMax(qreal(1), m_main->property("screenScale").toReal());
    if ((globalAt - m_pressedAt).manhattanLength() > stillDistance * scale)
        m_hold.stop();
}

void Stylus::held()
{
    // What the right button sends: the window's own menu opens where the stylus is. The menu then
    // has the pointer: lifting the stylus chooses nothing, on the menu or in the game.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, m_main->mapFromGlobal(m_pressedAt), m_pressedAt);
    QCoreApplication::sendEvent(m_main, &menu);
}

void Stylus::handBackKeyboard()
{
    if (QApplication::activeModalWidget() || !m_main->isVisible())
        return;
    for (const QDialog *dialog : m_main->findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            return;
    }
    // A window manager might give the keyboard to whatever lies under the closed window; an X
    // server without one gives it to no one.
    m_main->activateWindow();
    QWidget *focused = m_main->focusWidget();
    if (!focused || !focused->isVisible())
        m_main->setFocus(Qt::OtherFocusReason);
}
