#include "add_word_dialog.h"
#include "days_window.h"
#include "form1.h"
#include "huge_word_list.h"
#include "language_window.h"
#include "numbers_window.h"
#include "recording_platform.h"
#include "technology_window.h"
#include "window_checks.h"
#include "word_list_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A window by its name, in a temporary program folder.
struct Fixture {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    OpenWindow window;

    explicit Fixture(const QString &name)
        : window(shownActive(name == "Form1"   ? static_cast<QWidget *>(new Form1(platform))
                             : name == "frmAdd" ? static_cast<QWidget *>(new frmAdd(platform))
                             : name == "Form2" ? static_cast<QWidget *>(new Form2)
                             : name == "Form3" ? static_cast<QWidget *>(new Form3)
                             : name == "frmTech" ? static_cast<QWidget *>(new frmTech)
                                                 : static_cast<QWidget *>(new Dialog)))
    {
    }
    template <typename T>
    T *child(const char *name) const { return window.child<T>(name); }

    // The list's edit field, the word and, in the Numbers window, the numeral.
    QStringList shown() const
    {
        QStringList texts{child<QComboBox>("Combo1")->currentText(), child<QLineEdit>("Text1")->text()};
        if (const auto *numeral = child<QLabel>("Label3"))
            texts << numeral->text();
        return texts;
    }
};

} // namespace

class TestWindowCorners : public QObject {
    Q_OBJECT
private slots:
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void eachKeyInTheOpenListChooses_data();
    void eachKeyInTheOpenListChooses();
    void addWordDialogKeepsWhatTheUserTyped();
};

void TestWindowCorners::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::newRow("Main window: Clear All") << "Form1" << "Command2";
    QTest::newRow("Main window: Exit") << "Form1" << "Command3";
    QTest::newRow("Add word: Add") << "frmAdd" << "cmdAdd";
    QTest::newRow("Add word: Cancel") << "frmAdd" << "cmdCancel";
    QTest::newRow("Numbers: picture button") << "Form2" << "Command1";
    QTest::newRow("Days: picture button") << "Form3" << "Command1";
    QTest::newRow("Technology: Exit") << "frmTech" << "cmdExit";
    QTest::newRow("Language: OK") << "Dialog" << "OKButton";
}

void TestWindowCorners::enterPressesTheFocusedButton()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        const Fixture f(window);
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *pressed = f.child<QAbstractButton>(qPrintable(button));
        pressed->setFocus();
        const auto *push = qobject_cast<QPushButton *>(pressed);
        QVERIFY2(!push || !push->isDefault(), "the focus made it the default button");
        const QSignalSpy clicks(pressed, &QAbstractButton::clicked);
        QTest::keyClick(pressed, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicks.size(), 1);
    }
}

void TestWindowCorners::eachKeyInTheOpenListChooses_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("Numbers") << "Form2" << QStringList{"One", "Yaak", "1"} << QStringList{"Two", "Do", "2"};
    QTest::newRow("Days") << "Form3" << QStringList{"Saturday", "Shambeh"} << QStringList{"Sunday", "Yaakshambeh"};
    QTest::newRow("Technology") << "frmTech" << QStringList{"Calculator", "HESSAB-O-DAAD KASH"}
                                << QStringList{"Telephone", "GOWANKO"};
}

void TestWindowCorners::eachKeyInTheOpenListChooses()
{
    QFETCH(QString, window);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    const Fixture f(window);
    auto *list = f.child<QComboBox>("Combo1");
    const QStringList nothing = f.shown();
    list->showPopup();
    QAbstractItemView *view = list->view();
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(f.shown(), nothing); // opening alone chooses nothing

    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(f.shown(), first);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(f.shown(), second);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(f.shown(), first);

    // The mouse passing over an item moves the highlight and chooses nothing.
    QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(1, 0)).center());
    QCOMPARE(view->currentIndex().row(), 1);
    QCOMPARE(f.shown(), first);
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(f.shown(), first);
}

void TestWindowCorners::addWordDialogKeepsWhatTheUserTyped()
{
    const Fixture f(QStringLiteral("frmAdd"));
    auto *english = f.child<QLineEdit>("txtEngAdd");
    auto *balouchi = f.child<QLineEdit>("txtBalAdd");
    const QString pasted(40000, u'a');
    for (QLineEdit *box : {english, balouchi}) {
        box->insert(pasted); // as a paste does
        QCOMPARE(box->text(), pasted);
        box->setText(QString());
    }

    QTest::keyClicks(english, "one");
    QTest::keyClicks(balouchi, "yaak");
    {
        const HugeWordList huge(f.folder.wordList());
        QTest::mouseClick(f.child<QPushButton>("cmdAdd"), Qt::LeftButton);
        QVERIFY(!f.window.deleted());
        QCOMPARE(english->text() + balouchi->text(), "oneyaak");
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(QFileInfo(f.folder.wordList()).size(), HugeWordList::kSize);
    }

    f.folder.writeWordList("[lexon]\r\nOne=YAAK\r\n");
    QTest::keyClick(balouchi, Qt::Key_Return); // refused: the word exists, and both boxes are emptied
    QCOMPARE(f.platform.messages.size(), 1);
    for (QLineEdit *box : {english, balouchi}) {
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
    }
}

QTEST_MAIN(TestWindowCorners)
#include "test_window_corners.moc"
