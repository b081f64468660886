// The connection screens: the question screens of both sides, the waiting and connecting screens
// with their progress and failure countdowns, and the three buttons.
#include "app/gamesound.h"
#include "app/paint.h"
#include "app/trotix.h"
#include "game/gamestate.h"
#include "game/racerecord.h"
#include "net/avahi.h"
#include "net/ownaddress.h"
#include "net/rules/lanlist.h"
#include "net/rules/protocol.h"
#include "net/simpleserver.h"
#include "platform/log.h"
#include "platform/rules/screenscale.h"
#include "race/rules/race.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <functional>

namespace {

const QFont &headingFont() { return gameFont(12, 75); }
const QFont &lineFont() { return gameFont(10, 50); }
const QFont &promptFont() { return gameFont(10, 75); }

// Under the buttons, where nothing else is drawn on the client's question.
constexpr int noAddressBaseline = 298;

// What tells the server's waiting screen and the client's connecting screen apart.
struct ProgressScreen
{
    int mode;
    int raceMode;
    const char *heading;
    const char *challengerFound;
    const char *lostText;
    int lostY;
    const char *refusedText;
};

// clang-format off
const ProgressScreen serverScreen{ModeServerWait, ModeServerRace,
                                  "Wait for Challengers ...", "Here comes a Trotix challenger!",
                                  "Disconnected unexpectedly.", 155,
                                  "Network subsystem busy, please retry later."};
const ProgressScreen clientScreen{ModeClientConnect, ModeClientRace,
                                  "Finding Challengers ...", "A Trotix challenger is found!",
                                  "Host cannot be connected!", 95,
                                  "Host rejected connection request. (perhaphs already in racing)"};
// clang-format on

// Below the progress texts and above the button, on a light plate so that the scrolling
// scenery behind never hides a digit. Further addresses line up under the first one.
void drawOwnAddresses(QPixmap &buffer, const QStringList &lines)
{
    constexpr int firstBaseline = 182;
    constexpr int lineStep = 15;
    const QFontMetrics metrics(lineFont());
    const int indent = 5 + metrics.horizontalAdvance(lines.first().section(QLatin1Char(' '), 0, -2) + QLatin1Char(' '));
    int right = 5 + metrics.horizontalAdvance(lines.first());
    for (const QString &line : lines.mid(1))
        right = qMax(right, indent + metrics.horizontalAdvance(line));
    QPainter painter(&buffer);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(253, 246, 228, 220));
    painter.drawRoundedRect(QRect(2, firstBaseline - metrics.ascent() - 3, right + 3,
                                  metrics.height() + lineStep * int(lines.size() - 1) + 5),
                            3, 3);
    painter.setPen(Qt::black);
    painter.setFont(lineFont());
    for (int i = 0; i < lines.size(); ++i)
        drawTextAt(painter, i == 0 ? 5 : indent, firstBaseline + i * lineStep, lines[i]);
}

enum class Progress { Waiting, Ready, CountdownOver };

// Draws the hand-shake's progress for netState and counts a failure display down. Ready: the
// hand-shake is done; CountdownOver: the fourth tick of a failure message has been shown.
Progress drawProgress(QPixmap &buffer, const ProgressScreen &screen)
{
    QPainter painter(&buffer);
    painter.setFont(headingFont());
    drawTextAt(painter, 5, 70, screen.heading);
    painter.setFont(lineFont());
    const int state = gs.net.netState;
    Progress progress = Progress::Waiting;
    if (state >= Protocol::NetConnected && state <= Protocol::NetHandshakeLast)
        drawTextAt(painter, 5, 95, "A connection is established.");
    if (state >= Protocol::NetGreeted && state <= Protocol::NetHandshakeLast)
        drawTextAt(painter, 5, 110, screen.challengerFound);
    if (state >= Protocol::NetNamed && state <= Protocol::NetHandshakeLast) {
        drawTextAt(painter, 5, 125, "Name of Challenger: ");
        drawNameAt(painter, 105, 125, {}, gs.race.opponentName, ScreenScale::deviceWidth - 1 - 105);
    }
    if (state >= Protocol::NetReady && state <= Protocol::NetHandshakeLast) {
        drawTextAt(painter, 5, 140, "Ready for racing ...");
        progress = Progress::Ready;
    }
    if (gs.net.netState >= Protocol::NetLost && gs.net.netState < Protocol::NetLostOver) {
        drawTextAt(painter, 5, screen.lostY, screen.lostText);
        if (++gs.net.netState == Protocol::NetLostOver)
            progress = Progress::CountdownOver;
    }
    if (gs.net.netState >= Protocol::NetRefused) {
        drawTextAt(painter, 5, 95, screen.refusedText);
        if (++gs.net.netState == Protocol::NetRefusedOver)
            progress = Progress::CountdownOver;
    }
    return progress;
}

// The tick that first shows the challenger, on either side, chimes.
bool showsChallenger()
{
    return gs.net.netState >= Protocol::NetGreeted && gs.net.netState <= Protocol::NetHandshakeLast;
}

// One tick of a progress screen: on to the race once the hand-shake is done, or out through
// `leave` once a failure has been shown on four ticks.
void progressTick(QPixmap &buffer, const ProgressScreen &screen, const std::function<void()> &leave)
{
    gs.shell.shownMode = screen.mode;
    switch (drawProgress(buffer, screen)) {
    case Progress::Ready:
        enterCourse(gs.race, screen.mode == ModeServerWait);
        gs.care.backgroundOffset = 0;
        // Not a change of screen: the race follows its hand-shake with CANCEL still up.
        gs.shell.mode = screen.raceMode;
        break;
    case Progress::CountdownOver:
        gs.net.netState = Protocol::NetIdle;
        leave();
        break;
    case Progress::Waiting: break;
    }
}

}

void Trotix::askServer()
{
    gs.shell.shownMode = ModeServerAsk;
    clearScreen();
    {
        QPainter painter(&m_screenBuffer);
        painter.setFont(headingFont());
        drawTextAt(painter, 50, 70, "Wait for Challengers");
        drawTextAt(painter, 55, 85, "over the Network?");
    }
    m_confirmButton->show();
    m_cancelButton->show();
    showBuffer();
}

void Trotix::askClient()
{
    gs.shell.shownMode = ModeClientAsk;
    clearScreen(); // leaves the address field alone, so typing goes on undisturbed
    {
        QPainter painter(&m_screenBuffer);
        painter.setFont(headingFont());
        drawTextAt(painter, 53, 70, "Seek Challengers");
        drawTextAt(painter, 55, 85, "over the Network?");
        painter.setFont(promptFont());
        drawTextAt(painter, 20, 110, "Hostname/IP Address of the Challenger:");
        drawTextAt(painter, 20, 157, "Or a game found nearby:");
        if (m_askingForAddress && m_addressEdit->text().isEmpty()) {
            painter.setFont(lineFont());
            drawTextAt(painter, 20, noAddressBaseline, Lan::noAddressLine);
        }
    }
    // Typing goes into the address as soon as its screen opens.
    const bool opening = m_addressEdit->isHidden();
    m_addressEdit->show();
    if (opening) {
        m_askingForAddress = false;
        m_addressEdit->setFocus();
        showFoundGames();
    }
    m_gameList->show();
    m_confirmButton->show();
    m_cancelButton->show();
    showBuffer();
}

void Trotix::confirmNetwork()
{
    if (gs.shell.isServer != 1) {
        const QString address = Lan::addressToJoin(m_addressEdit->text(), m_lan->games());
        if (address.isEmpty()) { // the question stays, and says what it lacks
            m_askingForAddress = true;
            askClient();
            return;
        }
        m_addressEdit->setText(address); // kept for the next race, as a typed one is
    }
    m_cancelButton->setEnabled(false);
    m_confirmButton->setEnabled(false);
    {
        QPainter painter(&m_screenBuffer);
        painter.setFont(lineFont());
        drawTextAt(painter, 50, 120, "Please wait a moment...");
    }
    showBuffer();

    if (gs.shell.isServer == 1) {
        // The listening socket is made once and then kept for every later race.
        if (gs.net.serverCreated == 0) {
            auto *server = new SimpleServer(this);
            gs.net.bindFailed = server->isListening() ? 0 : 1;
            if (gs.net.bindFailed == 0) {
                connect(server, &SimpleServer::newConnect, this, &Trotix::ServerConnected);
                gs.net.server = server;
            } else {
                delete server;
            }
        }
        if (gs.net.bindFailed == 1) {
            gs.net.netState = Protocol::NetRefused;
            gs.net.serverCreated = 0;
        } else {
            gs.net.serverCreated = 1;
        }
        // From now on, not from the next tick: a challenger racing again may greet at once.
        gs.net.serverAccepting = 1;
        showScreen(ModeServerWait, ShownBy::Game);
        m_disconnectButton->show();
        return;
    }

    showScreen(ModeClientConnect, ShownBy::Game);
    if (!m_rejoinOnClose)
        connectClient();
    m_disconnectButton->show();
}

void Trotix::cancelNetwork()
{
    // The port stays open for the next CONFIRM, but a game gone back to its horse takes no challenge.
    gs.net.serverAccepting = 0;
    showScreen(ModeIdle, ShownBy::Game);
    showBuffer();
}

void Trotix::startServer()
{
    m_sound->playOnRise(SoundCue::Chime, showsChallenger());
    progressTick(m_screenBuffer, serverScreen, [this] { cancelNetwork(); });
    if (gs.shell.mode == ModeServerWait && gs.net.netState < Protocol::NetLost)
        drawOwnAddresses(m_screenBuffer, ownAddressLines());
    showBuffer();
}

void Trotix::startClient()
{
    m_sound->playOnRise(SoundCue::Chime, showsChallenger());
    progressTick(m_screenBuffer, clientScreen, [this] { disconnectNetwork(); });
    showBuffer();
}

void Trotix::disconnectNetwork()
{
    // Left on the result: the other game counts the race, so this one does too.
    if ((gs.shell.mode == ModeServerRace || gs.shell.mode == ModeClientRace) && gs.net.resultKnown == 1)
        recordFinishedRace(gs);
    destroyServerConnection();
    closeClientSocket();
    m_rejoinOnClose = false;
    gs.net.netState = Protocol::NetIdle;
    rewind(gs.race);
    change2idle();
}

void Trotix::keyPressEvent(QKeyEvent *event)
{
    // Return or keypad Enter on either question screen is CONFIRM, on a network race's result Race
    // again: the address field and the buttons pass these keys on to here, and the server's screen
    // has no field to take them.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (gs.shell.mode == ModeServerAsk || gs.shell.mode == ModeClientAsk) && m_confirmButton->isEnabled())
        confirmNetwork();
    else if (enter && !m_raceAgainButton->isHidden())
        raceAgain();
    else
        TrotixBase::keyPressEvent(event);
}
