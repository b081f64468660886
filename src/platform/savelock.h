#pragma once
// One game per save: a second game started on the same attribute file would overwrite the first
// one's horse every ten ticks. A lock file next to the save keeps the second one out; a lock
// left behind by a game that died is taken over.
#include <QLockFile>
#include <QString>

class SaveLock
{
public:
    explicit SaveLock(const QString &attrFile);
    bool acquire();
    // The process that holds the lock, when known (0 otherwise).
    qint64 holderPid() const;

private:
    QLockFile m_lock;
};
