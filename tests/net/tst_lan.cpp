// DNS-SD through a real Avahi daemon, the one lanns.sh starts for this test alone: another
// machine's game waits under our horse's name, so ours is announced under Avahi's next name;
// both are found, newest first, at their addresses, and ours is gone once it stops waiting.
#include "net/avahi.h"
#include "platform/log.h"

#include <QProcess>
#include <QTest>

class TestLan : public QObject
{
    Q_OBJECT

private slots:
    void announcedFoundAndWithdrawn()
    {
        QProcess otherHost, otherGame; // "barn.local" at 192.0.2.2, and its game
        otherHost.start(QStringLiteral("avahi-publish"), {"-a", "-R", "barn.local", "192.0.2.2"});
        otherGame.start(QStringLiteral("avahi-publish"), {"-H", "barn.local", "-s", "RED RUNNER", "_trotix._tcp", "1234"});
        LanGames finder(nullptr), ours(nullptr);
        finder.search(true);
        QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, 10000);
        ours.announce(QStringLiteral("RED RUNNER"));
        QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 2, 10000);
        QCOMPARE(Lan::gameLabels(finder.games()), QStringList({"RED RUNNER #2", "RED RUNNER"}));
        QCOMPARE(finder.games().first().address, QStringLiteral("192.0.2.1"));
        QCOMPARE(finder.games().last().address, QStringLiteral("192.0.2.2"));
        ours.announce(QString());
        QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, 10000);
        QCOMPARE(finder.games().first().host, QStringLiteral("barn.local"));
        QVERIFY(finder.whyNoSearch().isEmpty());
        for (QProcess *publisher : {&otherGame, &otherHost})
            publisher->kill(), publisher->waitForFinished();
    }

    // A name with a terminal's controls and a right-to-left override: logged escaped (no byte
    // below 0x20 but the line feed); how it is listed is tst_protocol's.
    void aHostileNameIsLoggedEscapedAndListedAsSent()
    {
        QProcess hostile;
        hostile.start(QStringLiteral("avahi-publish"),
                      {"-s", QStringLiteral("\x01\x1b[31mRED\aBELL \u202eesroh live\u202d OK"), "_trotix._tcp", "1234"});
        LogCapture log;
        LanGames finder(nullptr);
        finder.search(true);
        const QByteArray line("trotix: Found a game on the network: ??[31mRED?BELL ?esroh live? OK at 192.0.2.1\n");
        QTRY_VERIFY_WITH_TIMEOUT(log.text().startsWith(line) || log.text().contains("\n" + line), 10000);
        hostile.kill(), hostile.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestLan)
#include "tst_lan.moc"
