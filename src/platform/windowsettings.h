#pragma once
// The window choices the player made, remembered between runs: the zoom, full screen, sound and the
// address last raced against. Kept in the XDG config folder ($XDG_CONFIG_HOME/trotix/trotix.ini,
// else ~/.config/trotix/trotix.ini), never in the horse's save.
#include <QString>

namespace WindowSettings {
// The zoom last chosen from the window menu (a factor, or ScreenScale::fit); 0 when none was.
qreal zoom();
void setZoom(qreal zoom);
// Full screen as the player left it, else `byDefault`.
bool fullScreen(bool byDefault);
void setFullScreen(bool on);
// Sound is on unless the player turned it off.
bool sound();
void setSound(bool on);
// The host the client last connected to, as typed; empty when none was.
QString lastAddress();
void setLastAddress(const QString &address);
}
