#pragma once
// One accepted connection of the race server. It reads the challenger's lines and answers them by
// the server's rules; when the challenger goes away it deletes itself.
#include <QTcpSocket>

class ClientSocket : public QTcpSocket
{
    Q_OBJECT
public:
    ClientSocket(qintptr socket, QObject *parent);
    ~ClientSocket() override;

    // Closes the connection from this side and lets the object go (deferred). The challenger's
    // side is not reported as gone away, and no slot of this object runs again.
    void dispose();

public slots:
    void readClient();
    void connectionClosed();

private:
    // Stops this object's own slots before the socket is closed from this side.
    void detach();
    bool m_done = false;
};
