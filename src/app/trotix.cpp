#include "app/trotix.h"

#include "app/helpwindow.h"
#include "app/paint.h"
#include "app/picturetable.h"
#include "app/racerecorddialog.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "platform/idmenubar.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/screenscale.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <array>

namespace {

constexpr int screenWidth = ScreenScale::deviceWidth;
constexpr int screenHeight = ScreenScale::deviceHeight;
constexpr int fieldStripWidth = 796;
constexpr int courseStripWidth = 494;

QPixmap *loadPixmap(const char *file)
{
    return new QPixmap(Paths::picture(QString::fromLatin1(file)));
}

// The buffer starts as the field picture, with its size; without a usable picture it still covers
// the screen. It shares the picture's pixels until first drawn on, so the file is decoded once.
QPixmap *makeScreenBuffer(const QPixmap &field)
{
    auto *buffer = new QPixmap(field);
    if (buffer->width() < screenWidth || buffer->height() < screenHeight) {
        QPixmap sized(qMax(buffer->width(), screenWidth), qMax(buffer->height(), screenHeight));
        sized.fill(Qt::white);
        if (!buffer->isNull()) {
            QPainter painter(&sized);
            painter.drawPixmap(0, 0, *buffer);
        }
        *buffer = sized;
    }
    return buffer;
}

QPushButton *makeButton(QWidget *parent, const char *text, const QObject *receiver, const char *slot, int x,
                        int y, int w, int h)
{
    auto *button = new QPushButton(QString::fromLatin1(text), parent);
    QObject::connect(button, SIGNAL(clicked()), receiver, slot);
    button->setGeometry(x, y, w, h);
    button->hide();
    return button;
}

QLineEdit *makeLineEdit(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setGeometry(50, 120, 150, 20);
    edit->hide();
    return edit;
}

// Copies the window of a wrapping strip at the current offset. An offset past the strip's width
// starts again from 0; an offset equal to it shows the same columns as 0.
void copyStrip(QPixmap &buffer, const QPixmap &strip, int stripWidth)
{
    if (gs.backgroundOffset > stripWidth)
        gs.backgroundOffset = 0;
    const int offset = gs.backgroundOffset;
    QPainter painter(&buffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (offset + screenWidth <= stripWidth) {
        painter.drawPixmap(0, 0, strip, offset, 0, screenWidth, screenHeight);
    } else {
        painter.drawPixmap(0, 0, strip, offset, 0, stripWidth - offset, screenHeight);
        painter.drawPixmap(stripWidth - offset, 0, strip, 0, 0, offset + screenWidth - stripWidth, screenHeight);
    }
}

// The buttons and fields that may lie over the screen. A shown one is repainted with the screen only
// when the buffer under it has changed since that part of the window was last painted: a screen's
// background and texts under a button mostly stay, and a button costs more to draw than they do.
std::array<QWidget *, 6> widgetsOverScreen()
{
    return {gs.nameEdit, gs.addressEdit, gs.confirmButton, gs.cancelButton, gs.okButton, gs.disconnectButton};
}

// The buffer under each shown widget as last painted. A widget seen hidden loses its entry, so
// that it is painted in full when it shows again.
QHash<const QWidget *, QImage> shownUnderWidget;

QImage bufferUnder(const QWidget *widget, int scale, QPoint origin)
{
    const QRect g = widget->geometry().translated(-origin);
    const QRect under(QPoint(g.left() / scale, g.top() / scale), QPoint(g.right() / scale, g.bottom() / scale));
    return gs.screenBuffer->toImage().copy(under.intersected(QRect(0, 0, screenWidth, screenHeight)));
}

}

Trotix::Trotix(QWidget *parent, const char *name, Qt::WindowFlags flags)
    : TrotixBase(parent, name, flags)
{
    // The paint event covers the whole window with the buffer: nothing to clear under it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    gs.backgd1Pixmap = loadPixmap("backgd1.png");
    gs.screenBuffer = makeScreenBuffer(*gs.backgd1Pixmap);
    gs.backgd2Pixmap = loadPixmap("backgd2.png");
    gs.backgd3Pixmap = loadPixmap("backgd3.png");

    gs.nameEdit = makeLineEdit(this);
    gs.addressEdit = makeLineEdit(this);
    // Return in a field does what its screen's button does.
    connect(gs.nameEdit, &QLineEdit::returnPressed, this, &Trotix::handleOK);
    connect(gs.addressEdit, &QLineEdit::returnPressed, this, [this] {
        if (gs.mode == ModeClientAsk && gs.confirmButton->isEnabled())
            confirmNetwork();
    });

    QPushButton *confirm = makeButton(this, "CONFIRM", this, SLOT(confirmNetwork()), 40, 260, 55, 20);
    QPushButton *cancel = makeButton(this, "CANCEL", this, SLOT(cancelNetwork()), 140, 260, 55, 20);
    QPushButton *ok = makeButton(this, "OK", this, SLOT(handleOK()), 100, 260, 35, 20);
    QPushButton *disconnect = makeButton(this, "CANCEL", this, SLOT(disconnectNetwork()), 90, 260, 55, 20);
    gs.confirmButton = confirm;
    gs.cancelButton = cancel;
    gs.okButton = ok;
    gs.disconnectButton = disconnect;

    loadPictures(gs);
    buildMenus();
    buildWindowActions();
    addRaceRecordEntry(this);
    for (QMenu *menu : findChildren<QMenu *>())
        IdMenuBar::styleMenu(menu, 1);

    switch (loadAttrFile(gs, Paths::attrFile())) {
    case AttrLoadResult::New:
        gs.mode = ModeNaming;
        gs.nameEdit->setMaxLength(15);
        gs.nameEdit->show();
        gs.nameEdit->setFocus();
        setActivityGroupEnabled(false);
        gs.okButton->show();
        break;
    case AttrLoadResult::Old:
        gs.attrFileValid = 1;
        break;
    case AttrLoadResult::Unreadable:
        gs.noSaveReason += QStringLiteral("Your horse's file could not be read.\n");
        break;
    }

    // The usual way out, from anywhere in the window; the game saves the horse on its way out.
    auto *quit = new QAction(tr("&Quit"), this);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::WindowShortcut);
    connect(quit, &QAction::triggered, this, &Trotix::goodBye);
    addAction(quit);

    // Once, over the first screen: a session that cannot save says so before anything is lost.
    if (!gs.noSaveReason.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            auto *notice = new QMessageBox(QMessageBox::Warning, QStringLiteral("Trotix"),
                                           gs.noSaveReason + QStringLiteral("This session will not be saved."),
                                           QMessageBox::Ok, this);
            notice->setObjectName(QStringLiteral("noSaveNotice"));
            // On a screen as small as the device's, Qt would wrap the text at half its width: a
            // word a line.
            notice->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: 9em; }"));
            notice->setAttribute(Qt::WA_DeleteOnClose);
            notice->setWindowModality(Qt::NonModal); // the game goes on under it
            notice->show();
        });
    }

    gs.lifeTimer = new QTimer(this);
    gs.lifeTimer->setObjectName(QStringLiteral("movement handler"));
    connect(gs.lifeTimer, SIGNAL(timeout()), this, SLOT(liveSlot()));
    gs.lifeTimer->start(1000);
}

Trotix::~Trotix()
{
    // The widgets go with the widget; the pictures it made are let go here so that a second
    // main widget in the same process (as in the tests) starts clean.
    for (QPixmap **pixmap : {&gs.screenBuffer, &gs.backgd1Pixmap, &gs.backgd2Pixmap, &gs.backgd3Pixmap}) {
        delete *pixmap;
        *pixmap = nullptr;
    }
    gs.menuBar = nullptr;
    gs.okButton = gs.disconnectButton = gs.confirmButton = gs.cancelButton = nullptr;
    gs.nameEdit = gs.addressEdit = nullptr;
    gs.lifeTimer = nullptr;
    gs.server = nullptr;
    gs.serverConnection = nullptr;
    shownUnderWidget.clear();
}

void Trotix::buildMenus()
{
    auto *bar = new IdMenuBar(this);
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
    bar->setGeometry(0, 0, screenWidth, bar->sizeHint().height());
    gs.menuBar = bar;
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
    connect(escape, &QAction::triggered, this, [this] {
        if (isFullScreen() && !ScreenScale::isDeviceSized(size()))
            QPEApplication::setFullScreen(this, false);
        else if ((gs.mode == ModeServerAsk || gs.mode == ModeClientAsk) && gs.cancelButton->isEnabled())
            cancelNetwork();
    });
}

void Trotix::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showOver(this, m_screenScale);
}

namespace {

// The screens of a network race, from the question to the result.
bool networkMode(int mode)
{
    switch (mode) {
    case ModeServerAsk:
    case ModeServerWait:
    case ModeServerRace:
    case ModeClientAsk:
    case ModeClientConnect:
    case ModeClientRace:
        return true;
    default:
        return false;
    }
}

}

void Trotix::setPaused(bool on)
{
    if (on && networkMode(gs.mode))
        on = false;
    m_pausedByMinimise = false;
    m_pauseAction->setChecked(on);
    if (on == m_paused)
        return;
    m_paused = on;
    logText(on ? "trotix: Paused\n" : "trotix: Play goes on\n");
    update();
}

void Trotix::togglePause() { setPaused(!m_paused); }

bool Trotix::tickHeld()
{
    if (!m_paused)
        return false;
    // A network set-up chosen from the menu while paused: its screens need the tick.
    if (!networkMode(gs.mode))
        return true;
    setPaused(false);
    return false;
}

void Trotix::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        m_fullScreenAction->setChecked(isFullScreen());
        // A device-sized screen is always filled: nothing to toggle there.
        m_fullScreenAction->setEnabled(!isFullScreen() || !ScreenScale::isDeviceSized(size()));
        if (isMinimized() && !m_paused && !networkMode(gs.mode)) {
            setPaused(true);
            m_pausedByMinimise = true;
        } else if (!isMinimized() && m_pausedByMinimise) {
            setPaused(false);
        }
    }
    TrotixBase::changeEvent(event);
}

void Trotix::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect shown(m_origin, QSize(screenWidth * m_screenScale, screenHeight * m_screenScale));
    // A window larger than the screen (full screen, or a window manager that ignores the fixed
    // size) is black beyond it.
    if (!gs.screenBuffer || !shown.contains(rect())) {
        for (const QRect &beyond : QRegion(rect()) - (gs.screenBuffer ? QRegion(shown) : QRegion()))
            painter.fillRect(beyond, Qt::black);
    }
    if (!gs.screenBuffer)
        return;
    // Nearest neighbour: at a whole-number zoom each screen pixel becomes a sharp square block.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Rectangle by rectangle: under a clip of several rectangles (the screen around a button) the
    // raster engine would blend span by span, and hand the spans to worker threads, instead of
    // copying rows.
    for (const QRect &part : event->region()) {
        painter.setClipRect(part);
        painter.drawPixmap(shown, *gs.screenBuffer, QRect(0, 0, screenWidth, screenHeight));
    }
    if (m_paused) {
        // Over the picture, not in the buffer: the screen under it is the one shown when play goes on.
        painter.setClipRegion(event->region());
        painter.translate(m_origin);
        painter.scale(m_screenScale, m_screenScale);
        painter.setPen(QColor(0x8a, 0x6a, 0x3a));
        painter.setBrush(QColor(0xf3, 0xea, 0xd8));
        painter.drawRect(60, 140, 120, 30);
        painter.setPen(QColor(0x2b, 0x1d, 0x0e));
        painter.setFont(QFont(QStringLiteral("helvetica"), 16, 75, false));
        painter.drawText(QRect(60, 140, 120, 30), Qt::AlignCenter, QStringLiteral("Paused"));
    }

    for (const QWidget *widget : widgetsOverScreen()) {
        if (!widget)
            continue;
        if (!widget->isVisible())
            shownUnderWidget.remove(widget);
        else if ((QRegion(widget->geometry()) - event->region()).isEmpty())
            shownUnderWidget.insert(widget, bufferUnder(widget, m_screenScale, m_origin));
        else if (event->region().intersects(widget->geometry()))
            shownUnderWidget.remove(widget);
    }
}

void Trotix::setScreenScale(int factor) { placeScreen(factor, m_origin); }

void Trotix::setScreenOrigin(QPoint origin) { placeScreen(m_screenScale, origin); }

void Trotix::placeScreen(int factor, QPoint origin)
{
    factor = qBound(1, factor, ScreenScale::maxScale);
    const int from = m_screenScale;
    const QPoint fromOrigin = m_origin;
    if (factor == from && origin == fromOrigin)
        return;
    m_screenScale = factor;
    m_origin = origin;
    for (QMenu *menu : findChildren<QMenu *>())
        IdMenuBar::styleMenu(menu, factor);
    // Pop-up menus are windows of their own; they take the zoomed font too.
    setAttribute(Qt::WA_WindowPropagation);
    if (factor == 1) {
        setFont(QFont());
    } else {
        QFont zoomed = QApplication::font();
        if (zoomed.pixelSize() > 0)
            zoomed.setPixelSize(zoomed.pixelSize() * factor);
        else
            zoomed.setPointSizeF(zoomed.pointSizeF() * factor);
        setFont(zoomed);
    }
    // The menu bar, buttons and line edits move to their device places times the factor, so a
    // click lands where the zoomed screen shows them; a child's own font and style grow with it.
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow())
            continue;
        if (child->testAttribute(Qt::WA_SetFont)) {
            QFont own = child->font();
            if (own.pixelSize() > 0)
                own.setPixelSize(own.pixelSize() * factor / from);
            else
                own.setPointSizeF(own.pointSizeF() * factor / from);
            child->setFont(own);
        }
        if (!child->styleSheet().isEmpty())
            child->setStyleSheet(ScreenScale::rescaledStyleSheet(child->styleSheet(), from, factor));
        // The menu bar spans the window's top edge at its new font's height.
        if (qobject_cast<QMenuBar *>(child))
            child->setGeometry(origin.x(), origin.y(), screenWidth * factor, child->sizeHint().height());
        else
            child->setGeometry(
                ScreenScale::rescaled(child->geometry().translated(-fromOrigin), from, factor).translated(origin));
    }
    update();
}

void Trotix::showBuffer()
{
    // The menu bar lies over the buffer's top rows and does not change with the screen: leaving
    // it out spares it a repaint every second. A repaint by the window system still covers all.
    QRegion screen(m_origin.x(), m_origin.y(), screenWidth * m_screenScale, screenHeight * m_screenScale);
    if (gs.menuBar && gs.menuBar->isVisible())
        screen -= gs.menuBar->geometry();
    for (const QWidget *widget : widgetsOverScreen()) {
        if (!widget)
            continue;
        if (!widget->isVisible()) {
            shownUnderWidget.remove(widget);
            continue;
        }
        const auto shownUnder = shownUnderWidget.constFind(widget);
        if (shownUnder != shownUnderWidget.constEnd() && *shownUnder == bufferUnder(widget, m_screenScale, m_origin))
            screen -= widget->geometry();
    }
    update(screen);
}

void Trotix::setActivityGroupEnabled(bool enabled)
{
    for (int id : activityGroup)
        gs.menuBar->setItemEnabled(id, enabled);
}

void Trotix::setupBackgd(int kind)
{
    switch (kind) {
    case BackgroundField:
        copyStrip(*gs.screenBuffer, *gs.backgd1Pixmap, fieldStripWidth);
        break;
    case BackgroundStatus: {
        QPainter painter(gs.screenBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, *gs.backgd2Pixmap, 0, 0, screenWidth, screenHeight);
        break;
    }
    case BackgroundPlain: {
        QPainter painter(gs.screenBuffer);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        painter.drawRect(0, 0, screenWidth, screenHeight);
        break;
    }
    case BackgroundCourse:
        copyStrip(*gs.screenBuffer, *gs.backgd3Pixmap, courseStripWidth);
        break;
    default:
        break;
    }
}

void Trotix::clearScreen()
{
    if (gs.mode == ModeIdle)
        setActivityGroupEnabled(true);
    if (gs.mode != ModeAbout)
        gs.okButton->hide();
    gs.disconnectButton->hide();
    // A question screen redrawn at its tick keeps its two buttons up: hidden and shown again they
    // would be repainted every second, and a click held across the tick would be lost.
    const bool questionRedrawn = (gs.mode == ModeServerAsk || gs.mode == ModeClientAsk) && gs.shownMode == gs.mode;
    gs.confirmButton->setEnabled(true);
    gs.cancelButton->setEnabled(true);
    if (!questionRedrawn) {
        gs.confirmButton->hide();
        gs.cancelButton->hide();
    }
    if (gs.mode != ModeClientAsk) {
        gs.nameEdit->hide();
        gs.addressEdit->hide();
    }
    // A hidden field or button keeps the keyboard unless told otherwise, and a field would go on
    // taking the letter keys (U, B, H) as text: the keyboard comes back to the game.
    if (!focusWidget() || focusWidget()->isHidden() || !focusWidget()->isEnabled())
        setFocus(Qt::OtherFocusReason);
}
