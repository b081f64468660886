#pragma once
// A game under test: its own platform folder (pictures and attribute file) in a temporary
// QPEDIR, a fresh game state, and a main widget whose timer is stopped, so that the test drives
// every tick itself.
#include "app/trotix.h"
#include "game/gamestate.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// The default horse as the game writes it.
extern const QByteArray defaultHorseFile;
// The shipped template: a horse that has no name yet.
extern const QByteArray templateHorseFile;

// What the game plays, in order, once listenToTheGame() is called (with sound on): a sound by its
// file ("looped" when looped), a stop by its cue, "stop all".
extern QStringList heard;
void listenToTheGame();

class GameHome
{
public:
    enum Pictures { WithPictures, WithoutPictures };
    explicit GameHome(Pictures pictures = WithPictures);
    QString root() const { return m_dir.path(); }
    QString attrPath() const;
    void writeAttr(const QByteArray &content) const;
    QByteArray readAttr() const;
    // A whole file, empty when it cannot be read; a file written whole, its folder made.
    static QByteArray readFile(const QString &path);
    static void writeFile(const QString &path, const QByteArray &content);

private:
    QTemporaryDir m_dir;
};

class GameFixture
{
public:
    // attr: the attribute file's content before start; a null array means no file at all.
    // beforeStart runs on the prepared home before the main widget is built (to plant pictures).
    explicit GameFixture(const QByteArray &attr = defaultHorseFile, GameHome::Pictures pictures = GameHome::WithPictures,
                         const std::function<void(const GameHome &)> &beforeStart = {});
    ~GameFixture();

    Trotix *widget() const { return m_widget.get(); }
    GameHome &home() { return m_home; }

    void tick(int count = 1);
    // Calls a slot of the main widget by name, as a menu item, button or socket would.
    void call(const char *slot);
    void setupBackgd(int kind);
    void putHorse(int p1, int p2);
    // What the player sees: the 240 x 320 screen buffer.
    QImage screen() const;

private:
    GameHome m_home;
    std::unique_ptr<Trotix> m_widget;
};

// The main widget of the game made last, and its parts by object name (nameEdit, okButton,
// menuBar, lifeTimer ...).
Trotix *liveGame();
template <typename T> T *part(const char *name) { return liveGame()->findChild<T *>(QLatin1String(name)); }

// The log lines of a captured log, each with its line feed.
QStringList logLines(const QByteArray &log);
