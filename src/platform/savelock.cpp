#include "platform/savelock.h"

SaveLock::SaveLock(const QString &attrFile) : m_lock(attrFile + QStringLiteral(".lock"))
{
    m_lock.setStaleLockTime(0); // a lock is stale only when its process is gone, however old
}

bool SaveLock::acquire() { return m_lock.tryLock(0); }

qint64 SaveLock::holderPid() const
{
    qint64 pid = 0;
    QString host, app;
    return m_lock.getLockInfo(&pid, &host, &app) ? pid : 0;
}
