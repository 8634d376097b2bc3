#include "desktop_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include <cstdlib>

#ifdef Q_OS_WIN
#include <QDir>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#endif

namespace platform {

void DesktopPlatform::messageBox(const QString &prompt, const QString &title, MessageStyle style)
{
    const QMessageBox::Icon icon = style == MessageStyle::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    // The prompts carry CR LF line breaks; a label breaks on LF alone.
    box.setText(QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void DesktopPlatform::beep()
{
    QApplication::beep();
}

WordListPlaces DesktopPlatform::wordLists() const
{
    // Looked at anew each time: a list made read-only, or a profile list
    // made, while the program runs counts at the next search or add.
    return choosePlaces(gatherPlaceFacts(QCoreApplication::applicationDirPath()));
}

#ifdef Q_OS_WIN

namespace {

// The shell opens it with its associated program, whose window is first
// shown as asked.
bool shellOpen(const QString &target, ShowCommand show)
{
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t *>(target.utf16()),
                                             nullptr, nullptr, int(show));
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool DesktopPlatform::openDocument(const QString &path, ShowCommand show)
{
    return shellOpen(QDir::toNativeSeparators(path), show);
}

bool DesktopPlatform::openAddress(const QUrl &address, ShowCommand show)
{
    return shellOpen(address.toString(QUrl::FullyEncoded), show);
}

#else

bool DesktopPlatform::openDocument(const QString &path, ShowCommand)
{
    // How the opened window is first shown is up to the desktop's application.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopPlatform::openAddress(const QUrl &address, ShowCommand)
{
    return QDesktopServices::openUrl(address);
}

#endif

void DesktopPlatform::endProgram()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

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

} // namespace platform
