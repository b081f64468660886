#include "platform/windowsettings.h"

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/rules/screenscale.h"
#include "platform/savefile.h"

#include <QSettings>
#include <memory>
#include <utility>

namespace {

const QString zoomKey = QStringLiteral("window/zoom");
const QString fullScreenKey = QStringLiteral("window/fullScreen");
const QString soundKey = QStringLiteral("window/sound");
const QString addressKey = QStringLiteral("network/lastAddress");

// The settings, or none while their file is no regular file: QSettings would wait on a FIFO for
// ever and write a device. Said once; the window's choices then last this session only.
std::unique_ptr<QSettings> store()
{
    const QString path = Paths::settingsFile();
    const QString why = notARegularFile(path);
    if (why.isEmpty())
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    static bool told = false;
    if (!std::exchange(told, true)) {
        logText("trotix: Cannot use the window settings %s (%s); the window's choices are not remembered.\n",
                qPrintable(path), qPrintable(why));
    }
    return nullptr;
}

QVariant remembered(const QString &key, const QVariant &unset)
{
    const std::unique_ptr<QSettings> settings = store();
    return settings ? settings->value(key, unset) : unset;
}

void remember(const QString &key, const QVariant &value)
{
    if (const std::unique_ptr<QSettings> settings = store())
        settings->setValue(key, value);
}

}

namespace WindowSettings {

qreal zoom()
{
    // Written as TROTIX_SCALE is: a hand-edited value it would refuse counts as none.
    return ScreenScale::parseScale(remembered(zoomKey, QVariant()).toByteArray());
}

void setZoom(qreal zoom) { remember(zoomKey, QString::fromLatin1(ScreenScale::scaleText(zoom))); }

bool fullScreen(bool byDefault) { return remembered(fullScreenKey, byDefault).toBool(); }

void setFullScreen(bool on) { remember(fullScreenKey, on); }

bool sound() { return remembered(soundKey, true).toBool(); }

void setSound(bool on) { remember(soundKey, on); }

QString lastAddress() { return remembered(addressKey, QString()).toString(); }

void setLastAddress(const QString &address) { remember(addressKey, address); }

}
