#pragma once
// The horse's history beside the save: one line of comma-separated values per save, so that the
// book can draw the horse's life and a spreadsheet can open it. Pure: no file.
#include "game/rules/horse.h"

#include <QByteArray>
#include <QList>

// Past this many lines the older half is thinned, so that a year of saves every ten seconds
// stays a small file.
inline constexpr int historyMaxLines = 2000;

struct HistoryLine
{
    QByteArray horse;       // the 15-character name, blanks kept
    qint64 time = 0;        // when it was saved, seconds since 1970 (UTC)
    qint64 playSeconds = 0; // how long the horse had been played by then
    Attributes attributes{};
    int raceWeight = 0;
    // The line as it was read (without its line feed); written back as it is, so that a save
    // formats only its own line.
    QByteArray text;
};

struct HistoryContent
{
    QList<HistoryLine> lines;
    // A whole line (one that ends in a line feed) that is no history line, or a wrong first line:
    // the file is not one the game wrote.
    bool damaged = false;
};

// The first line, naming the columns.
QByteArray historyHeader();
QByteArray formatHistoryLine(const HistoryLine &line);
// The header and every line (as read, where it was read).
QByteArray formatHistory(const QList<HistoryLine> &lines);
// A last line without its line feed was cut short by a crash: it is left out, never damage.
HistoryContent parseHistory(const QByteArray &content);
// Past historyMaxLines, every other line of the older half goes (the very first line stays).
QList<HistoryLine> thinHistory(const QList<HistoryLine> &lines);
// The play time of a save made now, after `last` and `sessionSeconds` into this session: the time
// since the last save, but never more than this session has lasted (the game was closed between).
qint64 nextPlaySeconds(const HistoryLine &last, qint64 now, qint64 sessionSeconds);
// The name as it can stand in a file name: letters and digits kept, anything else "_".
QByteArray historyFileTag(const QByteArray &horse);
