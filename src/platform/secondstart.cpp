#include "platform/secondstart.h"

#include "platform/log.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {

// What the first game answers once its window is in front; anything else is not our game.
constexpr char frontRequest[] = "trotix front\n";
constexpr char frontDone[] = "trotix in front\n";
constexpr int patienceMilliseconds = 3000;

}

QString SecondStart::socketName(const QString &lockPath)
{
    const QFileInfo lock(lockPath);
    const QString path = QFileInfo(lock.absolutePath()).canonicalFilePath() + QLatin1Char('/') + lock.fileName();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("trotix-") + QString::fromLatin1(hash);
}

bool SecondStart::askToFront(const QString &lockPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketName(lockPath));
    if (!socket.waitForConnected(patienceMilliseconds))
        return false;
    socket.write(frontRequest);
    QByteArray said;
    while (said.size() < qsizetype(sizeof frontDone - 1) && socket.waitForReadyRead(patienceMilliseconds))
        said += socket.readAll();
    return said == frontDone;
}

SecondStart::SecondStart(QWidget *window, const QString &lockPath)
    : QObject(window), m_window(window), m_server(new QLocalServer(this))
{
    const QString name = socketName(lockPath);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // This game holds the save's lock: a socket of that name was left by a game that died.
    if (!m_server->listen(name) && m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    if (!m_server->isListening())
        logText("trotix: A second start cannot call this game (%s); it will say so and stop.\n",
                qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SecondStart::answer);
}

void SecondStart::answer()
{
    while (QLocalSocket *caller = m_server->nextPendingConnection()) {
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
            if (!caller->canReadLine())
                return;
            if (caller->readLine() != frontRequest) {
                caller->disconnectFromServer();
                return;
            }
            if (m_window->isMinimized())
                m_window->showNormal();
            m_window->raise();
            m_window->activateWindow();
            logText("trotix: Another start on this horse's save: this window is brought to the front.\n");
            caller->write(frontDone);
            caller->disconnectFromServer();
        });
    }
}
