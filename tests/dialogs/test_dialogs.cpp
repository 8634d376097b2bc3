#include "about_window.h"
#include "add_word_dialog.h"
#include "days_window.h"
#include "form1.h"
#include "huge_word_list.h"
#include "language_window.h"
#include "lookup.h"
#include "numbers_window.h"
#include "pictures.h"
#include "readable_colour.h"
#include "recording_platform.h"
#include "system_faults.h"
#include "technology_window.h"
#include "test_palettes.h"
#include "word_list_fixture.h"

#include <QAbstractItemView>
#include <QDirIterator>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

namespace {

const QByteArray kWords = "[lexon]\r\nOne=YAAK\r\n[other]\r\nx=y\r\n";

enum class Route { EnterInEnglish, EnterInBalouchi, ClickAdd, AltA };

// A window by its name, shown and made the active one as opening it from
// the main window does, in a temporary program folder. Deleted at the end if
// the test left it open.
struct AnyWindow {
    ProgramFolder folder;
    RecordingPlatform platform{folder.path()};
    QPointer<QWidget> window;

    explicit AnyWindow(const QString &name)
        : window(name == "Form1"     ? static_cast<QWidget *>(new Form1(platform))
                 : name == "frmAdd"  ? static_cast<QWidget *>(new frmAdd(platform))
                 : name == "Form2"   ? static_cast<QWidget *>(new Form2)
                 : name == "Form3"   ? static_cast<QWidget *>(new Form3)
                 : name == "frmTech" ? static_cast<QWidget *>(new frmTech)
                 : name == "Dialog"  ? static_cast<QWidget *>(new Dialog)
                                     : static_cast<QWidget *>(new frmAbout))
    {
        window->show();
        QApplication::setActiveWindow(window);
    }
    ~AnyWindow() { delete window.data(); }
    QWidget *get() const { return window.data(); }
    // Whether the window has gone, once its deferred deletion has run.
    bool deleted() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
    template <typename T>
    T *child(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }

    // A phrase book's list edit field, its word and, in the Numbers window, the numeral.
    QString shown() const
    {
        QStringList texts{child<QComboBox>("Combo1")->currentText(), child<QLineEdit>("Text1")->text()};
        if (const auto *numeral = child<QLabel>("Label3"))
            texts << numeral->text();
        return texts.join(u'|');
    }

    // The Add-word dialog's boxes, filled with setText: some rows need
    // characters no keyboard sends.
    QLineEdit *english() const { return child<QLineEdit>("txtEngAdd"); }
    QLineEdit *balouchi() const { return child<QLineEdit>("txtBalAdd"); }
    void add(const QString &englishWord, const QString &balouchiWord, Route route = Route::EnterInEnglish) const
    {
        english()->setText(englishWord);
        balouchi()->setText(balouchiWord);
        if (route == Route::EnterInEnglish)
            QTest::keyClick(english(), Qt::Key_Return);
        else if (route == Route::EnterInBalouchi)
            QTest::keyClick(balouchi(), Qt::Key_Enter);
        else if (route == Route::ClickAdd)
            QTest::mouseClick(child<QPushButton>("cmdAdd"), Qt::LeftButton);
        if (route != Route::AltA)
            return;
        QTest::keyClick(english(), Qt::Key_A, Qt::AltModifier); // pressed with a short animation
        QTRY_VERIFY(!platform.messages.isEmpty() || deleted());
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
        QStringList names = listing(folder.path());
        names.removeOne(QStringLiteral("dicy.ini"));
        return names;
    }
};

} // namespace

Q_DECLARE_METATYPE(Route)

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void phraseBookChoosesByPosition_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("route"); // Down on the closed list, a click in the open one, Down in the open one
        QTest::addColumn<QString>("expected");
        QTest::newRow("numbers, first, closed list") << "Form2" << 0 << 0 << "One|Yaak|1";
        QTest::newRow("numbers, second, open list") << "Form2" << 1 << 2 << "Two|Do|2";
        QTest::newRow("numbers, tenth, click") << "Form2" << 9 << 1 << "Ten|Daha|10";
        QTest::newRow("numbers, last, closed list") << "Form2" << 10 << 0 << "Zero|Sefar|0";
        QTest::newRow("days, first, click") << "Form3" << 0 << 1 << "Saturday|Shambeh";
        QTest::newRow("days, second, open list") << "Form3" << 1 << 2 << "Sunday|Yaakshambeh";
        QTest::newRow("days, last, click") << "Form3" << 6 << 1 << "Friday|Jumah";
        QTest::newRow("technology, first, click") << "frmTech" << 0 << 1 << "Calculator|HESSAB-O-DAAD KASH";
        QTest::newRow("technology, second, open list") << "frmTech" << 1 << 2 << "Telephone|GOWANKO";
        QTest::newRow("technology, last, closed list") << "frmTech" << 4 << 0 << "Radio|MONAPEK";
    }

    void phraseBookChoosesByPosition()
    {
        QFETCH(QString, book);
        QFETCH(int, position);
        QFETCH(int, route);
        QFETCH(QString, expected);
        const AnyWindow f(book);
        auto *list = f.child<QComboBox>("Combo1");
        auto *word = f.child<QLineEdit>("Text1");
        QAbstractItemView *view = list->view();
        // It opens with nothing chosen (no numeral "1"), the focus on its first control.
        QCOMPARE(f.shown(), QString::fromLatin1(book == "Form2" ? "Choose||" : "Choose|"));
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), book == "Form2" ? "Command1" : "Combo1");
        list->setFocus();
        if (route == 0) {
            // An item's text typed into the edit field is no choice, nor is it added to the list.
            const QString nothing = f.shown().section(u'|', 1);
            QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(list, list->itemText(position));
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(f.shown().section(u'|', 1), nothing);
            for (int step = 0; step <= position; ++step)
                QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(f.shown(), expected);
            // Past the end is no choice: what the user typed over the word stays.
            QTest::keyClicks(word, QStringLiteral("+"));
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(word->text().endsWith(u'+'), position == list->count() - 1);
        } else if (route == 1) {
            for (int round = 0; round < 2; ++round) { // the same item again shows the same again
                list->showPopup();
                QTRY_VERIFY(view->isVisible());
                const QModelIndex item = view->model()->index(position, 0);
                view->scrollTo(item); // the list shows ten items at a time
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
                QTRY_VERIFY(!view->isVisible());
                QCOMPARE(f.shown(), expected);
            }
        } else {
            // Each move of the keys in the open list chooses; opening it alone,
            // the mouse passing over an item and Esc choose nothing.
            const QString nothing = f.shown();
            list->showPopup();
            QTRY_VERIFY(view->isVisible());
            QCOMPARE(f.shown(), nothing);
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
                QTest::keyClick(view, key);
            QCOMPARE(f.shown(), expected);
            QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(0, 0)).center());
            QCOMPARE(view->currentIndex().row(), 0);
            QTest::keyClick(view, Qt::Key_Escape);
            QTRY_VERIFY(!view->isVisible());
            QCOMPARE(f.shown(), expected);
        }
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("key");
        const auto rows = [](const char *name, const char *window, const char *button, bool closes) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
                QTest::addRow("%s, %s", name, key == Qt::Key_Return ? "Return" : "keypad Enter") << window << button << closes << int(key);
        };
        rows("Main window: Clear All", "Form1", "Command2", false);
        rows("Main window: Exit", "Form1", "Command3", false); // ends the program instead
        rows("Add word: Add", "frmAdd", "cmdAdd", false);
        rows("Add word: Cancel", "frmAdd", "cmdCancel", true);
        rows("Numbers: picture button", "Form2", "Command1", true);
        rows("Days: picture button", "Form3", "Command1", true);
        rows("Technology: Exit", "frmTech", "cmdExit", true);
        rows("Language: OK", "Dialog", "OKButton", true);
        rows("About: OK", "frmAbout", "cmdOK", true);
    }

    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(bool, closes);
        QFETCH(int, key);
        const AnyWindow f(window);
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        auto *pressed = f.child<QAbstractButton>(qPrintable(button));
        const QSignalSpy clicks(pressed, &QAbstractButton::clicked);
        pressed->setFocus();
        const auto *push = qobject_cast<QPushButton *>(pressed);
        // Only the About window's OK is a default button; the focus makes none.
        QCOMPARE(push && push->isDefault(), window == "frmAbout");
        QTest::keyClick(pressed, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(f.deleted(), closes);
    }

    void everyPictureHasAnImageForEveryDensity()
    {
        for (QDirIterator files(pictures::path(QString()), QDir::Files); files.hasNext();) {
            const QString name = files.next().section(u'/', -1), type = name.right(3);
            const bool banner = name == QLatin1String("banner.bmp");
            const QIcon picture = type == "ico" ? pictures::icon(name) : pictures::bitmap(name, !banner);
            const QList<QSize> shownAt = type == "ico" ? QList{QSize(16, 16), QSize(32, 32)}
                                                       : QList{banner ? QSize(355, 81) : QSize(16, 16)};
            for (const QSize logical : shownAt) // never drawn from a smaller image
                for (const qreal density : {1.0, 1.5, 2.0, 3.0})
                    QVERIFY2(picture.pixmap(logical, density).width() >= (logical * density).width(),
                             qPrintable(QStringLiteral("%1 at %2").arg(name).arg(density)));
        }
    }

    void textIsReadableInEveryPalette_data()
    {
        QTest::addColumn<QString>("palette");
        QTest::addColumn<QString>("window");
        for (const char *palette : {"light", "dark", "contrast"})
            for (const char *window : {"Form1", "frmAdd", "Form2", "Form3", "frmTech", "Dialog", "frmAbout"})
                QTest::addRow("%s, %s", palette, window) << palette << window;
    }

    void textIsReadableInEveryPalette()
    {
        QFETCH(QString, palette);
        QFETCH(QString, window);
        const QColor red(255, 0, 0), blue(0, 0, 255), black(0, 0, 0);
        const QHash<QString, QColor> designed = {
            {"Dialog/Label1", blue}, {"Dialog/Label2", red}, {"Form2/Label3", QColor(0, 255, 0)},
            {"Form2/Label1", red}, {"Form3/Label1", red}, {"frmTech/Label1", red}, {"Form2/Label2", blue},
            {"Form3/Label2", blue}, {"frmTech/Label2", blue}, {"frmAbout/lblTitle", black},
            {"frmAbout/lblDescription", black}, {"frmAbout/lblDisclaimer", black}};
        const AnyWindow f(window);
        if (auto *list = f.child<QComboBox>("Combo1"))
            QTest::keyClick(list, Qt::Key_Down); // the numeral shows
        // Changed while the window is open, as a user switching the desktop's theme does.
        QApplication::setPalette(test_palettes::named(palette));
        const auto restore = qScopeGuard([] { QApplication::setPalette(test_palettes::named("light")); });
        QCoreApplication::sendPostedEvents(); // the windows hear of it
        const QImage shot = f.get()->grab().toImage();
        double lowest = 21;
        for (const QLabel *label : f.get()->findChildren<QLabel *>()) {
            if (label->text().isEmpty() || !label->isVisible())
                continue;
            // The background is the colour most of the label shows, the text the one that stands out most.
            const QImage area = shot.copy(QRect(label->mapTo(f.get(), QPoint()), label->size()) & shot.rect());
            QHash<QRgb, int> counts;
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x)
                    ++counts[area.pixel(x, y)];
            const QColor background = *std::max_element(counts.keyBegin(), counts.keyEnd(), [&](QRgb a, QRgb b) { return counts[a] < counts[b]; });
            const QColor text = *std::max_element(counts.keyBegin(), counts.keyEnd(), [&](QRgb a, QRgb b) {
                return readable_colour::contrast(a, background) < readable_colour::contrast(b, background);
            });
            const double ratio = readable_colour::contrast(text, background);
            lowest = std::min(lowest, ratio);
            const QString key = window + u'/' + label->objectName() + u' ' + text.name() + u'/' + background.name();
            const QString name = window + u'/' + label->objectName();
            if (palette == "light" && designed.contains(name))
                QVERIFY2(counts.contains(designed[name].rgb()), qPrintable(key));
            else
                QVERIFY2(ratio >= readable_colour::minimumFor(label->font().pointSizeF(), label->font().bold()), qPrintable(key));
        }
        qInfo("%s palette, %s: lowest contrast %.2f", qPrintable(palette), qPrintable(window), lowest);
    }

    void informationWindows()
    {
        // About opens 2340 and 1935 twips from the screen's corner, wherever it was left.
        const QPoint stored = QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(156, 129);
        for (const char *name : {"frmAbout", "Dialog", "frmAbout"}) {
            const AnyWindow f(QString::fromLatin1(name));
            const bool about = name == QLatin1String("frmAbout");
            QVERIFY(QTest::qWaitForWindowActive(f.get()));
            if (about)
                QCOMPARE(f.get()->geometry().topLeft(), stored);
            f.get()->move(f.get()->pos() + QPoint(40, 30)); // the user drags it away
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the OK button has the focus
            QCOMPARE(f.deleted(), about); // Esc closes About only
        }
    }

    void newWordIsAddedAndFoundNext_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("englishWord");
        QTest::addColumn<QString>("balouchiWord");
        QTest::addColumn<QByteArray>("storedKey");
        QTest::addColumn<QByteArray>("storedValue");
        QTest::newRow("Enter in English") << Route::EnterInEnglish << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
        QTest::newRow("Enter in Balouchi") << Route::EnterInBalouchi << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
        QTest::newRow("click Add") << Route::ClickAdd << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
        QTest::newRow("Alt+A") << Route::AltA << "abc" << "xyz" << QByteArray("abc") << QByteArray("XYZ");
        // A line is read without its leading blanks, so " two " is found as "two ".
        QTest::newRow("blanks kept") << Route::EnterInEnglish << " two " << "do" << QByteArray("two ") << QByteArray("DO");
        QTest::newRow("accents upper-cased by table") << Route::EnterInEnglish << QString::fromUtf8("café")
                                                     << QString::fromUtf8("éß") << QByteArray("caf\xe9")
                                                     << QByteArray("\xc9\xdf");
        QTest::newRow("value with =") << Route::EnterInEnglish << "sum" << "a=b" << QByteArray("sum") << QByteArray("A=B");
    }

    void newWordIsAddedAndFoundNext()
    {
        QFETCH(Route, route);
        QFETCH(QString, englishWord);
        QFETCH(QString, balouchiWord);
        QFETCH(QByteArray, storedKey);
        QFETCH(QByteArray, storedValue);
        const AnyWindow f(QStringLiteral("frmAdd"));
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        f.folder.writeWordList(kWords);
        f.add(englishWord, balouchiWord, route);

        QCOMPARE(f.prompts(), QStringList({englishWord + " was added successfuly in to Parlanta"}));
        QCOMPARE(f.platform.messages.first().style, platform::MessageStyle::Plain);
        QVERIFY(f.deleted());
        const QByteArray file = f.folder.readWordList();
        QCOMPARE(dictionary::scanEntries(file, "lexon", storedKey).value, storedValue);
        QVERIFY(file.contains("\r\n" + englishWord.toLatin1() + "=" + storedValue + "\r\n"));
        QCOMPARE(f.leftBehind(), QStringList());
    }

    void nothingIsAdded_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no dicy.ini; "huge": a terabyte
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
        row("too big to hold in memory", "abc", "xyz", "", "", "huge");
    }

    void nothingIsAdded()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, englishWord);
        QFETCH(QString, balouchiWord);
        QFETCH(QString, prompt);
        QFETCH(QString, focused);
        const AnyWindow f(QStringLiteral("frmAdd"));
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QCOMPARE(QApplication::focusWidget(), f.english()); // where the dialog opens
        std::optional<HugeWordList> huge;
        if (file == "huge")
            huge.emplace(f.folder.wordList());
        else if (!file.isNull())
            f.folder.writeWordList(file);
        f.child<QPushButton>("cmdAdd")->setFocus();
        for (int attempt = 0; attempt < 2; ++attempt) // a refusal leaves nothing behind that changes the next Add
            f.add(englishWord, balouchiWord, Route::ClickAdd);
        huge.reset();

        QCOMPARE(f.platform.beeps, englishWord.isEmpty() || balouchiWord.isEmpty() ? 2 : 0);
        QCOMPARE(f.prompts(), prompt.isEmpty() ? QStringList() : QStringList({prompt, prompt}));
        for (const auto &message : f.platform.messages)
            QCOMPARE(message.style, platform::MessageStyle::Exclamation);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused.isEmpty() ? QStringLiteral("cmdAdd") : focused);
        // An existing word empties both boxes, for good; every other refusal keeps them as typed.
        for (QLineEdit *box : {f.english(), f.balouchi()})
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        const bool exists = prompt.contains(QLatin1String("already exists"));
        QCOMPARE(f.english()->text() + f.balouchi()->text(), exists ? QString() : englishWord + balouchiWord);
        QVERIFY(!f.deleted());
        QCOMPARE(QFileInfo::exists(f.folder.wordList()), !file.isNull());
        if (file != "huge")
            QCOMPARE(f.folder.readWordList(), file);
    }

    // Where the shared list is not the user's to write, a word of either list is
    // refused and a new one goes to the user's own list, made on the first add;
    // nothing changes or appears beside the shared list.
    void ownListTakesTheWords_data()
    {
        QTest::addColumn<QByteArray>("own"); // null: none yet
        QTest::addColumn<QString>("englishWord");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QByteArray>("ownAfter");
        const QByteArray rain = "[lexon]\r\nRain=HAUR\r\n";
        QTest::newRow("first add") << QByteArray() << "Snow" << "Snow was added successfuly in to Parlanta"
                                   << QByteArray("[lexon]\r\nSnow=BARPH\r\n");
        QTest::newRow("in the shared list") << rain << "oNE" << "oNE already exists in Parlanta, and it has a vlue of YAAK."
                                            << rain;
        QTest::newRow("in the own list") << rain << "rain" << "rain already exists in Parlanta, and it has a vlue of HAUR."
                                         << rain;
    }

    void ownListTakesTheWords()
    {
        QFETCH(QByteArray, own);
        QFETCH(QString, englishWord);
        QFETCH(QString, prompt);
        QFETCH(QByteArray, ownAfter);
        AnyWindow f(QStringLiteral("frmAdd"));
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        f.folder.writeWordList(kWords);
        const QString profile = f.folder.path() + QStringLiteral("/profile/parlanta");
        f.platform.ownList = profile + QStringLiteral("/dicy.ini");
        if (!own.isNull()) {
            QVERIFY(QDir().mkpath(profile));
            f.folder.write(QStringLiteral("profile/parlanta/dicy.ini"), own);
        }
        f.add(englishWord, QStringLiteral("barph"), Route::ClickAdd);

        QCOMPARE(f.prompts(), QStringList{prompt});
        QCOMPARE(f.folder.read(QStringLiteral("profile/parlanta/dicy.ini")), ownAfter);
        QCOMPARE(f.folder.readWordList(), kWords);
        QCOMPARE(f.leftBehind(), QStringList{"profile"});
        QCOMPARE(listing(profile), QStringList{"dicy.ini"});
    }

    void failedWriteIsNotConfirmed()
    {
        const AnyWindow f(QStringLiteral("frmAdd"));
        QByteArray words = kWords;
        for (int i = 0; i < 100; ++i)
            words += "word" + QByteArray::number(i) + "=V\r\n";
        f.folder.writeWordList(words);
        {
            const testsystem::SaveBlocker blocked(f.folder.wordList(), words);
            f.add("abc", "xyz");
        }

        QCOMPARE(f.prompts(), QStringList({"abc could not be added to Parlanta: " + testsystem::SaveBlocker::reason()}));
        QCOMPARE(f.folder.readWordList(), words);
        QCOMPARE(f.leftBehind(), QStringList());
        QVERIFY(!f.deleted());
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

    void cancelAndEscape()
    {
        const AnyWindow f(QStringLiteral("frmAdd"));
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        const QString pasted(40000, u'a'); // whole: the program's limit is higher than Qt's default
        for (QLineEdit *box : {f.english(), f.balouchi()}) {
            box->insert(pasted); // as a paste does
            QCOMPARE(box->text(), pasted);
        }
        QTest::keyClick(f.english(), Qt::Key_Escape);
        QVERIFY(!f.deleted());
        QTest::keyClick(f.english(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(f.deleted());
        QVERIFY(f.platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
