#pragma once
// What the game asks of its gamepads. The one implementation, on SDL2's game-controller API, is
// a module of its own (trotix-pad), loaded after the start: a machine without SDL, or a package
// built without it, plays on with the keyboard and the pointer.
#include "platform/rules/padmapping.h"

#include <QList>
#include <QString>

class PadInput
{
public:
    virtual ~PadInput() = default;
    // What the pads did since the last look: presses in order, pads plugged in or out (told through
    // the module's `tell`). A direction held down repeats, as a key held down does.
    virtual QList<PadMapping::Button> presses() = 0;
    // Whether a pad is open: only then is there anything to look at often.
    virtual bool anyOpen() const = 0;
};

// The module's one entry point: SDL started for game controllers alone (no window, no audio, no
// signal handlers), or nullptr with why not in `failure`. `tell` takes each log line.
using MakePadInput = PadInput *(*)(void (*tell)(const QString &line), QString *failure);
inline constexpr char makePadInputSymbol[] = "trotixMakePadInput";
