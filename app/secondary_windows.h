#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

namespace platform {
class Platform;
}

enum class SecondaryWindow { Add, Numbers, Days, Technology, Language, About };

// The six windows the main window opens. Each exists at most once, is
// created when first shown, has no owner, and is deleted when it closes, so
// the next opening starts afresh. None of them outlives the main window.
class SecondaryWindows {
public:
    explicit SecondaryWindows(platform::Platform &platform);
    ~SecondaryWindows();
    SecondaryWindows(const SecondaryWindows &) = delete;
    SecondaryWindows &operator=(const SecondaryWindows &) = delete;

    // The window switch of a window-opening command: closes the command's
    // fixed list of other windows and shows the target, in the command's order.
    void switchTo(SecondaryWindow target);

    // The window if it is open, else nullptr.
    QWidget *openWindow(SecondaryWindow window) const;

private:
    void close(SecondaryWindow window);
    void show(SecondaryWindow window);
    QWidget *create(SecondaryWindow window) const;

    platform::Platform &m_platform;
    std::array<QPointer<QWidget>, 6> m_windows;
};
