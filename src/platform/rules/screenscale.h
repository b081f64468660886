#pragma once
// How big the device's 240 x 320 screen is shown: as large as its window allows in its own 3:4
// shape, the rest black. At a whole-number zoom every screen pixel becomes an s x s block of window
// pixels; between two whole zooms the window shows the next larger one reduced smoothly, so that
// nothing blurs. Pure rules; the widget code applies them.
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
// The zoom that is no number: the picture as large as the window, the window as large as the screen.
constexpr qreal fit = -1;

// The zoom asked for in TROTIX_SCALE or remembered: a number from 1 to maxScale ("2", "1.5"), or
// "fit", blanks around it allowed. 0 when the text is empty or anything else.
qreal parseScale(const QByteArray &text);
// The zoom as parseScale reads it back.
QByteArray scaleText(qreal zoom);

// The largest whole zoom whose window fits comfortably into the screen's available area; at least 1.
int automaticScale(const QSize &available);
// Whether a window at `zoom` fits comfortably into the available area.
bool fitsScreen(qreal zoom, const QSize &available);

// A screen no bigger than the device's: the game fills it, as on the device.
bool isDeviceSized(const QSize &screen);

// The zoom a start gets: TROTIX_SCALE when set (requested != 0), else the remembered one, as long
// as its window fits the screen (1x always does); else the largest whole zoom that fits, or fit
// where 2x does not.
qreal startZoom(qreal requested, qreal remembered, const QSize &available);

// Where the picture lies in a window of `window`: the largest rectangle of the device's shape that
// fits, centred; never below 1x, where a smaller window shows its top left corner.
QRect pictureIn(const QSize &window);
// A picture at a whole zoom is copied pixel for pixel.
bool isWhole(qreal factor);

// A rectangle of the device's screen on the picture: each edge where the picture shows it.
QRect onPicture(const QRect &device, const QRect &picture);
// The device's pixels that a rectangle of the window covers, in part or whole.
QRect underPicture(const QRect &window, const QRect &picture);

// A style sheet's pixel lengths ("5px") at the device's size grown by `factor`; the rest unchanged.
QString rescaledStyleSheet(const QString &styleSheet, qreal factor);

}
