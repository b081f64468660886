#include "gamefixture.h"

#include "app/gamesound.h"
#include "app/soundoutput.h"
#include "platform/rules/random.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

const QByteArray defaultHorseFile("MY|HORSE|||||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");
const QByteArray templateHorseFile("%%%%%%%%%%%%%%%%\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n");

GameHome::GameHome(Pictures pictures)
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("etc"));
    if (pictures == WithPictures) {
        const QString pics = qEnvironmentVariable("TROTIX_TEST_PICS", QStringLiteral(TROTIX_BUILD_PICS_DIR));
        QFile::link(pics, root.filePath(QStringLiteral("pics")));
    } else {
        root.mkpath(QStringLiteral("pics"));
    }
    qputenv("QPEDIR", m_dir.path().toLocal8Bit());
}

QString GameHome::attrPath() const { return m_dir.path() + QStringLiteral("/etc/trotix_attr.conf"); }

void GameHome::writeAttr(const QByteArray &content) const { writeFile(attrPath(), content); }

void GameHome::writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray GameHome::readAttr() const { return readFile(attrPath()); }

QByteArray GameHome::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList heard;

namespace {

Trotix *live = nullptr;

struct Ears : SoundOutput
{
    bool present() override { return true; }
    void play(int, const QString &path, bool loop) override { heard << QFileInfo(path).fileName() + (loop ? " looped" : ""); }
    void stop(int cue) override { heard << QStringLiteral("stop %1").arg(cue); }
    void stopAll() override { heard << QStringLiteral("stop all"); }
};

// Puts the game state back to a fresh process's (the client socket stays).
void resetGameState()
{
    QTcpSocket *socket = gs.net.clientSocket;
    gs = GameState();
    gs.net.clientSocket = socket;
    clearScriptedDraws();
}

// No zoom or full screen remembered, and sound off; the settings live in a folder of the test process's own.
void forgetWindowSettings()
{
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("trotix"), QStringLiteral("trotix"));
    settings.clear();
    // Silent, so that a machine's sound server or its absence changes no test's log.
    settings.setValue(QStringLiteral("window/sound"), false);
}

}

void listenToTheGame()
{
    useTestSoundOutput([](void (*)(const QString &)) -> SoundOutput * { return new Ears; });
    heard.clear();
}

GameFixture::GameFixture(const QByteArray &attr, GameHome::Pictures pictures, const std::function<void(const GameHome &)> &beforeStart)
    : m_home(pictures)
{
    resetGameState();
    forgetWindowSettings();
    if (!attr.isNull())
        m_home.writeAttr(attr);
    if (beforeStart)
        beforeStart(m_home);
    m_widget = std::make_unique<Trotix>(nullptr, nullptr, Qt::WindowFlags());
    live = m_widget.get();
    part<QTimer>("lifeTimer")->stop();
}

GameFixture::~GameFixture()
{
    m_widget.reset();
    live = nullptr;
    resetGameState();
}

void GameFixture::tick(int count)
{
    for (int i = 0; i < count; ++i)
        QMetaObject::invokeMethod(m_widget.get(), "liveSlot", Qt::DirectConnection);
}

void GameFixture::call(const char *slot)
{
    if (!QMetaObject::invokeMethod(m_widget.get(), slot, Qt::DirectConnection))
        qFatal("no slot %s", slot);
}

void GameFixture::setupBackgd(int kind)
{
    QMetaObject::invokeMethod(m_widget.get(), "setupBackgd", Qt::DirectConnection, Q_ARG(int, kind));
}

void GameFixture::putHorse(int p1, int p2)
{
    QMetaObject::invokeMethod(m_widget.get(), "putHorse", Qt::DirectConnection, Q_ARG(int, p1), Q_ARG(int, p2));
}

QImage GameFixture::screen() const { return m_widget->screenBuffer().toImage().copy(0, 0, 240, 320).convertToFormat(QImage::Format_RGB32); }

Trotix *liveGame() { return live; }

QStringList logLines(const QByteArray &log)
{
    QStringList lines = QString::fromLatin1(log).split(QLatin1Char('\n'));
    const QString unfinished = lines.takeLast(); // after the last line feed
    for (QString &line : lines)
        line += QLatin1Char('\n');
    return unfinished.isEmpty() ? lines : lines << unfinished;
}
