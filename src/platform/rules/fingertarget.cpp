#include "platform/rules/fingertarget.h"

#include "platform/rules/keyboardlayout.h"
#include "platform/rules/screenscale.h"

#include <QtGlobal>

namespace FingerTarget {

bool isPhoneSized(const QSize &screen)
{
    return screen.height() > screen.width() && screen.width() < tabletWidth && !ScreenScale::isDeviceSized(screen);
}

QSizeF keyboardZoom(qreal zoom, int width, bool phone)
{
    if (!phone)
        return QSizeF(zoom, zoom);
    const qreal across = qreal(width) / (KeyboardLayout::columns * KeyboardLayout::cellWidth);
    return QSizeF(across, qMax(zoom, qreal(minimumSide) / KeyboardLayout::cellHeight));
}

QSize entry(const QSize &natural, int width, bool phone)
{
    return phone ? QSize(qMax(natural.width(), width), qMax(natural.height(), minimumSide)) : natural;
}

}
