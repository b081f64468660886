#include "net/rules/lanlist.h"

#include <algorithm>

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
    QStringList labels;
    for (const FoundGame &game : games) {
        const auto named = std::count_if(games.begin(), games.end(), [&](const FoundGame &g) { return g.name == game.name; });
        labels.append(named > 1 ? game.name + QStringLiteral(" (") + game.host + QLatin1Char(')') : game.name);
    }
    return labels;
}

QString emptyListLine(const QString &whyNoSearch)
{
    return whyNoSearch.isEmpty() ? QStringLiteral("Looking for games nearby...")
                                 : QStringLiteral("No search: ") + whyNoSearch;
}

}
