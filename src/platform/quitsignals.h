#pragma once
// Logging out (SIGTERM, SIGHUP) and Ctrl+C in a terminal (SIGINT) end the game in order, like
// closing its window. A signal handler may do next to nothing, so it only writes the signal's
// number into a socket pair; the event loop reads it there and emits `received`, where the game
// may do anything. A second signal that comes while the first one is still unread (the game
// hangs) ends the process the default way.
#include <QObject>

class QSocketNotifier;

class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // "SIGTERM" and so on.
    static const char *name(int signalNumber);

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
