#include "app/trotix.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/qpeapplication.h"
#include "platform/savelock.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char **argv)
{
    QString help;
    if (!QPEApplication::displayAvailable(&help)) {
        std::fputs(qPrintable(help), stdout);
        return 1;
    }
    QPEApplication a(argc, argv, QPEApplication::GuiClient);

    const QString save = Paths::attrFile();
    SaveLock lock(save);
    if (!lock.acquire()) {
        logText("trotix: Another Trotix (process %lld) is already playing the horse in %s; "
                "this one stops so that neither overwrites the other.\n",
                static_cast<long long>(lock.holderPid()), qPrintable(save));
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            QMessageBox::warning(nullptr, QStringLiteral("Trotix"),
                                 QStringLiteral("Another Trotix is already playing this horse.\n"
                                                "Close it first, or start this one with its own QPEDIR."));
        }
        return 1;
    }

    Trotix w(nullptr, nullptr, {});
    a.showMainWidget(&w, false);
    return a.exec();
}
