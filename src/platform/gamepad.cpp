#include "platform/gamepad.h"

#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/padinput.h"
#include "platform/paths.h"
#include "platform/screenkeyboard.h"
#include "platform/stylus.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLibrary>
#include <QLineEdit>

using PadMapping::Button;
using PadMapping::Command;
using PadMapping::Place;

namespace {

// The menu bar, while a title on it is lit with no menu open (moved onto Status, Hop! or About).
QMenuBar *litBar(QWidget *main)
{
    auto *bar = main->findChild<IdMenuBar *>(QStringLiteral("menuBar"), Qt::FindDirectChildrenOnly);
    return bar && bar->isVisible() && bar->activeAction() ? bar : nullptr;
}

void tell(const QString &line) { logText("%s", qPrintable(line)); }

// A window over the game (help, book, a message) that has the keys, if one is shown.
QWidget *windowOver(QWidget *main)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    for (QDialog *dialog : main->findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

ScreenKeyboard *shownKeyboard(QWidget *main)
{
    ScreenKeyboard *keyboard = Stylus::attach(main)->keyboard();
    return keyboard && keyboard->isVisible() ? keyboard : nullptr;
}

}

Gamepad *Gamepad::attach(QWidget *mainWidget)
{
    if (auto *existing = mainWidget->findChild<Gamepad *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    auto *pad = new Gamepad(mainWidget);
    // Once the first screen is up: loading and starting SDL (some 20 ms) is no part of the
    // start-up the player waits for.
    QTimer::singleShot(startAfterMs, pad, &Gamepad::start);
    return pad;
}

Gamepad::Gamepad(QWidget *mainWidget) : QObject(mainWidget), m_main(mainWidget)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Gamepad::look);
}

Gamepad::~Gamepad() = default;

bool Gamepad::start()
{
    if (m_tried)
        return bool(m_input);
    m_tried = true;
    const QString module = Paths::padModule();
    const auto make = reinterpret_cast<MakePadInput>(QLibrary::resolve(module, makePadInputSymbol));
    QString failure;
    m_input.reset(make ? make(tell, &failure) : nullptr);
    if (!m_input) {
        logText("trotix: No gamepads: %s\n", qPrintable(make ? failure : QStringLiteral("cannot load ") + module));
        return false;
    }
    // A pad plugged in appears under /dev/input (the folder itself, on a machine that has none yet).
    m_watch = new QFileSystemWatcher(this);
    const QString input = QStringLiteral("/dev/input");
    m_watch->addPath(QFileInfo::exists(input) ? input : QStringLiteral("/dev"));
    connect(m_watch, &QFileSystemWatcher::directoryChanged, this, [this, input](const QString &path) {
        if (path == QLatin1String("/dev") && QFileInfo::exists(input))
            m_watch->addPath(input);
        m_plugLooksLeft = plugLooks;
        planLook();
    });
    // A field that takes the focus while the pad was used last (a new question screen, Tab) gets
    // the keyboard at once; a key, a click or a touch hands the fields back to their keyboards.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        m_keyboardClosedFor = nullptr;
        if (m_padUsedLast)
            offerKeyboard();
    });
    qApp->installEventFilter(this);
    // The pads plugged in before the start.
    look();
    return true;
}

void Gamepad::look()
{
    if (!m_input)
        return;
    const QList<Button> presses = m_input->presses();
    for (Button button : presses)
        pressed(button);
    if (m_plugLooksLeft > 0)
        --m_plugLooksLeft;
    planLook();
}

void Gamepad::planLook()
{
    if (m_input->anyOpen())
        m_timer.start(openLookMs);
    else if (m_plugLooksLeft > 0)
        m_timer.start(plugLookMs);
    else
        m_timer.stop();
}

Place Gamepad::place() const
{
    if (QApplication::activePopupWidget() || litBar(m_main))
        return Place::Menu;
    if (windowOver(m_main))
        return Place::Window;
    if (shownKeyboard(m_main))
        return Place::Keyboard;
    QWidget *focus = m_main->focusWidget();
    if (focus && focus != m_main && focus->isVisible()) {
        if (qobject_cast<QLineEdit *>(focus))
            return Place::Field;
        if (qobject_cast<QAbstractButton *>(focus))
            return Place::PushButton;
        if (qobject_cast<QAbstractItemView *>(focus))
            return Place::List;
    }
    for (QWidget *child : m_main->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && (qobject_cast<QAbstractButton *>(child) || qobject_cast<QLineEdit *>(child)))
            return Place::Question;
    }
    return Place::Game;
}

bool Gamepad::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (event->spontaneous()
        && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::TouchBegin))
        m_padUsedLast = false;
    return false;
}

void Gamepad::pressed(Button button)
{
    m_padUsedLast = true;
    // The first press on a focused field with no keyboard shown opens it: the pad types there.
    if (place() == Place::Field && m_keyboardClosedFor != m_main->focusWidget()) {
        offerKeyboard();
        return;
    }
    const PadMapping::Response response = PadMapping::respond(place(), button);
    switch (response.command) {
    case Command::Key: sendKey(response.key); break;
    case Command::MenuBar: openMenuBar(); break;
    case Command::WindowMenu: openWindowMenu(); break;
    case Command::Book: trigger("horseBookAction"); break;
    case Command::Status: trigger("statusAction"); break;
    case Command::Hop: trigger("hopAction"); break;
    case Command::WalkKeys: shownKeyboard(m_main)->walk(response.key); break;
    case Command::PressKey: shownKeyboard(m_main)->pressChosen(); break;
    case Command::HideKeys:
        m_keyboardClosedFor = shownKeyboard(m_main)->field();
        shownKeyboard(m_main)->hide();
        break;
    case Command::None: break;
    }
    // A press that moved the focus into a field (Tab, a new question screen) shows the keyboard.
    if (place() == Place::Field && m_keyboardClosedFor != m_main->focusWidget())
        offerKeyboard();
}

void Gamepad::sendKey(int qtKey)
{
    QWidget *target = QApplication::activePopupWidget();
    if (!target)
        target = litBar(m_main);
    if (!target) {
        QWidget *window = windowOver(m_main);
        // What Escape does in a window over the game, even before the window system has given it
        // the keys (the game's own Escape would take them until then).
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && qtKey == Qt::Key_Escape) {
            dialog->reject();
            return;
        }
        target = window ? window->focusWidget() : m_main->focusWidget();
        if (!target)
            target = window ? window : m_main;
    }
    QPointer<QWidget> receiver = target;
    const QString text = qtKey == Qt::Key_Return  ? QStringLiteral("\r")
                         : qtKey == Qt::Key_Space ? QStringLiteral(" ")
                                                  : QString();
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(receiver, &press);
    if (receiver) {
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(receiver, &release);
    }
}

void Gamepad::trigger(const char *actionName)
{
    if (auto *action = m_main->findChild<QAction *>(QLatin1String(actionName)); action && action->isEnabled())
        action->trigger();
}

void Gamepad::openMenuBar()
{
    auto *bar = m_main->findChild<IdMenuBar *>(QStringLiteral("menuBar"), Qt::FindDirectChildrenOnly);
    if (!bar || !bar->isVisible())
        return;
    for (QAction *title : bar->actions()) {
        if (title->menu() && title->isEnabled() && title->isVisible()) {
            // As Alt and its letter open it: the first item lit.
            bar->setActiveAction(title);
            title->menu()->setActiveAction(title->menu()->actions().value(0));
            return;
        }
    }
}

void Gamepad::openWindowMenu()
{
    // The menu a right click opens, at the picture's top left.
    const qreal scale = qMax(qreal(1), m_main->property("screenScale").toReal());
    const QPoint at = m_main->property("screenOrigin").toPoint() + QPoint(8, 24) * scale;
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, m_main->mapToGlobal(at));
    QCoreApplication::sendEvent(m_main, &menu);
}

void Gamepad::offerKeyboard()
{
    auto *field = qobject_cast<QLineEdit *>(m_main->focusWidget());
    const ScreenKeyboard *shown = shownKeyboard(m_main);
    if (!field || !field->isVisible() || !field->isEnabled() || (shown && shown->field() == field))
        return;
    ScreenKeyboard *keyboard = Stylus::attach(m_main)->openKeyboard(field);
    keyboard->walk(0);
}
