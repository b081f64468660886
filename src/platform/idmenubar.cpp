#include "platform/idmenubar.h"

#include "platform/screenscale.h"

#include <QMenu>

IdMenuBar::IdMenuBar(QWidget *parent) : QMenuBar(parent)
{
    // The bar must show its five titles within the device's 240 pixels: no overflow button.
    setNativeMenuBar(false);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    // One calm strip across the top, like the device's own bar, with the titles packed tight.
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QMenuBar { background: #f3ead8; border-bottom: 1px solid #8a6a3a; spacing: 0px; }"
                                 "QMenuBar::item { background: transparent; color: #2b1d0e; padding: 2px 5px; margin: 0px; }"
                                 "QMenuBar::item:selected { background: #d9b77a; }"
                                 "QMenuBar::item:disabled { color: #a89a86; }"));
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

void IdMenuBar::styleMenu(QMenu *menu, int scale)
{
    scale = qMax(1, scale);
    QFont type = menu->font();
    type.setPixelSize(11 * scale);
    menu->setFont(type);
    menu->setStyleSheet(ScreenScale::rescaledStyleSheet(
        QStringLiteral("QMenu { background: #f3ead8; color: #2b1d0e; border: 1px solid #8a6a3a; padding: 1px; }"
                       "QMenu::item { padding: 2px 10px 2px 16px; background: transparent; }"
                       "QMenu::item:selected { background: #d9b77a; }"
                       "QMenu::item:disabled { color: #a89a86; }"
                       "QMenu::indicator { width: 8px; height: 8px; left: 4px; }"
                       "QMenu::indicator:checked { background: #8a6a3a; }"
                       "QMenu::separator { height: 1px; background: #8a6a3a; margin: 2px 4px; }"),
        1, scale));
}
