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

int zoom()
{
    // A hand-edited value out of range counts as none.
    const int value = store().value(zoomKey, 0).toInt();
    return value >= 1 && value <= ScreenScale::maxScale ? value : 0;
}

void setZoom(int factor) { store().setValue(zoomKey, factor); }

bool fullScreen() { return store().value(fullScreenKey, false).toBool(); }

void setFullScreen(bool on) { store().setValue(fullScreenKey, on); }

bool sound() { return store().value(soundKey, true).toBool(); }

void setSound(bool on) { store().setValue(soundKey, on); }

}
