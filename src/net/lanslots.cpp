// Games on the local network in the main widget: the server's announcement while it waits, and
// the client's list of waiting games under its address field.
#include "app/trotix.h"
#include "game/gamestate.h"
#include "net/avahi.h"
#include "net/rules/protocol.h"
#include "platform/rules/fingertarget.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QStyledItemDelegate>

namespace {

constexpr int addressRole = Qt::UserRole;

// On a phone a finger picks a game: each line at least a fingertip high.
class FingerLines : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QScreen *screen = option.widget ? option.widget->screen() : nullptr;
        return FingerTarget::entry(QStyledItemDelegate::sizeHint(option, index), 0,
                                   screen && FingerTarget::isPhoneSized(screen->size()));
    }
};

}

void Trotix::buildGameList()
{
    m_lan = new LanGames(this);
    connect(m_lan, &LanGames::changed, this, &Trotix::showFoundGames);
    m_gameList = new QListWidget(this);
    m_gameList->setObjectName(QStringLiteral("gameList"));
    // Between the address field and the buttons, under its own heading.
    m_gameList->setGeometry(20, 162, 200, 92);
    m_gameList->setFont(QFont(QStringLiteral("helvetica"), 9));
    // A long line (why no search is possible, a host's long name) wraps rather than scrolls.
    m_gameList->setWordWrap(true);
    m_gameList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gameList->setItemDelegate(new FingerLines(m_gameList));
    m_gameList->hide();
    connect(m_gameList, &QListWidget::itemClicked, this, &Trotix::chooseGame);
    connect(m_gameList, &QListWidget::itemActivated, this, &Trotix::chooseGame);
    m_addressEdit->installEventFilter(this);
    m_gameList->installEventFilter(this);
}

void Trotix::syncLan()
{
    const bool waiting =
        gs.shell.mode == ModeServerWait && gs.net.serverCreated == 1 && gs.net.netState < Protocol::NetLost;
    m_lan->announce(waiting ? Lan::announcedName(QByteArray(gs.horse.name)) : QString());
    m_lan->search(gs.shell.mode == ModeClientAsk);
}

void Trotix::showFoundGames()
{
    const QString current =
        m_gameList->currentItem() ? m_gameList->currentItem()->data(addressRole).toString() : QString();
    m_gameList->clear();
    const QStringList labels = Lan::gameLabels(m_lan->games());
    for (int i = 0; i < labels.size(); ++i) {
        auto *item = new QListWidgetItem(labels[i], m_gameList);
        item->setData(addressRole, m_lan->games()[i].address);
        if (!current.isEmpty() && item->data(addressRole).toString() == current)
            m_gameList->setCurrentItem(item);
    }
    if (labels.isEmpty())
        (new QListWidgetItem(Lan::emptyListLine(m_lan->whyNoSearch()), m_gameList))->setFlags(Qt::NoItemFlags);
}

void Trotix::chooseGame(QListWidgetItem *item)
{
    if (!item || !(item->flags() & Qt::ItemIsSelectable))
        return;
    m_addressEdit->setText(item->data(addressRole).toString());
    m_addressEdit->setFocus(); // Return there is CONFIRM
}

bool Trotix::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_gameList->isHidden())
        return TrotixBase::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    // Down from the address field into the list, Up from its first line back.
    if (watched == m_addressEdit && key == Qt::Key_Down && m_gameList->item(0)
        && (m_gameList->item(0)->flags() & Qt::ItemIsSelectable)) {
        m_gameList->setFocus();
        m_gameList->setCurrentRow(qMax(0, m_gameList->currentRow()));
        return true;
    }
    // Return on a game fills the address and stops there, as a tap does: it is no CONFIRM yet.
    if (watched == m_gameList && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        chooseGame(m_gameList->currentItem());
        return true;
    }
    if (watched == m_gameList && key == Qt::Key_Up && m_gameList->currentRow() <= 0) {
        m_addressEdit->setFocus();
        return true;
    }
    return TrotixBase::eventFilter(watched, event);
}
