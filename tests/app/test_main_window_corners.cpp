#include "huge_word_list.h"
#include "main_window_fixture.h"
#include "status_bar.h"

#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include <stdexcept>

using Panel = MainStatusBar::Panel;

namespace {

struct Fixture : MainWindowFixture {
    QLineEdit *text1() const { return find<QLineEdit>("Text1"); }

    void search(const QString &word) const
    {
        text1()->setText(word);
        QTest::keyClick(text1(), Qt::Key_Return);
    }
    QStringList screen() const
    {
        const MainStatusBar *bar = window->statusBarPanels();
        return {find<QLineEdit>("Text2")->text(), bar->panelText(Panel::First), bar->panelText(Panel::Second),
                bar->panelText(Panel::Third)};
    }
};

} // namespace

class TestMainWindowCorners : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void rightButtonOffersThePopUpOverTheBareSurfaceOnly_data();
    void rightButtonOffersThePopUpOverTheBareSurfaceOnly();
    void statusBarPanelsFitTheWindow();
    void longTextsStayWhole();
    void failuresLeaveTheWindowAsItWas();
    void textSetByTheProgramCannotBeUndone_data();
    void textSetByTheProgramCannotBeUndone();
};

void TestMainWindowCorners::cleanup()
{
    for (QWidget *menu : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu *>(menu))
            menu->hide();
    }
}

void TestMainWindowCorners::rightButtonOffersThePopUpOverTheBareSurfaceOnly_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("offers");
    QTest::newRow("bare surface") << "client" << true;
    for (const char *control : {"Text1", "Text2", "Label1", "Label2", "Command1", "Command2", "Command3",
                                "Toolbar1", "StatusBar1"})
        QTest::newRow(control) << control << false;
}

void TestMainWindowCorners::rightButtonOffersThePopUpOverTheBareSurfaceOnly()
{
    QFETCH(QString, control);
    QFETCH(bool, offers);
    Fixture f;
    auto *under = f.window->findChild<QWidget *>(control);
    // Between the boxes and the buttons nothing but hidden picture holders lies.
    const QPoint at = offers ? QPoint(under->width() / 2, under->height() / 2 - 20) : under->rect().center();
    QTest::mouseClick(under, Qt::RightButton, {}, at);
    QCOMPARE(f.find<QMenu>("EditMenu")->isVisible(), offers);
}

void TestMainWindowCorners::statusBarPanelsFitTheWindow()
{
    Fixture f;
    const MainStatusBar *bar = f.window->statusBarPanels();
    QCOMPARE(bar->geometry().left(), 0);
    QCOMPARE(bar->width(), 487);
    int free = 0; // where the next panel may start
    for (const char *name : {"Panel1", "Panel2", "Panel3"}) {
        const auto *panel = bar->findChild<QWidget *>(name);
        const QRect inBar(panel->mapTo(bar, QPoint()), panel->size());
        QCOMPARE(inBar.width(), 161);
        QVERIFY2(inBar.left() >= free && bar->rect().contains(inBar), name);
        free = inBar.right() + 1;
    }
}

void TestMainWindowCorners::longTextsStayWhole()
{
    Fixture f;
    const QByteArray value(40000, 'x');
    f.folder.writeWordList("[lexon]\r\nOne=" + value + "\r\n");
    f.search("one");
    QCOMPARE(f.screen().first(), QString::fromLatin1(value.toUpper()));

    const QString pasted(40000, u'a');
    f.text1()->clear();
    f.text1()->insert(pasted); // as a paste does
    QCOMPARE(f.text1()->text(), pasted);
}

void TestMainWindowCorners::failuresLeaveTheWindowAsItWas()
{
    Fixture f;
    f.folder.writeWordList("[lexon]\r\nOne=yaak\r\n");
    f.search("one");
    const QStringList before = f.screen();
    {
        const HugeWordList huge(f.folder.wordList());
        f.search("one");
    }
    QCOMPARE(f.screen(), before);

    // A failure in a step of Read Me (no read-me, and the message box fails).
    f.platform.onMessage = [] { throw std::runtime_error("no message box"); };
    f.clickToolbar("Readme");
    f.search(QString()); // the empty search's message box fails too
    QCOMPARE(f.screen(), before);
    QCOMPARE(f.platform.messages.size(), 2);
    QVERIFY(f.window->isVisible());
}

void TestMainWindowCorners::textSetByTheProgramCannotBeUndone_data()
{
    QTest::addColumn<bool>("clearAll");
    QTest::newRow("Clear All") << true;
    QTest::newRow("Left arrow") << false;
}

void TestMainWindowCorners::textSetByTheProgramCannotBeUndone()
{
    QFETCH(bool, clearAll);
    Fixture f;
    QTest::keyClicks(f.text1(), "word");
    if (clearAll)
        QTest::mouseClick(f.find<QToolButton>("Command2"), Qt::LeftButton);
    else
        QTest::keyClick(f.text1(), Qt::Key_Left);
    QTest::keyClick(f.text1(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.text1()->text(), QString());
}

QTEST_MAIN(TestMainWindowCorners)
#include "test_main_window_corners.moc"
