#include "lookup.h"
#include "word_list_fixture.h"
#include "word_list_places.h"
#include "word_list_writer.h"

#include <QtTest>

using namespace dictionary;
using platform::PlaceFacts;
using platform::System;

namespace {

// "found VALUE", "not found" or the failure, as the calling window hears it.
class Outcome final : public LookupReporter {
public:
    QString said;
    void emptyKey() override { said = QStringLiteral("empty"); }
    void found(const QByteArray &value) override { said = "found " + QString::fromLatin1(value); }
    std::optional<QByteArray> notFound(const QByteArray &) override
    {
        said = QStringLiteral("not found");
        return std::nullopt;
    }
};

QString lookUp(const QStringList &lists, const QByteArray &key)
{
    Outcome outcome;
    try {
        LookupEntry("lexon", key, "none", lists, outcome);
    } catch (const LookupError &error) {
        return QString::fromLatin1(error.what());
    }
    return outcome.said;
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A shared list in a program folder and a user's own list in a profile
// folder of the same temporary folder, as a system install has them.
struct TwoLists {
    ProgramFolder root;
    QString shared = root.path() + QStringLiteral("/share/dicy.ini");
    QString own = root.path() + QStringLiteral("/profile/parlanta/dicy.ini");
    platform::WordListPlaces places{shared, own};

    TwoLists(const QByteArray &sharedBytes, const QByteArray &ownBytes)
    {
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("share")));
        root.write(QStringLiteral("share/dicy.ini"), sharedBytes);
        if (!ownBytes.isNull()) {
            QVERIFY(QDir(root.path()).mkpath(QStringLiteral("profile/parlanta")));
            root.write(QStringLiteral("profile/parlanta/dicy.ini"), ownBytes);
        }
    }
};

const QByteArray kShared = lines({"[lexon]", "Friday=JUMAH", "One=YAAK"});

} // namespace

class TestWordLists : public QObject {
    Q_OBJECT
private slots:
    void placesFollowTheInstall_data()
    {
        QTest::addColumn<PlaceFacts>("facts");
        QTest::addColumn<QString>("shared");
        QTest::addColumn<QString>("own");
        const auto posix = [](QString folder, bool beside, bool system, bool writable, QString xdg = {},
                              QString home = QStringLiteral("/home/zahra")) {
            return PlaceFacts{System::Posix, folder, beside, system, writable, xdg, home, {}};
        };
        const auto windows = [](QString folder, bool beside, bool writable, QString appData) {
            return PlaceFacts{System::Windows, folder, beside, true, writable, {}, {}, appData};
        };
        const QString profile = QStringLiteral("/home/zahra/.local/share/parlanta/dicy.ini");

        // Where the user may write beside the program, that list is theirs.
        QTest::newRow("portable, writable") << posix("/opt/p", true, false, true) << "/opt/p/dicy.ini" << "/opt/p/dicy.ini";
        QTest::newRow("portable, list missing, folder writable")
            << posix("/opt/p", false, false, true) << "/opt/p/dicy.ini" << "/opt/p/dicy.ini";
        QTest::newRow("portable, read-only") << posix("/opt/p", true, false, false) << "/opt/p/dicy.ini" << profile;
        QTest::newRow("portable, list missing, folder read-only")
            << posix("/opt/p", false, false, false) << "/opt/p/dicy.ini" << profile;
        // A system install's list belongs to the package manager, even for root.
        QTest::newRow("system") << posix("/usr/bin", false, true, true) << "/usr/share/parlanta/dicy.ini" << profile;
        QTest::newRow("system, not writable")
            << posix("/usr/bin", false, true, false) << "/usr/share/parlanta/dicy.ini" << profile;
        QTest::newRow("system, under a prefix")
            << posix("/opt/x/bin", false, true, true) << "/opt/x/share/parlanta/dicy.ini" << profile;
        QTest::newRow("a list beside the program wins over the system's")
            << posix("/usr/bin", true, true, true) << "/usr/bin/dicy.ini" << "/usr/bin/dicy.ini";
        // The XDG data folder counts only when absolute.
        QTest::newRow("XDG_DATA_HOME") << posix("/usr/bin", false, true, false, "/data/z")
                                       << "/usr/share/parlanta/dicy.ini" << "/data/z/parlanta/dicy.ini";
        QTest::newRow("XDG_DATA_HOME relative") << posix("/usr/bin", false, true, false, "data/z")
                                                << "/usr/share/parlanta/dicy.ini" << profile;
        QTest::newRow("no home") << posix("/usr/bin", false, true, false, {}, {}) << "/usr/share/parlanta/dicy.ini"
                                 << QString();
        // Windows has no system layout: its installs keep the list beside the program.
        QTest::newRow("Windows, per-user") << windows("C:/Users/z/AppData/Local/Programs/Parlanta", true, true, "C:\\Users\\z\\AppData\\Roaming")
                                           << "C:/Users/z/AppData/Local/Programs/Parlanta\\dicy.ini"
                                           << "C:/Users/z/AppData/Local/Programs/Parlanta\\dicy.ini";
        QTest::newRow("Windows, all users") << windows("C:/Program Files/Parlanta", true, false, "C:\\Users\\z\\AppData\\Roaming")
                                            << "C:/Program Files/Parlanta\\dicy.ini"
                                            << "C:\\Users\\z\\AppData\\Roaming\\Parlanta\\dicy.ini";
        QTest::newRow("Windows, list missing") << windows("C:/p", false, false, "C:\\Users\\z\\AppData\\Roaming")
                                               << "C:/p\\dicy.ini" << "C:\\Users\\z\\AppData\\Roaming\\Parlanta\\dicy.ini";
        QTest::newRow("Windows, no APPDATA") << windows("C:/p", true, false, {}) << "C:/p\\dicy.ini" << QString();
    }

    void placesFollowTheInstall()
    {
        QFETCH(PlaceFacts, facts);
        QFETCH(QString, shared);
        QFETCH(QString, own);
        const platform::WordListPlaces places = platform::choosePlaces(facts);
        QCOMPARE(places.shared, shared);
        QCOMPARE(places.own, own);
    }

    // The user's own list is read first, whenever it exists; each list keeps
    // every rule of a word list.
    void lookupReadsTheOwnListFirst_data()
    {
        QTest::addColumn<QByteArray>("shared");
        QTest::addColumn<QByteArray>("own"); // null: no own list yet
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("outcome");
        const QByteArray none;
        QTest::newRow("no own list") << kShared << none << QByteArray("friday") << "found JUMAH";
        QTest::newRow("own word stands over the shared one")
            << kShared << lines({"[lexon]", "Friday=ADINAG"}) << QByteArray("Friday") << "found ADINAG";
        QTest::newRow("shared word, own list lacks it")
            << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("One") << "found YAAK";
        QTest::newRow("own word") << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("rain") << "found HAUR";
        QTest::newRow("in neither") << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Snow") << "not found";
        QTest::newRow("own list ends its section before the word")
            << kShared << lines({"[lexon]", "[other]", "Snow=BARPH"}) << QByteArray("Snow") << "not found";
        QTest::newRow("a bad line in the own list fails the lookup")
            << kShared << lines({"[lexon]", "no equals"}) << QByteArray("Friday") << "the word list has a line without \"=\"";
        QTest::newRow("own list found before a missing shared one")
            << QByteArray() << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Rain") << "found HAUR";
        QTest::newRow("a missing shared list fails the rest")
            << QByteArray() << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Snow") << "the word list was not found";
    }

    void lookupReadsTheOwnListFirst()
    {
        QFETCH(QByteArray, shared);
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, key);
        QFETCH(QString, outcome);
        TwoLists lists(shared, own);
        if (shared.isNull())
            QVERIFY(QFile::remove(lists.shared));
        QCOMPARE(lookUp(lists.places.readOrder(), key), outcome);
    }

    // An add goes to the user's own list, made with its folder on the first
    // add; the shared list is left byte for byte, with nothing beside it.
    void addsGoToTheOwnList_data()
    {
        QTest::addColumn<QByteArray>("own");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first add makes the list") << QByteArray() << lines({"[lexon]", "Rain=HAUR"});
        QTest::newRow("later add appends")
            << lines({"[lexon]", "Snow=BARPH"}) << lines({"[lexon]", "Snow=BARPH", "Rain=HAUR"});
    }

    void addsGoToTheOwnList()
    {
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, after);
        TwoLists lists(kShared, own);
        QCOMPARE(addToOwnList("lexon", "Rain", "HAUR", lists.places), std::nullopt);
        QCOMPARE(lists.root.read(QStringLiteral("profile/parlanta/dicy.ini")), after);
        QCOMPARE(lists.root.read(QStringLiteral("share/dicy.ini")), kShared);
        QCOMPARE(listing(lists.root.path() + QStringLiteral("/share")), QStringList{"dicy.ini"});
        QCOMPARE(listing(lists.root.path() + QStringLiteral("/profile/parlanta")), QStringList{"dicy.ini"});
        QCOMPARE(lookUp(lists.places.readOrder(), "rain"), QStringLiteral("found HAUR"));
    }

    void addWithoutAProfileFolderFails()
    {
        TwoLists lists(kShared, QByteArray());
        const std::optional<WriteError> error = addToOwnList("lexon", "Rain", "HAUR", {lists.shared, QString()});
        QVERIFY(error && error->failure == WriteFailure::FolderMissing);
        QCOMPARE(lists.root.read(QStringLiteral("share/dicy.ini")), kShared);
        QCOMPARE(listing(lists.root.path() + QStringLiteral("/share")), QStringList{"dicy.ini"});
    }
};

QTEST_GUILESS_MAIN(TestWordLists)
#include "test_word_lists.moc"
