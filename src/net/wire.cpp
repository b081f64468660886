#include "net/wire.h"

#include "platform/log.h"

#include <QAbstractSocket>

void sendMessage(QAbstractSocket &socket, const QByteArray &message)
{
    if (!socket.isOpen() || message.isEmpty())
        return;
    socket.write(message);
    socket.flush();
}

void logAndSend(QAbstractSocket &socket, const QByteArray &log, const QByteArray &message)
{
    if (!log.isEmpty())
        logText("%s", log.constData());
    sendMessage(socket, message);
}
