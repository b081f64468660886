#pragma once
// Exact float checks for the attribute arithmetic. Expected values are worked out with the rule
// written out again (read the float, add or subtract in double with the amount as a double, store
// as float) and compared bit for bit: the saved file holds these floats.
#include "care/attributes.h"

#include <QTest>
#include <cstring>

inline float up(float x, double amount) { return float(double(x) + amount); }
inline float down(float x, double amount) { return float(double(x) - amount); }

inline quint32 floatBits(float f)
{
    quint32 b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

#define COMPARE_FLOAT(actual, expected)                                                                   \
    QVERIFY2(floatBits(actual) == floatBits(expected),                                                    \
             qPrintable(QStringLiteral("%1 is %2, expected %3").arg(QLatin1String(#actual))               \
                            .arg(double(actual), 0, 'g', 10).arg(double(expected), 0, 'g', 10)))

// All five attributes, each bit for bit.
#define COMPARE_ATTRIBUTES(actual, expected)                                                              \
    do {                                                                                                  \
        COMPARE_FLOAT((actual).age, (expected).age);                                                      \
        COMPARE_FLOAT((actual).muscle, (expected).muscle);                                                \
        COMPARE_FLOAT((actual).fat, (expected).fat);                                                      \
        COMPARE_FLOAT((actual).power, (expected).power);                                                  \
        COMPARE_FLOAT((actual).spirit, (expected).spirit);                                                \
    } while (false)
