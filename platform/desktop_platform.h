#pragma once

#include "platform.h"

namespace platform {

// The real desktop, through Qt.
class DesktopPlatform final : public Platform {
public:
    void messageBox(const QString &prompt, const QString &title, MessageStyle style) override;
    void beep() override;
    QString programFolder() const override;
    bool openDocument(const QString &path, ShowCommand show) override;
    bool openAddress(const QUrl &address, ShowCommand show) override;
    void endProgram() override;
};

} // namespace platform
