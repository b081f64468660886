#include "platform/savefile.h"

#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Between the name of the file saved and the six characters mkostemp makes unique.
const QString tempInfix = QStringLiteral(".trotix-tmp-");

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("no regular file");
}

QString systemError(int number) { return QString::fromLocal8Bit(std::strerror(number)); }

// The file a save through links ends at: the link's target is replaced, the link itself kept.
QString finalTarget(const QString &path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.filePath();
}

// What a file made now gets: what the player's umask leaves of reading and writing for all.
mode_t newFileMode()
{
    static const mode_t mask = [] {
        const mode_t umask = ::umask(0);
        ::umask(umask);
        return umask;
    }();
    return 0666 & ~mask;
}

}

QString notARegularFile(const QString &path)
{
    struct stat target{};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return errno == ENOENT || errno == ENOTDIR ? QString() : systemError(errno);
    if (S_ISREG(target.st_mode))
        return QString();
    return QStringLiteral("it is %1, not a regular file").arg(kindOf(target.st_mode));
}

bool nothingAt(const QString &path)
{
    struct stat link{};
    return ::lstat(QFile::encodeName(path).constData(), &link) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

bool readFileWhole(const QString &path, qint64 maxBytes, QByteArray *content, QString *error)
{
    *error = notARegularFile(path);
    if (!error->isEmpty())
        return false;
    // Non-blocking all the same: a FIFO put there since the look above gives an empty read, not a
    // game waiting for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = systemError(errno);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = file.errorString();
        return false;
    }
    // Asked for at the file's own size: QIODevice::read(limit) sets the whole limit aside and keeps
    // it, so a megabyte taken at every save for a history of a few hundred kB left the heap growing
    // race after race (see the long run in docs/reliability.md).
    *content = file.read(qMin(file.size(), maxBytes));
    return true;
}

bool writeFileWhole(const QString &path, const QByteArray &content, QString *error)
{
    // A rename would put a regular file in place of a device or a socket.
    *error = notARegularFile(path);
    if (!error->isEmpty())
        return false;
    const QString target = finalTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old{};
    const bool replacing = ::stat(targetName.constData(), &old) == 0;
    const auto failed = [error](int number) {
        *error = systemError(number);
        return false;
    };
    // A file the player made read-only stays as it is.
    if (replacing && ::access(targetName.constData(), W_OK) != 0)
        return failed(errno);
    // A name of this save's own from the start: mkostemp makes the file with O_EXCL and tries another
    // name while one is taken (a save cut short leaves its file behind), so the rename moves what was
    // written here. QTemporaryFile's unnamed file, named only when asked for its name, lost saves to
    // "No such file or directory" under load.
    QByteArray tempName = QFile::encodeName(target + tempInfix) + "XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    bool renamed = false;
    const auto cleanUp = qScopeGuard([&] {
        ::close(fd);
        if (!renamed)
            ::unlink(tempName.constData());
    });
    // Written past any buffer, so that a write cut short (a full disk) shows here with its reason.
    for (qint64 done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n <= 0)
            return failed(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::fchmod(fd, replacing ? old.st_mode & 07777 : newFileMode()) != 0)
        return failed(errno);
    // On the disk before the rename: a crash or a power cut leaves the old file or the whole new one.
    if (::fsync(fd) != 0)
        return failed(errno);
    if (::rename(tempName.constData(), targetName.constData()) != 0)
        return failed(errno);
    renamed = true; // it is the file now
    return true;
}

void removeLeftoverTemps(const QString &path)
{
    // Beside the file a save ends at: for a linked save, in its target's folder.
    const QFileInfo saved(finalTarget(path));
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(saved.fileName() + tempInfix) + QStringLiteral("[A-Za-z0-9]{6}")));
    const QDir folder = saved.dir();
    // Regular files only: no link, FIFO, socket or device is touched.
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QString leftover = folder.filePath(name);
        if (temporary.match(name).hasMatch() && QFile::remove(leftover))
            logText("trotix: Removed %s, left by a save that was cut short.\n", qPrintable(leftover));
    }
}
