#include "huge_word_list.h"
#include "form1.h"
#include "recording_platform.h"
#include "word_list_fixture.h"
#include "picture_holder.h"
#include "status_bar.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <optional>
#include <stdexcept>

using Panel = MainStatusBar::Panel;
using W = SecondaryWindow;

namespace {

const QByteArray kWords = "[lexon]\r\nOne=yaak\r\nEmpty=\r\ncaf\xe9=k\xe9\xff\r\n";
const QString kStart = QStringLiteral("Type your search");
const QString kAddIt = QStringLiteral("Click Add to add it");

// Each window with the object name it is found by, and its three routes:
// menu bar item, pop-up menu item, toolbar key.
struct WindowRoutes {
    W window;
    const char *name, *menuItem, *popUpItem, *toolbarKey;
};
const WindowRoutes kWindows[] = {
    {W::Add, "frmAdd", "subAdd", "sunAds", "Add"},
    {W::Numbers, "Form2", "subNumbers", "subNum", "Numbers"},
    {W::Days, "Form3", "subDays", "subDay", "Days"},
    {W::Technology, "frmTech", "subTec", "subTech", "Tech"},
    {W::Language, "Dialog", "subLanguage", "subLan", "Language"},
    {W::About, "frmAbout", "subHum", "subAbout", "About"},
};

// The main window in a temporary program folder, shown and active, with a
// recorder for what it asks of the desktop.
struct Fixture {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    std::unique_ptr<Form1> window = std::make_unique<Form1>(platform);

    Fixture()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    template<typename T>
    T *find(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    void run(const char *item) const { window->findChild<QAction *>(QLatin1String(item))->trigger(); }
    void clickToolbar(const QString &key) const
    {
        QAction *button = window->findChild<QAction *>(QStringLiteral("Toolbar1_") + key);
        QTest::mouseClick(find<QToolBar>("Toolbar1")->widgetForAction(button), Qt::LeftButton);
    }
    QLineEdit *text1() const { return find<QLineEdit>("Text1"); }
    QLineEdit *text2() const { return find<QLineEdit>("Text2"); }
    MainStatusBar *bar() const { return window->statusBarPanels(); }
    QWidget *open(W which) const { return window->secondaryWindows().openWindow(which); }

    void search(const QString &word) const
    {
        text1()->clear();
        QTest::keyClicks(text1(), word);
        QTest::keyClick(text1(), Qt::Key_Return);
    }
    // The picture holder whose picture a panel shows, or "".
    QString picture(Panel panel) const
    {
        const QIcon shown = bar()->panelPicture(panel);
        for (const char *name : {"Image1", "Image2", "Image3", "Image4"}) {
            if (find<PictureHolder>(name)->isVisible()) // the holders themselves are never shown
                return QStringLiteral("shown: ") + QLatin1String(name);
            if (!shown.isNull() && find<PictureHolder>(name)->picture().cacheKey() == shown.cacheKey())
                return QLatin1String(name);
        }
        return {};
    }
    // Everything the user sees of a search's outcome.
    QStringList screen() const
    {
        return {text2()->text(), bar()->panelText(Panel::First), bar()->panelText(Panel::Second),
                bar()->panelText(Panel::Third), picture(Panel::Second), picture(Panel::Third)};
    }
    QStringList openWindows() const
    {
        QStringList names;
        for (const WindowRoutes &routes : kWindows)
            names << (open(routes.window) ? QLatin1String(routes.name) : QLatin1String());
        names.removeAll(QString());
        return names;
    }
};

// Image1 is the "found" picture, Image2 "not found", Image4 "add it".
QStringList shows(const QString &text2, const QString &p1, const QString &p2, const QString &p3, const char *pic2 = "",
                  const char *pic3 = "")
{
    return {text2, p1, p2, p3, QLatin1String(pic2), QLatin1String(pic3)};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void searchShowsTheOutcome_data()
    {
        QTest::addColumn<QStringList>("typed"); // searched for one after the other
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QByteArray>("own"); // the user's own list, read first; null: none
        using L = QStringList;
        const QByteArray own = "[lexon]\r\nOne=adinag\r\nRain=haur\r\n";
        QTest::newRow("no search yet") << L{} << shows("", kStart, "", "") << QByteArray();
        QTest::newRow("found, other case") << L{"one"} << shows("YAAK", "Search for ONE...", "Found", "", "Image1") << QByteArray();
        QTest::newRow("empty value") << L{"empty"} << shows("", "Search for EMPTY...", "Found", "", "Image1") << QByteArray();
        QTest::newRow("accented word") << L{QString::fromUtf8("CAFÉ")} << shows(QString::fromUtf8("KÉŸ"), QString::fromUtf8("Search for CAFÉ..."), "Found", "", "Image1") << QByteArray();
        QTest::newRow("missing word") << L{"two"} << shows("NONE", kStart, "Not found", kAddIt, "Image2", "Image4") << QByteArray();
        QTest::newRow("trailing space") << L{"One "} << shows("NONE", kStart, "Not found", kAddIt, "Image2", "Image4") << QByteArray();
        QTest::newRow("missing keeps the earlier search") << L{"one", "two"} << shows("NONE", "Search for ONE...", "Not found", kAddIt, "Image2", "Image4") << QByteArray();
        QTest::newRow("found after missing") << L{"two", "One"} << shows("YAAK", "Search for ONE...", "Found", "", "Image1") << QByteArray();
        QTest::newRow("own word over the shared one") << L{"one"} << shows("ADINAG", "Search for ONE...", "Found", "", "Image1") << own;
        QTest::newRow("own word") << L{"rain"} << shows("HAUR", "Search for RAIN...", "Found", "", "Image1") << own;
        QTest::newRow("shared word, own list lacks it") << L{"empty"} << shows("", "Search for EMPTY...", "Found", "", "Image1") << own;
    }

    void searchShowsTheOutcome()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, expected);
        QFETCH(QByteArray, own);
        Fixture f;
        f.folder.writeWordList(kWords);
        if (!own.isNull()) {
            f.platform.ownList = f.folder.path() + QStringLiteral("/own.ini");
            f.folder.write(QStringLiteral("own.ini"), own);
        }
        for (const QString &word : typed)
            f.search(word);
        QCOMPARE(f.screen(), expected);
        QCOMPARE(f.text1()->text(), typed.value(typed.size() - 1)); // a search never changes the box
        QVERIFY(f.platform.messages.isEmpty());
    }

    void failedSearchChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("file"); // what dicy.ini becomes: "" none, "/" a folder, "huge" a terabyte
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("folder named dicy.ini") << QByteArray("/");
        QTest::newRow("line without =") << QByteArray("[lexon]\r\nnote\r\nOne=YAAK\r\n");
        QTest::newRow("too big to hold in memory") << QByteArray("huge");
    }

    void failedSearchChangesNothing()
    {
        QFETCH(QByteArray, file);
        Fixture f;
        f.folder.writeWordList(kWords);
        f.search("one");
        const QStringList before = f.screen();

        QVERIFY(QFile::remove(f.folder.wordList()));
        std::optional<HugeWordList> huge;
        if (file == "huge")
            huge.emplace(f.folder.wordList());
        else if (file == "/")
            QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("dicy.ini")));
        else if (!file.isEmpty())
            f.folder.writeWordList(file);
        f.search("One");
        huge.reset();
        QCOMPARE(f.screen(), before);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(QFileInfo::exists(f.folder.wordList()), !file.isEmpty()); // nothing was created
    }

    void eachRouteRunsOneSearch_data()
    {
        QTest::addColumn<int>("route");
        QTest::newRow("Enter in the search box") << 0;
        QTest::newRow("click on Search") << 1;
        QTest::newRow("Alt+S") << 2;
        QTest::newRow("Enter in the result box") << 3;
    }

    void eachRouteRunsOneSearch()
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
        if (route == 0) {
            QTest::keyClick(f.text1(), Qt::Key_Return);
        } else if (route == 1) {
            QTest::mouseClick(f.find<QToolButton>("Command1"), Qt::LeftButton);
        } else if (route == 2) {
            QTest::keyClick(f.text1(), Qt::Key_S, Qt::AltModifier);
            QTRY_COMPARE(f.platform.messages.size(), 1); // access keys press their button with a short animation
        } else {
            f.text2()->setFocus();
            QTest::keyClick(f.text2(), Qt::Key_Enter);
        }
        QCOMPARE(f.platform.messages.size(), 1);
        const RecordingPlatform::Message &message = f.platform.messages.first();
        QCOMPARE(message.title + u'|' + message.prompt, "Parlanta|No text was entered,\r\nplease enter a word in the search box.");
        QCOMPARE(message.style, platform::MessageStyle::Exclamation);
        QCOMPARE(QApplication::focusWidget(), f.text1());
        QCOMPARE(f.screen(), expected);
    }

    void leftArrowAndClearAllEmptyTheBox()
    {
        // Text the program empties is gone for good: Undo has nothing to bring back.
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(QApplication::focusWidget(), f.text1()); // where the window opens
        f.folder.writeWordList(kWords);
        QTest::keyClicks(f.text1(), "word");
        QTest::keyClick(f.text1(), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(f.text1()->text(), QStringLiteral("word"));
        QTest::keyClick(f.text1(), Qt::Key_Left, Qt::ShiftModifier); // with any modifier
        QCOMPARE(f.text1()->text(), QString());
        QTest::keyClick(f.text1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.text1()->text(), QString());

        f.search("two");
        QTest::keyClick(f.text1(), Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(f.screen(), shows("", kStart, "", ""));
        QCOMPARE(QApplication::focusWidget(), f.text1());
        QTest::keyClick(f.text1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.text1()->text(), QString());
    }

    void windowSwitch_data()
    {
        QTest::addColumn<int>("before");     // the window opened before, -1 for none
        QTest::addColumn<bool>("closedItself"); // and closed again by its own controls
        QTest::addColumn<int>("command");    // the window the command opens
        QTest::addColumn<int>("route");      // 0 menu bar, 1 pop-up menu, 2 toolbar
        for (int before = -1; before < 6; ++before) {
            for (const bool closed : {false, true}) {
                for (int command = 0; command < 6 && (before >= 0 || !closed); ++command) {
                    QTest::addRow("%s%s, then %s", before < 0 ? "none" : kWindows[before].name, closed ? " closed" : "",
                                  kWindows[command].name)
                        << before << closed << command << (before + command + 3) % 3;
                }
            }
        }
    }

    void windowSwitch()
    {
        QFETCH(int, before);
        QFETCH(bool, closedItself);
        QFETCH(int, command);
        QFETCH(int, route);
        const WindowRoutes &target = kWindows[command];
        Fixture f;
        if (before >= 0)
            f.run(kWindows[before].menuItem);
        QPointer<QWidget> earlier = before >= 0 ? f.open(kWindows[before].window) : nullptr;
        if (closedItself)
            earlier->close();
        // Which windows show and close, in order: Technology shows before it closes the others.
        struct Order final : QObject {
            QStringList events;
            bool eventFilter(QObject *object, QEvent *event) override
            {
                if ((event->type() == QEvent::Show || event->type() == QEvent::Close) && object->isWidgetType()
                    && static_cast<QWidget *>(object)->isWindow())
                    events << (event->type() == QEvent::Show ? "show" : "close");
                return false;
            }
        } order;
        qApp->installEventFilter(&order);
        if (route == 0)
            f.run(target.menuItem);
        else if (route == 1)
            f.run(target.popUpItem);
        else
            f.clickToolbar(target.toolbarKey);
        qApp->removeEventFilter(&order);
        if (order.events.contains("close") && order.events.contains("show"))
            QCOMPARE(order.events.first(), target.window == W::Technology ? "show" : "close");

        // Every command closes every other window, but Language leaves Technology
        // open; an open target is kept as it is, but Language opens afresh.
        QStringList expected{target.name};
        if (before >= 0 && !closedItself && before != command && target.window == W::Language
            && kWindows[before].window == W::Technology)
            expected.prepend(kWindows[before].name);
        QCOMPARE(f.openWindows(), expected);
        const bool kept = before == command && !closedItself && target.window != W::Language;
        QCOMPARE(!earlier.isNull() && f.open(target.window) == earlier, kept);
        QVERIFY(!f.open(target.window)->parentWidget());
    }

    void readMe_data()
    {
        QTest::addColumn<QString>("file");  // made in the program folder; "" for none
        QTest::addColumn<bool>("asFolder");
        QTest::addColumn<QString>("opened"); // "" when the message is shown instead
        QTest::newRow("Readme.txt") << "Readme.txt" << false << "Readme.txt";
        QTest::newRow("README.TXT") << "README.TXT" << false << "README.TXT";
        QTest::newRow("folder named Readme.txt") << "Readme.txt" << true << "";
        QTest::newRow("no read-me") << "" << false << "";
        QTest::newRow("other name") << "Readme.txt.bak" << false << "";
    }

    void readMe()
    {
        QFETCH(QString, file);
        QFETCH(bool, asFolder);
        QFETCH(QString, opened);
        Fixture f;
        // The read-me is looked for beside the shared list, not the user's own.
        f.platform.ownList = f.folder.path() + QStringLiteral("/profile/dicy.ini");
        if (asFolder)
            QVERIFY(QDir(f.folder.path()).mkdir(file));
        else if (!file.isEmpty())
            f.folder.write(file, "read me\r\n");

        f.clickToolbar("Readme");
        QCOMPARE(f.platform.messages.size(), qsizetype(opened.isEmpty()));
        QCOMPARE(f.platform.opened.size(), qsizetype(!opened.isEmpty()));
        if (opened.isEmpty()) {
            QCOMPARE(f.platform.messages.first().prompt, "Readme file does not exist in the default folder.Reinstall Parlanta");
            QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Exclamation);
        } else {
            const QFileInfo target(f.platform.opened.first().target);
            QCOMPARE(target.absolutePath() + u'/' + target.fileName(), QFileInfo(f.folder.path()).absoluteFilePath() + u'/' + opened);
            QCOMPARE(f.platform.opened.first().show, platform::ShowCommand::Maximized);
        }
    }

    void homeOpensTheHomePage()
    {
        Fixture f;
        QString duringOpen;
        f.platform.onOpen = [&] { duringOpen = f.bar()->panelText(Panel::First); };
        f.platform.openSucceeds = false; // no browser: nothing is reported
        f.clickToolbar("Home");
        QCOMPARE(duringOpen, QStringLiteral("Please wait..."));
        QCOMPARE(f.bar()->panelText(Panel::First), QString());
        QCOMPARE(f.platform.opened.size(), 1);
        QCOMPARE(f.platform.opened.first().target, QStringLiteral("https://parlanta.example.org/"));
        QVERIFY(f.platform.opened.first().show == platform::ShowCommand::Normal && f.platform.messages.isEmpty());
    }

    void endingTheProgram_data()
    {
        QTest::addColumn<int>("route");
        QTest::newRow("File, Exit") << 0;
        QTest::newRow("toolbar Exit") << 1;
        QTest::newRow("Exit picture button") << 2;
        QTest::newRow("close box") << 3;
    }

    void endingTheProgram()
    {
        QFETCH(int, route);
        Fixture f;
        f.run("subAdd");
        f.open(W::Add)->findChild<QLineEdit *>(QStringLiteral("txtEngAdd"))->setText("unsaved");
        if (route == 0)
            f.run("subExit");
        else if (route == 1)
            f.clickToolbar("Exit");
        else if (route == 2)
            QTest::mouseClick(f.find<QToolButton>("Command3"), Qt::LeftButton);
        else
            QVERIFY(f.window->close());
        QCOMPARE(f.platform.endRequests, 1);
        QVERIFY(f.platform.messages.isEmpty()); // nothing is asked
    }

    void rightButtonOffersThePopUpOverTheBareSurfaceOnly_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("bare surface") << "client" << Qt::RightButton;
        QTest::newRow("bare surface, middle button") << "client" << Qt::MiddleButton;
        for (const char *control : {"Text1", "Text2", "Label1", "Label2", "Command1", "Command2", "Command3",
                                    "Toolbar1", "StatusBar1"})
            QTest::newRow(control) << control << Qt::RightButton;
    }

    void rightButtonOffersThePopUpOverTheBareSurfaceOnly()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        Fixture f;
        auto *under = f.window->findChild<QWidget *>(control);
        const bool bare = control == QLatin1String("client");
        // Between the boxes and the buttons lie only hidden picture holders.
        QTest::mouseClick(under, button, {}, under->rect().center() - QPoint(0, bare ? 20 : 0));
        QCOMPARE(f.find<QMenu>("EditMenu")->isVisible(), bare && button == Qt::RightButton);
    }

    void statusBarPanelsFitTheWindow()
    {
        Fixture f;
        const MainStatusBar *bar = f.window->statusBarPanels();
        QCOMPARE(QPoint(bar->x(), bar->width()), QPoint(0, 487));
        int free = 0; // where the next panel may start
        for (const char *name : {"Panel1", "Panel2", "Panel3"}) {
            const auto *panel = bar->findChild<QWidget *>(name);
            const QRect inBar(panel->mapTo(bar, QPoint()), panel->size());
            QCOMPARE(inBar.width(), 161);
            QVERIFY2(inBar.left() >= free && bar->rect().contains(inBar), name);
            free = inBar.right() + 1;
        }
    }

    void longTextsAndFailingMessageBoxes()
    {
        Fixture f;
        const QByteArray value(40000, 'x');
        f.folder.writeWordList("[lexon]\r\nBosnia-Herzegovina Convertible Mark=" + value + "\r\n");
        f.search("Bosnia-Herzegovina Convertible Mark");
        QCOMPARE(f.text2()->text(), QString::fromLatin1(value.toUpper())); // whole
        // Panel 1 ends with an ellipsis at its edge; screen readers get the whole text.
        const auto *shown = f.bar()->findChild<QWidget *>("Panel1")->findChildren<QLabel *>().last();
        QVERIFY(shown->text().endsWith(u'…') && shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
        QCOMPARE(shown->accessibleName(), "Search for BOSNIA-HERZEGOVINA CONVERTIBLE MARK...");
        const QStringList before = f.screen();

        // Read Me finds no read-me, and then the message box fails; so does the empty search's.
        f.platform.onMessage = [] { throw std::runtime_error("no message box"); };
        f.clickToolbar("Readme");
        f.search(QString());
        QCOMPARE(f.screen(), before);
        QCOMPARE(f.platform.messages.size(), 2);

        const QString pasted(40000, u'a');
        f.text1()->insert(pasted); // as a paste does
        QCOMPARE(f.text1()->text(), pasted);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
