#pragma once

#include "platform.h"

namespace platform {

// The real desktop, through Qt.
class DesktopPlatform final : public Platform {
public:
    void messageBox(const QString &prompt, const QString &title, MessageStyle style) override;
    void beep() override;
    WordListPlaces wordLists() const override;
    bool openDocument(const QString &path, ShowCommand show) override;
    bool openAddress(const QUrl &address, ShowCommand show) override;
    void endProgram() override;
};

// True when no display is known to start the program on (only where the
// desktop names its display in the environment); Qt would then abort with a
// long message before the program could say so in one line.
bool displayMissing();

} // namespace platform
