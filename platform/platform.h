#pragma once

#include "word_list_places.h"

#include <QString>

class QUrl;

// The services the windows ask of the desktop: message boxes, the beep, the
// word lists' places, handing a file or an address to the desktop, and ending the
// program. Windows receive one Platform and never call these services
// themselves, so tests can hand in a recorder instead of the desktop.
namespace platform {

// The style value of a message box; each shows a single OK button.
enum class MessageStyle : int {
    Plain = 0,        // no icon
    Exclamation = 48, // exclamation-mark icon
};

// How a window opened by the desktop is first shown.
enum class ShowCommand : int {
    Normal = 1,
    Maximized = 3,
};

inline const QString kTitle = QStringLiteral("Parlanta");

class Platform {
public:
    virtual ~Platform() = default;

    // Modal: returns when the user has closed the box.
    virtual void messageBox(const QString &prompt, const QString &title, MessageStyle style) = 0;
    virtual void beep() = 0;
    // Where the word lists are; Readme.txt is beside the shared one.
    virtual WordListPlaces wordLists() const = 0;
    // Opens a file with the application the desktop associates with it.
    virtual bool openDocument(const QString &path, ShowCommand show) = 0;
    // Opens a web address in the user's browser.
    virtual bool openAddress(const QUrl &address, ShowCommand show) = 0;
    // Ends the program at once: every window goes, nothing is asked.
    virtual void endProgram() = 0;
};

} // namespace platform
