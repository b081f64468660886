#include "app/gamesound.h"

#include "app/soundoutput.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/windowsettings.h"

#include <QAction>
#include <QLibrary>
#include <QWidget>

namespace {

void cannotPlay(const QString &path) { logText("trotix: Cannot play sound %s\n", qPrintable(path)); }

MakeSoundOutput testOutput = nullptr;

}

void useTestSoundOutput(MakeSoundOutput make) { testOutput = make; }

GameSound::GameSound(QWidget *window, std::function<void(const QString &)> tell)
    : QObject(window), m_on(WindowSettings::sound()), m_tell(std::move(tell))
{
    // Among the window's own entries (right click, or press and hold on a touch screen); M works
    // anywhere in the window.
    m_action = new QAction(tr("Sound"), window);
    m_action->setObjectName(QStringLiteral("soundAction"));
    m_action->setCheckable(true);
    m_action->setChecked(m_on);
    m_action->setShortcut(QKeySequence(Qt::Key_M)); // a window shortcut, as QAction's are
    m_action->setProperty("windowMenu", true);
    window->addAction(m_action);
    connect(m_action, &QAction::triggered, this, [this](bool on) {
        setOn(on);
        WindowSettings::setSound(on);
        if (on && !openOutput())
            m_tell(tr("No sound output here"));
        else
            m_tell(on ? tr("Sound on") : tr("Sound off"));
    });
}

GameSound::~GameSound() = default;

void GameSound::setOn(bool on)
{
    m_on = on;
    m_action->setChecked(on && !(m_outputAsked && !m_output));
    if (!on)
        silence();
}

void GameSound::setHeld(bool held)
{
    m_held = held;
    if (held)
        silence();
}

void GameSound::silence()
{
    if (m_output)
        m_output->stopAll();
    m_loop = SoundCue::None;
}

SoundOutput *GameSound::output(SoundCue cue)
{
    if (cue == SoundCue::None || !audible())
        return nullptr;
    return openOutput();
}

SoundOutput *GameSound::openOutput()
{
    // Asked once, the first time a sound is wanted or M turns sound on: no sound server, no sound
    // card, a headless machine or a missing module all end here, and nothing later waits on audio.
    if (!m_outputAsked) {
        m_outputAsked = true;
        const QString module = Paths::soundModule();
        const auto make = testOutput
                              ? testOutput
                              : reinterpret_cast<MakeSoundOutput>(QLibrary::resolve(module, makeSoundOutputSymbol));
        if (!make) {
            logText("trotix: Cannot load %s: the game stays silent\n", qPrintable(module));
        } else {
            m_output.reset(make(cannotPlay));
            if (!m_output->present()) {
                logText("trotix: No audio output: the game stays silent\n");
                m_output.reset();
            }
        }
        if (!m_output)
            m_action->setChecked(false); // the window's entry shows what the player hears
    }
    return m_output.get();
}

void GameSound::play(SoundCue cue)
{
    if (SoundOutput *out = output(cue))
        out->play(int(cue), Paths::sound(soundFileName(cue)), false);
}

void GameSound::keepLoop(SoundCue loop)
{
    if (loop == m_loop)
        return;
    if (m_output && m_loop != SoundCue::None)
        m_output->stop(int(m_loop));
    m_loop = SoundCue::None;
    if (SoundOutput *out = output(loop)) {
        out->play(int(loop), Paths::sound(soundFileName(loop)), true);
        m_loop = loop;
    }
}

void GameSound::playOnRise(SoundCue cue, bool shown)
{
    bool &was = m_shown[std::size_t(cue)];
    if (shown && !was)
        play(cue);
    was = shown;
}
