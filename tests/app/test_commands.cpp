#include "main_window_fixture.h"
#include "status_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QtTest>

namespace {

// The windows' object names, in a fixed order for comparisons.
const std::pair<SecondaryWindow, const char *> kWindows[] = {
    {SecondaryWindow::Add, "frmAdd"},          {SecondaryWindow::Numbers, "Form2"},
    {SecondaryWindow::Days, "Form3"},          {SecondaryWindow::Technology, "frmTech"},
    {SecondaryWindow::Language, "Dialog"},     {SecondaryWindow::About, "frmAbout"},
};

struct Fixture : MainWindowFixture {
    QWidget *open(SecondaryWindow which) const { return window->secondaryWindows().openWindow(which); }
    QStringList openWindows() const
    {
        QStringList names;
        for (const auto &[which, name] : kWindows) {
            if (open(which))
                names << QLatin1String(name);
        }
        return names;
    }
    QWidget *openNamed(const QString &name) const
    {
        for (const auto &[which, windowName] : kWindows) {
            if (name == QLatin1String(windowName))
                return open(which);
        }
        return nullptr;
    }
};

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void windowSwitch_data();
    void windowSwitch();
    void openWindowKeepsWhatTheUserDid();
    void threeRoutesAgree_data();
    void threeRoutesAgree();
    void popUpMenuOnTheBareSurfaceOnly();
    void readMe_data();
    void readMe();
    void homeOpensTheHomePage();
    void endingTheProgram_data();
    void endingTheProgram();
    void secondaryWindowsGoWithTheMainWindow();
};

void TestCommands::cleanup()
{
    for (QWidget *menu : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu *>(menu))
            menu->hide();
    }
}

void TestCommands::windowSwitch_data()
{
    QTest::addColumn<QStringList>("before");   // commands run first
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("expected"); // windows open afterwards
    QTest::addColumn<bool>("sameTarget");      // an open target kept, not opened afresh

    using L = QStringList;
    QTest::newRow("Numbers from none") << L{} << "subNumbers" << L{"Form2"} << false;
    QTest::newRow("Numbers, then Days") << L{"subNumbers"} << "subDays" << L{"Form3"} << false;
    QTest::newRow("Numbers again") << L{"subNumbers"} << "subNumbers" << L{"Form2"} << true;
    QTest::newRow("Add again") << L{"subAdd"} << "subAdd" << L{"frmAdd"} << true;
    QTest::newRow("Technology again") << L{"subTec"} << "subTec" << L{"frmTech"} << true;
    QTest::newRow("Language again opens afresh") << L{"subLanguage"} << "subLanguage" << L{"Dialog"} << false;
    QTest::newRow("Technology, then Language") << L{"subTec"} << "subLanguage" << L{"frmTech", "Dialog"} << false;
    QTest::newRow("Language, then Technology") << L{"subLanguage"} << "subTec" << L{"frmTech"} << false;
    QTest::newRow("Add closes both") << L{"subTec", "subLanguage"} << "subAdd" << L{"frmAdd"} << false;
    QTest::newRow("About closes both") << L{"subTec", "subLanguage"} << "subHum" << L{"frmAbout"} << false;
    QTest::newRow("Technology with Language open") << L{"subTec", "subLanguage"} << "subTec" << L{"frmTech"} << true;
    QTest::newRow("Language again beside Technology") << L{"subTec", "subLanguage"} << "subLanguage" << L{"frmTech", "Dialog"} << false;
    QTest::newRow("Add, then About") << L{"subAdd"} << "subHum" << L{"frmAbout"} << false;
}

void TestCommands::windowSwitch()
{
    QFETCH(QStringList, before);
    QFETCH(QString, command);
    QFETCH(QStringList, expected);
    QFETCH(bool, sameTarget);
    Fixture f;
    for (const QString &earlier : before)
        f.run(earlier);
    QPointer<QWidget> target = f.openNamed(expected.last());
    f.run(command);
    QCOMPARE(f.openWindows(), expected);
    QCOMPARE(!target.isNull() && f.openNamed(expected.last()) == target, sameTarget);
    for (const QString &name : expected)
        QVERIFY2(f.openNamed(name)->isVisible() && !f.openNamed(name)->parentWidget(), qPrintable(name));
}

void TestCommands::openWindowKeepsWhatTheUserDid()
{
    Fixture f;
    f.run("subAdd");
    auto *english = f.open(SecondaryWindow::Add)->findChild<QLineEdit *>(QStringLiteral("txtEngAdd"));
    QTest::keyClicks(english, "typed");
    f.run("sunAds");
    QCOMPARE(f.open(SecondaryWindow::Add)->findChild<QLineEdit *>(QStringLiteral("txtEngAdd"))->text(), "typed");

    f.run("subNumbers");
    auto *list = f.open(SecondaryWindow::Numbers)->findChild<QComboBox *>(QStringLiteral("Combo1"));
    QTest::keyClick(list, Qt::Key_Down);
    const QString shown = f.open(SecondaryWindow::Numbers)->findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
    QVERIFY(!shown.isEmpty());
    f.clickToolbar("Numbers");
    QCOMPARE(f.open(SecondaryWindow::Numbers)->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), shown);
    QCOMPARE(list->count(), 11);

    // Opened again after Numbers closed it, the dialog starts afresh.
    f.run("subAdd");
    QVERIFY(f.open(SecondaryWindow::Add)->findChild<QLineEdit *>(QStringLiteral("txtEngAdd"))->text().isEmpty());
}

void TestCommands::threeRoutesAgree_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("popUpItem");
    QTest::addColumn<QString>("toolbarKey");
    QTest::addColumn<QString>("opens");
    QTest::newRow("Add") << "subAdd" << "sunAds" << "Add" << "frmAdd";
    QTest::newRow("Numbers") << "subNumbers" << "subNum" << "Numbers" << "Form2";
    QTest::newRow("Days") << "subDays" << "subDay" << "Days" << "Form3";
    QTest::newRow("Technology") << "subTec" << "subTech" << "Tech" << "frmTech";
    QTest::newRow("Language") << "subLanguage" << "subLan" << "Language" << "Dialog";
    QTest::newRow("About") << "subHum" << "subAbout" << "About" << "frmAbout";
}

void TestCommands::threeRoutesAgree()
{
    QFETCH(QString, menuItem);
    QFETCH(QString, popUpItem);
    QFETCH(QString, toolbarKey);
    QFETCH(QString, opens);
    for (int route = 0; route < 3; ++route) {
        Fixture f;
        f.run("subDays"); // something for the switch to close
        if (route == 0)
            f.run(menuItem);
        else if (route == 1)
            f.run(popUpItem);
        else
            f.clickToolbar(toolbarKey);
        QCOMPARE(f.openWindows(), QStringList{opens});
    }
}

void TestCommands::popUpMenuOnTheBareSurfaceOnly()
{
    Fixture f;
    auto *menu = f.window->findChild<QMenu *>(QStringLiteral("EditMenu"));
    QWidget *surface = f.window->centralWidget();
    const QPoint empty(surface->width() / 2, surface->height() / 2 - 20);

    QTest::mouseClick(surface, Qt::LeftButton, {}, empty);
    QVERIFY(!menu->isVisible());
    QTest::mouseClick(f.window->findChild<QLineEdit *>(QStringLiteral("Text1")), Qt::RightButton);
    QVERIFY(!menu->isVisible());
    QTest::mouseClick(f.window->findChild<QWidget *>(QStringLiteral("Label1")), Qt::RightButton);
    QVERIFY(!menu->isVisible());
    QTest::mouseClick(surface, Qt::RightButton, {}, empty);
    QVERIFY(menu->isVisible());
    menu->hide();
}

void TestCommands::readMe_data()
{
    QTest::addColumn<QString>("file");  // made in the program folder; "" for none
    QTest::addColumn<bool>("asFolder");
    QTest::addColumn<QString>("opened"); // "" when the message is shown instead
    QTest::newRow("Readme.txt") << "Readme.txt" << false << "Readme.txt";
    QTest::newRow("README.TXT") << "README.TXT" << false << "README.TXT";
    QTest::newRow("readme.txt") << "readme.txt" << false << "readme.txt";
    QTest::newRow("folder named Readme.txt") << "Readme.txt" << true << "";
    QTest::newRow("no read-me") << "" << false << "";
    QTest::newRow("other name") << "Readme.txt.bak" << false << "";
}

void TestCommands::readMe()
{
    QFETCH(QString, file);
    QFETCH(bool, asFolder);
    QFETCH(QString, opened);
    Fixture f;
    if (asFolder)
        QVERIFY(QDir(f.folder.path()).mkdir(file));
    else if (!file.isEmpty())
        f.folder.write(file, "read me\r\n");

    f.clickToolbar("Readme");
    if (opened.isEmpty()) {
        QCOMPARE(f.platform.opened.size(), 0);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages.first().prompt,
                 QStringLiteral("Readme file does not exist in the default folder.Reinstall Parlanta"));
        QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Exclamation);
    } else {
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.platform.opened.size(), 1);
        QCOMPARE(QFileInfo(f.platform.opened.first().target), QFileInfo(f.folder.path() + "/" + opened));
        QCOMPARE(QFileInfo(f.platform.opened.first().target).fileName(), opened);
        QCOMPARE(f.platform.opened.first().show, platform::ShowCommand::Maximized);
    }
}

void TestCommands::homeOpensTheHomePage()
{
    Fixture f;
    MainStatusBar *bar = f.window->statusBarPanels();
    QString duringOpen;
    f.platform.onOpen = [&] { duringOpen = bar->panelText(MainStatusBar::Panel::First); };
    f.platform.openSucceeds = false; // no browser: nothing is reported
    QCOMPARE(bar->panelText(MainStatusBar::Panel::First), QStringLiteral("Type your search"));

    f.clickToolbar("Home");
    QCOMPARE(duringOpen, QStringLiteral("Please wait..."));
    QCOMPARE(bar->panelText(MainStatusBar::Panel::First), QString());
    QCOMPARE(f.platform.opened.size(), 1);
    QCOMPARE(f.platform.opened.first().target, QString::fromLatin1(Form1::kHomePage));
    QCOMPARE(f.platform.opened.first().show, platform::ShowCommand::Normal);
    QVERIFY(f.platform.messages.isEmpty());
}

void TestCommands::endingTheProgram_data()
{
    QTest::addColumn<int>("route");
    QTest::newRow("File, Exit") << 0;
    QTest::newRow("toolbar Exit") << 1;
    QTest::newRow("close box") << 2;
}

void TestCommands::endingTheProgram()
{
    QFETCH(int, route);
    Fixture f;
    f.run("subAdd");
    f.open(SecondaryWindow::Add)->findChild<QLineEdit *>(QStringLiteral("txtEngAdd"))->setText("unsaved");
    if (route == 0)
        f.run("subExit");
    else if (route == 1)
        f.clickToolbar("Exit");
    else
        QVERIFY(f.window->close());
    QCOMPARE(f.platform.endRequests, 1);
    QVERIFY(f.platform.messages.isEmpty()); // nothing is asked
}

void TestCommands::secondaryWindowsGoWithTheMainWindow()
{
    Fixture f;
    f.run("subTec");
    f.run("subLanguage");
    QPointer<QWidget> technology = f.open(SecondaryWindow::Technology);
    QPointer<QWidget> language = f.open(SecondaryWindow::Language);
    f.window.reset();
    QVERIFY(technology.isNull());
    QVERIFY(language.isNull());
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
