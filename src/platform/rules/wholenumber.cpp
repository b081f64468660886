#include "platform/rules/wholenumber.h"

int parseWholeNumber(const QByteArray &text, int low, int high)
{
    const QByteArray trimmed = text.trimmed();
    for (char c : trimmed) {
        if (c < '0' || c > '9')
            return 0;
    }
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    return ok && value >= low && value <= high ? value : 0;
}
