#include "codepage.h"
#include "fast_scan.h"
#include "lookup.h"
#include "system_faults.h"
#include "word_list_fixture.h"
#include "word_list_places.h"
#include "word_list_writer.h"

#include <QDir>
#include <QtTest>

#include <random>


using namespace dictionary;
using fastscan::Path;
using platform::PlaceFacts;
using platform::System;

namespace {

// What a scan ends in, as one text: the value, "not found", or the failure.
QByteArray found(const QByteArray &value) { return "found\t" + value; }
QByteArray notFound() { return "not found"; }
QByteArray fails(LookupFailure failure) { return "failure " + QByteArray::number(int(failure)); }

QByteArray outcome(Path path, QByteArrayView file, QByteArrayView key)
{
    try {
        const ScanResult result = fastscan::scan(path, file, "lexon", key);
        return result.outcome == ScanOutcome::Found ? found(result.value) : notFound();
    } catch (const LookupError &error) {
        return fails(error.failure());
    }
}

QList<Path> fastPaths()
{
    QList<Path> paths;
    for (Path path : {Path::Sse2, Path::Avx2, Path::Avx512}) {
        if (fastscan::canRun(path))
            paths << path;
    }
    return paths;
}

// The reference scan's outcome, after checking that every block scan this
// processor runs ends the same.
QByteArray scanAllPaths(const QByteArray &bytes, const QByteArray &key)
{
    const testsystem::GuardedBytes file(bytes);
    const QByteArray expected = outcome(Path::Scalar, file.view(), key);
    for (Path path : fastPaths()) {
        const QByteArray actual = outcome(path, file.view(), key);
        if (actual != expected)
            qWarning("%s, key \"%s\", file \"%s\"", fastscan::pathName(path), key.constData(), bytes.left(200).toPercentEncoding().constData());
        [&] { QCOMPARE(actual, expected); }();
    }
    return expected;
}

// n entries "<prefix><i>=v<i>" under the header, making n + 1 non-blank
// lines, with blank lines after every 97th.
QByteArray numbered(int entries, const QByteArray &prefix)
{
    QByteArray out = "[lexon]\r\n";
    for (int i = 0; i < entries; ++i)
        out += prefix + QByteArray::number(i).rightJustified(5, '0') + "=v" + QByteArray::number(i) + (i % 97 ? "\r\n" : "\r\n  \r\r\n");
    return out;
}

// LookupEntry's outcome over the lists, read in turn, as the scans give it,
// or "empty" when the reporter heard of an empty key.
QByteArray lookUp(const QStringList &lists, const QByteArray &key)
{
    struct Reporter final : LookupReporter {
        bool empty = false;
        void emptyKey() override { empty = true; }
        void found(const QByteArray &) override {}
        std::optional<QByteArray> notFound(const QByteArray &) override { return std::nullopt; }
    } reporter;
    try {
        const std::optional<QByteArray> value = LookupEntry("lexon", key, "none", lists, reporter);
        return reporter.empty ? "empty" : value ? found(*value) : notFound();
    } catch (const LookupError &error) {
        return fails(error.failure());
    }
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
        // Without its bytes, a list is not there, and the own list's folder neither.
        testsystem::require(QDir(root.path()).mkdir(QStringLiteral("share"))
                                && (ownBytes.isNull() || QDir(root.path()).mkpath(QStringLiteral("profile/parlanta"))),
                            "the lists' folders");
        if (!sharedBytes.isNull())
            root.write(QStringLiteral("share/dicy.ini"), sharedBytes);
        if (!ownBytes.isNull())
            root.write(QStringLiteral("profile/parlanta/dicy.ini"), ownBytes);
    }
};

const QByteArray kShared = lines({"[lexon]", "Friday=JUMAH", "One=YAAK"});

} // namespace

class TestDictionary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qInfo("the lookup's scan here: %s", fastscan::pathName(fastscan::bestPath()));
        for (Path path : fastPaths())
            qInfo("compared with the line scan: %s", fastscan::pathName(path));
    }

    void scan_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray words = lines({"[lexon]", "One=YAAK", "two=DO"});
        QTest::newRow("lower case key") << words << QByteArray("one") << found("YAAK");
        QTest::newRow("missing key") << words << QByteArray("three") << notFound();
        QTest::newRow("key with leading space") << words << QByteArray(" One") << notFound();
        QTest::newRow("key with trailing space") << words << QByteArray("One ") << notFound();
        QTest::newRow("empty file") << QByteArray() << QByteArray("One") << notFound();
        QTest::newRow("blank lines only") << QByteArray("\r\n   \r\n\r\r\n") << QByteArray("One") << notFound();
        QTest::newRow("no section") << lines({"One=YAAK"}) << QByteArray("One") << notFound();

        QTest::newRow("spaces around the line") << lines({"[lexon]", "  One=YAAK  "}) << QByteArray("One") << found("YAAK");
        QTest::newRow("space before =, key without") << lines({"[lexon]", "One =YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("space before =, key with") << lines({"[lexon]", "One =YAAK"}) << QByteArray("One ") << found("YAAK");
        QTest::newRow("space after =") << lines({"[lexon]", "One= YAAK"}) << QByteArray("One") << found(" YAAK");
        QTest::newRow("empty value") << lines({"[lexon]", "One="}) << QByteArray("One") << found("");
        QTest::newRow("first = splits") << lines({"[lexon]", "a=b=c"}) << QByteArray("a") << found("b=c");
        QTest::newRow("first of two wins") << lines({"[lexon]", "One=YAAK", "one=OTHER"}) << QByteArray("ONE") << found("YAAK");
        QTest::newRow("tab before key") << lines({"[lexon]", "\tOne=YAAK"}) << QByteArray("One") << notFound();

        QTest::newRow("header with spaces around") << lines({"   [Lexon]   ", "One=YAAK"}) << QByteArray("One") << found("YAAK");
        QTest::newRow("header with inner spaces") << lines({"[ lexon ]", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("header with comment") << lines({"[lexon] ;words", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("header with tail") << lines({"[lexon]x", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("header of a longer name") << lines({"[lexons]", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("header is last line") << lines({"One=YAAK", "[lexon]"}) << QByteArray("One") << notFound();
        QTest::newRow("header then another section") << lines({"[lexon]", "[other]", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("open bracket ends section") << lines({"[lexon]", "[note", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("entry above header") << lines({"One=YAAK", "[lexon]", "two=DO"}) << QByteArray("One") << notFound();
        QTest::newRow("entry under second header") << lines({"[lexon]", "two=DO", "[lexon]", "One=YAAK"}) << QByteArray("One") << notFound();
        QTest::newRow("section after other one") << lines({"[other]", "junk", "[lexon]", "One=YAAK"}) << QByteArray("One") << found("YAAK");

        QTest::newRow("line without = above") << lines({"[lexon]", "note", "One=YAAK"}) << QByteArray("One") << fails(LookupFailure::InvalidArgument);
        QTest::newRow("line without = below") << lines({"[lexon]", "One=YAAK", "note"}) << QByteArray("One") << found("YAAK");
        QTest::newRow("line without = when missing") << lines({"[lexon]", "two=DO", "note"}) << QByteArray("One") << fails(LookupFailure::InvalidArgument);
        QTest::newRow("40000-char line in body") << QByteArray("[lexon]\r\n" + QByteArray(40000, 'x') + "\r\nOne=YAAK\r\n") << QByteArray("One") << fails(LookupFailure::InvalidArgument);
        QTest::newRow("40000-char line outside") << QByteArray(QByteArray(40000, 'x') + "\r\n[lexon]\r\nOne=YAAK\r\n") << QByteArray("One") << found("YAAK");

        QTest::newRow("LF-only file") << QByteArray("[lexon]\nOne=YAAK\n") << QByteArray("One") << notFound();
        QTest::newRow("lone CR line ends") << QByteArray("[lexon]\rOne=YAAK\rtwo=DO") << QByteArray("two") << found("DO");
        QTest::newRow("lone LF stays in value") << QByteArray("[lexon]\r\nOne=YA\nAK\r\n") << QByteArray("One") << found("YA\nAK");

        QTest::newRow("accented key, other case") << lines({"[lexon]", "caf\xc9=KAHVA"}) << QByteArray("caf\xe9") << found("KAHVA");
        QTest::newRow("NUL in key and value") << QByteArray("[lexon]\r\na\0b=c\0d\r\n", 17) << QByteArray("A\0B", 3) << found(QByteArray("c\0d", 3));
    }

    void scan()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(scanAllPaths(file, key), expected);
    }

    void limits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray body = "[lexon]\r\n";
        const QByteArray overflow = fails(LookupFailure::Overflow);
        for (qsizetype at : {32766, 32767, 32768}) {
            for (qsizetype lead : {0, 55}) { // 55: the line starts a block
                const QByteArray line = QByteArray(lead, ' ') + QByteArray(at - 1, 'k') + "=V \r\nOne=YAAK\r\n";
                const QByteArray name = "= at " + QByteArray::number(at) + ", lead " + QByteArray::number(lead);
                // The value of a key whose "=" is at 32767 would start past the counter.
                QTest::newRow(name + ", its key") << body + line << QByteArray(at - 1, 'K') << (at == 32766 ? found("V") : overflow);
                QTest::newRow(name + ", other key") << body + line << QByteArray("one") << (at == 32768 ? overflow : found("YAAK"));
                QTest::newRow(name + ", above header") << line + body + "One=Y" << QByteArray("one") << found("Y");
            }
        }
        QTest::newRow("40000 bytes, no =") << body + QByteArray(40000, 'x') + "\rOne=Y" << QByteArray("one") << fails(LookupFailure::InvalidArgument);
        // The header is one of the lines: 32766 entries make 32767 lines.
        QTest::newRow("32767 lines, last key") << numbered(32766, "english") << QByteArray("ENGLISH32765") << found("v32765");
        QTest::newRow("32767 lines, line 2") << numbered(32766, "english") << QByteArray("english00000") << found("v0");
        QTest::newRow("32767 lines, missing") << numbered(32766, "english") << QByteArray("english99999") << notFound();
        QTest::newRow("32767 lines, unended") << numbered(32766, "e").chopped(2) << QByteArray("none") << notFound();
        QTest::newRow("32768 lines, line 2") << numbered(32767, "english") << QByteArray("english00000") << overflow;
        QTest::newRow("32768 lines, no blanks, unended") << numbered(32767, "e").replace("  \r\r\n", "").chopped(2) << QByteArray("e00000") << overflow;
        QTest::newRow("32768 lines, no = first") << body + "note\r\n" + numbered(32767, "e") << QByteArray("e00001") << overflow;
    }

    void limits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(scanAllPaths(file, key), expected);
    }

    void randomLists()
    {
        // Lines from pieces that each touch a rule, in random order and case.
        const QList<QByteArray> pieces = {"[lexon]", "[LeXoN] ", "[lexon]x", "[other", "ab=1", "AB=2", "a\xe9=3",
                                          "A\xc9=\xff", "  ab = 5", "=6", "ab=7=8", "note", "\n", "a\nb=9", "   "};
        const QList<QByteArray> ends = {"\r\n", "\r", "\n", " \r\n", "\r\r\n"};
        const QList<QByteArray> keys = {"ab", "AB", "a\xc9", "ab ", "=6", "a\nb", "x", ""};
        std::mt19937 random(20260107);
        QSet<QByteArray> outcomes;
        for (int round = 0; round < 4000; ++round) {
            QByteArray file;
            const int lines = int(random() % 40);
            for (int i = 0; i < lines; ++i) {
                file += QByteArray(int(random() % 4) * (random() % 3 ? 1 : 17), ' ') + pieces[random() % pieces.size()];
                file += ends[random() % ends.size()];
            }
            file.chop(int(random() % 3));
            outcomes << scanAllPaths(file, keys[random() % keys.size()]).split('\t').first();
            if (QTest::currentTestFailed())
                return;
        }
        // The lists reach found, not found and a line without "=".
        QCOMPARE(outcomes.size(), 3);
    }

    void lookUpReadsARegularFileAndClosesIt()
    {
        ProgramFolder folder;
        const int before = testsystem::openHandles();
        QCOMPARE(lookUp({QStringLiteral("/nonexistent/dicy.ini")}, ""), QByteArray("empty")); // never looked up
        for (const QByteArray &file : {lines({"[lexon]", "One=YAAK"}), lines({"[lexon]", "note", "One=YAAK"}), numbered(32767, "k")}) {
            folder.writeWordList(file);
            QCOMPARE(lookUp({folder.wordList()}, "One"), scanAllPaths(file, "One"));
        }
        QCOMPARE(testsystem::openHandles(), before);

        // Anything but a regular file is not found; a FIFO nobody writes to would make a read wait for ever.
        QVERIFY(QFile::remove(folder.wordList()) && QDir(folder.path()).mkdir(QStringLiteral("dicy.ini")));
        const testsystem::NotRegularFiles special(folder.path());
        for (const QString &path : QStringList{folder.path() + QStringLiteral("/none.ini"), folder.wordList()} + special.paths)
            QCOMPARE(lookUp({path}, "One"), fails(LookupFailure::FileNotFound));
    }

    void upperCasesAtTheTablesEdges_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("upper");
        const int rows[][2] = {{'`', '`'}, {'a', 'A'}, {'z', 'Z'}, {'{', '{'}, {0xDF, 0xDF}, {0xE0, 0xC0},
                               {0xF6, 0xD6}, {0xF7, 0xF7}, {0xF8, 0xD8}, {0xFE, 0xDE}, {0xFF, 0x9F}, {0x9A, 0x8A},
                               {0x9C, 0x8C}, {0x9E, 0x8E}, {0x9F, 0x9F}, {0xB5, 0xB5}, {0x83, 0x83}};
        for (const auto &[byte, upper] : rows)
            QTest::addRow("0x%02X", byte) << byte << upper;
    }

    void upperCasesAtTheTablesEdges()
    {
        QFETCH(int, byte);
        QFETCH(int, upper);
        QCOMPARE(int(codepage::upper(static_cast<unsigned char>(byte))), upper);
    }

    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        const QString text = codepage::decode(all);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0x81), QChar(0x81)); // undefined, kept as the control of the same number
        QCOMPARE(codepage::encode(text), std::optional<QByteArray>(all));
        QCOMPARE(codepage::encodeLossy(QStringLiteral("a\u0628b")), QByteArray("a?b"));
    }

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
        QTest::addColumn<QByteArray>("outcome");
        const QByteArray none;
        QTest::newRow("no own list") << kShared << none << QByteArray("friday") << found("JUMAH");
        QTest::newRow("own word stands over the shared one")
            << kShared << lines({"[lexon]", "Friday=ADINAG"}) << QByteArray("Friday") << found("ADINAG");
        QTest::newRow("shared word, own list lacks it")
            << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("One") << found("YAAK");
        QTest::newRow("own word") << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("rain") << found("HAUR");
        QTest::newRow("in neither") << kShared << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Snow") << notFound();
        QTest::newRow("own list ends its section before the word")
            << kShared << lines({"[lexon]", "[other]", "Snow=BARPH"}) << QByteArray("Snow") << notFound();
        QTest::newRow("a bad line in the own list fails the lookup")
            << kShared << lines({"[lexon]", "no equals"}) << QByteArray("Friday") << fails(LookupFailure::InvalidArgument);
        QTest::newRow("own list found before a missing shared one")
            << QByteArray() << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Rain") << found("HAUR");
        QTest::newRow("a missing shared list fails the rest")
            << QByteArray() << lines({"[lexon]", "Rain=HAUR"}) << QByteArray("Snow") << fails(LookupFailure::FileNotFound);
    }

    void lookupReadsTheOwnListFirst()
    {
        QFETCH(QByteArray, shared);
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, outcome);
        const TwoLists lists(shared, own);
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
        QCOMPARE(lookUp(lists.places.readOrder(), "rain"), found("HAUR"));
    }
};

QTEST_GUILESS_MAIN(TestDictionary)
#include "test_dictionary.moc"
