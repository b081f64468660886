#include "net/wire.h"

#include <QAbstractSocket>

void sendMessage(QAbstractSocket &socket, const QByteArray &message)
{
    if (!socket.isOpen() || message.isEmpty())
        return;
    socket.write(message);
    socket.flush();
}
