#pragma once
// What the fuzz targets share: a check that stops the run with a message (libFuzzer then keeps the
// input as a crash), the connection states a game may be in, and a stand-in for a socket's read
// buffer, so that the framing sees bytes arrive in pieces as they do over TCP.
#include "net/rules/protocol.h"

#include <QByteArray>
#include <QIODevice>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...) \
    do { \
        if (!(condition)) { \
            std::fprintf(stderr, "fuzz check failed: %s\n  ", #condition); \
            std::fprintf(stderr, __VA_ARGS__); \
            std::fputc('\n', stderr); \
            std::abort(); \
        } \
    } while (0)

// Every value netState takes on either side: idle, the hand-shake, and the two failure countdowns.
inline constexpr int netStates[] = {0, 1, 3, 4, 5, 10, 11, 12, 13, 30, 31, 32, 33};

inline bool isNetState(int value)
{
    for (int state : netStates) {
        if (state == value)
            return true;
    }
    return false;
}

// The rules see at most this many lines of one input from each starting state: a whole race is
// about forty lines, and a flood of short lines would otherwise spend the run repeating itself.
inline constexpr qsizetype maxRuledLines = 64;

// A socket's read buffer as the game sees it: what has arrived waits here, at most capacity bytes;
// the rest stays with the sender (the kernel) until there is room, as with setReadBufferSize().
class ReadBuffer : public QIODevice
{
public:
    explicit ReadBuffer(qint64 capacity) : m_capacity(capacity) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    // Bytes the peer sent: as much as fits is made readable, the rest waits.
    void arrive(QByteArrayView bytes)
    {
        m_sender.append(bytes);
        refill();
    }
    void refill()
    {
        m_data.remove(0, m_head);
        m_head = 0;
        const qint64 room = qMin<qint64>(m_capacity - m_data.size(), m_sender.size() - m_sent);
        if (room > 0) {
            m_data.append(QByteArrayView(m_sender).sliced(m_sent, room));
            m_sent += room;
        }
    }
    bool senderHasMore() const { return m_sent < m_sender.size(); }
    QByteArrayView waiting() const { return QByteArrayView(m_data).sliced(m_head); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_head; }
    bool canReadLine() const override { return waiting().contains('\n'); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin<qint64>(maxSize, bytesAvailable());
        memcpy(data, m_data.constData() + m_head, size_t(n));
        m_head += n;
        return n;
    }
    qint64 readLineData(char *data, qint64 maxSize) override
    {
        const qsizetype feed = waiting().indexOf('\n');
        return readData(data, feed < 0 ? maxSize : qMin<qint64>(maxSize, feed + 1));
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_capacity;
    QByteArray m_data;
    qsizetype m_head = 0;
    QByteArray m_sender;
    qsizetype m_sent = 0;
};

// Pieces for a second arrival of the same bytes: a few bytes each for real lines, so that every
// boundary falls somewhere; bigger for a flood, which would otherwise be scanned again per byte.
inline qsizetype pieceSize(size_t inputSize)
{
    return inputSize < 512 ? qsizetype(inputSize % 7) + 1 : qsizetype(inputSize % 509) + 64;
}

// The peer's bytes arrive at the socket in pieces of pieceSize (0: all at once), each piece then
// one notification of the game; notified() returns false once the game has dropped the peer.
template <typename Notified>
void deliver(ReadBuffer &socket, const QByteArray &bytes, qsizetype pieceSize, Notified notified)
{
    qsizetype sent = 0;
    while (sent < bytes.size() || socket.senderHasMore()) {
        const qsizetype n = pieceSize > 0 ? pieceSize : bytes.size();
        socket.arrive(bytes.mid(sent, n));
        sent += n;
        if (!notified())
            return;
    }
}
