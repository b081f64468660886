#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const char deviceRoot[] = "/home/QtPalmtop";
const char attrFileName[] = "trotix_attr.conf";

QString platformRoot()
{
    const QString qpedir = qEnvironmentVariable("QPEDIR");
    if (!qpedir.isEmpty())
        return qpedir;
    if (QFileInfo(QString::fromLatin1(deviceRoot)).isDir())
        return QString::fromLatin1(deviceRoot);
    return QString();
}

// A module beside the installed game (lib/<multiarch>/trotix/), else the build tree's.
QString module(const QString &fileName, const QString &built)
{
    if (QCoreApplication::instance()) {
        const QString installed =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../" TROTIX_INSTALL_MODULE_DIR "/") + fileName;
        if (QFileInfo(installed).isFile())
            return QDir(installed).absolutePath();
    }
    return built;
}

// share/trotix of an installed game, found relative to the binary so that a relocated
// install (a scratch root, a packaging test) finds its own files.
QString installedDataDir()
{
    QString base;
    if (QCoreApplication::instance())
        base = QCoreApplication::applicationDirPath() + QStringLiteral("/../");
    const QString relative = QDir(base + QStringLiteral(TROTIX_INSTALL_DATA_DIR)).absolutePath();
    if (!base.isEmpty() && QFileInfo(relative).isDir())
        return relative;
    return QStringLiteral(TROTIX_INSTALL_PREFIX "/" TROTIX_INSTALL_DATA_DIR);
}
// The game's own files of one kind (pictures, sounds): the platform's folder, the installed data
// folder, else the build tree's.
QString dataDir(QLatin1String folder, const QString &buildDir)
{
    const QString root = platformRoot();
    if (!root.isEmpty())
        return root + QLatin1Char('/') + folder;
    const QString installed = installedDataDir() + QLatin1Char('/') + folder;
    if (QFileInfo(installed).isDir())
        return installed;
    return buildDir;
}
}

namespace Paths {

QString picsDir() { return dataDir(QLatin1String("pics"), QStringLiteral(TROTIX_BUILD_PICS_DIR)); }

QString picture(const QString &fileName) { return picsDir() + QLatin1Char('/') + fileName; }

QString sound(const QString &fileName)
{
    return dataDir(QLatin1String("sounds"), QStringLiteral(TROTIX_BUILD_SOUNDS_DIR)) + QLatin1Char('/') + fileName;
}

QString soundModule()
{
    return module(QStringLiteral(TROTIX_SOUND_MODULE_NAME), QStringLiteral(TROTIX_BUILD_SOUND_MODULE));
}

QString padModule() { return module(QStringLiteral(TROTIX_PAD_MODULE_NAME), QStringLiteral(TROTIX_BUILD_PAD_MODULE)); }

QString attrFile()
{
    const QString root = platformRoot();
    QString dir;
    if (!root.isEmpty())
        dir = root + QStringLiteral("/etc");
    else
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/trotix");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + QLatin1String(attrFileName);
}

QString raceRecordFile() { return QFileInfo(attrFile()).dir().filePath(QStringLiteral("trotix_record.conf")); }

QString historyFile() { return QFileInfo(attrFile()).dir().filePath(QStringLiteral("trotix_history.csv")); }

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/trotix/trotix.ini");
}

QString attrTemplate()
{
    const QString installed = installedDataDir() + QLatin1Char('/') + QLatin1String(attrFileName);
    if (QFileInfo(installed).isFile())
        return installed;
    return QStringLiteral(TROTIX_BUILD_PICS_DIR "/../") + QLatin1String(attrFileName);
}

}
