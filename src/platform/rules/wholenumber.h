#pragma once
// A whole number from an environment variable: only digits, blanks around them allowed. Pure.
#include <QByteArray>

// The number in text when it lies from low to high (low at least 1); 0 for anything else, the empty
// text included. "+2", "2.0" or "0x2" are not what anyone setting a variable by hand means.
int parseWholeNumber(const QByteArray &text, int low, int high);
