// trotix-soundgen: makes every sound the game plays, as 16-bit mono WAV files, plus a contact
// sheet of their waveforms.
//   trotix-soundgen OUTDIR               the sounds and sound-sheet.png
//   trotix-soundgen OUTDIR --docs DIR    also sound-sheet.png into DIR for the documentation
// Runs at build time; the output depends on nothing but this code, so two runs give the same bytes.
#include "recipes.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sndfile.h>

namespace {

std::vector<short> toPcm(const Synth::Samples &s)
{
    std::vector<short> pcm(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        pcm[i] = short(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767));
    return pcm;
}

bool writeWav(const QString &path, const std::vector<short> &pcm)
{
    SF_INFO info{};
    info.samplerate = Synth::rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    bool written = file && sf_write_short(file, pcm.data(), sf_count_t(pcm.size())) == sf_count_t(pcm.size());
    if (file && sf_close(file) != 0)
        written = false;
    if (!written)
        std::fprintf(stderr, "trotix-soundgen: cannot write %s\n", qPrintable(path));
    return written;
}

// One row a sound: its name and length, and its waveform on a common two-second scale, so that
// lengths and loudness can be compared at a glance.
QImage contactSheet(const std::vector<std::vector<short>> &sounds)
{
    constexpr int rowHeight = 56, labelWidth = 150, waveWidth = 500, margin = 8;
    constexpr double secondsAcross = 2.0;
    QImage sheet(labelWidth + waveWidth + 2 * margin, margin + rowHeight * int(sounds.size()), QImage::Format_RGB32);
    sheet.fill(QColor(250, 247, 240));
    QPainter painter(&sheet);
    QFont font(QStringLiteral("helvetica"));
    font.setPixelSize(12);
    painter.setFont(font);
    for (int r = 0; r < int(sounds.size()); ++r) {
        const std::vector<short> &pcm = sounds[std::size_t(r)];
        const int top = margin + r * rowHeight, middle = top + rowHeight / 2 - 2, half = rowHeight / 2 - 6;
        painter.setPen(QColor(60, 50, 40));
        painter.drawText(margin, top + 18, QString::fromLatin1(recipes[r].name));
        painter.setPen(QColor(120, 110, 100));
        painter.drawText(margin, top + 34, QStringLiteral("%1 s").arg(double(pcm.size()) / Synth::rate, 0, 'f', 2));
        painter.setPen(QColor(215, 205, 190));
        painter.drawLine(labelWidth + margin, middle, labelWidth + margin + waveWidth, middle);
        painter.setPen(QColor(150, 70, 30));
        const double perColumn = secondsAcross * Synth::rate / waveWidth;
        for (int x = 0; x < waveWidth; ++x) {
            const auto from = std::size_t(x * perColumn), to = std::min(pcm.size(), std::size_t((x + 1) * perColumn));
            if (from >= to)
                break;
            const auto [low, high] = std::minmax_element(pcm.begin() + long(from), pcm.begin() + long(to));
            // Full scale is the row's height: the quiet levels show as such.
            painter.drawLine(labelWidth + margin + x, middle - *high * half / 32767, labelWidth + margin + x,
                             middle - *low * half / 32767);
        }
    }
    return sheet;
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts for the contact sheet
    if (argc != 2 && !(argc == 4 && QByteArray(argv[2]) == "--docs")) {
        std::fprintf(stderr, "usage: trotix-soundgen OUTDIR [--docs DIR]\n");
        return 2;
    }
    const QDir out(QFile::decodeName(argv[1]));
    QDir().mkpath(out.path());
    bool ok = true;
    std::vector<std::vector<short>> sounds;
    for (int i = 0; i < recipeCount; ++i) {
        sounds.push_back(toPcm(recipes[i].make()));
        ok = writeWav(out.filePath(QString::fromLatin1(recipes[i].name) + QStringLiteral(".wav")), sounds.back()) && ok;
    }
    const QImage sheet = contactSheet(sounds);
    ok = sheet.save(out.filePath(QStringLiteral("sound-sheet.png"))) && ok;
    if (argc == 4)
        ok = sheet.save(QDir(QFile::decodeName(argv[3])).filePath(QStringLiteral("sound-sheet.png"))) && ok;
    return ok ? 0 : 1;
}
