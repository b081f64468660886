#pragma once
// Whether a window manager looks after the game's windows on this display.
namespace WindowManager {
// True where one does, or where the platform places windows itself (Wayland, the offscreen and
// framebuffer platforms): there a full-screen request is honoured and the normal place kept. False
// on an X server that nobody manages, where a window takes the screen only by its own geometry.
bool running();
}
