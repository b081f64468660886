#pragma once
// A menu bar whose items are reached by number, as the game's menus were designed: items are
// inserted with an id, and enabled or disabled by that id whether they sit on the bar itself or
// inside one of its pop-ups.
#include <QHash>
#include <QKeySequence>
#include <QMenuBar>
#include <QPointer>
#include <memory>

class QMenu;

class IdMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    explicit IdMenuBar(QWidget *parent);
    ~IdMenuBar() override;

    // A pop-up title on the bar.
    void insertPopup(const QString &text, QMenu *popup);
    // An item on the bar (menu == nullptr) or in one of its pop-ups, triggering member of receiver.
    QAction *insertItem(QMenu *menu, const QString &text, const QObject *receiver, const char *member,
                        const QKeySequence &accel, int id);

    void setItemEnabled(int id, bool enabled);
    bool isItemEnabled(int id) const;

    // Draws a pop-up menu (the bar's own or any other of the window's) as the bar is drawn at this
    // zoom: its 11-pixel type and its colours, grown with the zoom.
    static void styleMenu(QMenu *menu, qreal scale);
    QAction *item(int id) const { return m_items.value(id); }

protected:
    // Titles sharing an underlined letter: Alt and the letter opens (or chooses) the first of them;
    // pressed again straight after (the menu still open, or just closed with Escape), the next.
    // Qt's own turns would go on from the title last reached however long ago: Alt+A after a
    // choice in the Action menu chose About.
    bool event(QEvent *event) override;

private:
    // Any other key in the window, or a click, ends a letter's turn.
    void endTurnOn(QEvent *event);
    // The title whose menu the last Alt+letter opened, until any other key.
    QPointer<QAction> m_openedByLetter;
    QHash<int, QAction *> m_items;
    std::unique_ptr<QObject> m_watch; // goes first, while the bar is whole
};
