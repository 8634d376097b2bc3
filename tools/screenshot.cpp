// Draws the windows, for the README and for comparing one build with another:
//   screenshot <folder holding dicy.ini> <output.png>
//       the main window after a search
//   screenshot --all <folder holding dicy.ini> <output folder> [light|dark|contrast]
//       every window, each as <object name>.png, in the given palette
// The scale is Qt's own: set QT_SCALE_FACTOR to draw at 2x.

#include "about_window.h"
#include "add_word_dialog.h"
#include "days_window.h"
#include "desktop_platform.h"
#include "form1.h"
#include "language_window.h"
#include "numbers_window.h"
#include "technology_window.h"
#include "test_palettes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <memory>

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

// Shows the window as the active one, even where no window manager or
// display makes it so, and draws it.
bool save(QWidget &window, const QString &file)
{
    window.show();
    QApplication::setActiveWindow(&window);
    if (auto *list = window.findChild<QComboBox *>(QStringLiteral("Combo1")))
        QTest::keyClick(list, Qt::Key_Down); // the first item chosen
    if (window.grab().save(file))
        return true;
    std::fprintf(stderr, "screenshot: %s could not be saved\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool all = argc >= 4 && QByteArray(argv[1]) == "--all";
    if (!(argc == 3 || (all && argc <= 5))) {
        std::fputs("usage: screenshot <folder holding dicy.ini> <output.png>\n"
                   "       screenshot --all <folder holding dicy.ini> <output folder> [light|dark|contrast]\n",
                   stderr);
        return 2;
    }
    if (all && argc == 5)
        QApplication::setPalette(test_palettes::named(QString::fromLatin1(argv[4])));
    FolderPlatform platform(QString::fromLocal8Bit(argv[all ? 2 : 1]));
    Form1 window(platform);
    window.show();
    QApplication::setActiveWindow(&window);
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QTest::keyClicks(search, QStringLiteral("Friday"));
    QTest::keyClick(search, Qt::Key_Return);
    if (!all)
        return save(window, QString::fromLocal8Bit(argv[2])) ? 0 : 1;

    const QDir out(QString::fromLocal8Bit(argv[3]));
    std::unique_ptr<QWidget> others[] = {std::make_unique<frmAdd>(platform), std::make_unique<Form2>(),
                                         std::make_unique<Form3>(),          std::make_unique<frmTech>(),
                                         std::make_unique<Dialog>(),         std::make_unique<frmAbout>()};
    bool saved = save(window, out.filePath(QStringLiteral("Form1.png")));
    for (const auto &other : others) {
        saved = save(*other, out.filePath(other->objectName() + QStringLiteral(".png"))) && saved;
        other->hide();
    }
    return saved ? 0 : 1;
}
