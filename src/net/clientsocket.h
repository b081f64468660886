#pragma once
// One accepted connection of the race server. It reads the challenger's lines and answers them by
// the server's rules; when the challenger goes away it deletes itself.
#include "net/rules/protocol.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

class ClientSocket : public QTcpSocket
{
    Q_OBJECT
public:
    ClientSocket(qintptr socket, QObject *parent);
    ~ClientSocket() override;

    // Closes the connection from this side and lets the object go (deferred). The challenger's
    // side is not reported as gone away, and no slot of this object runs again.
    void dispose();

    // Who a connection that arrives now is, as the race sees it: a stranger while another
    // connection owns the race.
    static Protocol::Sender arriving();
    // Who this connection is, as the race sees it.
    Protocol::Sender sender() const;
    // Still served: not yet let go from either side.
    bool served() const { return !m_done; }
    // Milliseconds since this connection's last complete line (or since it came).
    qint64 quietMs() const { return m_quietSince.elapsed(); }

public slots:
    void readClient();
    void connectionClosed();

private:
    // Stops this object's own slots before the socket is closed from this side.
    void detach();
    void quietTooLong();
    bool m_done = false;
    QElapsedTimer m_quietSince;
    QTimer m_quiet;
};
