#pragma once
// The addresses the other device types to reach this one, for the server's waiting screen.
#include <QHostAddress>
#include <QList>
#include <QStringList>

// At most this many addresses are listed; they must fit between the texts and the button.
constexpr int maxShownAddresses = 3;

// The lines the waiting screen shows for these addresses of the device: its IPv4 addresses
// other than loopback, each once, LAN addresses first and link-local ones last. A device with
// the loopback alone is reached at 127.0.0.1 by a game on the same machine, and says so.
QStringList ownAddressLines(const QList<QHostAddress> &addresses);
// The same for the addresses of this device's interfaces that are up.
QStringList ownAddressLines();

// Where ownAddressLines() takes the addresses from; null (the default) asks the interfaces.
// The screenshot tool shows a fixed address, the same on every machine.
using AddressSource = QList<QHostAddress> (*)();
void setOwnAddressSource(AddressSource source);
