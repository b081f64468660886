// The baseline: the least a Qt widget program does to show a 240 x 320 picture. Started the same
// way as the game's probe, it shows the picture, paints it once and quits (start-up), or repaints
// it every second for a while (memory).
//
//   trotix_bench_minimal PICTURE             prints the mark after the first screen and quits
//   trotix_bench_minimal PICTURE --play S    repaints every second for S seconds, then prints
//                                            its peak memory
//   trotix_bench_minimal PICTURE --text ...  the same with one line of text on the picture: what
//                                            any program pays to show text at all
#include "probe.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>
#include <cstring>

namespace {

class Screen : public QWidget
{
public:
    Screen(const QString &picture, bool text) : m_picture(picture), m_text(text) { setFixedSize(240, 320); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_picture);
        if (m_text)
            painter.drawText(20, 40, QStringLiteral("Hello"));
    }

private:
    QPixmap m_picture;
    bool m_text;
};

}

int main(int argc, char **argv)
{
    sinceMain().start();
    QApplication app(argc, argv);
    phaseDone("application");
    bool text = false;
    int playSeconds = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0)
            text = true;
        else if (std::strcmp(argv[i], "--play") == 0 && i + 1 < argc)
            playSeconds = std::atoi(argv[++i]);
    }
    Screen screen(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(), text);
    phaseDone("widget");
    screen.show();
    phaseDone("shown");
    if (playSeconds > 0) {
        auto *timer = new QTimer(&screen);
        QObject::connect(timer, &QTimer::timeout, &screen, [&screen] { screen.update(); });
        timer->start(1000);
        quitAfter(playSeconds);
    } else {
        whenExposed(&screen, [&screen] {
            phaseDone("exposed");
            screen.update();
            paintAndMark(&screen);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
