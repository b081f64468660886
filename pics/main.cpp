// trotix-picgen: draws every picture the game uses into a folder, plus a contact sheet.
//   trotix-picgen OUTDIR               the pictures and contact-sheet.png
//   trotix-picgen OUTDIR --docs DIR    also contact-sheet.png and scene-idle.png into DIR for the README
// Runs at build time; the output depends on nothing but this code, so two runs give byte-identical files.
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool save(const QImage &img, const QString &path)
{
    // Opaque pictures are stored without an alpha channel; sprites keep straight (not premultiplied) alpha.
    const QImage out = img.hasAlphaChannel() && !img.isNull()
                           ? img.convertToFormat(QImage::Format_ARGB32)
                           : img.convertToFormat(QImage::Format_RGB32);
    QImageWriter writer(path, "png");
    // Qt's PNG writer takes 0..100 here; 100 is zlib's strongest setting (small files, same pixels).
    writer.setCompression(100);
    if (!writer.write(out)) {
        std::fprintf(stderr, "trotix-picgen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
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
