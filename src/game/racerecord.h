#pragma once
// The horse's race record: wins and losses against the computer and over the network, kept in a
// small file of its own beside the attribute file (whose six lines stay as they are).
#include <QByteArray>
#include <QString>

struct GameState;

#include "game/rules/racerecordcodec.h"

// The record of this horse (its 15-character name). No file, a damaged file (both logged) or
// another horse's record (a new horse was named) count from zero; unreadable tells a file that is
// there but could not be read.
RaceRecord loadRaceRecord(const QString &path, const QByteArray &horse, bool *unreadable = nullptr);
// Counts one race for this horse and writes the record in one step, as the save is written. A
// record that cannot be read is first set aside under a name of its own (logged), never
// overwritten. A failure is logged and the file on disk stays as it was.
bool addRaceResult(const QString &path, const QByteArray &horse, RaceKind kind, bool won);

// At the end of a race: counts it for the own horse when a winner is known, in a session that saves.
void recordFinishedRace(const GameState &state);
