#include "net/avahi.h"

#include "net/rules/protocol.h"
#include "platform/log.h"
#include "platform/rules/outsidetext.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

namespace {

// Avahi's D-Bus names and numbers, as its daemon publishes them.
const QString avahi = QStringLiteral("org.freedesktop.Avahi");
constexpr char serverApi[] = "org.freedesktop.Avahi.Server";
constexpr char server2Api[] = "org.freedesktop.Avahi.Server2"; // Avahi 0.8: a browser that starts when told
constexpr char browserApi[] = "org.freedesktop.Avahi.ServiceBrowser";
constexpr char groupApi[] = "org.freedesktop.Avahi.EntryGroup";
constexpr int anyInterface = -1, anyProtocol = -1, ipv4 = 0;
constexpr int groupCollision = 3, groupFailure = 4;
constexpr int callTimeoutMs = 5000;

QDBusConnection bus() { return QDBusConnection::systemBus(); }

// Why the daemon cannot be reached, in a few words for the list and the log.
QString whyNot(const QDBusMessage &error)
{
    const QString name = error.errorName();
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
        return QStringLiteral("Avahi daemon not running");
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        return QStringLiteral("Avahi older than 0.8");
    return error.errorMessage().isEmpty() ? name : error.errorMessage();
}

bool failed(const QDBusMessage &reply) { return reply.type() != QDBusMessage::ReplyMessage; }

}

LanGames::LanGames(QObject *parent) : QObject(parent) { qDBusRegisterMetaType<QList<QByteArray>>(); }

void LanGames::ask(const QString &path, const char *interface, const char *method, const QVariantList &args,
                   const int *round, const Answered &answered)
{
    QDBusMessage call = QDBusMessage::createMethodCall(avahi, path, QLatin1String(interface), QLatin1String(method));
    call.setArguments(args);
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [=, asked = *round] {
        watcher->deleteLater();
        if (*round == asked && answered)
            answered(watcher->reply());
    });
}

// ---- Finding games

void LanGames::search(bool on)
{
    if (on == m_searching)
        return;
    m_searching = on;
    ++m_searchRound;
    if (!on) {
        watchBrowser(false);
        m_games.clear();
        m_whyNoSearch.clear();
        return;
    }
    if (!bus().isConnected()) {
        noSearch(QStringLiteral("no system D-Bus"));
        return;
    }
    const QVariantList args{anyInterface, ipv4, QString::fromLatin1(Lan::serviceType), QString(), 0u};
    ask(QStringLiteral("/"), server2Api, "ServiceBrowserPrepare", args, &m_searchRound,
        [this](const QDBusMessage &reply) {
            if (failed(reply)) {
                noSearch(whyNot(reply) + QStringLiteral(" (") + reply.errorName() + QLatin1Char(')'));
                return;
            }
            m_browserPath = reply.arguments().value(0).value<QDBusObjectPath>().path();
            watchBrowser(true);
            ask(m_browserPath, browserApi, "Start", {}, &m_searchRound, {});
        });
}

void LanGames::watchBrowser(bool on)
{
    if (m_browserPath.isEmpty())
        return;
    const QString api = QLatin1String(browserApi);
    const auto wire = [&](const char *signal, const char *slot) {
        if (on)
            bus().connect(avahi, m_browserPath, api, QLatin1String(signal), this, slot);
        else
            bus().disconnect(avahi, m_browserPath, api, QLatin1String(signal), this, slot);
    };
    wire("ItemNew", SLOT(itemNew(int, int, QString, QString, QString, uint)));
    wire("ItemRemove", SLOT(itemRemove(int, int, QString, QString, QString, uint)));
    wire("Failure", SLOT(browserFailed(QString)));
    if (!on) {
        ask(m_browserPath, browserApi, "Free", {}, &m_searchRound, {});
        m_browserPath.clear();
    }
}

void LanGames::itemNew(int interface, int protocol, const QString &name, const QString &type, const QString &domain,
                       uint)
{
    const QVariantList args{interface, protocol, name, type, domain, ipv4, 0u};
    ask(QStringLiteral("/"), serverApi, "ResolveService", args, &m_searchRound, [this](const QDBusMessage &reply) {
        const QVariantList found = reply.arguments();
        if (failed(reply) || found.size() < 8)
            return; // gone again before it could be reached: nothing to list
        const Lan::FoundGame game{found[0].toInt(), found[1].toInt(), found[2].toString(), found[5].toString(),
                                  found[7].toString()};
        // Whatever a stranger announced: the line shows it escaped.
        logText("trotix: Found a game on the network: %s at %s\n", printableForLog(game.name).constData(),
                printableForLog(game.address).constData());
        m_games = Lan::withGame(m_games, game);
        emit changed();
    });
}

void LanGames::itemRemove(int interface, int protocol, const QString &name, const QString &, const QString &, uint)
{
    m_games = Lan::withoutGame(m_games, interface, protocol, name);
    emit changed();
}

void LanGames::browserFailed(const QString &error) { noSearch(error); }

void LanGames::noSearch(const QString &why)
{
    static bool logged = false; // once a run: the screen may be opened many times
    if (!logged)
        logText("trotix: Cannot search the network for games: %s\n", qPrintable(why));
    logged = true;
    m_whyNoSearch = why.section(QStringLiteral(" ("), 0, 0);
    emit changed();
}

// ---- Announcing this game

void LanGames::announce(const QString &name)
{
    if (name == m_wanted)
        return;
    m_wanted = m_announced = name;
    ++m_announceRound;
    if (!m_groupPath.isEmpty()) {
        bus().disconnect(avahi, m_groupPath, QLatin1String(groupApi), QStringLiteral("StateChanged"), this,
                         SLOT(groupStateChanged(int, QString)));
        ask(m_groupPath, groupApi, "Free", {}, &m_announceRound, {});
        m_groupPath.clear();
    }
    if (name.isEmpty())
        return;
    if (!bus().isConnected()) {
        noAnnouncement(QStringLiteral("no system D-Bus"));
        return;
    }
    ask(QStringLiteral("/"), serverApi, "EntryGroupNew", {}, &m_announceRound, [this](const QDBusMessage &reply) {
        if (failed(reply)) {
            noAnnouncement(whyNot(reply));
            return;
        }
        m_groupPath = reply.arguments().value(0).value<QDBusObjectPath>().path();
        bus().connect(avahi, m_groupPath, QLatin1String(groupApi), QStringLiteral("StateChanged"), this,
                      SLOT(groupStateChanged(int, QString)));
        addService();
    });
}

void LanGames::addService()
{
    const QVariantList args{anyInterface,
                            anyProtocol,
                            0u,
                            m_announced,
                            QString::fromLatin1(Lan::serviceType),
                            QString(),
                            QString(),
                            QVariant::fromValue(quint16(Protocol::port)),
                            QVariant::fromValue(QList<QByteArray>())};
    ask(m_groupPath, groupApi, "AddService", args, &m_announceRound, [this](const QDBusMessage &reply) {
        if (reply.errorName() == QLatin1String("org.freedesktop.Avahi.CollisionError"))
            rename();
        else if (failed(reply))
            noAnnouncement(whyNot(reply));
        else
            ask(m_groupPath, groupApi, "Commit", {}, &m_announceRound, {});
    });
}

void LanGames::groupStateChanged(int state, const QString &error)
{
    if (state == groupCollision)
        rename();
    else if (state == groupFailure)
        noAnnouncement(error);
}

// Another service has the name: Avahi's usual next one (" #2", " #3" ...), announced afresh.
void LanGames::rename()
{
    ask(QStringLiteral("/"), serverApi, "GetAlternativeServiceName", {m_announced}, &m_announceRound,
        [this](const QDBusMessage &reply) {
            if (failed(reply))
                return noAnnouncement(whyNot(reply));
            m_announced = reply.arguments().value(0).toString();
            logText("trotix: The name is taken on the network; this game is announced as %s\n",
                    printableForLog(m_announced).constData());
            ask(m_groupPath, groupApi, "Reset", {}, &m_announceRound, [this](const QDBusMessage &) { addService(); });
        });
}

void LanGames::noAnnouncement(const QString &why)
{
    static bool logged = false;
    if (!logged)
        logText("trotix: Cannot announce this game on the network: %s\n", qPrintable(why));
    logged = true;
}
