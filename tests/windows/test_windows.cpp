#include "about_window.h"
#include "add_word_dialog.h"
#include "days_window.h"
#include "form1.h"
#include "huge_word_list.h"
#include "language_window.h"
#include "lookup.h"
#include "numbers_window.h"
#include "recording_platform.h"
#include "technology_window.h"
#include "window_checks.h"
#include "word_list_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// ---- phrase books

void addBookRows()
{
    QTest::addColumn<QString>("book");
    QTest::newRow("numbers") << "Form2";
    QTest::newRow("days") << "Form3";
    QTest::newRow("technology") << "frmTech";
}

// ---- the Add-word dialog

const QByteArray kWords = "[lexon]\r\nOne=YAAK\r\n[other]\r\nx=y\r\n";

enum class Route { EnterInEnglish, EnterInBalouchi, ClickAdd, AltA };

struct AddFixture {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    OpenWindow dialog{shownActive(new frmAdd(platform))};

    QLineEdit *english() const { return dialog.child<QLineEdit>("txtEngAdd"); }
    QLineEdit *balouchi() const { return dialog.child<QLineEdit>("txtBalAdd"); }

    // setText, not keyClicks: some rows need characters no keyboard sends.
    void add(const QString &englishWord, const QString &balouchiWord, Route route = Route::EnterInEnglish) const
    {
        english()->setText(englishWord);
        balouchi()->setText(balouchiWord);
        switch (route) {
        case Route::EnterInEnglish:
            QTest::keyClick(english(), Qt::Key_Return);
            break;
        case Route::EnterInBalouchi:
            QTest::keyClick(balouchi(), Qt::Key_Enter);
            break;
        case Route::ClickAdd:
            QTest::mouseClick(dialog.child<QPushButton>("cmdAdd"), Qt::LeftButton);
            break;
        case Route::AltA:
            // Access keys press their button with a short animation.
            QTest::keyClick(english(), Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(!platform.messages.isEmpty() || dialog.deleted());
            break;
        }
    }
    QStringList prompts() const
    {
        QStringList out;
        for (const auto &message : platform.messages)
            out << message.prompt;
        return out;
    }
    // What the folder holds besides the word list: no lock, no temporary copy.
    QStringList leftBehind() const
    {
        QStringList names = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeOne(QStringLiteral("dicy.ini"));
        return names;
    }
};

std::optional<QByteArray> lookUp(const QString &path, const QByteArray &key)
{
    struct Silent final : dictionary::LookupReporter {
        void emptyKey() override {}
        void found(const QByteArray &) override {}
        std::optional<QByteArray> notFound(const QByteArray &) override { return std::nullopt; }
    } silent;
    return dictionary::LookupEntry("lexon", key, "none", path, silent);
}

// A window by its name, in a temporary program folder.
struct AnyWindow {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    OpenWindow window;

    explicit AnyWindow(const QString &name)
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

Q_DECLARE_METATYPE(Route)

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void phraseBookOpensAfreshWithNothingChosen_data() { addBookRows(); }
    void phraseBookOpensAfreshWithNothingChosen();
    void phraseBookChoosesByPosition_data();
    void phraseBookChoosesByPosition();
    void typedTextIsNeverAChoice_data() { addBookRows(); }
    void typedTextIsNeverAChoice();
    void exitControlCloses_data();
    void exitControlCloses();

    void informationWindowClosing_data();
    void informationWindowClosing();
    void aboutOpensAtItsStoredPlace();
    void informationTextsFit();

    void newWordIsAddedAndFoundNext_data();
    void newWordIsAddedAndFoundNext();
    void nothingIsAdded_data();
    void nothingIsAdded();
    void failedWriteIsNotConfirmed();
    void cancelAndEscape();
    void addWordDialogKeepsWhatTheUserTyped();

    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void eachKeyInTheOpenListChooses_data();
    void eachKeyInTheOpenListChooses();
};

void TestWindows::phraseBookOpensAfreshWithNothingChosen()
{
    QFETCH(QString, book);
    const QString focused = book == "Form2" ? QStringLiteral("Command1") : QStringLiteral("Combo1");
    for (int opening = 1; opening <= 2; ++opening) { // the second opening finds no trace of the first
        const AnyWindow f(book);
    const OpenWindow &window = f.window;
        QComboBox *list = window.child<QComboBox>("Combo1");
        QCOMPARE(list->count(), book == "Form2" ? 11 : book == "Form3" ? 7 : 5);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(f.shown().join('|'), QString::fromLatin1(book == "Form2" ? "Choose||" : "Choose|")); // no numeral "1"
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        window.get()->close();
        QVERIFY(window.deleted());
    }
}

void TestWindows::phraseBookChoosesByPosition_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("click"); // a click in the list, or Down on the closed list from nothing chosen
    QTest::addColumn<QString>("expected");
    QTest::newRow("numbers, first, by key") << "Form2" << 0 << false << "One|Yaak|1";
    QTest::newRow("numbers, tenth, by click") << "Form2" << 9 << true << "Ten|Daha|10";
    QTest::newRow("numbers, last, by key") << "Form2" << 10 << false << "Zero|Sefar|0";
    QTest::newRow("days, first, by click") << "Form3" << 0 << true << "Saturday|Shambeh";
    QTest::newRow("days, last, by click") << "Form3" << 6 << true << "Friday|Jumah";
    QTest::newRow("technology, first, by click") << "frmTech" << 0 << true << "Calculator|HESSAB-O-DAAD KASH";
    QTest::newRow("technology, last, by key") << "frmTech" << 4 << false << "Radio|MONAPEK";
}

void TestWindows::phraseBookChoosesByPosition()
{
    QFETCH(QString, book);
    QFETCH(int, position);
    QFETCH(bool, click);
    QFETCH(QString, expected);
    const AnyWindow f(book);
    const OpenWindow &window = f.window;
    auto *list = window.child<QComboBox>("Combo1");
    list->setFocus();
    auto *word = window.child<QLineEdit>("Text1");
    if (!click) {
        for (int step = 0; step <= position; ++step)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(f.shown().join('|'), expected);
        // Past the end is no choice: what the user typed over the word stays.
        QTest::keyClicks(word, QStringLiteral("+"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(word->text().endsWith(u'+'), position == list->count() - 1);
        return;
    }
    for (int round = 0; round < 2; ++round) { // the same item again shows the same again
        list->showPopup();
        QAbstractItemView *view = list->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex item = view->model()->index(position, 0);
        view->scrollTo(item); // the list shows ten items at a time
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(f.shown().join('|'), expected);
        QCOMPARE(clippedLabels(*window.get()), QString()); // "10" is the widest numeral
    }
}

void TestWindows::typedTextIsNeverAChoice()
{
    QFETCH(QString, book);
    const AnyWindow f(book);
    const OpenWindow &window = f.window;
    QComboBox *list = window.child<QComboBox>("Combo1");
    list->setFocus();
    // An item's text typed into the edit field is not a choice, on Enter or
    // when the field is left.
    const QString typed = list->itemText(2);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(list, typed);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Tab);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up); // nothing chosen yet: nowhere to go
    QCOMPARE(list->count(), book == "Form2" ? 11 : book == "Form3" ? 7 : 5);
    QCOMPARE(list->currentText(), typed);
    QCOMPARE(window.child<QLineEdit>("Text1")->text(), QString());
}

void TestWindows::exitControlCloses_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<bool>("altE");
    QTest::newRow("numbers: picture button") << "Form2" << false;
    QTest::newRow("days: picture button") << "Form3" << false;
    QTest::newRow("technology: Exit button") << "frmTech" << false;
    QTest::newRow("technology: Alt+E from the word box") << "frmTech" << true;
}

void TestWindows::exitControlCloses()
{
    QFETCH(QString, book);
    QFETCH(bool, altE);
    const AnyWindow f(book);
    const OpenWindow &window = f.window;
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

void TestWindows::informationWindowClosing_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<int>("key"); // 0: a click on OK, -1: the close box
    QTest::addColumn<bool>("closes");
    QTest::newRow("About: Esc") << true << int(Qt::Key_Escape) << true;
    QTest::newRow("About: Return") << true << int(Qt::Key_Return) << true;
    QTest::newRow("About: keypad Enter") << true << int(Qt::Key_Enter) << true;
    QTest::newRow("About: close box") << true << -1 << true;
    QTest::newRow("Language: Esc leaves it open") << false << int(Qt::Key_Escape) << false;
    QTest::newRow("Language: click on OK") << false << 0 << true;
    QTest::newRow("Language: Return on the focused OK") << false << int(Qt::Key_Return) << true;
}

void TestWindows::informationWindowClosing()
{
    QFETCH(bool, about);
    QFETCH(int, key);
    QFETCH(bool, closes);
    const OpenWindow window(shownActive(about ? static_cast<QWidget *>(new frmAbout) : new Dialog));
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget *ok = QApplication::focusWidget(); // keys go to the OK button, which has the focus
    QVERIFY(ok && ok->objectName().contains(QLatin1String("OK")));
    if (key == 0)
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (key < 0)
        window.get()->close();
    else
        QTest::keyClick(ok, Qt::Key(key));
    QCOMPARE(window.deleted(), closes);
}

void TestWindows::aboutOpensAtItsStoredPlace()
{
    // 2340 and 1935 twips from the screen's corner, wherever it was left.
    const QPoint stored = QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(156, 129);
    for (int opening = 0; opening < 2; ++opening) {
        const OpenWindow about(shownActive(new frmAbout));
        QCOMPARE(about.get()->geometry().topLeft(), stored);
        about.get()->move(about.get()->pos() + QPoint(40, 30)); // the user drags it away
        about.get()->close();
        QVERIFY(about.deleted());
    }
}

void TestWindows::informationTextsFit()
{
    for (QWidget *created : {static_cast<QWidget *>(new frmAbout), static_cast<QWidget *>(new Dialog)}) {
        const OpenWindow window(created);
        QCOMPARE(clippedLabels(*window.get()), QString());
    }
}

void TestWindows::newWordIsAddedAndFoundNext_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("englishWord");
    QTest::addColumn<QString>("balouchiWord");
    QTest::addColumn<QByteArray>("storedKey");
    QTest::addColumn<QByteArray>("storedValue");
    // A line is read without its leading blanks, so " two " is found as "two ".
    QTest::newRow("Enter in English") << Route::EnterInEnglish << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
    QTest::newRow("Enter in Balouchi") << Route::EnterInBalouchi << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
    QTest::newRow("click Add") << Route::ClickAdd << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
    QTest::newRow("Alt+A") << Route::AltA << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
    QTest::newRow("blanks kept") << Route::EnterInEnglish << " two " << "do" << QByteArray("two ") << QByteArray("DO");
    QTest::newRow("accents upper-cased by table") << Route::EnterInEnglish << QString::fromUtf8("café")
                                                 << QString::fromUtf8("éß") << QByteArray("caf\xe9")
                                                 << QByteArray("\xc9\xdf");
    QTest::newRow("value with =") << Route::EnterInEnglish << "sum" << "a=b" << QByteArray("sum") << QByteArray("A=B");
}

void TestWindows::newWordIsAddedAndFoundNext()
{
    QFETCH(Route, route);
    QFETCH(QString, englishWord);
    QFETCH(QString, balouchiWord);
    QFETCH(QByteArray, storedKey);
    QFETCH(QByteArray, storedValue);
    AddFixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    f.folder.writeWordList(kWords);
    f.add(englishWord, balouchiWord, route);

    QCOMPARE(f.prompts(), QStringList({englishWord + " was added successfuly in to Parlanta"}));
    QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Plain);
    QVERIFY(f.dialog.deleted());
    QCOMPARE(lookUp(f.folder.wordList(), storedKey), std::optional(storedValue));
    QVERIFY(f.folder.readWordList().contains("\r\n" + englishWord.toLatin1() + "=" + storedValue + "\r\n"));
    QCOMPARE(f.leftBehind(), QStringList());
}

void TestWindows::nothingIsAdded_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no dicy.ini
    QTest::addColumn<QString>("englishWord");
    QTest::addColumn<QString>("balouchiWord");
    QTest::addColumn<QString>("prompt"); // "" for none
    QTest::addColumn<QString>("focused"); // "" where the focus stays
    const auto row = [](const char *name, const QString &english, const QString &balouchi, const QString &prompt,
                        const char *focused = "", const QByteArray &file = kWords) {
        QTest::newRow(name) << file << english << balouchi << prompt << QString::fromLatin1(focused);
    };
    row("both empty", "", "", "", "txtEngAdd");
    row("English empty", "", "x", "", "txtEngAdd");
    row("Balouchi empty", "Two", "", "", "txtBalAdd");
    row("there already", "oNE", "other", "oNE already exists in Parlanta, and it has a vlue of YAAK.", "txtEngAdd");
    row("= in English", "a=b", "x", "An English word cannot contain \"=\".");
    row("[ after blanks", "  [x", "x", "An English word cannot begin with \"[\".");
    row("LF in English", "a\nb", "x", "A word cannot contain a line break.");
    row("CR in Balouchi", "ab", "x\ry", "A word cannot contain a line break.");
    row("English too long", QString(32766, 'a'), "x", "The English word is too long.");
    row("English not in code page", QString::fromUtf8("ŋa"), "x", QString::fromUtf8("The word list cannot hold the character \"ŋ\"."));
    row("Balouchi not in code page", "ab", QString::fromUtf8("xب"), QString::fromUtf8("The word list cannot hold the character \"ب\"."));
    row("no dicy.ini", "abc", "xyz", "", "", QByteArray());
    row("line without = above", "abc", "xyz", "", "", "[lexon]\r\nnote\r\n");
}

void TestWindows::nothingIsAdded()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, englishWord);
    QFETCH(QString, balouchiWord);
    QFETCH(QString, prompt);
    QFETCH(QString, focused);
    AddFixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    QCOMPARE(QApplication::focusWidget(), f.english()); // where the dialog opens
    if (!file.isNull())
        f.folder.writeWordList(file);
    f.dialog.child<QPushButton>("cmdAdd")->setFocus();
    for (int attempt = 0; attempt < 2; ++attempt) // a refusal leaves nothing behind that changes the next Add
        f.add(englishWord, balouchiWord, Route::ClickAdd);

    const bool empty = englishWord.isEmpty() || balouchiWord.isEmpty();
    QCOMPARE(f.platform.beeps, empty ? 2 : 0);
    QCOMPARE(f.prompts(), prompt.isEmpty() ? QStringList() : QStringList({prompt, prompt}));
    for (const auto &message : f.platform.messages)
        QCOMPARE(message.style, platform::MessageStyle::Exclamation);
    QCOMPARE(QApplication::focusWidget()->objectName(), focused.isEmpty() ? QStringLiteral("cmdAdd") : focused);
    // An existing word empties both boxes; every other refusal keeps them as typed.
    const bool exists = prompt.contains(QLatin1String("already exists"));
    QCOMPARE(f.english()->text() + f.balouchi()->text(), exists ? QString() : englishWord + balouchiWord);
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(QFileInfo::exists(f.folder.wordList()), !file.isNull());
    QCOMPARE(f.folder.readWordList(), file);
}

void TestWindows::failedWriteIsNotConfirmed()
{
    // A file size limit just above the word list, which is larger than the
    // lock file, lets the lock be taken and stops the new copy of the list as
    // a full disk would; a list written in place would be left cut short.
    AddFixture f;
    QByteArray words = kWords;
    for (int i = 0; i < 100; ++i)
        words += "word" + QByteArray::number(i) + "=V\r\n";
    f.folder.writeWordList(words);
    struct rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = rlim_t(words.size() + 4);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    f.add("abc", "xyz");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(f.prompts(), QStringList({"abc could not be added to Parlanta: the disk is full."}));
    QCOMPARE(f.folder.readWordList(), words);
    QCOMPARE(f.leftBehind(), QStringList());
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(f.english()->text() + f.balouchi()->text(), QStringLiteral("abcxyz"));

    // The word is no longer taken for new: a lookup that then fails writes nothing.
    f.folder.writeWordList("[lexon]\r\nnote\r\n");
    f.add("abc", "xyz");
    QCOMPARE(f.prompts().size(), 1);
    // Once there is room again, the same Add goes through.
    f.folder.writeWordList(words);
    f.add("abc", "xyz");
    QCOMPARE(f.prompts().last(), QStringLiteral("abc was added successfuly in to Parlanta"));
}

void TestWindows::cancelAndEscape()
{
    AddFixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    f.english()->setText("abc");
    QTest::keyClick(f.english(), Qt::Key_Escape);
    QVERIFY(!f.dialog.deleted());
    QTest::keyClick(f.english(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(f.dialog.deleted());
    QVERIFY(f.platform.messages.isEmpty());
}

void TestWindows::enterPressesTheFocusedButton_data()
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

void TestWindows::enterPressesTheFocusedButton()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        const AnyWindow f(window);
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

void TestWindows::eachKeyInTheOpenListChooses_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("Numbers") << "Form2" << QStringList{"One", "Yaak", "1"} << QStringList{"Two", "Do", "2"};
    QTest::newRow("Days") << "Form3" << QStringList{"Saturday", "Shambeh"} << QStringList{"Sunday", "Yaakshambeh"};
    QTest::newRow("Technology") << "frmTech" << QStringList{"Calculator", "HESSAB-O-DAAD KASH"}
                                << QStringList{"Telephone", "GOWANKO"};
}

void TestWindows::eachKeyInTheOpenListChooses()
{
    QFETCH(QString, window);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    const AnyWindow f(window);
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

void TestWindows::addWordDialogKeepsWhatTheUserTyped()
{
    const AnyWindow f(QStringLiteral("frmAdd"));
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

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
