#pragma once
// The system's Avahi daemon over D-Bus: this game announced while its server waits, and the
// games that wait nearby found for the client. Without a daemon, or without a system bus, the
// game plays on as before: the search says why it cannot be made, and the log says it once.
#include "net/rules/lanlist.h"

#include <QObject>
#include <QVariantList>
#include <functional>

class QDBusMessage;

class LanGames : public QObject
{
    Q_OBJECT
public:
    explicit LanGames(QObject *parent);

    // Announces this game under the name, or withdraws the announcement when it is empty.
    void announce(const QString &name);
    // Starts or stops looking for games; stopping forgets what was found.
    void search(bool on);
    const QList<Lan::FoundGame> &games() const { return m_games; }
    // Lists these games as if found: the screenshot tool shows the same list on every machine.
    void pretendFound(const QList<Lan::FoundGame> &games)
    {
        m_games = games;
        emit changed();
    }
    // Why no search is possible; empty while one is (or may still be).
    const QString &whyNoSearch() const { return m_whyNoSearch; }

signals:
    void changed(); // the games found, or why none can be

private slots:
    void itemNew(int interface, int protocol, const QString &name, const QString &type, const QString &domain,
                 uint flags);
    void itemRemove(int interface, int protocol, const QString &name, const QString &type, const QString &domain,
                    uint flags);
    void browserFailed(const QString &error);
    void groupStateChanged(int state, const QString &error);

private:
    using Answered = std::function<void(const QDBusMessage &)>;
    // One asynchronous call to the daemon; `answered` runs with its reply or error, unless the
    // search or announcement it belongs to has been stopped or started anew meanwhile.
    void ask(const QString &path, const char *interface, const char *method, const QVariantList &args, const int *round,
             const Answered &answered);
    void watchBrowser(bool on);
    void addService();
    void rename();
    void noSearch(const QString &why);
    void noAnnouncement(const QString &why);

    QString m_wanted;    // the name asked for, empty when not announcing
    QString m_announced; // the name given to Avahi: the wanted one, or what a collision made of it
    QString m_groupPath, m_browserPath;
    bool m_searching = false;
    int m_searchRound = 0, m_announceRound = 0;
    QList<Lan::FoundGame> m_games;
    QString m_whyNoSearch;
};
