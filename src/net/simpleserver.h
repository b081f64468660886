#pragma once
// The listening socket of the race server: port 1234 on every local address, IPv4 and IPv6, one
// waiting connection at most. Each accepted connection becomes a ClientSocket child.
#include <QTcpServer>

class SimpleServer : public QTcpServer
{
    Q_OBJECT
public:
    // After construction isListening() tells whether the port could be bound; an object that
    // failed is of no use and is to be deleted by its maker.
    explicit SimpleServer(QObject *parent);
    ~SimpleServer() override;

signals:
    void newConnect();

protected:
    void incomingConnection(qintptr socket) override;
};
