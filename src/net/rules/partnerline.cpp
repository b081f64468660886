#include "net/rules/partnerline.h"

#include "net/rules/protocol.h"

namespace Partner {

Line raceLine(int netState, bool resultKnown, int hostQuietTicks)
{
    if (Protocol::raceBroken(netState, resultKnown))
        return {true, {}, QStringLiteral(" left \u2014 not counted")};
    // The client counts only while an answer is owed (Protocol::clientWaits), so the count says it all.
    if (hostQuietTicks >= silentTicksShown)
        return {true, QStringLiteral("Waiting for "), QStringLiteral(" \u2026")};
    return {};
}

}
