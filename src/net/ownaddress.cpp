#include "net/ownaddress.h"

#include <QNetworkInterface>
#include <algorithm>
#include <utility>

namespace {

AddressSource addressSource = nullptr;

// Home and office networks first: the other device is most likely on the same one.
int rank(const QHostAddress &address)
{
    if (address.isLinkLocal())
        return 2;
    for (const auto &[network, bits] :
         {std::pair{"10.0.0.0", 8}, std::pair{"172.16.0.0", 12}, std::pair{"192.168.0.0", 16}}) {
        if (address.isInSubnet(QHostAddress(QLatin1String(network)), bits))
            return 0;
    }
    return 1;
}

}

QStringList ownAddressLines(const QList<QHostAddress> &addresses)
{
    QList<QHostAddress> chosen;
    for (const QHostAddress &address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() && !address.isBroadcast()
            && address != QHostAddress(QHostAddress::AnyIPv4) && !chosen.contains(address))
            chosen.append(address);
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const QHostAddress &a, const QHostAddress &b) { return rank(a) < rank(b); });
    if (chosen.isEmpty() && addresses.contains(QHostAddress(QHostAddress::LocalHost)))
        return {QStringLiteral("Your address: 127.0.0.1"), QStringLiteral("(a game on this machine only)")};
    if (chosen.isEmpty())
        return {QStringLiteral("Your address: none (no network)")};
    QStringList lines;
    for (const QHostAddress &address : chosen.mid(0, maxShownAddresses))
        lines.append(address.toString());
    lines.first().prepend(chosen.size() == 1 ? QStringLiteral("Your address: ") : QStringLiteral("Your addresses: "));
    if (chosen.size() > maxShownAddresses)
        lines.last().append(QStringLiteral(" ..."));
    return lines;
}

QStringList ownAddressLines()
{
    return ownAddressLines(addressSource ? addressSource() : QNetworkInterface::allAddresses());
}

void setOwnAddressSource(AddressSource source) { addressSource = source; }
