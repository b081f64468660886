#pragma once
// The horse's history file beside the save: a line added with every save, written the save's
// crash-safe way, and read back for the book.
#include "game/rules/historycodec.h"

#include <QString>

struct GameState;

// The lines of the history at path; none when it is missing or damaged (the next save sets a
// damaged one aside).
QList<HistoryLine> loadHistory(const QString &path);

// Adds the horse as it is now (`sessionSeconds` into this session, at `now`) and writes the file
// in one step. A damaged file is first set aside, and the history of another horse (the player
// named a new one) is kept under that horse's name; both are logged, and nothing is ever
// overwritten. A file that cannot be read, set aside or written is logged and left as it was.
void appendHistory(const GameState &state, const QString &path, qint64 now, qint64 sessionSeconds);
// The same for the tick's save: now, this session's ticks into it, in the history beside the save.
void appendHistory(const GameState &state);
