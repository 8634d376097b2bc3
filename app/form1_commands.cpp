// The main window's commands: its menu bar, pop-up menu and toolbar, the
// window switch, Read Me, Home, and the end of the program.

#include "form1.h"

#include "file_lookup.h"
#include "platform.h"
#include "status_bar.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

const char *const Form1::kHomePage = "https://parlanta.example.org/";

void Form1::Toolbar1_ButtonClick(QAction *button)
{
    using Handler = void (Form1::*)();
    static const std::pair<const char *, Handler> kCommands[] = {
        {"Exit", &Form1::subExit_Click},
        {"Add", &Form1::subAdd_Click},
        {"Numbers", &Form1::subNumbers_Click},
        {"Days", &Form1::subDays_Click},
        {"Language", &Form1::subLanguage_Click},
        {"Tech", &Form1::subTec_Click},
        {"About", &Form1::subAbout_Click},
        {"Readme", &Form1::subReadMe_Click},
        {"Home", &Form1::Home_Click},
    };
    // The key, not the tool tip, names the command; it is compared exactly.
    const QString key = button->data().toString();
    for (const auto &[command, handler] : kCommands) {
        if (key == QLatin1String(command)) {
            (this->*handler)();
            return;
        }
    }
}

void Form1::mouseReleaseEvent(QMouseEvent *event)
{
    // Only releases over the window's own surface get here: each control
    // keeps its own (the search box shows its own context menu).
    Form_MouseUp(event->button());
}

void Form1::Form_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        EditMenu->popup(QCursor::pos());
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_QueryUnload();
}

void Form1::Form_QueryUnload()
{
    m_platform.endProgram();
}

void Form1::subExit_Click()
{
    m_platform.endProgram();
}

void Form1::subAdd_Click()
{
    m_windows.switchTo(SecondaryWindow::Add);
}

void Form1::subNumbers_Click()
{
    m_windows.switchTo(SecondaryWindow::Numbers);
}

void Form1::subTec_Click()
{
    m_windows.switchTo(SecondaryWindow::Technology);
}

void Form1::subDays_Click()
{
    m_windows.switchTo(SecondaryWindow::Days);
}

void Form1::subLanguage_Click()
{
    m_windows.switchTo(SecondaryWindow::Language);
}

void Form1::subHum_Click()
{
    m_windows.switchTo(SecondaryWindow::About);
}

void Form1::subReadMe_Click()
{
    try {
        // The read-me's name is matched without regard to letter case, as the
        // file systems it was first shipped on did.
        const QString folder = m_platform.wordLists().sharedFolder();
        const std::optional<QString> stored = platform::storedFileName(folder, QStringLiteral("Readme.txt"));
        if (stored && stored->toLower() == QLatin1String("readme.txt")) {
            // Whether the desktop could open it is not examined.
            m_platform.openDocument(folder + QDir::separator() + *stored, platform::ShowCommand::Maximized);
            return;
        }
        m_platform.messageBox(QStringLiteral("Readme file does not exist in the default folder.Reinstall Parlanta"),
                              platform::kTitle, platform::MessageStyle::Exclamation);
    } catch (...) {
        // Read Me never ends the program: a step that fails is abandoned.
    }
}

void Form1::Home_Click()
{
    StatusBar1->setPanelText(MainStatusBar::Panel::First, QStringLiteral("Please wait..."));
    // No browser is not reported; the panel is emptied all the same.
    m_platform.openAddress(QUrl(QLatin1String(kHomePage)), platform::ShowCommand::Normal);
    StatusBar1->setPanelText(MainStatusBar::Panel::First, QString());
}

void Form1::subNum_Click()
{
    subNumbers_Click();
}

void Form1::subTech_Click()
{
    subTec_Click();
}

void Form1::subDay_Click()
{
    subDays_Click();
}

void Form1::sunAds_Click()
{
    subAdd_Click();
}

void Form1::subLan_Click()
{
    subLanguage_Click();
}

void Form1::subAbout_Click()
{
    subHum_Click();
}
