// The sound module: mixes the game's sounds into one audio stream of Qt Multimedia's, opened once.
//
// Not QSoundEffect: on Qt 6.4 with PulseAudio each of its plays opens a stream of its own, and about
// half of those never start (the stream waits for data it is never fed, the effect stays "playing"
// until the next play stops it), or start a second late. A stream that runs all the time, silent
// between sounds, has none of that: a sound starts within the stream's buffer of its frame.
#include "app/soundoutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QMediaDevices>
#include <QMutex>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace {

// The format trotix-soundgen writes every sound in.
constexpr int rate = 22050;
constexpr int bufferMs = 100; // how far ahead of the speaker the stream runs

// The samples of a 16-bit mono WAV file at `rate`; empty if it is not one.
QByteArray wavSamples(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wav = file.readAll();
    if (!wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return {};
    bool formatFits = false;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const qsizetype size = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        const char *body = wav.constData() + at + 8;
        if (id == "fmt " && size >= 16 && at + 8 + 16 <= wav.size())
            formatFits = qFromLittleEndian<quint16>(body) == 1 && qFromLittleEndian<quint16>(body + 2) == 1
                         && qFromLittleEndian<quint32>(body + 4) == rate && qFromLittleEndian<quint16>(body + 14) == 16;
        else if (id == "data")
            return formatFits ? wav.mid(at + 8, size & ~qsizetype(1)) : QByteArray();
        at += 8 + size + (size & 1);
    }
    return {};
}

// What the stream reads: every sound playing, added up, and silence when none is.
class Mixer : public QIODevice
{
public:
    void add(int id, const QByteArray &samples, bool loop)
    {
        QMutexLocker lock(&m_mutex);
        remove(id);
        m_voices.push_back({id, samples, 0, loop});
    }
    void stop(int id)
    {
        QMutexLocker lock(&m_mutex);
        remove(id);
    }
    void stopAll()
    {
        QMutexLocker lock(&m_mutex);
        m_voices.clear();
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return std::numeric_limits<int>::max(); }

protected:
    qint64 readData(char *data, qint64 len) override
    {
        const qint64 count = len / 2;
        std::vector<int> sum(std::size_t(count), 0);
        QMutexLocker lock(&m_mutex);
        for (Voice &voice : m_voices) {
            const auto *samples = reinterpret_cast<const qint16 *>(voice.samples.constData());
            const qsizetype length = voice.samples.size() / 2;
            for (qint64 i = 0; i < count && voice.at < length; ++i) {
                sum[std::size_t(i)] += qFromLittleEndian(samples[voice.at]);
                if (++voice.at == length && voice.loop)
                    voice.at = 0;
            }
        }
        m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                      [](const Voice &voice) { return voice.at * 2 >= voice.samples.size(); }),
                       m_voices.end());
        for (qint64 i = 0; i < count; ++i)
            qToLittleEndian(qint16(std::clamp(sum[std::size_t(i)], -32768, 32767)), data + 2 * i);
        return count * 2;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    struct Voice
    {
        int id;
        QByteArray samples;
        qsizetype at;
        bool loop;
    };
    void remove(int id)
    {
        m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(), [id](const Voice &v) { return v.id == id; }),
                       m_voices.end());
    }

    QMutex m_mutex; // a sound system may read from a thread of its own
    std::vector<Voice> m_voices;
};

class QtSoundOutput : public SoundOutput
{
public:
    explicit QtSoundOutput(void (*failed)(const QString &)) : m_failed(failed) {}
    ~QtSoundOutput() override
    {
        if (m_sink)
            m_sink->stop();
    }

    // Opens the stream at once: its first sound would otherwise come a second late.
    bool present() override
    {
        // Qt's audio layer says why in its own words on standard error; the game's log says it once.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull()) {
            QAudioFormat format;
            format.setSampleRate(rate);
            format.setChannelCount(1);
            format.setSampleFormat(QAudioFormat::Int16);
            m_sink = std::make_unique<QAudioSink>(device, format);
            m_sink->setBufferSize(format.bytesForDuration(bufferMs * 1000));
            m_mixer.open(QIODevice::ReadOnly);
            m_sink->start(&m_mixer);
        }
        qInstallMessageHandler(previous);
        return m_sink && m_sink->error() == QAudio::NoError;
    }

    void play(int id, const QString &path, bool loop) override
    {
        auto found = m_samples.constFind(path);
        if (found == m_samples.cend()) {
            found = m_samples.insert(path, wavSamples(path));
            if (found->isEmpty())
                m_failed(path);
        }
        if (!found->isEmpty())
            m_mixer.add(id, *found, loop);
    }

    void stop(int id) override { m_mixer.stop(id); }
    void stopAll() override { m_mixer.stopAll(); }

private:
    void (*m_failed)(const QString &);
    Mixer m_mixer;
    std::unique_ptr<QAudioSink> m_sink;
    QHash<QString, QByteArray> m_samples; // each file read on its first play; empty: cannot be played
};

}

extern "C" Q_DECL_EXPORT SoundOutput *trotixMakeSoundOutput(void (*failed)(const QString &))
{
    return new QtSoundOutput(failed);
}
