#include "platform/stylus.h"

#include "platform/rules/keyboardlayout.h"
#include "platform/log.h"
#include "platform/rules/outsidetext.h"
#include "platform/screenkeyboard.h"
#include "platform/rules/screenscale.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QInputDevice>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

namespace {

// TROTIX_KEYBOARD, else the screen: one no bigger than the device's has no keyboard beside it.
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
    return screen && ScreenScale::isDeviceSized(screen->size());
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
        mainWidgetEvent(event);
    } else if (auto *field = qobject_cast<QLineEdit *>(watched); field && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && field->isEnabled() && field->rect().contains(mouse->position().toPoint())) {
            openKeyboard(field);
        }
    } else if (event->type() == QEvent::Hide && qobject_cast<QDialog *>(watched)) {
        // Once the window is gone, so that the window system does not give the keyboard to it.
        QTimer::singleShot(0, this, &Stylus::handBackKeyboard);
    }
    return false;
}

void Stylus::mainWidgetEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildPolished:
        // A window or field made after the start (the help window, a notice) is watched from its
        // first showing.
        watch(static_cast<QChildEvent *>(event)->child());
        break;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressedAt = mouse->globalPosition().toPoint();
            m_hold.start();
        }
        break;
    }
    case QEvent::MouseMove: {
        const int scale = qMax(1, m_main->property("screenScale").toInt());
        const QPoint moved = static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_pressedAt;
        if (moved.manhattanLength() > stillDistance * scale)
            m_hold.stop();
        break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::Hide:
        m_hold.stop();
        break;
    default:
        break;
    }
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
