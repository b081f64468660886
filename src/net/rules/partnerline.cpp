#include "net/rules/partnerline.h"

#include "net/rules/protocol.h"

namespace Partner {

QString raceLine(int netState, bool resultKnown, int hostQuietTicks, const QString &partnerName)
{
    const QString name = partnerName.trimmed();
    if (Protocol::raceBroken(netState, resultKnown))
        return name + QStringLiteral(" left \u2014 not counted");
    // The client counts only while an answer is owed (Protocol::clientWaits), so the count says it all.
    if (hostQuietTicks >= silentTicksShown)
        return QStringLiteral("Waiting for ") + name + QStringLiteral(" \u2026");
    return {};
}

}
