// The two parsed lines, from any bytes: the challenger's name line (server) and the position reply
// (client). A parsed name never has more than 15 characters; what the game itself sends always
// reads back to what was sent.
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// A horse name as the game keeps it: 15 characters, blanks at the end, never a NUL or a line feed.
QByteArray horseName(FuzzedDataProvider &input)
{
    QByteArray name = QByteArray::fromStdString(input.ConsumeBytesAsString(15)).leftJustified(15, ' ');
    for (char &c : name) {
        if (c == '\0' || c == '\n')
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
    FUZZ_CHECK(name.name == QString::fromLatin1(line.left(15)), "the name is the line's first 15 characters");
    if (line.size() <= 16)
        FUZZ_CHECK(name.weight == 0, "a line of %d bytes has no weight field, yet %d", int(size), name.weight);

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

    const QByteArray ownName = horseName(input);
    const int weight = input.ConsumeIntegral<int>();
    const Protocol::NameLine received = Protocol::parseNameLine(Protocol::nameLine(ownName, weight));
    FUZZ_CHECK(received.name == QString::fromLatin1(ownName), "the name came back as %s",
               received.name.toLatin1().constData());
    // The "+" before the number reads as its sign, so a negative weight ("+-20") reads as no number.
    FUZZ_CHECK(received.weight == (weight >= 0 ? weight : 0), "weight %d read back as %d", weight, received.weight);
    return 0;
}
