#include "platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
LogCapture *activeCapture = nullptr;
}

void logText(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (needed < 0) {
        va_end(args);
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    va_end(args);
    std::fwrite(buffer.data(), 1, static_cast<size_t>(needed), stdout);
    std::fflush(stdout);
    if (activeCapture)
        activeCapture->append(buffer.data(), needed);
}

LogCapture::LogCapture() : m_previous(activeCapture) { activeCapture = this; }
LogCapture::~LogCapture() { activeCapture = m_previous; }
