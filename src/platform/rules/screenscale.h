#pragma once
// How big the device's 240 x 320 screen is shown: a whole-number zoom, so that every screen pixel
// becomes an s x s block of window pixels and nothing blurs. Pure rules; the widget code applies them.
#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

namespace ScreenScale {

constexpr int deviceWidth = 240;
constexpr int deviceHeight = 320;
// Larger zooms are refused: a 16x window is already 3840 x 5120.
constexpr int maxScale = 16;
// Room left around the window for its frame, title bar and some desktop: 240s x 320s must fit
// into the available area less this.
constexpr int frameAllowanceWidth = 32;
constexpr int frameAllowanceHeight = 64;

// The zoom asked for in TROTIX_SCALE: a whole number from 1 to maxScale, blanks around it allowed.
// 0 when the text is empty or anything else.
int parseScale(const QByteArray &text);

// The largest zoom whose window fits comfortably into the screen's available area; at least 1.
int automaticScale(const QSize &available);

// A screen no bigger than the device's: the game fills it, as on the device.
bool isDeviceSized(const QSize &screen);

// The zoom a start gets: TROTIX_SCALE when set (requested > 0), else the remembered one, either
// no larger than the largest that fits the screen; the largest that fits when neither is set.
int startZoom(int requested, int remembered, int fitting);

// A rectangle placed at zoom `from` moved to zoom `to` (both at least 1).
QRect rescaled(const QRect &rect, int from, int to);

// A style sheet's pixel lengths ("5px") moved from zoom `from` to zoom `to`; the rest unchanged.
QString rescaledStyleSheet(const QString &styleSheet, int from, int to);

}
