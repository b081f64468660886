#pragma once
// Where the game's files live. The one place that knows a file path.
//
// 1. $QPEDIR, as on the device: pictures in $QPEDIR/pics/, sounds in $QPEDIR/sounds/, the
//    attribute file in $QPEDIR/etc/.
//    Tests, and two games on one machine, use it.
// 2. /home/QtPalmtop, when that folder exists (the device itself).
// 3. Otherwise pictures and sounds from the installed share/trotix/pics and share/trotix/sounds
//    (next to the binary's prefix) or the build tree, and the player's save in the XDG data folder
//    (~/.local/share/trotix/trotix_attr.conf unless XDG_DATA_HOME says otherwise).
#include <QString>

namespace Paths {
QString picsDir();
QString picture(const QString &fileName);
QString sound(const QString &fileName);
// The module that plays sounds: beside the installed game (lib/<multiarch>/trotix/), else the build tree's.
QString soundModule();
// The module that reads gamepads, found as the sound's is.
QString padModule();
// The attribute file (the player's save). Its folder is created when missing.
QString attrFile();
// The horse's race record, a file of its own beside the attribute file.
QString raceRecordFile();
// The horse's history, a line per save, beside the attribute file (trotix_history.csv).
QString historyFile();
// The window settings (trotix.ini in the XDG config folder), never beside the save.
QString settingsFile();
// The template shipped with the game: a fresh horse waiting for its name.
QString attrTemplate();
}
