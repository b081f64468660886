// The screens: one row each, for every mode, the change of screen, and the services it asks for
// (its background, and the child widgets it leaves up).
#include "app/screens.h"

#include "app/picturetable.h"
#include "game/gamestate.h"
#include "net/rules/protocol.h"
#include "platform/log.h"
#include "platform/qpeapplication.h"
#include "platform/rules/screenscale.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace {

using ScreenScale::deviceHeight;
using ScreenScale::deviceWidth;
constexpr int fieldStripWidth = 796;
constexpr int courseStripWidth = 494;

// Copies the window of a wrapping strip at the current offset. An offset past the strip's width
// starts again from 0, and so does one below 0 (a horse that went back): a window off the strip
// would copy nothing and leave the last frame standing. An offset equal to the width shows the
// same columns as 0.
void copyStrip(QPixmap &buffer, const QPixmap &strip, int stripWidth)
{
    if (gs.care.backgroundOffset < 0 || gs.care.backgroundOffset > stripWidth)
        gs.care.backgroundOffset = 0;
    const int offset = gs.care.backgroundOffset;
    QPainter painter(&buffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (offset + deviceWidth <= stripWidth) {
        painter.drawPixmap(0, 0, strip, offset, 0, deviceWidth, deviceHeight);
    } else {
        painter.drawPixmap(0, 0, strip, offset, 0, stripWidth - offset, deviceHeight);
        painter.drawPixmap(stripWidth - offset, 0, strip, 0, 0, offset + deviceWidth - stripWidth, deviceHeight);
    }
}

// The widget's own background under the screen (the paint handler covers it on every repaint).
void setWidgetBackground(QWidget *widget, const QBrush &brush)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, brush);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}

const Trotix::Screen *Trotix::screenOf(int mode)
{
    using P = Picture;
    static const std::vector<Picture> race{P::Judge1, P::Judge2, P::Judge3, P::Judge4, P::Judge5, P::Sign1, P::Sign2,
                                           P::Sign3,  P::Sign4,  P::Race1,  P::Race2,  P::Race3,  P::Race4};
    // clang-format off
    static const Screen rows[] = {
        {ModeNaming, "trotix: Action>>Naming()\n", nullptr, BackgroundField, 0, &Trotix::naming, nullptr, nullptr,
         false, false, KeepsNothing, {}},
        {ModeIdle, "trotix: Action>>call idle()\n", "trotix: MenuSelect>>change to idle\n", BackgroundField, 0,
         &Trotix::idle, nullptr, nullptr, false, false, OpensActivities | ForgetsSetUp, {P::Idle1, P::Idle2, P::Face3}},
        {ModeEat, "trotix: Action>>call eat()\n", "trotix: MenuSelect>>change to eat\n", BackgroundField, 0,
         &Trotix::eat, nullptr, nullptr, false, false, ForgetsSetUp,
         {P::Eat1, P::Eat2, P::Eat3, P::Eat4, P::Eat5, P::Eat6, P::Face1, P::Face2, P::Face6}},
        {ModeSleep, "trotix: Action>>call sleep()\n", "trotix: MenuSelect>>change to sleep\n", BackgroundField, 0,
         &Trotix::sleep, nullptr, nullptr, false, false, ForgetsSetUp,
         {P::Sleep1, P::Sleep2, P::Sleep3, P::Sleep4, P::Face4}},
        {ModeRun, "trotix: Action>>call run()\n", "trotix: MenuSelect>>change to run\n", BackgroundField,
         BackgroundPlain, &Trotix::run, nullptr, nullptr, false, false, ForgetsSetUp,
         {P::Run1, P::Run2, P::Run3, P::Face1, P::Face2, P::Face7}},
        {ModeJump, "trotix: Action>>call jump()\n", "trotix: MenuSelect>>change to jump\n", BackgroundField,
         BackgroundField, &Trotix::jump, nullptr, nullptr, false, false, ForgetsSetUp,
         {P::Block, P::Jump5, P::Jump1, P::Jump2, P::Jump3, P::Jump4, P::Face1, P::Face2, P::Face3, P::Face5}},
        {ModeStatus, "trotix: Action>>call status()\n", "trotix: MenuSelect>>change to status\n", BackgroundStatus, 0,
         &Trotix::status, nullptr, nullptr, false, false, ForgetsSetUp, {}},
        {ModeAbout, "trotix: Action>>about()\n", "trotix: About selected\n", BackgroundPlain, 0, &Trotix::about,
         nullptr, nullptr, false, false, KeepsOk, {P::Title}},
        {ModeServerAsk, "trotix: Action>>askServer()\n", "trotix: MenuSelect>>change to server\n", BackgroundField, 0,
         &Trotix::askServer, [](Trotix &) { gs.shell.isServer = 1; }, nullptr, false, true, IsQuestion | ForgetsSetUp, {}},
        {ModeServerWait, "trotix: Action>>startServer()\n", nullptr, BackgroundField, 0, &Trotix::startServer,
         [](Trotix &t) { t.setActivityGroupEnabled(false); }, nullptr, false, true, KeepsNothing, {}},
        {ModeServerRace, "trotix: Action>>Display Server's RaceCourse()\n", nullptr, BackgroundCourse, 0,
         &Trotix::calculatePos, nullptr, &Trotix::destroyServerConnection, true, true, KeepsNothing, race},
        {ModeClientAsk, "trotix: Action>>askClient()\n", "trotix: MenuSelect>>change to client\n", BackgroundField, 0,
         &Trotix::askClient,
         [](Trotix &) {
             Protocol::readyToAsk(gs.net);
             gs.shell.isServer = 0;
         },
         nullptr, false, true, IsQuestion | KeepsAddress | ForgetsSetUp, {}},
        {ModeClientConnect, "trotix: Action>>startClient()\n", nullptr, BackgroundField, 0, &Trotix::startClient,
         [](Trotix &t) { t.setActivityGroupEnabled(false); }, nullptr, false, true, KeepsNothing, {}},
        {ModeClientRace, "trotix: Action>>Display Client's RaceCourse()\n", nullptr, BackgroundCourse, 0,
         &Trotix::getPos, nullptr, &Trotix::closeClientSocket, true, true, KeepsNothing, race},
        // Against the computer a connection still being made is left to finish or fail: only new
        // challengers are turned away.
        {ModeDemoRace, "trotix: Action>>Display Demo RaceCourse()\n", "trotix: MenuSelect>>change to race demo\n",
         BackgroundCourse, 0, &Trotix::computerPos, nullptr, nullptr, true, false, KeepsNothing, race},
    };
    // clang-format on
    for (const Screen &row : rows) {
        if (row.mode == mode)
            return &row;
    }
    return nullptr;
}

void Trotix::showScreen(int mode, ShownBy by)
{
    const Screen *row = screenOf(mode);
    Q_ASSERT(row);
    if (row->widgetBackground == BackgroundPlain)
        setWidgetBackground(this, QBrush(Qt::white));
    else if (row->widgetBackground == BackgroundField)
        setWidgetBackground(this, QBrush(m_backgd1)); // the field picture, loaded at the start
    gs.shell.mode = mode;
    clearScreen();
    if (by != ShownBy::Menu)
        return;
    if (row->keeps & ForgetsSetUp)
        Protocol::forgetSetUp(gs.net);
    if (row->menuLog)
        logText("%s", row->menuLog);
}

bool Trotix::pauseApplies() const
{
    const Screen *row = screenOf(gs.shell.mode);
    return !row || !row->network;
}

void Trotix::setupBackgd(int kind)
{
    // Every screen is drawn on its background first: the moment to decode what it shows.
    if (const Screen *row = screenOf(gs.shell.mode))
        loadPictures(m_pictures, row->pictures);
    // The field was loaded at the start; the others wait for their first screen.
    if ((kind == BackgroundStatus || kind == BackgroundCourse) && background(kind).isNull())
        background(kind) = loadBackground(kind);
    // Without its picture (or with one too short) a screen is drawn on white, never on what the
    // last one left.
    if (background(kind).height() < deviceHeight)
        m_screenBuffer.fill(Qt::white);
    switch (kind) {
    case BackgroundField:
    case BackgroundCourse:
        copyStrip(m_screenBuffer, background(kind), kind == BackgroundField ? fieldStripWidth : courseStripWidth);
        break;
    case BackgroundStatus: {
        QPainter painter(&m_screenBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, background(kind), 0, 0, deviceWidth, deviceHeight);
        break;
    }
    case BackgroundPlain: {
        QPainter painter(&m_screenBuffer);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        painter.drawRect(0, 0, deviceWidth, deviceHeight);
        break;
    }
    default: break;
    }
}

void Trotix::clearScreen()
{
    const Screen *row = screenOf(gs.shell.mode);
    const int keeps = row ? row->keeps : KeepsNothing;
    if (keeps & OpensActivities)
        setActivityGroupEnabled(true);
    if (!(keeps & KeepsOk))
        m_okButton->hide();
    m_disconnectButton->hide();
    m_raceAgainButton->hide();
    // A question screen redrawn at its tick keeps its two buttons up: hidden and shown again they
    // would be repainted every second, and a click held across the tick would be lost.
    const bool questionRedrawn = (keeps & IsQuestion) && gs.shell.shownMode == gs.shell.mode;
    m_confirmButton->setEnabled(true);
    m_cancelButton->setEnabled(true);
    if (!questionRedrawn) {
        m_confirmButton->hide();
        m_cancelButton->hide();
    }
    if (!(keeps & KeepsAddress)) {
        m_nameEdit->hide();
        m_addressEdit->hide();
        m_gameList->hide();
    }
    // A hidden field or button keeps the keyboard unless told otherwise, and a field would go on
    // taking the letter keys (U, B, H) as text: the keyboard comes back to the game.
    if (!focusWidget() || focusWidget()->isHidden() || !focusWidget()->isEnabled())
        setFocus(Qt::OtherFocusReason);
}

void Trotix::escapePressed()
{
    // Escape leaves full screen, and on a question screen it is CANCEL.
    const Screen *row = screenOf(gs.shell.mode);
    if (isFullScreen() && QPEApplication::fullScreenChangeable(this))
        QPEApplication::setFullScreen(this, false);
    else if (row && (row->keeps & IsQuestion) && m_cancelButton->isEnabled())
        cancelNetwork();
}
