#pragma once
// The window choices the player made, remembered between runs: the zoom, full screen and sound. Kept in
// the XDG config folder ($XDG_CONFIG_HOME/trotix/trotix.ini, else ~/.config/trotix/trotix.ini),
// never in the horse's save.
namespace WindowSettings {
// The zoom last chosen from the window menu; 0 when none was.
int zoom();
void setZoom(int factor);
bool fullScreen();
void setFullScreen(bool on);
// Sound is on unless the player turned it off.
bool sound();
void setSound(bool on);
}
