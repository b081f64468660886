#pragma once
// The game's progress log: every line goes to standard output as it is written (flushed at once,
// so a pipe or a test sees it immediately). Tests can capture what is written. Text from outside
// goes into a line through printableForLog (platform/rules/outsidetext.h).
#include <QByteArray>

void logText(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Captures everything logged while it lives (the text still reaches standard output).
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;
    const QByteArray &text() const { return m_text; }
    void clear() { m_text.clear(); }
    void append(const char *data, int size) { m_text.append(data, size); }

private:
    QByteArray m_text;
    LogCapture *m_previous;
};
