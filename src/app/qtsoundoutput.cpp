// The sound module: plays the game's sounds with Qt Multimedia's QSoundEffect.
#include "app/soundoutput.h"

#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QUrl>

namespace {

class QtSoundOutput : public SoundOutput
{
public:
    explicit QtSoundOutput(void (*failed)(const QString &)) : m_failed(failed) {}

    bool present() override
    {
        // Qt's audio layer says why in its own words on standard error; the game's log says it once.
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        const bool found = !QMediaDevices::defaultAudioOutput().isNull();
        qInstallMessageHandler(previous);
        return found;
    }

    void play(int id, const QString &path, bool loop) override
    {
        QSoundEffect *&sound = m_sounds[id];
        if (!sound) {
            sound = new QSoundEffect(&m_owner);
            QObject::connect(sound, &QSoundEffect::statusChanged, &m_owner, [this, sound, path] {
                if (sound->status() == QSoundEffect::Error)
                    m_failed(path);
            });
            sound->setSource(QUrl::fromLocalFile(path));
        }
        sound->setLoopCount(loop ? int(QSoundEffect::Infinite) : 1);
        sound->play();
    }

    void stop(int id) override
    {
        if (QSoundEffect *sound = m_sounds.value(id))
            sound->stop();
    }

    void stopAll() override
    {
        for (QSoundEffect *sound : std::as_const(m_sounds))
            sound->stop();
    }

private:
    void (*m_failed)(const QString &);
    QObject m_owner; // the sounds' parent: they go with the output
    QHash<int, QSoundEffect *> m_sounds;
};

}

extern "C" Q_DECL_EXPORT SoundOutput *trotixMakeSoundOutput(void (*failed)(const QString &))
{
    return new QtSoundOutput(failed);
}
