// trotix-iconrender: makes the menu icon from one of the game's own pictures, in the hicolor
// sizes. Where the picture fits a whole number of times the pixels are copied as sharp blocks,
// as the game itself zooms; the small sizes are averaged down so the face stays readable.
//
//   trotix-iconrender PICTURE OUTDIR NAME SIZE...   writes OUTDIR/SIZExSIZE/apps/NAME.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

// A block zoom is used when it fills at least this share of the icon's side.
constexpr double blockZoomFill = 0.75;

QImage renderIcon(const QImage &picture, int size)
{
    const int side = qMax(picture.width(), picture.height());
    const int factor = size / side;
    QImage scaled;
    if (factor >= 1 && factor * side >= blockZoomFill * size) {
        scaled = picture.scaled(picture.width() * factor, picture.height() * factor, Qt::IgnoreAspectRatio,
                                Qt::FastTransformation);
    } else {
        const int margin = size / 16;
        scaled = picture.scaled(size - 2 * margin, size - 2 * margin, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return icon;
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: trotix-iconrender PICTURE OUTDIR NAME SIZE...\n");
        return 2;
    }
    const QImage picture = QImage(args.at(1)).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) {
        std::fprintf(stderr, "trotix-iconrender: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (int i = 4; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "trotix-iconrender: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        const QString path = dir + QLatin1Char('/') + args.at(3) + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !renderIcon(picture, size).save(path)) {
            std::fprintf(stderr, "trotix-iconrender: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
