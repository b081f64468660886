#include "platform/windowsettings.h"

#include "platform/rules/screenscale.h"

#include <QSettings>

namespace {

QSettings store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("trotix"), QStringLiteral("trotix")); }

const QString zoomKey = QStringLiteral("window/zoom");
const QString fullScreenKey = QStringLiteral("window/fullScreen");
const QString soundKey = QStringLiteral("window/sound");

}

namespace WindowSettings {

qreal zoom()
{
    // Written as TROTIX_SCALE is: a hand-edited value it would refuse counts as none.
    return ScreenScale::parseScale(store().value(zoomKey).toByteArray());
}

void setZoom(qreal zoom) { store().setValue(zoomKey, QString::fromLatin1(ScreenScale::scaleText(zoom))); }

bool fullScreen(bool byDefault) { return store().value(fullScreenKey, byDefault).toBool(); }

void setFullScreen(bool on) { store().setValue(fullScreenKey, on); }

bool sound() { return store().value(soundKey, true).toBool(); }

void setSound(bool on) { store().setValue(soundKey, on); }

}
