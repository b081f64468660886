// The two parsed lines, from any bytes: the challenger's name line (server) and the position reply
// (client). A parsed name never has more than 15 characters; what the game itself sends always
// reads back to what was sent.
#include "fuzzcheck.h"

#include "game/rules/horsename.h"
#include "platform/rules/outsidetext.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// A horse name as the game keeps it: 15 characters, blanks at the end, never a control character.
QByteArray horseName(FuzzedDataProvider &input)
{
    QByteArray name = QByteArray::fromStdString(input.ConsumeBytesAsString(15)).leftJustified(15, ' ');
    for (char &c : name) {
        if (!nameKeeps(static_cast<unsigned char>(c)))
            c = ' ';
    }
    return name;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));

    const Protocol::NameLine name = Protocol::parseNameLine(line);
    FUZZ_CHECK(name.name.size() <= 15, "a name of %d characters", int(name.name.size()));
    // A line of the game's own form, "+" at offset 15, keeps its first 15 characters as the name;
    // any other line with a "+" before its end has the weight after its last "+".
    // Either way without control characters.
    const qsizetype lastPlus = line.lastIndexOf('+');
    const auto kept = [](const QByteArray &bytes) { return withoutControls(QString::fromLatin1(bytes)); };
    if (line.size() > 15 && line[15] == '+')
        FUZZ_CHECK(name.name == kept(line.left(15)), "the name is the line's first 15 characters");
    else if (lastPlus < 0 || lastPlus == line.size() - 1)
        FUZZ_CHECK(name.name == kept(line.left(15)) && (line.size() > 16 || name.weight == 0),
                   "a line without a weight field");
    else
        FUZZ_CHECK(name.name == kept(line.left(qMin(lastPlus, qsizetype(15))).leftJustified(15))
                       && name.weight == line.mid(lastPlus + 1).chopped(1).toInt(),
                   "name before, weight after the last '+'");

    const Protocol::PositionReply reply = Protocol::parsePositionReply(line);
    FUZZ_CHECK(reply.wellFormed == (line.count('+') >= 2), "two '+' make a reply");
    if (!reply.wellFormed)
        FUZZ_CHECK(reply.pos1 == 0 && reply.pos2 == 0 && reply.winner == 0, "an ignored reply sets nothing");
    FUZZ_CHECK(reply.log.startsWith("trotix: ") && (reply.log.endsWith('\n') || reply.log.endsWith("\n ")),
               "log lines");

    // What the game sends, built from the fuzzed values, reads back exactly.
    FuzzedDataProvider input(data, size);
    const int pos1 = input.ConsumeIntegral<int>();
    const int pos2 = input.ConsumeIntegral<int>();
    const int winner = input.ConsumeIntegral<int>();
    const Protocol::PositionReply back = Protocol::parsePositionReply(Protocol::positionReply(pos1, pos2, winner));
    FUZZ_CHECK(back.wellFormed && back.pos1 == pos1 && back.pos2 == pos2 && back.winner == winner,
               "%d+%d+%d read back as %d+%d+%d", pos1, pos2, winner, back.pos1, back.pos2, back.winner);
    FUZZ_CHECK(back.log.startsWith("trotix: Position converted from QString to Int\n"), "conversion log");

    // A name of any length (a hand-edited save) goes out as 15 characters.
    const QByteArray typed = QByteArray::fromStdString(input.ConsumeRandomLengthString(40));
    const QByteArray sent = Protocol::nameLine(typed, 1);
    FUZZ_CHECK(sent.indexOf('+', 15) == 15 && sent.left(15) == typed.left(15).leftJustified(15, ' '),
               "the name line of a %d-character name", int(typed.size()));

    const QByteArray ownName = horseName(input);
    const int weight = input.ConsumeIntegral<int>();
    const Protocol::NameLine received = Protocol::parseNameLine(Protocol::nameLine(ownName, weight));
    FUZZ_CHECK(received.name == QString::fromLatin1(ownName), "the name came back as %s",
               received.name.toLatin1().constData());
    // The "+" before the number reads as its sign, so a negative weight ("+-20") reads as no number.
    FUZZ_CHECK(received.weight == (weight >= 0 ? weight : 0), "weight %d read back as %d", weight, received.weight);
    return 0;
}
