#include "platform/savelock.h"

#include "platform/savefile.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {
bool processRunning(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }
}

SaveLock::SaveLock(const QString &attrFile) : m_lockPath(attrFile + QStringLiteral(".lock")), m_lock(m_lockPath)
{
    m_lock.setStaleLockTime(0); // a lock is stale only when its process is gone, however old
}

SaveLock::Result SaveLock::acquire()
{
    // QLockFile would read a FIFO there (and wait for ever), and write through a link to a device.
    m_failure = notARegularFile(m_lockPath);
    if (!m_failure.isEmpty())
        return Result::Failed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        errno = 0;
        if (m_lock.tryLock(0))
            return Result::Held;
        const int systemError = errno;
        if (m_lock.error() != QLockFile::LockFailedError) {
            // The lock file cannot be made: the folder is read-only, full, or not ours.
            m_failure = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError))
                                         : QStringLiteral("the lock file cannot be made");
            return Result::Failed;
        }
        qint64 pid = 0;
        QString host, app;
        if (!m_lock.getLockInfo(&pid, &host, &app) || pid <= 0) {
            // Empty (a power cut just after a start) or garbage: it names no game, so none holds
            // it. Removing it takes the system's lock on it first, which a game still writing its
            // lock holds: that game saves, and this one plays without saving.
            if (m_lock.removeStaleLockFile())
                continue;
            m_failure = QStringLiteral("the lock file names no game but cannot be removed");
            return Result::Failed;
        }
        // A game on another machine sharing this folder cannot be looked at: it is taken as playing.
        if (!host.isEmpty() && host != QSysInfo::machineHostName())
            return Result::HeldByOther;
        // Our own number in a lock we have not taken: left by an earlier game that had it too
        // (numbers start again after a restart, in a container in particular).
        if (pid == QCoreApplication::applicationPid() && attempt == 0 && m_lock.removeStaleLockFile())
            continue;
        if (processRunning(pid) && pid != QCoreApplication::applicationPid())
            return Result::HeldByOther;
        m_failure = QStringLiteral("the lock left by game %1, which has ended, cannot be removed").arg(pid);
        return Result::Failed;
    }
    m_failure = QStringLiteral("the lock file cannot be made");
    return Result::Failed;
}

qint64 SaveLock::holderPid() const
{
    qint64 pid = 0;
    QString host, app;
    return m_lock.getLockInfo(&pid, &host, &app) ? pid : 0;
}
