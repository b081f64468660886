#include "net/rules/partnerline.h"

#include "net/rules/protocol.h"

namespace Partner {

QString raceLine(int netState, bool resultKnown, int hostQuietTicks, const QString &partnerName)
{
    // A name of blanks alone still leaves the line saying whom it means.
    const QString trimmed = partnerName.trimmed();
    const QString name = trimmed.isEmpty() ? QStringLiteral("Your partner") : trimmed;
    if (Protocol::raceBroken(netState, resultKnown))
        return name + QStringLiteral(" left \u2014 not counted");
    if (hostQuietTicks >= silentTicksShown && netState == Protocol::NetReady && !resultKnown)
        return QStringLiteral("Waiting for ") + name + QStringLiteral(" \u2026");
    return {};
}

}
