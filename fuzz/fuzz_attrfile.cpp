// The attribute file reader over any content. A horse read from it has a name of at most 15
// characters, ended by a NUL, and finite attributes; whatever the reader accepts the game writes
// back in a form it reads the same way, never mistaken for the template; and the race weight of
// any horse it can hold is computed without undefined behaviour.
#include "fuzzcheck.h"
#include "game/rules/attrcodec.h"
#include "race/rules/raceweight.h"

#include <cmath>
#include <cstring>

namespace {

Horse startingHorse()
{
    Horse horse;
    std::memcpy(horse.name, "MY HORSE       ", 16);
    horse.attributes = {1.0f, 150.0f, 50.0f, 100.0f, 100.0f};
    return horse;
}

void checkHorse(const Horse &horse, const char *what)
{
    FUZZ_CHECK(std::memchr(horse.name, '\0', 16) != nullptr && std::strlen(horse.name) <= 15,
               "%s: the name is not ended within 16 bytes", what);
    FUZZ_CHECK(horse.name[15] == '\0', "%s: position 15 of the name is not NUL", what);
    const Attributes &a = horse.attributes;
    for (float value : {a.age, a.muscle, a.fat, a.power, a.spirit})
        FUZZ_CHECK(std::isfinite(value), "%s: an attribute is %f", what, double(value));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const AttrFileContent read = parseAttrFile(content, startingHorse());
    FUZZ_CHECK(read.probe.size() <= 19, "a probe of %d characters", int(read.probe.size()));
    FUZZ_CHECK(read.attributesRead >= 0 && read.attributesRead <= 5, "%d attributes read", read.attributesRead);
    FUZZ_CHECK(read.isNew == (read.probe.size() >= 16 && read.probe.at(15) == '%'), "the template's mark");
    checkHorse(read.horse, "read");
    if (read.isNew)
        return 0;
    for (const char c : QByteArray(read.horse.name))
        FUZZ_CHECK(c != '|' && c != '\n', "a bar or line feed stayed in the name");

    // Written and read again: the same horse, and the file is never taken for the template.
    const QByteArray written = formatAttrFile(read.horse);
    const AttrFileContent again = parseAttrFile(written, startingHorse());
    FUZZ_CHECK(!again.isNew, "a written horse reads as the template");
    FUZZ_CHECK(again.attributesRead == 5, "a written horse has %d attributes", again.attributesRead);
    checkHorse(again.horse, "written");
    FUZZ_CHECK(formatAttrFile(again.horse) == written, "written twice differs:\n%s---\n%s", written.constData(),
               formatAttrFile(again.horse).constData());
    FUZZ_CHECK(std::strcmp(again.horse.name, read.horse.name) == 0, "the name \"%s\" came back as \"%s\"",
               read.horse.name, again.horse.name);

    // Any horse the file can give is a horse that can race.
    (void)raceWeight(read.horse.attributes);
    return 0;
}
