#include "app/gamesound.h"

#include "platform/log.h"
#include "platform/paths.h"
#include "platform/windowsettings.h"

#include <QAction>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

GameSound::GameSound(QWidget *window)
    : QObject(window), m_on(WindowSettings::sound())
{
    // Among the window's own entries (right click, or press and hold on a touch screen); M works
    // anywhere in the window.
    m_action = new QAction(tr("Sound"), window);
    m_action->setObjectName(QStringLiteral("soundAction"));
    m_action->setCheckable(true);
    m_action->setChecked(m_on);
    m_action->setShortcut(QKeySequence(Qt::Key_M));
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setProperty("windowMenu", true);
    window->addAction(m_action);
    connect(m_action, &QAction::triggered, this, [this](bool on) {
        setOn(on);
        WindowSettings::setSound(on);
    });
}

void GameSound::setOn(bool on)
{
    m_on = on;
    m_action->setChecked(on);
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
    for (QSoundEffect *sound : m_effects) {
        if (sound)
            sound->stop();
    }
    m_loop = SoundCue::None;
}

QSoundEffect *GameSound::effect(SoundCue cue)
{
    if (cue == SoundCue::None || !audible())
        return nullptr;
    // Asked once, the first time a sound is wanted: no sound server, no sound card, or a
    // headless machine all end here, and nothing later waits on audio.
    if (m_output == Output::Unknown) {
        // Qt's audio layer says why in its own words on standard error; our one line says it.
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        m_output = QMediaDevices::defaultAudioOutput().isNull() ? Output::Missing : Output::Present;
        qInstallMessageHandler(previous);
        if (m_output == Output::Missing)
            logText("trotix: No audio output: the game stays silent\n");
    }
    if (m_output == Output::Missing)
        return nullptr;
    QSoundEffect *&sound = m_effects[std::size_t(cue)];
    if (!sound) {
        sound = new QSoundEffect(this);
        const QString path = Paths::sound(soundFileName(cue));
        connect(sound, &QSoundEffect::statusChanged, this, [sound, path] {
            if (sound->status() == QSoundEffect::Error)
                logText("trotix: Cannot play sound %s\n", qPrintable(path));
        });
        sound->setSource(QUrl::fromLocalFile(path));
    }
    return sound;
}

void GameSound::play(SoundCue cue)
{
    if (QSoundEffect *sound = effect(cue)) {
        sound->setLoopCount(1);
        sound->play();
    }
}

void GameSound::keepLoop(SoundCue loop)
{
    if (loop == m_loop)
        return;
    if (QSoundEffect *playing = m_loop == SoundCue::None ? nullptr : m_effects[std::size_t(m_loop)])
        playing->stop();
    m_loop = SoundCue::None;
    if (QSoundEffect *sound = effect(loop)) {
        sound->setLoopCount(QSoundEffect::Infinite);
        sound->play();
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
