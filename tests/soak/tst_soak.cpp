// Hostile peers against a real game in its server mode on loopback (port 1234): the
// game is trotix-testgame, the game as main.cpp starts it with its real one-second clock, whose
// player has picked Race > Server(Red) and pressed CONFIRM. The peers flood it without a line feed,
// send random bytes, send slowly, never read, hold a hundred silent connections at once against
// its 64 open files. Afterwards the game still answers a proper hand-shake, its memory stayed
// bounded, and it ends cleanly (in the sanitizer build: without a leak or any other finding).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitizerBuild = true; // AddressSanitizer keeps freed memory a while: no RSS bound
#else
constexpr bool sanitizerBuild = false;
#endif

// The game's limit on open files: a small device's. A crowd of connections must still leave the
// game the file its tick saves to.
constexpr rlim_t gameOpenFiles = 64;

qint64 nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// A raw TCP peer on loopback, so that a test can do what Qt's sockets would tidy away: never read,
// reset instead of closing, send one byte at a time.
class Peer
{
public:
    // receiveBuffer > 0 shrinks the peer's receive buffer (set before connecting, so it holds).
    // A connection the game does not take within timeoutMs counts as refused.
    explicit Peer(int receiveBuffer = 0, int timeoutMs = 3000)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (receiveBuffer > 0)
            setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        const int one = 1;
        setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(1234);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int error = 0;
        socklen_t length = sizeof error;
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            && (errno != EINPROGRESS || !waitFor(POLLOUT, nowMs() + timeoutMs)
                || getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Peer() { close(); }
    Peer(const Peer &) = delete;
    Peer &operator=(const Peer &) = delete;

    bool connected() const { return m_fd >= 0; }
    // Whether the game closed or reset the connection, as far as seen.
    bool gone() const { return m_gone; }

    // Sends what it can within timeoutMs; returns the bytes sent. Stops early if the game closed.
    qint64 send(QByteArrayView bytes, int timeoutMs = 5000)
    {
        qint64 sent = 0;
        const qint64 deadline = nowMs() + timeoutMs;
        while (m_fd >= 0 && sent < bytes.size()) {
            const ssize_t n = ::send(m_fd, bytes.data() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                m_gone = true;
                break;
            }
            if (!waitFor(POLLOUT, deadline))
                break;
        }
        return sent;
    }

    // Reads what comes within timeoutMs, until `lines` line feeds have come (0: until the end).
    QByteArray receive(int timeoutMs, int lines = 0)
    {
        QByteArray got;
        const qint64 deadline = nowMs() + timeoutMs;
        while (m_fd >= 0 && (lines == 0 || got.count('\n') < lines)) {
            char buffer[65536];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                got.append(buffer, n);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                m_gone = true;
                break;
            }
            if (!waitFor(POLLIN, deadline))
                break;
        }
        return got;
    }

    // Whether the game closed the connection within timeoutMs (whatever it sent before is dropped).
    bool closedByGame(int timeoutMs)
    {
        receive(timeoutMs);
        return m_gone;
    }

    // Ends the connection with a reset instead of the usual close.
    void reset()
    {
        const linger hard{1, 0};
        if (m_fd >= 0)
            setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        close();
    }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    bool waitFor(short events, qint64 deadline)
    {
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            return false;
        pollfd p{m_fd, events, 0};
        return ::poll(&p, 1, int(left)) > 0;
    }

    int m_fd = -1;
    bool m_gone = false;
};

qint64 statusKb(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

}

class TestSoak : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QProcess m_game;
    qint64 m_pid = 0;
    qint64 m_startRssKb = 0;
    qint64 m_connections = 0;
    qint64 m_bytesSent = 0;
    int m_announcements = 0;
    qint64 m_logRead = 0;
    QByteArray m_logTail;
    qint64 m_accepted = 0;
    int m_startFiles = 0;

    QByteArray gameLog() const
    {
        QFile log(m_home.filePath(QStringLiteral("game.log")));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }
    QByteArray gameErrors() const
    {
        QFile log(m_home.filePath(QStringLiteral("game.err")));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

    // Connections the game has accepted so far, from its log.
    qint64 accepted()
    {
        QFile log(m_home.filePath(QStringLiteral("game.log")));
        if (log.open(QIODevice::ReadOnly) && log.seek(m_logRead)) {
            const QByteArray more = log.readAll();
            m_logRead += more.size();
            m_logTail += more;
            const qsizetype end = m_logTail.lastIndexOf('\n') + 1;
            m_accepted += QByteArrayView(m_logTail).first(end).count("trotix: Ding! Server Connected\n");
            m_logTail.remove(0, end);
        }
        return m_accepted;
    }

    // A new peer once the game has taken all but the last one: the game listens with a backlog of
    // one, and the kernel drops a connection beyond that, to be tried again a second later.
    std::unique_ptr<Peer> connectPeer(int receiveBuffer = 0, int waitMs = 10000)
    {
        const qint64 deadline = nowMs() + waitMs;
        while (accepted() < m_connections - 1 && nowMs() < deadline)
            QTest::qWait(1);
        auto peer = std::make_unique<Peer>(receiveBuffer);
        if (peer->connected())
            ++m_connections;
        return peer;
    }

    // What the game's log says about its player, and how it ends: for failure messages.
    QByteArray logSummary() const
    {
        QByteArray summary;
        const QList<QByteArray> lines = gameLog().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("testgame:") || line.contains("MenuSelect") || line.contains("bind"))
                summary += line + '\n';
        }
        for (qsizetype i = qMax<qsizetype>(0, lines.size() - 12); i < lines.size(); ++i)
            summary += lines[i] + '\n';
        return summary;
    }

    std::vector<std::unique_ptr<Peer>> connectPeers(int count)
    {
        std::vector<std::unique_ptr<Peer>> peers;
        for (int i = 0; i < count; ++i) {
            peers.push_back(connectPeer());
            if (!peers.back()->connected())
                break;
        }
        return peers;
    }

    int gameFiles() const
    {
        return int(QDir(QStringLiteral("/proc/%1/fd").arg(m_pid)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
    }

    // Whether the game let go of every connection: its open files are back to what they were.
    bool gameLetAllGo(int timeoutMs)
    {
        return QTest::qWaitFor([&] { return gameFiles() <= m_startFiles; }, timeoutMs);
    }

    // Waits until the game's player says again that it takes challengers.
    bool waitingForChallengers()
    {
        const int wanted = ++m_announcements;
        return QTest::qWaitFor(
            [&] { return gameLog().count("testgame: waiting for challengers\n") >= wanted; }, 15000);
    }

    // The game answers a request with one whole line: it is alive and reading.
    void gameStillAnswers()
    {
        QCOMPARE(m_game.state(), QProcess::Running);
        const auto peer = connectPeer();
        QVERIFY(peer->connected());
        QCOMPARE(peer->send("ASKPOS\n"), 7);
        const QByteArray reply = peer->receive(5000, 1);
        QVERIFY2(reply == "BADREQ\n" || reply == "NOTAVA\n", reply.constData());
    }

    qint64 rssKb() const { return statusKb(m_pid, "VmRSS:"); }

private slots:
    void initTestCase()
    {
        // This side holds more connections than the game may: up to its own hard limit.
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
        QVERIFY2(files.rlim_cur > gameOpenFiles + 300, "the test needs more open files than the game");

        QDir home(m_home.path());
        QVERIFY(home.mkpath(QStringLiteral("etc")));
        QVERIFY(QFile::link(qEnvironmentVariable("TROTIX_TEST_PICS"), home.filePath(QStringLiteral("pics"))));
        QFile attr(home.filePath(QStringLiteral("etc/trotix_attr.conf")));
        QVERIFY(attr.open(QIODevice::WriteOnly));
        attr.write("SOAK|HORSE|||||\n3.000000\n200.000000\n60.000000\n150.000000\n120.000000\n");
        attr.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QPEDIR"), m_home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_game.setProcessEnvironment(env);
        m_game.setStandardOutputFile(m_home.filePath(QStringLiteral("game.log")));
        m_game.setStandardErrorFile(m_home.filePath(QStringLiteral("game.err")));
        m_game.setChildProcessModifier([] {
            const rlimit gameFiles{gameOpenFiles, gameOpenFiles};
            setrlimit(RLIMIT_NOFILE, &gameFiles);
        });
        m_game.start(QStringLiteral(TROTIX_TESTGAME), {QStringLiteral("server")});
        QVERIFY(m_game.waitForStarted());
        m_pid = m_game.processId();
        QVERIFY2(waitingForChallengers(), logSummary().constData());
        m_startRssKb = rssKb();
        m_startFiles = gameFiles();
        qInfo("soak: the game started with %d open files of its %d", m_startFiles, int(gameOpenFiles));
        gameStillAnswers();
    }

    void floodsWithoutLineFeedAreDropped()
    {
        // Sixteen peers at once, a megabyte each and never a line feed.
        const auto peers = connectPeers(16);
        QVERIFY(peers.back()->connected());
        const QByteArray chunk(64 * 1024, 'A');
        for (int round = 0; round < 16; ++round) {
            for (auto &peer : peers)
                m_bytesSent += peer->send(chunk, 200);
        }
        for (auto &peer : peers)
            QVERIFY(peer->closedByGame(10000));
        gameStillAnswers();
    }

    void randomBytesNeverStopTheGame()
    {
        QRandomGenerator random(20240611);
        for (int i = 0; i < 300; ++i) {
            const auto peer = connectPeer();
            QVERIFY(peer->connected());
            QByteArray bytes(random.bounded(1, 12000), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(random.bounded(256));
            m_bytesSent += peer->send(bytes, 1000);
            peer->receive(random.bounded(2) == 0 ? 0 : 20); // sometimes reads the answers, sometimes not
            if (random.bounded(2) == 0)
                peer->reset();
        }
        gameStillAnswers();
    }

    void slowSendersAreAnsweredLineByLine()
    {
        // Six peers at once (the game keeps eight besides a race's own), each sending three
        // requests a byte at a time.
        const auto peers = connectPeers(6);
        QVERIFY(peers.back()->connected());
        const QByteArray requests = "ASKPOS\nASKPOS\nASKPOS\n";
        for (const char byte : requests) {
            for (auto &peer : peers)
                m_bytesSent += peer->send(QByteArrayView(&byte, 1), 1000);
            QTest::qWait(15);
        }
        for (auto &peer : peers) {
            const QByteArray replies = peer->receive(5000, 3);
            QCOMPARE(replies.count('\n'), 3);
        }
        gameStillAnswers();
    }

    void aPeerThatNeverReadsIsDropped()
    {
        // Each empty line costs the peer one byte and the game a seven-byte "BADREQ\n" to send back.
        // This peer reads none of it: once the answers pile up the game lets it go, rather than
        // keep ever more answers for it (it grew by 2 MB a second while it did).
        const auto peer = connectPeer(4096);
        QVERIFY(peer->connected());
        const qint64 before = rssKb();
        const QByteArray lines(256 * 1024, '\n');
        qint64 sent = 0;
        const qint64 end = nowMs() + 20000;
        while (nowMs() < end && !peer->gone())
            sent += peer->send(lines, 200);
        m_bytesSent += sent;
        const qint64 grown = rssKb() - before;
        qInfo("soak: a peer that never reads sent %lld bytes before it was dropped; the game grew by %lld kB", sent,
              grown);
        QVERIFY(peer->closedByGame(10000));
        QVERIFY(gameLog().contains("trotix: Peer does not read its answers, connection dropped.\n"));
        if (!sanitizerBuild)
            QVERIFY2(grown < 4 * 1024, "the game kept the answers nobody reads");
        gameStillAnswers();
    }

    void hundredSilentConnectionsLeaveTheSaveItsFile()
    {
        // The game keeps a few of them; the tick still saves (the log line of a failed save is
        // "Cannot write attribute file ... (Too many open files)").
        const QByteArray before = gameLog();
        const qsizetype savesBefore = before.count("trotix: Write Attribute File\n");
        std::vector<std::unique_ptr<Peer>> peers = connectPeers(100);
        QCOMPARE(int(peers.size()), 100);
        QVERIFY(peers.back()->connected());
        const int files = gameFiles();
        QVERIFY(QTest::qWaitFor([&] { return gameLog().count("trotix: Write Attribute File\n") > savesBefore + 1; },
                                25000));
        qInfo("soak: 100 silent connections, the game holds %d open files of its %d", files, int(gameOpenFiles));
        QVERIFY(files < int(gameOpenFiles) - 16);
        QVERIFY(!gameLog().contains("Cannot write attribute file"));
        peers.clear();
        QVERIFY(gameLetAllGo(15000));
        gameStillAnswers();
    }

    void afterwardsTheGameAnswersAProperHandshake()
    {
        // Hostile peers that left sent the game back to idle; its player picks the server again.
        m_game.write("server\n");
        QVERIFY2(waitingForChallengers(), logSummary().constData());
        const auto challenger = connectPeer();
        Peer &peer = *challenger;
        QVERIFY(peer.connected());
        QCOMPARE(peer.send("TROTIX\n"), 7);
        QCOMPARE(peer.receive(5000, 1), QByteArray("TROTIX\n"));
        QCOMPARE(peer.send("BLUE BOLT      +150\n"), 20);
        QCOMPARE(peer.receive(5000, 1), QByteArray("SOAK HORSE     \n"));
        QCOMPARE(peer.send("OKOKOK\n"), 7);
        QVERIFY(QTest::qWaitFor([&] { return gameLog().contains("trotix: Action>>Display Server's RaceCourse()"); },
                                5000));
        QCOMPARE(peer.send("ASKPOS\n"), 7);
        QCOMPARE(peer.receive(5000, 1), QByteArray("0+0+0\n"));
        QVERIFY(gameLog().contains("trotix: Challenger's weight: 150\n"));
    }

    void cleanupTestCase()
    {
        const qint64 peakKb = statusKb(m_pid, "VmHWM:");
        qInfo("soak: %lld connections, %lld bytes sent; game RSS at start %lld kB, peak %lld kB", m_connections,
              m_bytesSent, m_startRssKb, peakKb);
        if (!sanitizerBuild)
            QVERIFY2(peakKb - m_startRssKb < 64 * 1024, "the game's memory grew by more than 64 MB");
        m_game.write("quit\n");
        m_game.closeWriteChannel();
        QVERIFY(m_game.waitForFinished(60000));
        const QByteArray errors = gameErrors();
        QVERIFY2(!errors.contains("Sanitizer") && !errors.contains("runtime error"), errors.right(6000).constData());
        QCOMPARE(m_game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_game.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
