// trotix-picgen: draws every picture the game uses into a folder, plus a contact sheet.
//   trotix-picgen OUTDIR               the pictures and contact-sheet.png
//   trotix-picgen OUTDIR --docs DIR    also contact-sheet.png and scene-idle.png into DIR for the README
// Runs at build time; the output depends on nothing but this code, so two runs give byte-identical files.
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <png.h>

namespace {

// libpng reports a failure by a long jump back here; nothing below the jump needs cleaning up.
bool writePng(png_structp png, png_infop info, FILE *file, const QImage &image, bool alpha)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, png_uint_32(image.dotsPerMeterX()), png_uint_32(image.dotsPerMeterY()),
                 PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, nullptr);
    return true;
}

// A PNG of 8-bit RGB (opaque pictures) or straight RGBA (sprites) whose rows are all stored
// unfiltered. libpng's default picks Paeth for most rows of these paintings, and undoing Paeth is
// more than half of what decoding the wide field picture costs at start-up; unfiltered, they also
// come out a little smaller.
bool save(const QImage &img, const QString &path)
{
    const bool alpha = img.hasAlphaChannel();
    const QImage out = img.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    FILE *file = out.isNull() ? nullptr : std::fopen(QFile::encodeName(path).constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = file && info && writePng(png, info, file, out, alpha);
    png_destroy_write_struct(&png, &info);
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written)
        std::fprintf(stderr, "trotix-picgen: cannot write %s\n", qPrintable(path));
    return written;
}

QImage opaque(const QImage &img) { return img.convertToFormat(QImage::Format_RGB32); }

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
