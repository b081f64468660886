#pragma once
// The race record's text, both ways: three lines, the horse's name with "|" for blanks, then
// "computer W L" and "network W L". Pure: no file.
#include <QByteArray>

// The name as the record holds it: 15 characters, blanks kept.
inline constexpr int raceRecordNameLength = 15;

enum class RaceKind { Computer, Network };

struct RaceTally
{
    int wins = 0;
    int losses = 0;
};

struct RaceRecord
{
    QByteArray horse; // the 15-character name, blanks kept, of the horse the record belongs to
    RaceTally computer;
    RaceTally network;
};

// Three lines: the name with "|" for blanks, then "computer W L" and "network W L".
QByteArray formatRaceRecord(const RaceRecord &record);
// False for anything but such three lines; record is then left alone. Line ends (LF or CRLF, the
// last one optional), empty lines at the end and blanks around and between the words are free;
// a name shorter than 15 characters is padded with blanks.
bool parseRaceRecord(const QByteArray &content, RaceRecord *record);
