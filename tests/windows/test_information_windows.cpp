#include "about_window.h"
#include "language_window.h"
#include "window_checks.h"

#include <QPushButton>
#include <QtTest>

namespace {

enum Action { PressEscape, PressReturn, PressKeypadEnter, ClickOk, CloseBox };

} // namespace

class TestInformationWindows : public QObject {
    Q_OBJECT
private slots:
    void closing_data();
    void closing();
    void aboutReopensAtItsStoredPlace();
    void languageParagraphKeepsItsForm();
    void nothingIsClipped();
};

void TestInformationWindows::closing_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("closes");
    QTest::newRow("About: Esc") << true << int(PressEscape) << true;
    QTest::newRow("About: Return") << true << int(PressReturn) << true;
    QTest::newRow("About: keypad Enter") << true << int(PressKeypadEnter) << true;
    QTest::newRow("About: close box") << true << int(CloseBox) << true;
    QTest::newRow("Language: Esc leaves it open") << false << int(PressEscape) << false;
    QTest::newRow("Language: click on OK") << false << int(ClickOk) << true;
    QTest::newRow("Language: Return on the focused OK") << false << int(PressReturn) << true;
    QTest::newRow("Language: close box") << false << int(CloseBox) << true;
}

void TestInformationWindows::closing()
{
    QFETCH(bool, about);
    QFETCH(int, action);
    QFETCH(bool, closes);
    const OpenWindow window(shownActive(about ? static_cast<QWidget *>(new frmAbout) : new Dialog));
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget *ok = QApplication::focusWidget(); // keys go to the OK button, which has the focus
    QVERIFY(ok && ok->objectName().contains(QLatin1String("OK")));

    if (action == ClickOk)
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (action == CloseBox)
        window.get()->close();
    else
        QTest::keyClick(ok, action == PressEscape ? Qt::Key_Escape : action == PressReturn ? Qt::Key_Return : Qt::Key_Enter);
    QCOMPARE(window.deleted(), closes);
    QCOMPARE(window.get() && window.get()->isVisible(), !closes);
}

void TestInformationWindows::aboutReopensAtItsStoredPlace()
{
    QPoint stored;
    {
        const OpenWindow first(shownActive(new frmAbout));
        stored = first.get()->geometry().topLeft();
        first.get()->move(first.get()->pos() + QPoint(40, 30)); // the user drags it away
        first.get()->close();
        QVERIFY(first.deleted());
    }
    const OpenWindow again(shownActive(new frmAbout));
    QCOMPARE(again.get()->geometry().topLeft(), stored);
}

void TestInformationWindows::languageParagraphKeepsItsForm()
{
    const OpenWindow window(new Dialog);
    const QString paragraph = window.child<QLabel>("Label1")->text();

    QVERIFY(paragraph.startsWith(QStringLiteral("Baluchi as a langauge is much influenced by successive waves of "
                                                 "western invaders, notably Persians who colonised the area.  ")));
    const QStringList sentences = paragraph.split(QStringLiteral("  "));
    QCOMPARE(sentences.size(), 5);
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        QVERIFY2(!sentences.at(i).startsWith(u' '), qPrintable(sentences.at(i)));
        QCOMPARE(sentences.at(i).endsWith(u'.'), i < sentences.size() - 1);
    }
    QVERIFY2(paragraph.size() >= 590 && paragraph.size() <= 620, qPrintable(QString::number(paragraph.size())));
}

void TestInformationWindows::nothingIsClipped()
{
    for (QWidget *created : {static_cast<QWidget *>(new frmAbout), static_cast<QWidget *>(new Dialog)}) {
        const OpenWindow window(created);
        QCOMPARE(clippedLabels(*window.get()), QString());
    }
}

QTEST_MAIN(TestInformationWindows)
#include "test_information_windows.moc"
