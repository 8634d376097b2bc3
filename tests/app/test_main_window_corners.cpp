#include "huge_word_list.h"
#include "main_window_fixture.h"
#include "status_bar.h"

#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include <stdexcept>

namespace {

struct Fixture : MainWindowFixture {
    QLineEdit *text1() const { return find<QLineEdit>("Text1"); }
    QLineEdit *text2() const { return find<QLineEdit>("Text2"); }

    void search(const QString &word) const
    {
        text1()->setText(word);
        QTest::keyClick(text1(), Qt::Key_Return);
    }
};

} // namespace

class TestMainWindowCorners : public QObject {
    Q_OBJECT
private slots:
    void rightButtonOffersThePopUpOverTheBareSurfaceOnly_data();
    void rightButtonOffersThePopUpOverTheBareSurfaceOnly();
    void statusBarPanelsFitTheWindow();
    void longTextsStayWhole();
    void failuresLeaveTheWindowAsItWas();
    void textSetByTheProgramCannotBeUndone_data();
    void textSetByTheProgramCannotBeUndone();
};

void TestMainWindowCorners::rightButtonOffersThePopUpOverTheBareSurfaceOnly_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("bare surface") << "client";
    for (const char *control : {"Text1", "Text2", "Label1", "Label2", "Command1", "Command2", "Command3",
                                "Toolbar1", "StatusBar1"})
        QTest::newRow(control) << control;
}

void TestMainWindowCorners::rightButtonOffersThePopUpOverTheBareSurfaceOnly()
{
    QFETCH(QString, control);
    Fixture f;
    auto *under = f.window->findChild<QWidget *>(control);
    const bool bare = control == QLatin1String("client");
    // Between the boxes and the buttons lie only hidden picture holders.
    QTest::mouseClick(under, Qt::RightButton, {}, under->rect().center() - QPoint(0, bare ? 20 : 0));
    QCOMPARE(f.find<QMenu>("EditMenu")->isVisible(), bare);
}

void TestMainWindowCorners::statusBarPanelsFitTheWindow()
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

void TestMainWindowCorners::longTextsStayWhole()
{
    Fixture f;
    const QByteArray value(40000, 'x');
    f.folder.writeWordList("[lexon]\r\nOne=" + value + "\r\n");
    f.search("one");
    QCOMPARE(f.text2()->text(), QString::fromLatin1(value.toUpper()));

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
    const MainStatusBar *bar = f.window->statusBarPanels();
    const auto screen = [&] { return QStringList{f.text2()->text(), bar->panelText(MainStatusBar::Panel::First)}; };
    const QStringList before = screen();
    {
        const HugeWordList huge(f.folder.wordList());
        f.search("one");
    }
    QCOMPARE(screen(), before);

    // Read Me finds no read-me, and then the message box fails; so does the empty search's.
    f.platform.onMessage = [] { throw std::runtime_error("no message box"); };
    f.clickToolbar("Readme");
    f.search(QString());
    QCOMPARE(screen(), before);
    QCOMPARE(f.platform.messages.size(), 2);
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
