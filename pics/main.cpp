// trotix-picgen: draws every picture the game uses into a folder, plus a contact sheet.
//   trotix-picgen OUTDIR               the pictures and contact-sheet.png
//   trotix-picgen OUTDIR --docs DIR    also contact-sheet.png and scene-idle.png into DIR for the README
// Runs at build time; the output depends on nothing but this code, so two runs give byte-identical files.
#include "pictures.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    QDataStream out(&png, QIODevice::Append);
    const QByteArray typed = QByteArray(type, 4) + data;
    out << quint32(data.size());
    out.writeRawData(typed.constData(), int(typed.size()));
    out << crc32(typed);
}

// A PNG of 8-bit RGB (opaque pictures) or straight RGBA (sprites) whose rows are all stored
// unfiltered. Qt's own writer picks Paeth for most rows, and undoing Paeth is more than half of
// what decoding the wide field picture costs at start-up; unfiltered, these painted pictures also
// come out a little smaller.
bool save(const QImage &img, const QString &path)
{
    const bool alpha = img.hasAlphaChannel();
    const QImage out = img.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QByteArray header, density, rows;
    rows.reserve(out.height() * (1 + out.width() * (alpha ? 4 : 3)));
    QDataStream(&header, QIODevice::WriteOnly) << quint32(out.width()) << quint32(out.height()) << quint8(8)
                                               << quint8(alpha ? 6 : 2) << quint8(0) << quint8(0) << quint8(0);
    QDataStream(&density, QIODevice::WriteOnly) << quint32(out.dotsPerMeterX()) << quint32(out.dotsPerMeterY())
                                                << quint8(1);
    for (int y = 0; y < out.height(); ++y) {
        rows += char(0);
        const auto *line = reinterpret_cast<const QRgb *>(out.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            rows += char(qRed(line[x]));
            rows += char(qGreen(line[x]));
            rows += char(qBlue(line[x]));
            if (alpha)
                rows += char(qAlpha(line[x]));
        }
    }
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "pHYs", density);
    appendChunk(png, "IDAT", qCompress(rows, 9).mid(4)); // without qCompress's own length prefix
    appendChunk(png, "IEND", {});
    QFile file(path);
    if (out.isNull() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
        std::fprintf(stderr, "trotix-picgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage opaque(const QImage &img)
{
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith('-')) {
        std::fprintf(stderr, "usage: trotix-picgen OUTDIR [--docs DIR]\n");
        return 2;
    }
    const QString outDir = args.first();
    QString docsDir;
    if (args.size() >= 3 && args[1] == "--docs")
        docsDir = args[2];
    if (!QDir().mkpath(outDir) || (!docsDir.isEmpty() && !QDir().mkpath(docsDir))) {
        std::fprintf(stderr, "trotix-picgen: cannot create the output folder\n");
        return 1;
    }

    std::vector<std::pair<QString, QImage>> pictures;
    bool ok = true;
    for (const auto &[name, paint] : picgen::catalogue()) {
        QImage img = paint();
        if (name.startsWith("backgd"))
            img = opaque(img);
        ok = save(img, QDir(outDir).filePath(name + ".png")) && ok;
        pictures.emplace_back(name, img);
    }
    const QImage sheet = picgen::contactSheet(pictures);
    ok = save(opaque(sheet), QDir(outDir).filePath("contact-sheet.png")) && ok;
    if (!docsDir.isEmpty()) {
        ok = save(opaque(sheet), QDir(docsDir).filePath("contact-sheet.png")) && ok;
        ok = save(opaque(picgen::idleScene(pictures)), QDir(docsDir).filePath("scene-idle.png")) && ok;
    }
    return ok ? 0 : 1;
}
