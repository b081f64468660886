#pragma once
// The main widget: the only class that draws. The game's data is the game state `gs`, which every
// slot works on; the widget keeps what it shows the game with (its child widgets, the screen
// buffer, the backgrounds and pictures drawn into it, the tick's timer) and how it shows it
// (zoom, place, pause, notice, help and sound). The slots are split over source files by subsystem:
//   app/trotix.cpp           construction and menus
//   app/screenslots.cpp      the screen table, showScreen, setupBackgd, clearScreen, Escape
//   app/screen.cpp           paintEvent, showBuffer
//   app/window.cpp           help, pause, zoom (app/gamesound.cpp: the sound the slots ask for)
//   game/tickslots.cpp       liveSlot and the tick's dispatch by the screen table, goodBye, isdummy
//   game/namingslots.cpp     the session's start, naming, handleOK, aboutTrotix, about
//   care/selectionslots.cpp  change2idle ... change2status, hop, swipe
//   care/activityslots.cpp   idle, eat, sleep, run, jump, setBlock
//   care/statusslots.cpp     status
//   race/raceslots.cpp       change2server, change2client, change2racedemo, the position slots
//   race/courseslots.cpp     setupObjects, putHorse
//   net/serverslots.cpp      ServerConnected, forgetServer
//   net/clientslots.cpp      connectClient, ClientConnected, ClientRead, ClientFire, ClientError, getPos
//   net/setupslots.cpp       askServer ... disconnectNetwork, keyPressEvent
//   net/rematchslots.cpp     Race again on a network race's result
//   net/lanslots.cpp         the games on the local network: announced, found, chosen
#include "app/picturetable.h"
#include "app/trotixbase.h"
#include "platform/rules/screenscale.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <array>

class IdMenuBar;
class QAction;
class QLineEdit;
class QPushButton;
class QTimer;

class Trotix : public TrotixBase
{
    Q_OBJECT
    // Window pixels per screen pixel: 1 as on the device, more on a larger screen, whole or not.
    Q_PROPERTY(qreal screenScale READ screenScale)
    // Where the zoomed screen lies in the window: all of it, or centred on black where the window
    // has another shape.
    Q_PROPERTY(QRect screenPicture READ screenPicture)
public:
    explicit Trotix(QWidget *parent = nullptr, const char *name = nullptr, Qt::WindowFlags flags = {});
    ~Trotix() override;

    // The picture fills the window as far as its shape allows: the buffer and every game
    // coordinate stay as they are; the final copy, the child widgets' places and the fonts grow
    // with the factor.
    qreal screenScale() const { return qreal(m_picture.width()) / ScreenScale::deviceWidth; }
    QRect screenPicture() const { return m_picture; }
    QPoint screenOrigin() const { return m_picture.topLeft(); }

    // Paused, the tick does nothing: no ageing, no activity, no save. A network race and its
    // set-up screens are never paused: the other device keeps its own clock.
    bool isPaused() const { return m_paused; }
    void setPaused(bool on);

    // A notice over the screen for a few ticks (noticeTicks); empty when none is shown.
    void showNotice(const QString &text);
    QString notice() const { return m_noticeTicks > 0 ? m_notice : QString(); }
    static constexpr int noticeTicks = 12;

    // The lock beside the save (main()'s): while this session does not hold it, each tenth tick
    // tries to take it before the save.
    void retrySaveLock(class SaveLock *lock) { m_saveLock = lock; }

    // The buffer every screen is drawn into, and the backgrounds and pictures it is drawn from:
    // tests and benchmarks plant and read them. (The child widgets and the timer go by their
    // object names.)
    QPixmap &screenBuffer() { return m_screenBuffer; }
    QPixmap &background(int kind);
    QImage &picture(Picture which) { return m_pictures[which]; }

public slots:
    void showHelp();
    void togglePause();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(class QKeyEvent *event) override;

private slots:
    void tappedWhilePaused(QPoint globalAt);
    void goodBye();
    void liveSlot();
    void isdummy();
    void change2idle();
    void change2eat();
    void change2sleep();
    void change2run();
    void change2jump();
    void change2status();
    void change2server();
    void change2client();
    void change2racedemo();
    void handleOK();
    void aboutTrotix();
    void askServer();
    void startServer();
    void askClient();
    void startClient();
    void confirmNetwork();
    void cancelNetwork();
    void disconnectNetwork();
    void raceAgain();
    void clearScreen();
    void naming();
    void idle();
    void eat();
    void sleep();
    void run();
    void jump();
    void status();
    void hop();
    void swipe();
    void about();
    int setBlock();
    void setupBackgd(int kind);
    void setupObjects();
    void ServerConnected();
    void ClientError();
    void ClientConnected();
    void ClientRead();
    void ClientFire();
    void putHorse(int p1, int p2);
    void calculatePos();
    void computerPos();
    void finalizePos();
    void demoPos();
    void getPos();
    void paintEvent(QPaintEvent *event) override;

private:
    // One row per screen, for every mode (app/screenslots.cpp): what the tick logs, paints and
    // calls, which pictures it draws, what the screen change leaves up, whether pause holds it.
    struct Screen;
    static const Screen *screenOf(int mode);
    // The one change of screen, as its row says: the mode, the widget's background, the child
    // widgets it leaves up (clearScreen). Chosen from the menu, it also drops a half-made network
    // set-up and logs the menu's line; the game's own moves (a question answered or cancelled,
    // the first start) log nothing.
    enum class ShownBy { Menu, Game };
    void showScreen(int mode, ShownBy by = ShownBy::Menu);
    void tick();
    void raceFrame(const Screen &row);
    void partnerGoneFrame(const Screen &row);
    // A network race whose partner left before its result (race/courseslots.cpp): it stands still.
    bool partnerGone() const;
    // The start: the save read, the naming screen for a new horse, the title (game/namingslots.cpp).
    void startSession();
    // Whether a pause may hold the screen shown: never a network race's (the other device keeps its clock).
    bool pauseApplies() const;
    void escapePressed();
    void forgetServer();
    // Shows the finished buffer. The whole screen is requested: Qt clips painting to the region
    // asked for, and every repaint copies the whole buffer anyway.
    void showBuffer();
    void setActivityGroupEnabled(bool enabled);
    void buildMenus();
    // Tears down the client side of a network race: close, and drop the three signal connections.
    void closeClientSocket();
    // Before each tick's screen: the client's patience with a silent host.
    void watchConnection();
    // Games on the local network (net/lanslots.cpp): the list under the client's address field,
    // and, once a tick, the announcement and the search as the screen shown wants them.
    void buildGameList();
    void syncLan();
    void showFoundGames();
    void chooseGame(class QListWidgetItem *item);
    void destroyServerConnection();
    // The client's socket to the address in the field, from the hand-shake's first step.
    void connectClient();
    // A network race's result frames offer another race with the same partner: its button, and
    // over it the key that does the same, drawn before the horses and the result.
    void offerRaceAgain(bool offered);

    void placeScreen(const QRect &picture);
    // Whether a pause holds this tick back.
    bool tickHeld();
    void buildWindowActions();
    std::array<QWidget *, 7> widgetsOverScreen() const;

    IdMenuBar *m_menuBar = nullptr;
    QPushButton *m_okButton = nullptr, *m_disconnectButton = nullptr, *m_confirmButton = nullptr,
                *m_cancelButton = nullptr;
    QPushButton *m_raceAgainButton = nullptr;
    QLineEdit *m_nameEdit = nullptr, *m_addressEdit = nullptr;
    // The screen's buffer and the three background strips it is drawn from (setupBackgd's kinds
    // 1, 2 and 4); the pictures, each decoded when a screen first draws it.
    QPixmap m_screenBuffer, m_backgd1, m_backgd2, m_backgd3;
    Pictures m_pictures;
    QTimer *m_lifeTimer = nullptr;

    QRect m_picture{0, 0, ScreenScale::deviceWidth, ScreenScale::deviceHeight};
    // Each child widget as made for the device's screen: its place, its own font and style sheet,
    // so that every zoom is taken from them and never from another zoom's rounding; and where the
    // last zoom put it, to see when it was placed anew.
    struct DevicePart
    {
        QRect place, placed;
        QFont font;
        QString styleSheet;
        bool ownFont;
    };
    QHash<const QWidget *, DevicePart> m_deviceParts;
    bool m_paused = false;
    // Paused by minimising, so showing the window again carries on.
    bool m_pausedByMinimise = false;
    class HelpWindow *m_help = nullptr;
    class LanGames *m_lan = nullptr;
    class QListWidget *m_gameList = nullptr;
    class GameSound *m_sound = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_pauseAction = nullptr;
    QAction *m_fullScreenAction = nullptr;
    // The buffer under each shown child widget as last painted, so that an unchanged one is not
    // repainted every tick. A widget seen hidden loses its entry: it is painted in full when it
    // shows again.
    QHash<const QWidget *, QImage> m_shownUnderWidget;
    // The about screen never changes: it is drawn once on its white background (again if the
    // title picture changes) and then copied whole, a fraction of drawing its text every second.
    QImage m_aboutScreen;
    qint64 m_aboutTitleKey = 0;
    QString m_notice;
    int m_noticeTicks = 0;
    // CONFIRM found no address to connect to: the client's question says to type or pick one.
    bool m_askingForAddress = false;
    // Race again on the client while the host still showed the result: the host takes a challenger
    // again only after it has closed the last race's connection, so the client connects then.
    bool m_rejoinOnClose = false;
    // A failing save is told on the screen once; the log tells every one.
    bool m_saveFailureTold = false;
    void tellSaveFailure(const QString &reason);
    class SaveLock *m_saveLock = nullptr;
    // Whether the lock was taken just now, at last (game/tickslots.cpp).
    bool takeSaveLock();
};
