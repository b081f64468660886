// The activities: one frame per tick, the horse's face and body, and at the end of each loop the
// change to its attributes.
#include "app/trotix.h"
#include "app/gamesound.h"
#include "care/rules/attributes.h"
#include "care/rules/block.h"
#include "game/gamestate.h"
#include "platform/log.h"

#include <QPainter>
#include <QPixmap>

namespace {

struct Frame
{
    const char *log;
    QImage GameState::*face;
    QImage GameState::*horse;
};

const Frame idleFrames[] = {
    {"trotix: Action>>idle step 1\n", &GameState::faceImage3, &GameState::idleImage1},
    {"trotix: Action>>idle step 2\n", &GameState::faceImage3, &GameState::idleImage2},
};

// Step 6 shows the tired face once the horse has eaten for too long.
const Frame eatFrames[] = {
    {"trotix: Action>>eat step 1\n", &GameState::faceImage1, &GameState::eatImage1},
    {"trotix: Action>>eat step 2\n", &GameState::faceImage1, &GameState::eatImage2},
    {"trotix: Action>>eat step 3\n", &GameState::faceImage2, &GameState::eatImage3},
    {"trotix: Action>>eat step 4\n", &GameState::faceImage2, &GameState::eatImage4},
    {"trotix: Action>>eat step 5\n", &GameState::faceImage2, &GameState::eatImage5},
    {"trotix: Action>>eat step 6\n", &GameState::faceImage1, &GameState::eatImage6},
};

const Frame sleepFrames[] = {
    {"trotix: Action>>sleep step 1\n", &GameState::faceImage4, &GameState::sleepImage1},
    {"trotix: Action>>sleep step 2\n", &GameState::faceImage4, &GameState::sleepImage2},
    {"trotix: Action>>sleep step 3\n", &GameState::faceImage4, &GameState::sleepImage3},
    {"trotix: Action>>sleep step 4\n", &GameState::faceImage4, &GameState::sleepImage4},
};

// Starts the loop afresh when the activity was not the one on display, and keeps a step that
// does not belong to this loop from reaching past its table.
void enterActivity(int mode, int loopLength)
{
    if (gs.shownMode != mode || gs.animStep < 1 || gs.animStep > loopLength)
        gs.animStep = 1;
    gs.shownMode = mode;
}

// Idle, eat and sleep go round their whole loop.
void nextQuietStep(int loopLength) { gs.animStep = gs.animStep == loopLength ? 1 : gs.animStep + 1; }

// Run and jump show step 1 once, then alternate steps 2 and 3.
void nextTrainingStep() { gs.animStep = gs.animStep == 3 ? 2 : gs.animStep + 1; }

template <typename Change>
void changeHorse(Change change)
{
    Attributes a = attributesOf(gs);
    change(a);
    setAttributes(gs, a);
}

void drawFace(QPainter &painter, const QImage &face) { painter.drawImage(gs.faceX, gs.faceY, face); }

// A quiet frame: its log line, the face, then the horse. Returns whether it ended the loop.
bool drawQuietFrame(QPainter &painter, const Frame &frame, const QImage &face, int loopLength)
{
    logText("%s", frame.log);
    drawFace(painter, face);
    painter.drawImage(gs.horseX, gs.horseY, gs.*frame.horse);
    return gs.animStep == loopLength;
}

}

void Trotix::idle()
{
    QPainter painter(gs.screenBuffer);
    enterActivity(ModeIdle, 2);
    const Frame &frame = idleFrames[gs.animStep - 1];
    if (drawQuietFrame(painter, frame, gs.*frame.face, 2))
        changeHorse(idleLoopEnd);
    showBuffer();
    nextQuietStep(2);
}

void Trotix::eat()
{
    QPainter painter(gs.screenBuffer);
    enterActivity(ModeEat, 6);
    m_sound->play(eatFrameCue(gs.animStep));
    const Frame &frame = eatFrames[gs.animStep - 1];
    const bool tired = gs.animStep == 6 && gs.actionTicks > eatingTiresAfter;
    if (drawQuietFrame(painter, frame, tired ? gs.faceImage6 : gs.*frame.face, 6))
        changeHorse([](Attributes &a) { eatLoopEnd(a, gs.actionTicks); });
    showBuffer();
    nextQuietStep(6);
}

void Trotix::sleep()
{
    QPainter painter(gs.screenBuffer);
    enterActivity(ModeSleep, 4);
    m_sound->play(sleepFrameCue(gs.animStep));
    const Frame &frame = sleepFrames[gs.animStep - 1];
    if (drawQuietFrame(painter, frame, gs.*frame.face, 4))
        changeHorse([](Attributes &a) { sleepLoopEnd(a, gs.actionTicks); });
    showBuffer();
    nextQuietStep(4);
}

void Trotix::run()
{
    QPainter painter(gs.screenBuffer);
    enterActivity(ModeRun, 3);
    switch (gs.animStep) {
    case 1:
        logText("trotix: Action>>run step 1\n");
        drawFace(painter, gs.faceImage2);
        painter.drawImage(gs.horseX, gs.horseY, gs.runImage1);
        gs.backgroundOffset += 20;
        break;
    case 2:
        logText("trotix: Action>>run step 2\n");
        drawFace(painter, gs.faceImage1);
        painter.drawImage(gs.horseX, gs.horseY, gs.runImage2);
        gs.backgroundOffset += 20;
        break;
    default:
        logText("trotix: Action>>run step 3\n");
        painter.drawImage(gs.horseX, gs.horseY, gs.runImage3);
        gs.backgroundOffset += 20;
        drawFace(painter, gs.actionTicks > runningFaceTiresAfter ? gs.faceImage7 : gs.faceImage2);
        changeHorse([](Attributes &a) { runStepThree(a, gs.actionTicks); });
        break;
    }
    showBuffer();
    nextTrainingStep();
}

void Trotix::jump()
{
    QPainter painter(gs.screenBuffer);
    enterActivity(ModeJump, 3);
    const int x = gs.horseX - 50;
    if (gs.animStep == 1) {
        logText("trotix: Action>>jump step 1\n");
        drawFace(painter, gs.faceImage3);
        painter.drawImage(x, gs.horseY, gs.jumpImage1);
        gs.backgroundOffset += 20;
    } else {
        const bool stepTwo = gs.animStep == 2;
        logText(stepTwo ? "trotix: Action>>jump step 2\n" : "trotix: Action>>jump step 3\n");
        const int blockX = setBlock();
        bool blockShown = false;
        if (gs.blockHit == 1) {
            drawFace(painter, gs.faceImage5);
            painter.drawImage(x, gs.horseY, gs.jumpImage5);
            gs.blockHit = 0;
            changeHorse(jumpFall);
            m_sound->play(SoundCue::Fall);
        } else if (gs.hopRequested == 1) {
            drawFace(painter, gs.faceImage3);
            painter.drawImage(x, gs.horseY - 20, gs.jumpImage4);
            gs.hopRequested = 0;
            gs.inAir = 1;
            m_sound->play(SoundCue::Hop);
            blockShown = gs.blockActive == 1;
        } else {
            drawFace(painter, stepTwo ? gs.faceImage1 : gs.faceImage2);
            painter.drawImage(x, gs.horseY, stepTwo ? gs.jumpImage2 : gs.jumpImage3);
            gs.inAir = 0;
            blockShown = gs.blockActive == 1;
        }
        if (blockShown) {
            painter.drawImage(blockX, gs.horseY + 40, gs.blockImage);
            changeHorse(blockBonus);
        }
        changeHorse(jumpAgeing);
        gs.backgroundOffset += 20;
    }
    showBuffer();
    nextTrainingStep();
}

int Trotix::setBlock()
{
    BlockTrack track{gs.blockDistance, gs.blockActive, gs.blockHit};
    const BlockMove move = moveBlock(track, gs.hopRequested, gs.horseX);
    if (move.appeared)
        logText("trotix: Random block generated!\n");
    gs.blockDistance = track.distance;
    gs.blockActive = track.active;
    gs.blockHit = track.hit;
    return move.x;
}
