#pragma once
// A menu bar whose items are reached by number, as the game's menus were designed: items are
// inserted with an id, and enabled or disabled by that id whether they sit on the bar itself or
// inside one of its pop-ups.
#include <QHash>
#include <QKeySequence>
#include <QMenuBar>

class QMenu;

class IdMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    explicit IdMenuBar(QWidget *parent);

    // A pop-up title on the bar.
    void insertPopup(const QString &text, QMenu *popup);
    // An item on the bar (menu == nullptr) or in one of its pop-ups, triggering member of receiver.
    QAction *insertItem(QMenu *menu, const QString &text, const QObject *receiver, const char *member,
                        const QKeySequence &accel, int id);

    void setItemEnabled(int id, bool enabled);
    bool isItemEnabled(int id) const;

    // Draws a pop-up menu (the bar's own or any other of the window's) as the bar is drawn at this
    // zoom: its 11-pixel type and its colours, grown with the zoom.
    static void styleMenu(QMenu *menu, int scale);
    QAction *item(int id) const { return m_items.value(id); }

private:
    QHash<int, QAction *> m_items;
};
