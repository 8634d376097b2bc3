// Draws the main window after a search, for the README:
//   screenshot <folder holding dicy.ini> <output.png>

#include "desktop_platform.h"
#include "form1.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <cstdio>

namespace {

// The desktop, with the word list taken from the given folder.
class FolderPlatform final : public platform::Platform {
public:
    explicit FolderPlatform(QString folder) : m_folder(std::move(folder)) {}
    void messageBox(const QString &prompt, const QString &title, platform::MessageStyle style) override
    {
        m_desktop.messageBox(prompt, title, style);
    }
    void beep() override {}
    platform::WordListPlaces wordLists() const override
    {
        const QString list = m_folder + QDir::separator() + QStringLiteral("dicy.ini");
        return {list, list};
    }
    bool openDocument(const QString &, platform::ShowCommand) override { return false; }
    bool openAddress(const QUrl &, platform::ShowCommand) override { return false; }
    void endProgram() override {}

private:
    platform::DesktopPlatform m_desktop;
    QString m_folder;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: screenshot <folder holding dicy.ini> <output.png>\n", stderr);
        return 2;
    }
    FolderPlatform platform(QString::fromLocal8Bit(argv[1]));
    Form1 window(platform);
    window.show();
    // Drawn as the window the user is typing in, even where no window
    // manager or display makes it the active one.
    QApplication::setActiveWindow(&window);
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QTest::keyClicks(search, QStringLiteral("Friday"));
    QTest::keyClick(search, Qt::Key_Return);
    if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fputs("screenshot: the picture could not be saved\n", stderr);
        return 1;
    }
    return 0;
}
