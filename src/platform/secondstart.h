#pragma once
// A second start on a save whose game runs on this machine: rather than a second window that must
// not play, the first game's window comes to the front. The games meet on a local socket named
// after the save's lock, so two saves never share one.
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

class SecondStart : public QObject
{
    Q_OBJECT
public:
    // The socket's name for this lock file: short, as a socket path is limited, and the same
    // however the save's path was spelt.
    static QString socketName(const QString &lockPath);

    // Asks the game holding the save to come to the front; true once it said it has. False where
    // it cannot be reached (an older game, one on another machine sharing the folder).
    static bool askToFront(const QString &lockPath);

    // Listens for later starts, bringing `window` to the front for each; the lock is held by this game.
    SecondStart(QWidget *window, const QString &lockPath);

private:
    void answer();

    QWidget *m_window;
    QLocalServer *m_server;
};
