// The sounds the build makes: one for every cue the game plays, each a short, quiet 16-bit mono WAV whose two ends
// are silent (no click where playing starts or stops), and a second run of the generator gives the same bytes.
#include "game/rules/soundcues.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <sndfile.h>
#include <vector>

namespace {

QString soundsDir() { return QStringLiteral(TROTIX_BUILD_SOUNDS_DIR); }

}

class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void files_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("minSeconds");
        QTest::addColumn<double>("maxSeconds");
        // The hooves are one stride, looped: a gallop's beat, not a trot's.
        QTest::newRow("hooves") << "hooves" << 0.4 << 0.7;
        for (const char *name : {"hop", "fall", "crunch", "named"})
            QTest::newRow(name) << name << 0.15 << 1.0;
        for (const char *name : {"snore", "startbell", "win", "loss", "chime"})
            QTest::newRow(name) << name << 0.6 << 1.99;
    }
    void files()
    {
        QFETCH(QString, name);
        QFETCH(double, minSeconds);
        QFETCH(double, maxSeconds);
        SF_INFO info{};
        SNDFILE *file = sf_open(QFile::encodeName(soundsDir() + "/" + name + ".wav").constData(), SFM_READ, &info);
        QVERIFY(file);
        std::vector<short> s(std::size_t(info.frames));
        sf_read_short(file, s.data(), info.frames);
        sf_close(file);
        QCOMPARE(std::pair(info.channels, info.format), std::pair(1, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        const double seconds = double(info.frames) / info.samplerate;
        QVERIFY2(seconds >= minSeconds && seconds <= maxSeconds, qPrintable(QString::number(seconds)));
        double peak = 0, energy = 0;
        for (short v : s) {
            peak = std::max(peak, std::abs(v) / 32768.0);
            energy += (v / 32768.0) * (v / 32768.0);
        }
        // Quiet by default: well below full scale, yet clearly heard.
        QVERIFY2(peak >= 0.15 && peak <= 0.4, qPrintable(QString::number(peak)));
        const double loudnessDb = 10 * std::log10(energy / double(s.size()));
        QVERIFY2(loudnessDb >= -40 && loudnessDb <= -15, qPrintable(QString::number(loudnessDb)));
        // Both ends silent, reached gently: the outer millisecond stays near silence.
        const std::size_t ms = std::size_t(info.samplerate / 1000);
        QCOMPARE(std::pair(s.front(), s.back()), std::pair(short(0), short(0)));
        for (std::size_t i = 0; i < ms; ++i)
            QVERIFY2(std::abs(s[i]) < 600 && std::abs(s[s.size() - 1 - i]) < 600, qPrintable(QString::number(i)));
    }

    void everyCueSameBytesTwice()
    {
        QTemporaryDir again;
        QCOMPARE(QProcess::execute(QStringLiteral(TROTIX_SOUNDGEN), {again.path()}), 0);
        QStringList made{"sound-sheet.png"};
        for (int cue = 1; cue < soundCueCount; ++cue)
            made << soundFileName(SoundCue(cue));
        made.sort();
        QCOMPARE(QDir(again.path()).entryList({"*.wav", "*.png"}, QDir::Files), made);
        for (const QString &name : made) {
            QFile first(soundsDir() + "/" + name), second(again.filePath(name));
            QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
            QVERIFY2(first.readAll() == second.readAll(), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_sounds.moc"
