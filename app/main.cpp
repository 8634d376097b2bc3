#include "desktop_platform.h"
#include "form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort with a long message; say it in one line.
bool displayMissing()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto unset = [](const char *name) {
        const char *value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    return unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (displayMissing()) {
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
