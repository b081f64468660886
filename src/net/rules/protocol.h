#pragma once
// The race protocol between two games: one line of single-byte text per message, ended by a line
// feed, over TCP port 1234. Everything here is pure: the messages byte for byte, the server's and
// the client's rules as functions of the connection state and one received line, the number
// reading and the line framing. The sockets and slots only move bytes and game fields in and out.
#include "net/rules/netsession.h"
#include "race/rules/race.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

namespace Protocol {

inline constexpr quint16 port = 1234;

// Whether a server's address can hold this character: a host name's letters and digits (of any
// script, with their accents), the dots and hyphens between its labels, an IPv6 address's colons
// and its zone's "%", and the underscore some local names carry.
bool addressKeeps(char32_t c);

// At most this many connections are kept open besides the race's own: a crowd of them must not take
// the file handles the game needs for its save. One more drops the longest quiet of them.
inline constexpr int maxOtherConnections = 8;
// A connection that owns no race and has sent no complete line for this long is let go.
inline constexpr int quietLimitMs = 60000;

// A legitimate line is under 40 bytes. A peer that sends more than this without a line feed is
// dropped rather than buffered without end.
inline constexpr qint64 maxLineLength = 4096;

// The connection state `netState`, one int shared by the server and the client side: the
// hand-shake's steps, and two failures each shown on four ticks (the state counts up through
// them and the screen gives up at the end).
enum NetState : int {
    NetIdle = 0,
    NetConnected = 1,     // a connection is established
    NetGreeted = 3,       // "TROTIX" both ways
    NetNamed = 4,         // the server has the challenger's name line and sent its own name
    NetReady = 5,         // both names known: ready for racing
    NetHandshakeLast = 9, // the highest state the progress screen counts as a hand-shake step
    NetLost = 10,         // the connection failed or was lost: 10 to 13
    NetLostOver = 14,
    NetRefused = 30, // the server refused (a bad request, or its port was busy): 30 to 33
    NetRefusedOver = 34,
};

enum class Keyword { Trotix, Okokok, Gogogo, Askpos, Notava, Badreq };

// The messages, exactly as they go on the wire (line feed included).
QByteArray keywordLine(Keyword keyword);
// The client's name line: the name padded with blanks or cut to exactly 15 characters (a
// hand-edited save may hold a shorter one), "+", the race weight in decimal.
QByteArray nameLine(const QByteArray &name, int weight);
// The server's name reply: the name, padded or cut to 15 characters as in the name line.
QByteArray nameReply(const QByteArray &name);
QByteArray positionReply(int pos1, int pos2, int winner);

// A number field is read with QByteArray::toInt: signed base 10 in the C locale, white space
// around it and one sign allowed; anything else, a value outside the int range included, reads
// as 0. The text ends at its first NUL.

// One race, one connection: from the moment a connection's greeting is accepted until the race
// ends, only that connection's lines and its close count. Who a connection is, as the race sees it:
enum class Sender {
    Anyone,   // no connection owns the race: every connection is judged against the one state
    Owner,    // this connection's greeting was accepted and the race is still on
    Stranger, // another connection owns the race: it neither changes the race nor hears of it
};
// raceOwner: the connection whose greeting was accepted last is still open; isOwner: this is it.
// Once the game has left the hand-shake and race states (3 to 5), that connection owns nothing.
Sender senderOf(int netState, bool raceOwner, bool isOwner);

// The challenger's name line: the name is its first 15 characters, the race weight the text from
// offset 15 up to the line's last character (the line feed), read as a number ("+150" is 150).
// A line whose character at offset 15 is not the "+" (a name shorter or longer than 15) has its
// weight after its last "+" and its name, padded or cut to 15 characters, before it. A name from
// the other game, here and in its name reply, is kept without control characters (withoutControls).
struct NameLine
{
    QString name;
    int weight = 0;
};
NameLine parseNameLine(const QByteArray &line);

// What one line changes, and only that: netState is the state after the line (the same when the
// line changes nothing); the rest is there only where the line changes it.
struct ServerStep
{
    int netState = 0;
    QByteArray reply;                   // empty: nothing to send
    QByteArray log;                     // whole log lines, empty when nothing is logged
    bool takesRace = false;             // the greeting was accepted: this connection owns the race from now on
    bool startsRace = false;            // "GOGOGO": the race clock starts
    bool sharesResult = false;          // the reply tells the challenger the winner
    std::optional<NameLine> challenger; // the name line was read: the race is against this horse
};

// The server's rules for one received line (line feed included); ownName is the own horse's name
// as stored, which the name line is answered with. Only the first six characters name the
// keyword; in state 3 the whole line is the challenger's name line. A stranger's every line is
// answered "BADREQ", as a busy server answers.
// The session says where the hand-shake stands and whether challengers are taken; the race gives
// the positions an "ASKPOS" is answered with.
ServerStep serverStep(const NetSession &net, const Race &race, const QByteArray &line, const QByteArray &ownName,
                      Sender sender = Sender::Anyone);

// A connection lost, on either side: closed by the other game, broken, or given up on. Before the
// race's result is known to this side it is a failure (netState 10), whatever the hand-shake's or
// the race's state, and the race counts on neither record; once the result is known it is the
// race's orderly end and changes nothing. A failure already showing stays as it is.
int netStateAfterLoss(int netState, bool resultKnown);

// Hand-overs to the session from the screens and the race. A menu choice forgets a half-made
// set-up: no hand-shake stands and no challenger is taken.
void forgetSetUp(NetSession &net);
// The client's question: its first "ASKPOS" may go as soon as a race runs.
void readyToAsk(NetSession &net);
// A race is prepared: its result is not known yet; against the computer no challenger is taken
// meanwhile.
void raceStarts(NetSession &net, bool againstComputer);
// A network race whose connection failed before its result was known leaves the course for its
// progress screen, which shows the failure on four ticks and then goes back to the horse.
bool raceBroken(int netState, bool resultKnown);

// How long the client waits, in one-second ticks, for what the host owes it: the next step of
// the hand-shake (counted from CONFIRM), and in the race the answer to its position request.
inline constexpr int handshakePatience = 15;
inline constexpr int answerPatience = 10;
struct Patience
{
    int quietTicks = 0; // ticks waited so far, 0 when nothing is owed
    bool givesUp = false;
};
// One tick of the client's waiting: racing is the race course (otherwise the connecting screen),
// asked that a position request is unanswered.
Patience clientWaits(int quietTicks, int netState, bool racing, bool asked, bool resultKnown);

// The server's answer to "ASKPOS": three numbers split at the first two "+".
struct PositionReply
{
    bool wellFormed = false; // two "+" found; otherwise the reply is ignored
    int pos1 = 0, pos2 = 0, winner = 0;
    QByteArray log;
};
PositionReply parsePositionReply(const QByteArray &line);
// A reply a race can give: both positions from 0 to farthestPosition (race/rules/racemodel.h), and
// the winner 1 or 2 once a horse has reached the finish, 0 (none yet) before. Any other is the host
// breaking the protocol.
bool possibleReply(const PositionReply &reply);

// What one line changes on the client's side, as on the server's.
struct ClientStep
{
    int netState = 0;
    QByteArray send;
    QByteArray log;
    std::optional<QString> opponentName; // the server's name reply
    // An answer to "ASKPOS" came, well formed or not: the next request may go out.
    std::optional<PositionReply> answer;
    bool awaited = false; // the line is one the host owed: the client's waiting starts again
    // A well-formed reply no race can give: nothing of it is taken, and the client lets the host
    // go as if it had left.
    bool hostBroke = false;
};

// The client's rules for the last complete line of a notification (line feed included); the own
// name and race weight go into the name line.
ClientStep clientStep(int netState, const QByteArray &line, const QByteArray &ownName, int ownWeight);

// Takes the complete lines waiting on a device, each with its line feed. tooLong is set, and
// reading stops, when a line passes maxLineLength: complete or not, such a line is never taken.
// A partial line shorter than that stays on the device for the next notification.
struct WaitingLines
{
    QList<QByteArray> lines;
    bool tooLong = false;
};
// maxLines stops after that many lines (0: all), so a caller can act on each line before the next.
WaitingLines takeLines(QIODevice &device, int maxLines = 0);

// The log line for a dropped peer.
QByteArray lineTooLongLog();

}
