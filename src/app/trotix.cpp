// The main widget's construction: the screen buffer and backgrounds, the child widgets, the
// pictures, the menus, the save read at start and last the timer.
#include "app/trotix.h"

#include "app/entryvalidator.h"
#include "app/gamesound.h"
#include "app/horsebook.h"
#include "app/picturetable.h"
#include "game/gamestate.h"
#include "game/rules/horsename.h"
#include "net/rules/protocol.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/outsidetext.h"
#include "platform/rules/screenscale.h"
#include "platform/windowsettings.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

namespace {

// The buttons' labels on the device, in pixels.
constexpr int buttonTextSize = 11;

using ScreenScale::deviceHeight;
using ScreenScale::deviceWidth;

// The buffer starts as the field picture, with its size; without a usable picture it still covers
// the screen. It shares the picture's pixels until first drawn on, so the file is decoded once.
QPixmap makeScreenBuffer(const QPixmap &field)
{
    if (field.width() >= deviceWidth && field.height() >= deviceHeight)
        return field;
    QPixmap sized(qMax(field.width(), deviceWidth), qMax(field.height(), deviceHeight));
    sized.fill(Qt::white);
    if (!field.isNull()) {
        QPainter painter(&sized);
        painter.drawPixmap(0, 0, field);
    }
    return sized;
}

// A button's label in the device's face, at the largest size up to the device's at which it stays
// inside the button's frame with a pixel of air each side (CONFIRM's button is narrow); the zoom
// grows it with the button.
void fitLabel(QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect inside =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).adjusted(1, 1, -1, -1);
    QFont font = QApplication::font();
    for (int size = buttonTextSize; size >= 6; --size) {
        font.setPixelSize(size);
        const QRect ink = QFontMetrics(font).tightBoundingRect(button->text());
        if (ink.width() <= inside.width() && ink.height() <= inside.height())
            break;
    }
    button->setFont(font);
}

QPushButton *makeButton(QWidget *parent, const char *name, const char *text, const QObject *receiver, const char *slot,
                        int x, int y, int w, int h)
{
    auto *button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QLatin1String(name));
    QObject::connect(button, SIGNAL(clicked()), receiver, slot);
    button->setGeometry(x, y, w, h);
    fitLabel(button);
    button->hide();
    return button;
}

QLineEdit *makeLineEdit(QWidget *parent, const char *name, EntryValidator::Keeps keeps)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(new EntryValidator(keeps, edit));
    edit->setGeometry(50, 120, 150, 20);
    edit->hide();
    return edit;
}

// The address last raced against, to start the client's field with; a hand-edited one the field
// would refuse is said once and left out.
QString rememberedAddress(const QValidator &validator)
{
    QString address = WindowSettings::lastAddress();
    int pos = 0;
    if (validator.validate(address, pos) == QValidator::Acceptable)
        return address;
    logText("trotix: The remembered address %s is no address; the address field starts empty.\n",
            printableForLog(address).constData());
    return {};
}

}

Trotix::Trotix(QWidget *parent, const char *name, Qt::WindowFlags flags) : TrotixBase(parent, name, flags)
{
    // The paint event covers the whole window with the buffer: nothing to clear under it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Start-up decodes only the field, which the first screen shows; every other picture waits
    // until a screen first draws it (setupBackgd).
    m_backgd1 = loadBackground(BackgroundField);
    m_screenBuffer = makeScreenBuffer(m_backgd1);

    m_nameEdit = makeLineEdit(this, "nameEdit", nameKeeps);
    m_addressEdit = makeLineEdit(this, "addressEdit", Protocol::addressKeeps);
    m_addressEdit->setText(rememberedAddress(*m_addressEdit->validator()));
    // Return in a field does what its screen's button does (the address field's: keyPressEvent).
    connect(m_nameEdit, &QLineEdit::returnPressed, this, &Trotix::handleOK);

    buildGameList();
    m_confirmButton = makeButton(this, "confirmButton", "CONFIRM", this, SLOT(confirmNetwork()), 40, 260, 55, 20);
    m_cancelButton = makeButton(this, "cancelButton", "CANCEL", this, SLOT(cancelNetwork()), 140, 260, 55, 20);
    m_okButton = makeButton(this, "okButton", "OK", this, SLOT(handleOK()), 100, 260, 35, 20);
    m_disconnectButton =
        makeButton(this, "disconnectButton", "CANCEL", this, SLOT(disconnectNetwork()), 90, 260, 55, 20);
    m_raceAgainButton = makeButton(this, "raceAgainButton", "Race again", this, SLOT(raceAgain()), 150, 260, 80, 20);

    buildMenus();
    buildWindowActions();
    m_sound = new GameSound(this, [this](const QString &text) { showNotice(text); });
    addHorseBookEntry(this, gs);
    for (QMenu *menu : findChildren<QMenu *>())
        IdMenuBar::styleMenu(menu, 1);

    startSession();

    // The usual way out, from anywhere in the window; the game saves the horse on its way out.
    auto *quit = new QAction(tr("&Quit"), this);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::WindowShortcut);
    connect(quit, &QAction::triggered, this, &Trotix::goodBye);
    addAction(quit);

    m_lifeTimer = new QTimer(this);
    m_lifeTimer->setObjectName(QStringLiteral("lifeTimer"));
    connect(m_lifeTimer, SIGNAL(timeout()), this, SLOT(liveSlot()));
    m_lifeTimer->start(QPEApplication::tickMilliseconds());
}

Trotix::~Trotix() { forgetServer(); }

QPixmap &Trotix::background(int kind)
{
    return kind == BackgroundStatus ? m_backgd2 : kind == BackgroundCourse ? m_backgd3 : m_backgd1;
}

void Trotix::buildMenus()
{
    auto *bar = new IdMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    auto *actionMenu = new QMenu(this);
    auto *raceMenu = new QMenu(this);

    bar->insertPopup(tr("&Action"), actionMenu);
    bar->insertItem(actionMenu, tr("&Idle"), this, SLOT(change2idle()), {}, IdIdle);
    bar->insertItem(actionMenu, tr("&Eat"), this, SLOT(change2eat()), {}, IdEat);
    bar->insertItem(actionMenu, tr("&Sleep"), this, SLOT(change2sleep()), {}, IdSleep);
    bar->insertItem(actionMenu, tr("&Run"), this, SLOT(change2run()), {}, IdRun);
    bar->insertItem(actionMenu, tr("&Jump"), this, SLOT(change2jump()), {}, IdJump);
    bar->insertItem(nullptr, tr("&Status"), this, SLOT(change2status()), QKeySequence(Qt::Key_U), IdStatus);
    bar->insertPopup(tr("&Race"), raceMenu);
    bar->insertItem(raceMenu, tr("&Server(Red)"), this, SLOT(change2server()), {}, IdServer);
    bar->insertItem(raceMenu, tr("&Client(Blue)"), this, SLOT(change2client()), {}, IdClient);
    bar->insertItem(raceMenu, tr("&Computer"), this, SLOT(change2racedemo()), {}, IdComputer);
    bar->insertItem(nullptr, tr("&Hop!"), this, SLOT(hop()), QKeySequence(Qt::Key_H), IdHop);
    bar->insertItem(nullptr, tr("&About"), this, SLOT(aboutTrotix()), QKeySequence(Qt::Key_B), IdAbout);
    bar->setItemEnabled(IdHop, false);
    // A choice from the menus is a wish to play on: it ends a pause (after the choice's own slot).
    for (int id : activityGroup)
        connect(bar->item(id), &QAction::triggered, this, [this] { setPaused(false); });
    // Found by name by the gamepad's Y and X.
    bar->item(IdStatus)->setObjectName(QStringLiteral("statusAction"));
    bar->item(IdHop)->setObjectName(QStringLiteral("hopAction"));
    bar->setGeometry(0, 0, deviceWidth, bar->sizeHint().height());
    m_menuBar = bar;
}

// The window's own entries for the window menu, with their keys: they work anywhere in the window, with or without the
// window menu (a device screen has none); a focused line edit still takes P as a letter.
void Trotix::buildWindowActions()
{
    const auto add = [this](const QString &text, const QKeySequence &key) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        action->setProperty("windowMenu", !text.isEmpty());
        return action;
    };
    m_helpAction = add(tr("How to play"), QKeySequence(Qt::Key_F1));
    connect(m_helpAction, &QAction::triggered, this, &Trotix::showHelp);
    m_pauseAction = add(tr("Pause"), QKeySequence(Qt::Key_P));
    m_pauseAction->setCheckable(true);
    connect(m_pauseAction, &QAction::triggered, this, [this] { togglePause(); });
    m_fullScreenAction = add(tr("Full screen"), QKeySequence(Qt::Key_F11));
    m_fullScreenAction->setCheckable(true);
    connect(m_fullScreenAction, &QAction::triggered, this,
            [this] { QPEApplication::setFullScreen(this, !isFullScreen()); });
    // Escape leaves full screen, and on a question screen it is CANCEL; it is no entry of the menu.
    QAction *escape = add(QString(), QKeySequence(Qt::Key_Escape));
    connect(escape, &QAction::triggered, this, &Trotix::escapePressed);
}
