// trotix-iconrender: draws the menu icon, the horse's happy face, with the game's own picture
// painters at each hicolor size, so a 256-pixel icon is as crisp as the 38-pixel picture.
//
//   trotix-iconrender OUTDIR NAME SIZE...   writes OUTDIR/SIZExSIZE/apps/NAME.png
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

QImage renderIcon(int size)
{
    // A thin transparent margin, as the desktop's other icons have.
    const int margin = size / 16;
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage(margin, margin, picgen::face(picgen::Mood::Happy, size - 2 * margin));
    return icon;
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: trotix-iconrender OUTDIR NAME SIZE...\n");
        return 2;
    }
    for (int i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "trotix-iconrender: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(size);
        const QString path = dir + QLatin1Char('/') + args.at(2) + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !renderIcon(size).save(path)) {
            std::fprintf(stderr, "trotix-iconrender: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
