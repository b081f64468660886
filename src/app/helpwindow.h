#pragma once
// "How to play": the player's guide (docs/playing.md, built into the program) in a window of the
// game's own size and colours, zoomed with the game. Escape or CLOSE closes it. On the device's own
// screen it opens at the handheld's part.
#include <QDialog>

class QPushButton;
class QTextBrowser;

// Gives a window of the game's the device's screen times the zoom, centred over the game and
// kept on the screen; on a screen no bigger than the device's it covers the screen, as the game does.
void placeOverGame(QWidget *window, QWidget *game, qreal scale);

class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent);

    // Shows it over the game window at the game's zoom; on a screen no bigger than the device's
    // it covers the screen, as the game does.
    void showOver(QWidget *game, qreal scale);

private:
    void scrollToHeading(const QString &heading);

    QTextBrowser *m_text;
    QPushButton *m_close;
};
