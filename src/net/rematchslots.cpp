// Race again: on a network race's result both games offer another race with the same partner, the
// server waiting for challengers again and the client connecting again to the same address.
#include "app/paint.h"
#include "app/screens.h"
#include "game/gamestate.h"
#include "game/racerecord.h"
#include "platform/log.h"

#include <QPainter>
#include <QPushButton>
#include <QTcpSocket>

namespace {

// Over the offer's button, on the course's plain ground beside the horses at the finish.
constexpr QPoint keyHintAt{153, 256};

}

void Trotix::offerRaceAgain(bool offered)
{
    if (offered) {
        QPainter painter(&m_screenBuffer);
        painter.setFont(gameFont(8, 75));
        drawTextAt(painter, keyHintAt.x(), keyHintAt.y(), "or press Return");
    }
    if (offered != m_raceAgainButton->isHidden())
        return;
    m_raceAgainButton->setVisible(offered);
    // The pad's A and Space press a focused button: the offer is one press away, as Return is.
    if (offered)
        m_raceAgainButton->setFocus(Qt::OtherFocusReason);
    else if (focusWidget() == m_raceAgainButton || !focusWidget())
        setFocus(Qt::OtherFocusReason);
}

void Trotix::raceAgain()
{
    if (m_raceAgainButton->isHidden())
        return;
    logText("trotix: Race again\n");
    // The race ends here as at the end of its result, and counts as it would have.
    recordFinishedRace(gs);
    if (gs.shell.isServer == 1) {
        destroyServerConnection();
        change2server();
    } else {
        // While the host still shows the result it owns the connection and takes no challenger.
        m_rejoinOnClose = gs.net.clientSocket->state() == QAbstractSocket::ConnectedState;
        change2client();
    }
    // The question is passed over: what its screen sets first, before CONFIRM, is set here.
    screenOf(gs.shell.mode)->prepare(*this);
    confirmNetwork();
}
