// The start of Parlanta, or of a bare Qt main window for comparison, up to
// the moment its window is shown on the screen:
//   bench_startup parlanta|bare|text
// "text" is the bare window with one line of text in it: what drawing any
// text at all (fonts found, loaded and shaped) adds to the bare window.
// It then prints that moment (the system clock, in nanoseconds), which
// scripts/bench.sh sets against the moment it started the program, and the
// process's peak memory so far (kB), and ends.

#include "desktop_platform.h"
#include "form1.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QWindow>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

class ShownThenQuit final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%lld %ld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()), usage.ru_maxrss);
            QCoreApplication::quit();
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray kind = argc == 2 ? QByteArray(argv[1]) : QByteArray();
    if (kind != "parlanta" && kind != "bare" && kind != "text") {
        std::fputs("usage: bench_startup parlanta|bare|text\n", stderr);
        return 2;
    }
    // As main.cpp starts the program.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlanta"));
    platform::DesktopPlatform platform;
    std::unique_ptr<QMainWindow> window;
    if (kind == "parlanta") {
        window = std::make_unique<Form1>(platform);
    } else {
        window = std::make_unique<QMainWindow>();
        if (kind == "text")
            window->setCentralWidget(new QLabel(QStringLiteral("Parlanta")));
    }
    ShownThenQuit watch;
    window->winId(); // makes the window handle to watch
    window->windowHandle()->installEventFilter(&watch);
    window->show();
    return QApplication::exec();
}
