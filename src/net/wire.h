#pragma once
// Sending a protocol message: the one way bytes go out on either side of a network race.
#include <QByteArray>

class QAbstractSocket;

// One write of the message's bytes, pushed out at once. A socket that is not open (the peer went
// away, the race was broken off) takes nothing, as a closed line would.
void sendMessage(QAbstractSocket &socket, const QByteArray &message);

// What a received line led to: its log lines (none when empty) written first, then its message.
void logAndSend(QAbstractSocket &socket, const QByteArray &log, const QByteArray &message);
