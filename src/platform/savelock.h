#pragma once
// One game per save: a second game started on the same attribute file would overwrite the first
// one's horse every ten ticks. A lock file next to the save keeps the second one out; a lock
// naming no live game on this machine (its game died, or it is empty or garbage after a power
// cut) is taken over.
#include <QLockFile>
#include <QString>

class SaveLock
{
public:
    enum class Result {
        Held,        // this game may save
        HeldByOther, // another running game plays this horse: this one must not start
        Failed,      // no lock could be had (a folder that cannot be written ...): play, never save
    };

    explicit SaveLock(const QString &attrFile);
    Result acquire();
    // The process that holds the lock, when known (0 otherwise).
    qint64 holderPid() const;
    bool isHeld() const { return m_lock.isLocked(); }
    QString path() const { return m_lockPath; }
    // Why the lock could not be had, after Failed.
    QString failure() const { return m_failure; }

private:
    QString m_lockPath;
    QLockFile m_lock;
    QString m_failure;
};
