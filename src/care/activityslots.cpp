// The activities: one frame per tick, the horse's face and body, and at the end of each loop the
// change to its attributes.
#include "app/gamesound.h"
#include "app/trotix.h"
#include "care/rules/attributes.h"
#include "care/rules/block.h"
#include "game/gamestate.h"
#include "platform/log.h"

#include <QPainter>

namespace {

// Where the horse and its face stand on every activity screen.
constexpr int horseX = 80, horseY = 200, faceX = 1, faceY = 40;

struct Frame
{
    const char *log;
    Picture face, horse;
};

const Frame idleFrames[] = {
    {"trotix: Action>>idle step 1\n", Picture::Face3, Picture::Idle1},
    {"trotix: Action>>idle step 2\n", Picture::Face3, Picture::Idle2},
};

// Step 6 shows the tired face once the horse has eaten for too long.
const Frame eatFrames[] = {
    {"trotix: Action>>eat step 1\n", Picture::Face1, Picture::Eat1},
    {"trotix: Action>>eat step 2\n", Picture::Face1, Picture::Eat2},
    {"trotix: Action>>eat step 3\n", Picture::Face2, Picture::Eat3},
    {"trotix: Action>>eat step 4\n", Picture::Face2, Picture::Eat4},
    {"trotix: Action>>eat step 5\n", Picture::Face2, Picture::Eat5},
    {"trotix: Action>>eat step 6\n", Picture::Face1, Picture::Eat6},
};

const Frame sleepFrames[] = {
    {"trotix: Action>>sleep step 1\n", Picture::Face4, Picture::Sleep1},
    {"trotix: Action>>sleep step 2\n", Picture::Face4, Picture::Sleep2},
    {"trotix: Action>>sleep step 3\n", Picture::Face4, Picture::Sleep3},
    {"trotix: Action>>sleep step 4\n", Picture::Face4, Picture::Sleep4},
};

// Starts the loop afresh when the activity was not the one on display, and keeps a step that
// does not belong to this loop from reaching past its table.
void enterActivity(int mode, int loopLength)
{
    if (gs.shell.shownMode != mode || gs.care.animStep < 1 || gs.care.animStep > loopLength)
        gs.care.animStep = 1;
    gs.shell.shownMode = mode;
}

// Idle, eat and sleep go round their whole loop.
void nextQuietStep(int loopLength) { gs.care.animStep = gs.care.animStep == loopLength ? 1 : gs.care.animStep + 1; }

// Run and jump show step 1 once, then alternate steps 2 and 3.
void nextTrainingStep() { gs.care.animStep = gs.care.animStep == 3 ? 2 : gs.care.animStep + 1; }

void drawFace(QPainter &painter, const QImage &face) { painter.drawImage(faceX, faceY, face); }

// A quiet frame: its log line, the face, then the horse. Returns whether it ended the loop.
bool drawQuietFrame(QPainter &painter, const Frame &frame, const QImage &face, const QImage &horse, int loopLength)
{
    logText("%s", frame.log);
    drawFace(painter, face);
    painter.drawImage(horseX, horseY, horse);
    return gs.care.animStep == loopLength;
}

}

void Trotix::idle()
{
    QPainter painter(&m_screenBuffer);
    enterActivity(ModeIdle, 2);
    const Frame &frame = idleFrames[gs.care.animStep - 1];
    if (drawQuietFrame(painter, frame, picture(frame.face), picture(frame.horse), 2))
        idleLoopEnd(gs.horse.attributes);
    showBuffer();
    nextQuietStep(2);
}

void Trotix::eat()
{
    QPainter painter(&m_screenBuffer);
    enterActivity(ModeEat, 6);
    m_sound->play(eatFrameCue(gs.care.animStep));
    const Frame &frame = eatFrames[gs.care.animStep - 1];
    const bool tired = gs.care.animStep == 6 && gs.care.actionTicks > eatingTiresAfter;
    if (drawQuietFrame(painter, frame, picture(tired ? Picture::Face6 : frame.face), picture(frame.horse), 6))
        eatLoopEnd(gs.horse.attributes, gs.care.actionTicks);
    showBuffer();
    nextQuietStep(6);
}

void Trotix::sleep()
{
    QPainter painter(&m_screenBuffer);
    enterActivity(ModeSleep, 4);
    m_sound->play(sleepFrameCue(gs.care.animStep));
    const Frame &frame = sleepFrames[gs.care.animStep - 1];
    if (drawQuietFrame(painter, frame, picture(frame.face), picture(frame.horse), 4))
        sleepLoopEnd(gs.horse.attributes, gs.care.actionTicks);
    showBuffer();
    nextQuietStep(4);
}

void Trotix::run()
{
    QPainter painter(&m_screenBuffer);
    enterActivity(ModeRun, 3);
    switch (gs.care.animStep) {
    case 1:
        logText("trotix: Action>>run step 1\n");
        drawFace(painter, picture(Picture::Face2));
        painter.drawImage(horseX, horseY, picture(Picture::Run1));
        gs.care.backgroundOffset += 20;
        break;
    case 2:
        logText("trotix: Action>>run step 2\n");
        drawFace(painter, picture(Picture::Face1));
        painter.drawImage(horseX, horseY, picture(Picture::Run2));
        gs.care.backgroundOffset += 20;
        break;
    default:
        logText("trotix: Action>>run step 3\n");
        painter.drawImage(horseX, horseY, picture(Picture::Run3));
        gs.care.backgroundOffset += 20;
        drawFace(painter, picture(gs.care.actionTicks > runningFaceTiresAfter ? Picture::Face7 : Picture::Face2));
        runStepThree(gs.horse.attributes, gs.care.actionTicks);
        break;
    }
    showBuffer();
    nextTrainingStep();
}

void Trotix::jump()
{
    QPainter painter(&m_screenBuffer);
    enterActivity(ModeJump, 3);
    const int x = horseX - 50;
    if (gs.care.animStep == 1) {
        logText("trotix: Action>>jump step 1\n");
        drawFace(painter, picture(Picture::Face3));
        painter.drawImage(x, horseY, picture(Picture::Jump1));
        gs.care.backgroundOffset += 20;
    } else {
        const bool stepTwo = gs.care.animStep == 2;
        logText(stepTwo ? "trotix: Action>>jump step 2\n" : "trotix: Action>>jump step 3\n");
        const int blockX = setBlock();
        bool blockShown = false;
        if (gs.care.block.hit == 1) {
            drawFace(painter, picture(Picture::Face5));
            painter.drawImage(x, horseY, picture(Picture::Jump5));
            gs.care.block.hit = 0;
            jumpFall(gs.horse.attributes);
            m_sound->play(SoundCue::Fall);
        } else if (gs.care.hopRequested == 1) {
            drawFace(painter, picture(Picture::Face3));
            painter.drawImage(x, horseY - 20, picture(Picture::Jump4));
            gs.care.hopRequested = 0;
            gs.care.inAir = 1;
            m_sound->play(SoundCue::Hop);
            blockShown = gs.care.block.active == 1;
        } else {
            drawFace(painter, picture(stepTwo ? Picture::Face1 : Picture::Face2));
            painter.drawImage(x, horseY, picture(stepTwo ? Picture::Jump2 : Picture::Jump3));
            gs.care.inAir = 0;
            blockShown = gs.care.block.active == 1;
        }
        if (blockShown) {
            painter.drawImage(blockX, horseY + 40, picture(Picture::Block));
            blockBonus(gs.horse.attributes);
        }
        jumpAgeing(gs.horse.attributes);
        gs.care.backgroundOffset += 20;
    }
    showBuffer();
    nextTrainingStep();
}

int Trotix::setBlock()
{
    const BlockMove move = moveBlock(gs.care.block, gs.care.hopRequested, horseX);
    if (move.appeared)
        logText("trotix: Random block generated!\n");
    return move.x;
}
