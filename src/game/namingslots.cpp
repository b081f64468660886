// The session's start (the save read), the naming screen of the first start, and the about screen.
#include "app/gamesound.h"
#include "app/paint.h"
#include "app/trotix.h"
#include "game/attrfile.h"
#include "game/gamestate.h"
#include "game/rules/horsename.h"
#include "platform/paths.h"
#include "platform/rules/screenscale.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <cstring>

void Trotix::startSession()
{
    switch (loadAttrFile(gs, Paths::attrFile())) {
    case AttrLoadResult::New:
        showScreen(ModeNaming, ShownBy::Game);
        m_nameEdit->setMaxLength(15);
        m_nameEdit->show();
        m_nameEdit->setFocus();
        setActivityGroupEnabled(false);
        m_okButton->show();
        break;
    case AttrLoadResult::Old: gs.shell.attrFileValid = 1; break;
    case AttrLoadResult::Unreadable: forbidSaving(gs, QStringLiteral("Your horse's file could not be read.\n")); break;
    }
    gs.shell.sessionStart = gs.horse.attributes;
    // With a server and a client open, each window says whose horse it is.
    setWindowTitle(windowTitleFor(gs.shell.mode == ModeNaming ? QByteArray() : QByteArray(gs.horse.name)));
    // Over the first screens: a session that cannot save says so before anything is lost.
    if (!maySave(gs)) {
        showNotice(gs.shell.noLockReason + gs.shell.noSaveReason
                   + (gs.shell.noSaveReason.isEmpty() ? QStringLiteral("The game tries again every ten seconds.")
                                                      : QStringLiteral("This session will not be saved.")));
    }
}

void Trotix::naming()
{
    gs.shell.shownMode = ModeNaming;
    QPainter painter(&m_screenBuffer);
    painter.setPen(Qt::black);
    painter.setFont(gameFont(12, 75));
    drawTextAt(painter, 50, 70, QStringLiteral("Give Your Horse A Name"));
    painter.setFont(gameFont(10, 50));
    drawTextAt(painter, 50, 110, QStringLiteral("Input the name:"));
    drawTextAt(painter, 50, 153, QStringLiteral("Maximum length is 15 characters."));
    drawTextAt(painter, 50, 166, QStringLiteral("Default name is: MY HORSE"));
    painter.end();
    showBuffer();
}

void Trotix::handleOK()
{
    // Only the naming screen names: anywhere else (the about screen) OK is the way back, also for
    // a horse whose file could not be read and that must therefore never be saved.
    if (gs.shell.mode != ModeNaming) {
        change2idle();
        return;
    }
    const QByteArray name = horseNameFromEntry(m_nameEdit->text());
    std::memcpy(gs.horse.name, name.constData(), horseNameLength);
    gs.horse.name[horseNameLength] = '\0';
    setWindowTitle(windowTitleFor(name));
    QString saveError;
    if (maySave(gs) && !saveAttrFile(gs, Paths::attrFile(), &saveError))
        tellSaveFailure(saveError);
    gs.shell.attrFileValid = 1;
    m_sound->play(SoundCue::Named);
    change2idle();
}

void Trotix::aboutTrotix() { showScreen(ModeAbout); }

void Trotix::about()
{
    static const QStringList description{
        QStringLiteral("In this  game, you can train your own horse.  The horse can"),
        QStringLiteral("then race with another player's horse through the network."),
        QStringLiteral("Keep track of your horse's status.  Give your horse enough"),
        QStringLiteral("activities, challenges and rest. Repeative activity can drive"),
        QStringLiteral("it to fatique.  Smart training,  rather than long time hard,"),
        QStringLiteral("training is desired. Remember, your horse get older as you"),
        QStringLiteral("spend the more time."),
    };
    constexpr int descriptionX = 8;
    QImage &drawn = m_aboutScreen;
    gs.shell.shownMode = ModeAbout;
    if (drawn.isNull() || m_aboutTitleKey != picture(Picture::Title).cacheKey()) {
        drawn = QImage(240, 320, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        painter.drawImage(50, 45, picture(Picture::Title));
        painter.setFont(gameFont(12, 75));
        drawTextAt(painter, 88, 75, "Trotix v1.0");
        painter.setFont(gameFont(10, 50));
        drawTextAt(painter, 20, 95, "By the Trotix developers");
        drawTextAt(painter, 20, 110, "Home: the Trotix project pages");
        painter.setFont(gameFont(9, 50));
        drawTextAt(painter, 50, 130, "Raise it, train it, race it!");
        // One face for the whole paragraph, the one its widest line needs: squeezed evenly, it reads as one.
        painter.setFont(fittedFace(painter.font(), description, ScreenScale::deviceWidth - 1 - descriptionX));
        int y = 150;
        for (const QString &line : description) {
            drawTextAt(painter, descriptionX, y, line);
            y += 15;
        }
        m_aboutTitleKey = picture(Picture::Title).cacheKey();
    }
    QPainter painter(&m_screenBuffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, drawn);
    m_okButton->show();
    painter.end();
    showBuffer();
}
