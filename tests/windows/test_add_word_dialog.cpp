#include "add_word_dialog.h"
#include "codepage.h"
#include "lookup.h"
#include "recording_platform.h"
#include "window_checks.h"
#include "word_list_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace codepage = dictionary::codepage;

namespace {

const QByteArray kWords = "[lexon]\r\nOne=YAAK\r\n[other]\r\nx=y\r\n";

enum class Route { EnterInEnglish, EnterInBalouchi, ClickAdd, AltA };

// The dialog in a temporary program folder, shown and active.
struct Fixture {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    OpenWindow dialog{new frmAdd(platform)};

    Fixture()
    {
        dialog.get()->show();
        QApplication::setActiveWindow(dialog.get());
    }
    QLineEdit *english() const { return dialog.child<QLineEdit>("txtEngAdd"); }
    QLineEdit *balouchi() const { return dialog.child<QLineEdit>("txtBalAdd"); }

    void type(const QString &englishWord, const QString &balouchiWord) const
    {
        // setText, not keyClicks: some tests need characters no keyboard sends.
        english()->setText(englishWord);
        balouchi()->setText(balouchiWord);
    }
    void add(Route route = Route::EnterInEnglish) const
    {
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

} // namespace

Q_DECLARE_METATYPE(Route)

class TestAddWordDialog : public QObject {
    Q_OBJECT
private slots:
    void opensEmptyWithFocusInEnglish();
    void emptyBoxBeepsAndTakesFocus_data();
    void emptyBoxBeepsAndTakesFocus();
    void existingWordIsRefusedWithItsValue();
    void newWordIsAddedAndFoundNext_data();
    void newWordIsAddedAndFoundNext();
    void unwritableWordIsRefused_data();
    void unwritableWordIsRefused();
    void unreadableWordListAddsNothing_data();
    void unreadableWordListAddsNothing();
    void fullWordListIsRefused();
    void failedWriteIsNotConfirmed();
    void cancelAndEscape();
};

void TestAddWordDialog::opensEmptyWithFocusInEnglish()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    QCOMPARE(QApplication::focusWidget(), f.english());
    QVERIFY(f.english()->text().isEmpty() && f.balouchi()->text().isEmpty());
}

void TestAddWordDialog::emptyBoxBeepsAndTakesFocus_data()
{
    QTest::addColumn<QString>("englishWord");
    QTest::addColumn<QString>("balouchiWord");
    QTest::addColumn<QString>("focused");
    QTest::newRow("both empty") << "" << "" << "txtEngAdd";
    QTest::newRow("English empty") << "" << "x" << "txtEngAdd";
    QTest::newRow("Balouchi empty") << "Two" << "" << "txtBalAdd";
}

void TestAddWordDialog::emptyBoxBeepsAndTakesFocus()
{
    QFETCH(QString, englishWord);
    QFETCH(QString, balouchiWord);
    QFETCH(QString, focused);
    Fixture f;
    f.folder.writeWordList(kWords);
    f.type(englishWord, balouchiWord);
    f.dialog.child<QPushButton>("cmdAdd")->setFocus();
    f.add(Route::ClickAdd);
    QCOMPARE(f.platform.beeps, 1);
    QVERIFY(f.platform.messages.isEmpty());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QCOMPARE(f.folder.readWordList(), kWords);
}

void TestAddWordDialog::existingWordIsRefusedWithItsValue()
{
    Fixture f;
    f.folder.writeWordList(kWords);
    f.type("oNE", "other");
    f.add();
    QCOMPARE(f.prompts(), QStringList({"oNE already exists in Parlanta, and it has a vlue of YAAK."}));
    QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Exclamation);
    QVERIFY(f.english()->text().isEmpty() && f.balouchi()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.english());
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(f.folder.readWordList(), kWords);
}

void TestAddWordDialog::newWordIsAddedAndFoundNext_data()
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

void TestAddWordDialog::newWordIsAddedAndFoundNext()
{
    QFETCH(Route, route);
    QFETCH(QString, englishWord);
    QFETCH(QString, balouchiWord);
    QFETCH(QByteArray, storedKey);
    QFETCH(QByteArray, storedValue);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    f.folder.writeWordList(kWords);
    f.type(englishWord, balouchiWord);
    f.add(route);

    QCOMPARE(f.prompts(), QStringList({englishWord + " was added successfuly in to Parlanta"}));
    QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Plain);
    QVERIFY(f.dialog.deleted());
    QCOMPARE(lookUp(f.folder.wordList(), storedKey), std::optional(storedValue));
    const QByteArray written = codepage::encode(englishWord).value() + "=" + storedValue;
    QVERIFY(f.folder.readWordList().contains("\r\n" + written + "\r\n"));
    QCOMPARE(f.leftBehind(), QStringList());
}

void TestAddWordDialog::unwritableWordIsRefused_data()
{
    QTest::addColumn<QString>("englishWord");
    QTest::addColumn<QString>("balouchiWord");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("= in English") << "a=b" << "x" << "An English word cannot contain \"=\".";
    QTest::newRow("[ first") << "[x" << "x" << "An English word cannot begin with \"[\".";
    QTest::newRow("[ after blanks") << "  [x" << "x" << "An English word cannot begin with \"[\".";
    QTest::newRow("LF in English") << "a\nb" << "x" << "A word cannot contain a line break.";
    QTest::newRow("CR in Balouchi") << "ab" << "x\ry" << "A word cannot contain a line break.";
    QTest::newRow("English too long") << QString(32766, 'a') << "x" << "The English word is too long.";
    QTest::newRow("English not in code page") << QString::fromUtf8("ŋa") << "x" << QString::fromUtf8("The word list cannot hold the character \"ŋ\".");
    QTest::newRow("Balouchi not in code page") << "ab" << QString::fromUtf8("xب") << QString::fromUtf8("The word list cannot hold the character \"ب\".");
}

void TestAddWordDialog::unwritableWordIsRefused()
{
    QFETCH(QString, englishWord);
    QFETCH(QString, balouchiWord);
    QFETCH(QString, prompt);
    Fixture f;
    f.folder.writeWordList(kWords);
    f.type(englishWord, balouchiWord);
    f.add(Route::ClickAdd);
    QCOMPARE(f.prompts(), QStringList({prompt}));
    QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Exclamation);
    QCOMPARE(f.folder.readWordList(), kWords);
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(f.english()->text(), englishWord);
    QCOMPARE(f.balouchi()->text(), balouchiWord);
}

void TestAddWordDialog::unreadableWordListAddsNothing_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    QTest::newRow("no dicy.ini") << QByteArray();
    QTest::newRow("line without = above") << QByteArray("[lexon]\r\nnote\r\n");
}

void TestAddWordDialog::unreadableWordListAddsNothing()
{
    QFETCH(QByteArray, file);
    Fixture f;
    if (!file.isEmpty())
        f.folder.writeWordList(file);
    f.type("abc", "xyz");
    f.add();
    f.add();
    QVERIFY(f.platform.messages.isEmpty());
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(QFileInfo::exists(f.folder.wordList()), !file.isEmpty());
    QCOMPARE(f.folder.readWordList(), file);
}

void TestAddWordDialog::fullWordListIsRefused()
{
    Fixture f;
    QByteArray full = "[lexon]\r\n";
    for (int i = 1; i < 32767; ++i)
        full += "w" + QByteArray::number(i) + "=V\r\n";
    f.folder.writeWordList(full);
    f.type("abc", "xyz");
    f.add();
    QCOMPARE(f.prompts(), QStringList({"abc could not be added to Parlanta: the word list is full: it holds the most lines it can."}));
    QCOMPARE(f.folder.readWordList(), full);
    QVERIFY(!f.dialog.deleted());
}

void TestAddWordDialog::failedWriteIsNotConfirmed()
{
#ifndef Q_OS_UNIX
    QSKIP("provokes a full disk with a file size limit");
#else
    // A file size limit makes the new copy of the file fail to grow, as a full disk would.
    Fixture f;
    f.folder.writeWordList(kWords);
    f.type("abc", "xyz");
    struct rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = rlim_t(kWords.size());
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    f.add();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(f.prompts(), QStringList({"abc could not be added to Parlanta: the disk is full."}));
    QCOMPARE(f.folder.readWordList(), kWords);
    QCOMPARE(f.leftBehind(), QStringList());
    QVERIFY(!f.dialog.deleted());
    QCOMPARE(f.english()->text(), QStringLiteral("abc"));
    QCOMPARE(f.balouchi()->text(), QStringLiteral("xyz"));

    // Once there is room again, the same Add goes through.
    f.add();
    QCOMPARE(f.prompts().last(), QStringLiteral("abc was added successfuly in to Parlanta"));
#endif
}

void TestAddWordDialog::cancelAndEscape()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    f.folder.writeWordList(kWords);
    f.type("abc", "xyz");
    QTest::keyClick(f.english(), Qt::Key_Escape);
    QVERIFY(!f.dialog.deleted());
    QTest::keyClick(f.english(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(f.dialog.deleted());
    QVERIFY(f.platform.messages.isEmpty());
    QCOMPARE(f.folder.readWordList(), kWords);
}

QTEST_MAIN(TestAddWordDialog)
#include "test_add_word_dialog.moc"
