#include "net/rules/lanlist.h"

#include "platform/rules/outsidetext.h"

namespace Lan {

QString announcedName(const QByteArray &horseName)
{
    const QString name = QString::fromLatin1(horseName).trimmed();
    return name.isEmpty() ? QStringLiteral("Trotix") : name;
}

namespace {

bool same(const FoundGame &a, int interface, int protocol, const QString &name)
{
    return a.interface == interface && a.protocol == protocol && a.name == name;
}

}

QList<FoundGame> withGame(QList<FoundGame> games, const FoundGame &game)
{
    games = withoutGame(games, game.interface, game.protocol, game.name);
    games.prepend(game);
    return games;
}

QList<FoundGame> withoutGame(QList<FoundGame> games, int interface, int protocol, const QString &name)
{
    games.removeIf([&](const FoundGame &game) { return same(game, interface, protocol, name); });
    return games;
}

QStringList gameLabels(const QList<FoundGame> &games)
{
    QStringList names;
    for (const FoundGame &game : games)
        names.append(withoutControls(game.name));
    QStringList labels;
    for (qsizetype i = 0; i < games.size(); ++i) {
        labels.append(names.count(names[i]) > 1
                          ? names[i] + QStringLiteral(" (") + withoutControls(games[i].host) + QLatin1Char(')')
                          : names[i]);
    }
    return labels;
}

QString addressToJoin(const QString &typed, const QList<FoundGame> &games)
{
    if (!typed.isEmpty())
        return typed;
    // With several games listed, which one is the player's to say.
    return games.size() == 1 ? games.first().address : QString();
}

QString emptyListLine(const QString &whyNoSearch)
{
    return whyNoSearch.isEmpty() ? QStringLiteral("Looking for games nearby...")
                                 : QStringLiteral("No search: ") + whyNoSearch;
}

}
