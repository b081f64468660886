#pragma once
// The game's sound: plays what the sound rules name, at most one loop at a time, and nothing at
// all while it is off or the game is paused. Each sound is loaded the first time it is needed;
// where there is no audio output the game stays silent and says so once.
#include "app/soundoutput.h"
#include "game/rules/soundcues.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QWidget;

// Tests hear the game through an output of their own: made by `make` instead of the module's
// (nullptr: the module's again).
void useTestSoundOutput(MakeSoundOutput make);

class GameSound : public QObject
{
public:
    // Adds the window's "Sound" entry (key M) to `window`, on or off as last chosen; `tell` shows
    // the player what the entry did ("Sound on", "Sound off", "No sound output here").
    GameSound(QWidget *window, std::function<void(const QString &)> tell);
    ~GameSound() override;

    bool isOn() const { return m_on; }
    void setOn(bool on);
    // A paused game is silent; the tick after the pause brings the loop back.
    void setHeld(bool held);
    void play(SoundCue cue);
    // The loop the tick leaves playing (None: none). The same loop goes on without a restart.
    void keepLoop(SoundCue loop);
    // Plays `cue` on the tick where `shown` turns true.
    void playOnRise(SoundCue cue, bool shown);

private:
    // The output to play `cue` on now, or null: silent, off, paused, or nothing to play on.
    SoundOutput *output(SoundCue cue);
    // The output, asked for the first time if it was never asked; null where there is none.
    SoundOutput *openOutput();
    bool audible() const { return m_on && !m_held; }
    void silence();

    bool m_on = true;
    bool m_held = false;
    bool m_outputAsked = false;
    std::unique_ptr<SoundOutput> m_output;
    SoundCue m_loop = SoundCue::None;
    std::array<bool, soundCueCount> m_shown{};
    QAction *m_action = nullptr;
    std::function<void(const QString &)> m_tell;
};
