#include "platform/idmenubar.h"

#include <QMenu>

IdMenuBar::IdMenuBar(QWidget *parent) : QMenuBar(parent)
{
    // The bar must show its five titles within the device's 240 pixels: no overflow button.
    setNativeMenuBar(false);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setStyleSheet(QStringLiteral("QMenuBar::item { padding: 2px 5px; margin: 0px; }"
                                 "QMenuBar { spacing: 0px; }"));
}

void IdMenuBar::insertPopup(const QString &text, QMenu *popup)
{
    popup->setTitle(text);
    addMenu(popup);
}

QAction *IdMenuBar::insertItem(QMenu *menu, const QString &text, const QObject *receiver,
                               const char *member, const QKeySequence &accel, int id)
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
