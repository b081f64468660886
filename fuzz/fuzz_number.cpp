// Number reading: any bytes as a number field. It must agree with Qt's own C-locale conversion
// (QByteArray::toInt, which reads up to a NUL), give 0 whenever it fails, and read back every
// number it prints.
#include "fuzzcheck.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray field(reinterpret_cast<const char *>(data), qsizetype(size));
    bool ok = true;
    const int value = Protocol::readNumber(field, &ok);
    FUZZ_CHECK(ok || value == 0, "a failed read gave %d", value);

    bool qtOk = false;
    const int qtValue = field.toInt(&qtOk, 10);
    FUZZ_CHECK(ok == qtOk && value == qtValue, "read %d (ok %d), Qt reads %d (ok %d) from \"%s\"", value, int(ok),
               qtValue, int(qtOk), field.toPercentEncoding().constData());

    // Without a NUL the same text as a string reads the same (the received line is kept as text).
    if (!field.contains('\0')) {
        bool textOk = false;
        const int textValue = QString::fromLatin1(field).toInt(&textOk, 10);
        FUZZ_CHECK(ok == textOk && value == textValue, "read %d (ok %d), as text %d (ok %d) from \"%s\"", value,
                   int(ok), textValue, int(textOk), field.toPercentEncoding().constData());
    }

    if (ok) {
        bool again = false;
        FUZZ_CHECK(Protocol::readNumber(QByteArray::number(value), &again) == value && again,
                   "%d does not read back", value);
    }
    // Without the field the number is the same with a sign in front and blanks around it.
    if (size >= sizeof(int)) {
        int printed = 0;
        memcpy(&printed, data, sizeof printed);
        const QByteArray text = " \t+" + QByteArray::number(printed) + "\n";
        bool fine = false;
        const int back = Protocol::readNumber(printed < 0 ? QByteArray::number(printed) + "\n" : text, &fine);
        FUZZ_CHECK(fine && back == printed, "%d printed as a field reads as %d", printed, back);
    }
    return 0;
}
