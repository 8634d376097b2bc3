#include "main_window_fixture.h"
#include "picture_holder.h"
#include "status_bar.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using Panel = MainStatusBar::Panel;

namespace {

const QByteArray kWords = "[lexon]\r\nOne=yaak\r\nEmpty=\r\ncaf\xe9=k\xe9\xff\r\n";

enum class Picture { None, Found, NotFound, AddIt };

struct Fixture : MainWindowFixture {
    QLineEdit *text1() const { return find<QLineEdit>("Text1"); }
    QLineEdit *text2() const { return find<QLineEdit>("Text2"); }
    MainStatusBar *bar() const { return window->statusBarPanels(); }

    void search(const QString &word) const
    {
        text1()->clear();
        QTest::keyClicks(text1(), word);
        QTest::keyClick(text1(), Qt::Key_Return);
    }

    Picture picture(Panel panel) const
    {
        const QIcon shown = bar()->panelPicture(panel);
        if (shown.isNull())
            return Picture::None;
        const std::pair<const char *, Picture> holders[] = {
            {"Image1", Picture::Found}, {"Image2", Picture::NotFound}, {"Image4", Picture::AddIt}};
        for (const auto &[name, picture] : holders) {
            if (find<PictureHolder>(name)->picture().cacheKey() == shown.cacheKey())
                return picture;
        }
        return Picture::None;
    }

    // Everything the user sees of a search's outcome.
    QStringList screen() const
    {
        return {text2()->text(), bar()->panelText(Panel::First), bar()->panelText(Panel::Second),
                bar()->panelText(Panel::Third), QString::number(int(picture(Panel::Second))),
                QString::number(int(picture(Panel::Third)))};
    }
};

QStringList shows(const QString &text2, const QString &p1, const QString &p2, const QString &p3, Picture pic2,
                  Picture pic3)
{
    return {text2, p1, p2, p3, QString::number(int(pic2)), QString::number(int(pic3))};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsReadyToType();
    void searchShowsTheOutcome_data();
    void searchShowsTheOutcome();
    void notFoundKeepsTheEarlierSearchInPanelOne();
    void failedSearchChangesNothing_data();
    void failedSearchChangesNothing();
    void eachRouteRunsOneSearch_data();
    void eachRouteRunsOneSearch();
    void leftArrowEmptiesTheSearchBox_data();
    void leftArrowEmptiesTheSearchBox();
    void clearAllResetsTheWindow();
    void exitEndsTheProgram_data();
    void exitEndsTheProgram();
    void popUpMenuIsNotInTheMenuBar();
};

void TestMainWindow::startsReadyToType()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(QApplication::focusWidget(), f.text1());
    QCOMPARE(f.screen(), shows("", "Type your search", "", "", Picture::None, Picture::None));
    QVERIFY(f.text1()->text().isEmpty());
    for (const char *name : {"Image1", "Image2", "Image3", "Image4"})
        QVERIFY2(!f.find<PictureHolder>(name)->isVisible(), name);
    QVERIFY(f.bar()->panelPicture(Panel::First).isNull());
}

void TestMainWindow::searchShowsTheOutcome_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("found, other case") << "one" << shows("YAAK", "Search for ONE...", "Found", "", Picture::Found, Picture::None);
    QTest::newRow("found, as stored") << "One" << shows("YAAK", "Search for ONE...", "Found", "", Picture::Found, Picture::None);
    QTest::newRow("empty value") << "empty" << shows("", "Search for EMPTY...", "Found", "", Picture::Found, Picture::None);
    QTest::newRow("accented word") << QString::fromUtf8("CAFÉ") << shows(QString::fromUtf8("KÉŸ"), QString::fromUtf8("Search for CAFÉ..."), "Found", "", Picture::Found, Picture::None);
    QTest::newRow("missing word") << "two" << shows("NONE", "Type your search", "Not found", "Click Add to add it", Picture::NotFound, Picture::AddIt);
    QTest::newRow("single space") << " " << shows("NONE", "Type your search", "Not found", "Click Add to add it", Picture::NotFound, Picture::AddIt);
    QTest::newRow("trailing space") << "One " << shows("NONE", "Type your search", "Not found", "Click Add to add it", Picture::NotFound, Picture::AddIt);
}

void TestMainWindow::searchShowsTheOutcome()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    Fixture f;
    f.folder.writeWordList(kWords);
    f.search(typed);
    QCOMPARE(f.screen(), expected);
    QCOMPARE(f.text1()->text(), typed); // a search never changes the box
    QVERIFY(f.platform.messages.isEmpty());
}

void TestMainWindow::notFoundKeepsTheEarlierSearchInPanelOne()
{
    Fixture f;
    f.folder.writeWordList(kWords);
    f.search("one");
    f.search("two");
    QCOMPARE(f.screen(), shows("NONE", "Search for ONE...", "Not found", "Click Add to add it", Picture::NotFound, Picture::AddIt));
    f.search("One");
    QCOMPARE(f.screen(), shows("YAAK", "Search for ONE...", "Found", "", Picture::Found, Picture::None));
}

void TestMainWindow::failedSearchChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("folder named dicy.ini") << QByteArray() << true;
    QTest::newRow("line without =") << QByteArray("[lexon]\r\nnote\r\nOne=YAAK\r\n") << false;
}

void TestMainWindow::failedSearchChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, asFolder);
    Fixture f;
    f.folder.writeWordList(kWords);
    f.search("one");
    const QStringList before = f.screen();

    QVERIFY(QFile::remove(f.folder.wordList()));
    if (asFolder)
        QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("dicy.ini")));
    else if (!file.isEmpty())
        f.folder.writeWordList(file);
    f.search("One");
    QCOMPARE(f.screen(), before);
    QVERIFY(f.platform.messages.isEmpty());
    QVERIFY(f.window->isEnabled());
    QVERIFY(!QFileInfo(f.folder.wordList()).isFile() || !file.isEmpty()); // nothing was created
}

void TestMainWindow::eachRouteRunsOneSearch_data()
{
    QTest::addColumn<int>("route");
    QTest::newRow("Enter in the search box") << 0;
    QTest::newRow("click on Search") << 1;
    QTest::newRow("Alt+S") << 2;
    QTest::newRow("Enter in the result box") << 3;
}

void TestMainWindow::eachRouteRunsOneSearch()
{
    QFETCH(int, route);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.folder.writeWordList(kWords);
    f.search("one");
    QStringList expected = f.screen();
    expected[0] = QString(); // an empty search empties the result box and keeps the status bar
    f.text1()->clear();

    // An empty box shows one message box per search, which counts searches.
    switch (route) {
    case 0:
        QTest::keyClick(f.text1(), Qt::Key_Return);
        break;
    case 1:
        QTest::mouseClick(f.find<QToolButton>("Command1"), Qt::LeftButton);
        break;
    case 2:
        // Access keys press their button with a short animation.
        QTest::keyClick(f.text1(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(f.platform.messages.size(), 1);
        break;
    case 3:
        f.text2()->setFocus();
        QTest::keyClick(f.text2(), Qt::Key_Enter);
        break;
    }
    QCOMPARE(f.platform.messages.size(), 1);
    const RecordingPlatform::Message &message = f.platform.messages.first();
    QCOMPARE(message.prompt, QStringLiteral("No text was entered,\r\nplease enter a word in the search box."));
    QCOMPARE(message.title, QStringLiteral("Parlanta"));
    QCOMPARE(message.style, platform::MessageStyle::Exclamation);
    QCOMPARE(QApplication::focusWidget(), f.text1());
    QCOMPARE(f.screen(), expected);
}

void TestMainWindow::leftArrowEmptiesTheSearchBox_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("plain") << Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier);
}

void TestMainWindow::leftArrowEmptiesTheSearchBox()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Fixture f;
    QTest::keyClicks(f.text1(), "word");
    QTest::keyClick(f.text1(), Qt::Key_Right, modifiers);
    QCOMPARE(f.text1()->text(), QStringLiteral("word"));
    QTest::keyClick(f.text1(), Qt::Key_Left, modifiers);
    QCOMPARE(f.text1()->text(), QString());
}

void TestMainWindow::clearAllResetsTheWindow()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.folder.writeWordList(kWords);
    f.search("two");
    QTest::keyClick(f.text1(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(f.screen(), shows("", "Type your search", "", "", Picture::None, Picture::None));
    QVERIFY(f.text1()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.text1());

    f.search("one");
    QTest::mouseClick(f.find<QToolButton>("Command2"), Qt::LeftButton);
    QCOMPARE(f.screen(), shows("", "Type your search", "", "", Picture::None, Picture::None));
}

void TestMainWindow::exitEndsTheProgram_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Exit picture button") << "Command3";
    QTest::newRow("toolbar Exit") << "Toolbar1_Exit";
    QTest::newRow("File, Exit") << "subExit";
}

void TestMainWindow::exitEndsTheProgram()
{
    QFETCH(QString, route);
    Fixture f;
    if (auto *button = f.window->findChild<QToolButton *>(route))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        f.window->findChild<QAction *>(route)->trigger();
    QCOMPARE(f.platform.endRequests, 1);
    QVERIFY(f.platform.messages.isEmpty());
}

void TestMainWindow::popUpMenuIsNotInTheMenuBar()
{
    Fixture f;
    QStringList titles;
    for (QAction *action : f.window->menuBar()->actions())
        titles << action->text();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "&Help"}));
    QVERIFY(f.find<QMenu>("EditMenu"));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
