#include "desktop_platform.h"
#include "form1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (platform::displayMissing()) {
        std::fputs("parlanta: no display found; run it on a desktop, or without one as: xvfb-run -a ./parlanta\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlanta"));
    platform::DesktopPlatform platform;
    Form1 window(platform);
    window.show();
    return QApplication::exec();
}
