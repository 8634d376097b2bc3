#include "days_window.h"
#include "numbers_window.h"
#include "technology_window.h"
#include "window_checks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

enum Book { Numbers, Days, Technology };

struct BookTable {
    QStringList items;
    QStringList words;
    QStringList numerals; // empty where the window shows none
    QString focusedOnOpening;
};

BookTable table(int book)
{
    switch (book) {
    case Numbers:
        return {{"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten", "Zero"},
                {"Yaak", "Do", "Say", "Chaar", "Panch", "Shash", "Haaft", "Hasht", "Nooh", "Daha", "Sefar"},
                {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "0"},
                "Command1"};
    case Days:
        return {{"Saturday", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"},
                {"Shambeh", "Yaakshambeh", "Doshambeh", "Sayshambeh", "Charshambeh", "Panchshambeh", "Jumah"},
                {},
                "Combo1"};
    default:
        return {{"Calculator", "Telephone", "Television", "Type writer", "Radio"},
                {"HESSAB-O-DAAD KASH", "GOWANKO", "GEND GOSH", "GAL TOK", "MONAPEK"},
                {},
                "Combo1"};
    }
}

QWidget *openActive(int book)
{
    QWidget *window = book == Numbers ? static_cast<QWidget *>(new Form2)
                      : book == Days  ? static_cast<QWidget *>(new Form3)
                                      : static_cast<QWidget *>(new frmTech);
    return shownActive(window);
}

// What the window shows: the list's edit field, the word and, in the Numbers
// window, the numeral.
QStringList shown(const OpenWindow &window)
{
    QStringList texts{window.child<QComboBox>("Combo1")->currentText(), window.child<QLineEdit>("Text1")->text()};
    if (const auto *numeral = window.child<QLabel>("Label3"))
        texts << numeral->text();
    return texts;
}

// What it should show with `position` chosen, or with nothing chosen (-1).
QStringList expectedAt(const BookTable &expected, int position, const QString &edit = QStringLiteral("Choose"))
{
    QStringList texts{position < 0 ? edit : expected.items.at(position),
                      position < 0 ? QString() : expected.words.at(position)};
    if (!expected.numerals.isEmpty())
        texts << (position < 0 ? QString() : expected.numerals.at(position));
    return texts;
}

QComboBox *focusedList(const OpenWindow &window)
{
    auto *list = window.child<QComboBox>("Combo1");
    list->setFocus();
    return list;
}

void addBookRows()
{
    QTest::addColumn<int>("book");
    QTest::newRow("numbers") << int(Numbers);
    QTest::newRow("days") << int(Days);
    QTest::newRow("technology") << int(Technology);
}

} // namespace

class TestPhraseBooks : public QObject {
    Q_OBJECT
private slots:
    void opensAfreshWithTheTableAndNothingChosen_data() { addBookRows(); }
    void opensAfreshWithTheTableAndNothingChosen();
    void arrowKeysChooseByPositionTypedTextNever_data() { addBookRows(); }
    void arrowKeysChooseByPositionTypedTextNever();
    void clickInTheListChooses_data();
    void clickInTheListChooses();
    void exitControlCloses_data();
    void exitControlCloses();
};

void TestPhraseBooks::opensAfreshWithTheTableAndNothingChosen()
{
    QFETCH(int, book);
    const BookTable expected = table(book);
    for (int opening = 1; opening <= 2; ++opening) { // the second opening finds no trace of the first
        const OpenWindow window(openActive(book));
        QComboBox *list = window.child<QComboBox>("Combo1");
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items, expected.items);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(shown(window), expectedAt(expected, -1)); // the designed numeral "1" is gone
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), expected.focusedOnOpening);

        QTest::keyClick(focusedList(window), Qt::Key_Down);
        window.get()->close();
        QVERIFY(window.deleted());
    }
}

void TestPhraseBooks::arrowKeysChooseByPositionTypedTextNever()
{
    QFETCH(int, book);
    const BookTable expected = table(book);
    const OpenWindow window(openActive(book));
    QComboBox *list = focusedList(window);

    // An item's text typed into the edit field is not a choice, on Enter or
    // when the field is left ("Three", "Monday", "Television").
    const QString typed = expected.items.at(2);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(list, typed);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Tab);
    QCOMPARE(list->count(), expected.items.size());
    QCOMPARE(shown(window), expectedAt(expected, -1, typed));

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up); // nothing chosen yet: nowhere to go
    QCOMPARE(shown(window), expectedAt(expected, -1, typed));

    auto *word = window.child<QLineEdit>("Text1");
    const int last = expected.items.size() - 1;
    for (int position = 0; position <= last; ++position) {
        QTest::keyClick(list, Qt::Key_Down); // overwrites what the user typed into the word box
        QCOMPARE(shown(window), expectedAt(expected, position));
        QCOMPARE(clippedLabels(*window.get()), QString()); // "10" is the widest numeral
        QTest::keyClicks(word, QStringLiteral(" typed"));
        QCOMPARE(word->text(), expected.words.at(position) + QStringLiteral(" typed"));
    }
    QTest::keyClick(list, Qt::Key_Down); // past the end: no choice, so the typed text stays
    QCOMPARE(word->text(), expected.words.at(last) + QStringLiteral(" typed"));
    for (int position = last; position > 0; --position)
        QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(shown(window), expectedAt(expected, 0));
}

void TestPhraseBooks::clickInTheListChooses_data()
{
    QTest::addColumn<int>("book");
    QTest::addColumn<int>("position");
    QTest::newRow("numbers: Zero, the last") << int(Numbers) << 10;
    QTest::newRow("days: Friday, the last") << int(Days) << 6;
    QTest::newRow("technology: Calculator, the first") << int(Technology) << 0;
}

void TestPhraseBooks::clickInTheListChooses()
{
    QFETCH(int, book);
    QFETCH(int, position);
    const OpenWindow window(openActive(book));
    auto *list = window.child<QComboBox>("Combo1");

    for (int round = 0; round < 2; ++round) { // the same item again shows the same again
        list->showPopup();
        QAbstractItemView *view = list->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex item = view->model()->index(position, 0);
        view->scrollTo(item); // the list shows ten items at a time
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(shown(window), expectedAt(table(book), position));
    }
}

void TestPhraseBooks::exitControlCloses_data()
{
    QTest::addColumn<int>("book");
    QTest::addColumn<bool>("altE");
    QTest::newRow("numbers: picture button") << int(Numbers) << false;
    QTest::newRow("days: picture button") << int(Days) << false;
    QTest::newRow("technology: Exit button") << int(Technology) << false;
    QTest::newRow("technology: Alt+E from the word box") << int(Technology) << true;
}

void TestPhraseBooks::exitControlCloses()
{
    QFETCH(int, book);
    QFETCH(bool, altE);
    const OpenWindow window(openActive(book));
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    if (altE) {
        auto *word = window.child<QLineEdit>("Text1");
        word->setFocus();
        QTest::keyClick(word, Qt::Key_E, Qt::AltModifier);
    } else if (auto *picture = window.child<QToolButton>("Command1")) {
        QTest::mouseClick(picture, Qt::LeftButton);
    } else {
        QTest::mouseClick(window.child<QPushButton>("cmdExit"), Qt::LeftButton);
    }
    QTRY_VERIFY(window.deleted()); // a mnemonic presses its button with a short animation
}

QTEST_MAIN(TestPhraseBooks)
#include "test_phrase_books.moc"
