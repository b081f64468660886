#pragma once
// Finding a waiting game on the local network instead of typing its address: what a server
// announces through DNS-SD, and how the client's question screen lists what it found. Pure; the
// talk with the system's Avahi daemon is in net/avahi.*.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Lan {

// The DNS-SD service a waiting server announces, on the race's port.
inline constexpr char serviceType[] = "_trotix._tcp";

// The name a server announces: its horse's name without the blanks that pad it to 15
// characters; a horse whose name is all blanks is announced as "Trotix".
QString announcedName(const QByteArray &horseName);

// A waiting game as DNS-SD found and resolved it.
struct FoundGame
{
    int interface = -1; // where it was seen, with the protocol: a game seen twice is two entries
    int protocol = -1;
    QString name; // the server's horse, as announced
    QString host; // the host's DNS-SD name, such as "stable.local"
    QString address;
};

// The games found, newest first: a game seen anew goes to the top; one seen again where it was
// already listed moves there too.
QList<FoundGame> withGame(QList<FoundGame> games, const FoundGame &game);
QList<FoundGame> withoutGame(QList<FoundGame> games, int interface, int protocol, const QString &name);

// The list's lines, in the games' order: the horse's name, and its host after it where another
// game of the list shows the same name; both as sent, without the control characters that could
// hide or turn them (withoutControls).
QStringList gameLabels(const QList<FoundGame> &games);

// Where CONFIRM connects: the address typed, else the one game found when exactly one is listed;
// empty when the player has to type an address or pick a game first.
QString addressToJoin(const QString &typed, const QList<FoundGame> &games);

// The line the question screen shows when CONFIRM finds nothing to connect to.
inline constexpr char noAddressLine[] = "Type an address or pick a game.";

// The one line the list shows when no game is listed: still searching, or why no search is possible.
QString emptyListLine(const QString &whyNoSearch);

}
