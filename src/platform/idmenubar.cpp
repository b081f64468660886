#include "platform/idmenubar.h"

#include "platform/rules/fingertarget.h"
#include "platform/rules/screenscale.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcutEvent>
#include <functional>

namespace {

// Every event of the application, seen for the bar. Not the bar itself as the filter: QMenuBar
// installs and removes itself as an application filter around Alt, which took the bar's own
// watch away after the first Alt, and a letter typed in a field no longer ended a turn. Not a
// child of the bar either: a child outlives the bar's own destructor and would call into it.
class EventWatch : public QObject
{
public:
    explicit EventWatch(std::function<void(QEvent *)> seen) : m_seen(std::move(seen)) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_seen(event);
        return false;
    }

private:
    std::function<void(QEvent *)> m_seen;
};

}

IdMenuBar::IdMenuBar(QWidget *parent) : QMenuBar(parent)
{
    // The bar must show its five titles within the device's 240 pixels: no overflow button.
    setNativeMenuBar(false);
    // Sees every key, to tell when the turn of a shared letter ends (event()).
    m_watch = std::make_unique<EventWatch>([this](QEvent *event) { endTurnOn(event); });
    qApp->installEventFilter(m_watch.get());
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    // One calm strip across the top, like the device's own bar, with the titles packed tight.
    setAutoFillBackground(true);
    setStyleSheet(
        QStringLiteral("QMenuBar { background: #f3ead8; border-bottom: 1px solid #8a6a3a; spacing: 0px; }"
                       "QMenuBar::item { background: transparent; color: #2b1d0e; padding: 2px 5px; margin: 0px; }"
                       "QMenuBar::item:selected { background: #d9b77a; }"
                       "QMenuBar::item:disabled { color: #a89a86; }"));
}

IdMenuBar::~IdMenuBar() = default;

void IdMenuBar::insertPopup(const QString &text, QMenu *popup)
{
    popup->setTitle(text);
    addMenu(popup);
    // A move or a choice in the menu ends its letter's turn (its keys never reach eventFilter()).
    for (auto signal : {&QMenu::hovered, &QMenu::triggered})
        connect(popup, signal, this, [this] { m_openedByLetter = nullptr; });
}

QAction *IdMenuBar::insertItem(QMenu *menu, const QString &text, const QObject *receiver, const char *member,
                               const QKeySequence &accel, int id)
{
    QAction *action = menu ? menu->addAction(text) : addAction(text);
    if (!accel.isEmpty()) {
        action->setShortcut(accel);
        // The plain-letter keys must work from anywhere in the window, with the bar or a pop-up
        // not focused; a focused line edit still takes printable keys first.
        action->setShortcutContext(Qt::WindowShortcut);
        if (parentWidget())
            parentWidget()->addAction(action);
    }
    connect(action, SIGNAL(triggered()), receiver, member);
    m_items.insert(id, action);
    return action;
}

bool IdMenuBar::event(QEvent *event)
{
    if (event->type() != QEvent::Shortcut || !static_cast<QShortcutEvent *>(event)->isAmbiguous())
        return QMenuBar::event(event);
    const QKeySequence letter = static_cast<QShortcutEvent *>(event)->key();
    QList<QAction *> sharing;
    for (QAction *title : actions()) {
        if (title->isVisible() && title->isEnabled() && QKeySequence::mnemonic(title->text()) == letter)
            sharing << title;
    }
    if (sharing.isEmpty())
        return QMenuBar::event(event);
    QAction *chosen = sharing.value((sharing.indexOf(m_openedByLetter.data()) + 1) % sharing.size());
    m_openedByLetter = nullptr;
    if (QMenu *menu = chosen->menu()) {
        setActiveAction(chosen);
        // Opened from the keyboard, as Qt opens a menu by its letter: its first item lit, so that
        // Down goes on to the second.
        menu->setActiveAction(menu->actions().value(0));
        m_openedByLetter = chosen;
    } else {
        chosen->trigger();
    }
    return true;
}

void IdMenuBar::endTurnOn(QEvent *event)
{
    // Any other key in the window, or a click, ends the turn; the letter itself, a modifier pressed
    // on its way, and Escape (which closes the menu, or does nothing more) do not.
    if (m_openedByLetter && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool modifier =
            QList<int>{Qt::Key_Shift, Qt::Key_Control, Qt::Key_Meta, Qt::Key_Alt, Qt::Key_AltGr}.contains(key->key());
        const bool letter = QKeySequence(key->keyCombination()) == QKeySequence::mnemonic(m_openedByLetter->text());
        if (!modifier && !letter && key->key() != Qt::Key_Escape)
            m_openedByLetter = nullptr;
    } else if (event->type() == QEvent::MouseButtonPress) {
        m_openedByLetter = nullptr;
    }
}

void IdMenuBar::setItemEnabled(int id, bool enabled)
{
    if (QAction *action = m_items.value(id))
        action->setEnabled(enabled);
}

bool IdMenuBar::isItemEnabled(int id) const
{
    const QAction *action = m_items.value(id);
    return action && action->isEnabled();
}

void IdMenuBar::styleMenu(QMenu *menu, qreal scale)
{
    scale = qMax(qreal(1), scale);
    QFont type = menu->font();
    type.setPixelSize(qRound(11 * scale));
    menu->setFont(type);
    // On a phone each entry spans the screen and is a fingertip high: its text grows no larger,
    // the room around it does.
    const QScreen *screen = menu->screen();
    const bool phone = screen && FingerTarget::isPhoneSized(screen->size());
    const int padding = 2 * qRound(2 * scale);
    const QSize entry = FingerTarget::entry(QSize(0, QFontMetrics(type).height() + padding),
                                            screen ? screen->size().width() : 0, phone);
    menu->setMinimumWidth(entry.width());
    const QString fingerHigh =
        phone ? QStringLiteral("QMenu::item { min-height: %1px; }").arg(entry.height() - padding) : QString();
    menu->setStyleSheet(
        ScreenScale::rescaledStyleSheet(
            QStringLiteral("QMenu { background: #f3ead8; color: #2b1d0e; border: 1px solid #8a6a3a; padding: 1px; }"
                           "QMenu::item { padding: 2px 10px 2px 16px; background: transparent; }"
                           "QMenu::item:selected { background: #d9b77a; }"
                           "QMenu::item:disabled { color: #a89a86; }"
                           "QMenu::indicator { width: 8px; height: 8px; left: 4px; }"
                           "QMenu::indicator:checked { background: #8a6a3a; }"
                           "QMenu::separator { height: 1px; background: #8a6a3a; margin: 2px 4px; }"),
            scale)
        + fingerHigh);
}
