#pragma once

#include "platform.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

// A Platform that records what the windows ask of the desktop instead of
// doing it, so no test blocks on a modal box or starts another program.
class RecordingPlatform final : public platform::Platform {
public:
    struct Message {
        QString prompt;
        QString title;
        platform::MessageStyle style;
    };
    struct Opened {
        QString target; // a file path or a web address
        platform::ShowCommand show;
    };

    explicit RecordingPlatform(QString folder) : folder(std::move(folder)) {}

    void messageBox(const QString &prompt, const QString &title, platform::MessageStyle style) override
    {
        messages.append({prompt, title, style});
        if (onMessage)
            onMessage();
    }
    void beep() override { ++beeps; }
    platform::WordListPlaces wordLists() const override
    {
        const QString shared = folder + QDir::separator() + QStringLiteral("dicy.ini");
        return {shared, ownList.isNull() ? shared : ownList};
    }
    bool openDocument(const QString &path, platform::ShowCommand show) override
    {
        opened.append({path, show});
        return openSucceeds;
    }
    bool openAddress(const QUrl &address, platform::ShowCommand show) override
    {
        opened.append({address.toString(), show});
        if (onOpen)
            onOpen();
        return openSucceeds;
    }
    void endProgram() override { ++endRequests; }

    QString folder;
    // The user's own list, where the shared list in `folder` is not theirs to write.
    QString ownList;
    QList<Message> messages;
    QList<Opened> opened;
    int beeps = 0;
    int endRequests = 0;
    bool openSucceeds = true;
    // Runs while a message box would be open, as the user's next step would.
    std::function<void()> onMessage;
    std::function<void()> onOpen;
};
