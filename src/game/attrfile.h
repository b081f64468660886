#pragma once
// Reading the attribute file at start-up and writing it, crash-safe.
#include "game/gamestate.h"
#include "platform/savefile.h"

#include <QString>

enum class AttrLoadResult {
    Old,        // a named horse was read
    New,        // the template, or no file yet: the horse waits for its name
    Unreadable, // a file is there but cannot be read: the game plays on and never writes it
};

// Reads the horse into state (name, attributes, attrProbe) and logs what it found.
AttrLoadResult loadAttrFile(GameState &state, const QString &path);

// Writes the horse. A save replaces the old file in one step (a temporary file in the same
// folder renamed over it), so the file on disk is always a whole horse, the old or the new one.
// A failure is logged (its reason also to error, when given); the old file stays as it was.
bool saveAttrFile(const GameState &state, const QString &path, QString *error = nullptr);

// Removes what saves cut short left beside the save, the race record and the history; only the
// game that holds the lock does, so that another's save under way is never touched.
void removeLeftoverSaves();

// The tick's save, also made when the game ends in order: a named horse only, and never in a
// session that may not save. Logs "Write Attribute File" first; returns whether it wrote. A
// save that failed gives its reason to error (left empty when none was due).
bool saveNamedHorse(const GameState &state, const QString &path, QString *error = nullptr);
