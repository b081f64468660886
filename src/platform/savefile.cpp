#include "platform/savefile.h"

#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

}

QString notARegularFile(const QString &path)
{
    struct stat target{};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0 || S_ISREG(target.st_mode))
        return QString();
    return QStringLiteral("it is %1, not a regular file").arg(kindOf(target.st_mode));
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
    *content = file.read(maxBytes);
    return true;
}

bool writeFileWhole(const QString &path, const QByteArray &content, QString *error)
{
    // QSaveFile would put a regular file in place of a device or a socket, and wait on a FIFO.
    *error = notARegularFile(path);
    if (!error->isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so that a write cut short (a full disk) shows here: a buffered QSaveFile writes
    // at commit() and then takes a short write for success, putting a torn file in place. The
    // rest is written again, so that the failing write tells the reason.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; written && done < content.size();) {
        const qint64 n = file.write(content.constData() + done, content.size() - done);
        written = n > 0;
        done += n;
    }
    if (!written || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void removeLeftoverTemps(const QString &path)
{
    const QFileInfo saved(path);
    // The six random letters and digits QSaveFile adds. Six small letters alone are left: far more
    // likely a word the player chose ("backup") than chance.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(saved.fileName()) + QStringLiteral("\\.(?![a-z]{6})[A-Za-z0-9]{6}")));
    const QDir folder = saved.dir();
    // Regular files only: no link, FIFO, socket or device is touched.
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QString leftover = folder.filePath(name);
        if (temporary.match(name).hasMatch() && QFile::remove(leftover))
            logText("trotix: Removed %s, left by a save that was cut short.\n", qPrintable(leftover));
    }
}
