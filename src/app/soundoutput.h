#pragma once
// What the game asks of an audio output. The one implementation, on Qt Multimedia, is a module of
// its own (trotix-sound) that the game loads the first time it wants a sound: a game that never
// plays one, or plays with sound off, never loads Qt Multimedia and the sound server's libraries.
#include <QString>

class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Whether the machine has an audio output to play on.
    virtual bool present() = 0;
    // Plays the file at `path`, known from then on as `id`: once, or looped until stopped. Each file
    // is loaded on its first play, without waiting for it.
    virtual void play(int id, const QString &path, bool loop) = 0;
    virtual void stop(int id) = 0;
    virtual void stopAll() = 0;
};

// The module's one entry point: an output that reports a file it cannot play through `failed`.
using MakeSoundOutput = SoundOutput *(*)(void (*failed)(const QString &path));
inline constexpr char makeSoundOutputSymbol[] = "trotixMakeSoundOutput";
