#pragma once
// What a network race's screen says of the other game while it is not there: the host silent
// for a while, or either partner gone before the result. Pure; the race course draws it.
#include <QString>

namespace Partner {

// A position request left unanswered this many ticks (seconds) shows the waiting line; the
// client's patience (Protocol::answerPatience) then runs on to its end.
inline constexpr int silentTicksShown = 3;

// The words around the partner's name: none while the race goes as it should; "NAME left — not
// counted" once the connection is lost before the result (Protocol::raceBroken); "Waiting for
// NAME …" once the host has been silent for silentTicksShown. hostQuietTicks is the client's
// count of ticks owed an answer (0 on the server's side). The name itself is the caller's, so a
// name that repeats the words cannot be mistaken for them.
struct Line
{
    bool shown = false;
    QString lead, tail;
};
Line raceLine(int netState, bool resultKnown, int hostQuietTicks);

}
