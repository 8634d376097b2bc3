#include "codepage.h"
#include "lookup.h"
#include "word_list_fixture.h"

#include <QDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace dictionary;

namespace {

// What a scan ends in: a value, "not found", or a failure.
struct Expected {
    enum Kind { Found, NotFound, Fails } kind;
    QByteArray value;
    LookupFailure failure = LookupFailure::FileNotFound;
};
Expected found(const QByteArray &value) { return {Expected::Found, value}; }
Expected notFound() { return {Expected::NotFound, {}}; }
Expected fails(LookupFailure failure) { return {Expected::Fails, {}, failure}; }

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *line : list)
        out += QByteArray(line) + "\r\n";
    return out;
}

// n entries "k<i>=v<i>" under the header, making n + 1 non-blank lines.
QByteArray numberedEntries(int n)
{
    QByteArray out = "[lexon]\r\n";
    out.reserve(n * 16);
    for (int i = 0; i < n; ++i)
        out += "k" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    return out;
}

QByteArray lineWithEqualsAt(qsizetype position, const QByteArray &key)
{
    // The key padded with "x" so that "=" is the position-th character.
    return key + QByteArray(position - 1 - key.size(), 'x') + "=VALUE";
}

// A reporter that notes which outcomes were reported.
class Recorder final : public LookupReporter {
public:
    void emptyKey() override { calls << QStringLiteral("empty"); }
    void found(const QByteArray &) override { calls << QStringLiteral("found"); }
    std::optional<QByteArray> notFound(const QByteArray &defaultValue) override
    {
        calls << QStringLiteral("notfound");
        return defaultValue;
    }
    QStringList calls;
};

void verifyScan(const QByteArray &file, const QByteArray &key, const Expected &expected)
{
    try {
        const ScanResult result = scanEntries(file, "lexon", key);
        QVERIFY2(expected.kind != Expected::Fails, "expected a failure");
        QCOMPARE(result.outcome == ScanOutcome::Found, expected.kind == Expected::Found);
        QCOMPARE(result.value, expected.value);
    } catch (const LookupError &error) {
        QVERIFY2(expected.kind == Expected::Fails, error.what());
        QCOMPARE(error.failure(), expected.failure);
    }
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

} // namespace

Q_DECLARE_METATYPE(Expected)

class TestDictionary : public QObject {
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void lineLimit_data();
    void lineLimit();
    void equalsPositionLimit_data();
    void equalsPositionLimit();
    void emptyKeyNeverOpensTheFile();
    void somethingOtherThanARegularFileIsNotFound();
    void fileIsClosedWhateverHappens();
    void upperCasesAtTheTablesEdges_data();
    void upperCasesAtTheTablesEdges();
    void everyByteRoundTrips();
};

void TestDictionary::scan_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Expected>("expected");

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
    QTest::newRow("y diaeresis upper") << lines({"[lexon]", "\x9f=Y"}) << QByteArray("\xff") << found("Y");
    QTest::newRow("sharp s is not SS") << lines({"[lexon]", "SS=X"}) << QByteArray("\xdf") << notFound();
    QTest::newRow("NUL in key and value") << QByteArray("[lexon]\r\na\0b=c\0d\r\n", 17) << QByteArray("A\0B", 3) << found(QByteArray("c\0d", 3));
}

void TestDictionary::scan()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    QFETCH(Expected, expected);
    verifyScan(file, key, expected);
}

void TestDictionary::lineLimit_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Expected>("expected");
    // The header is one of the lines: 32766 entries make 32767 lines.
    QTest::newRow("32767 lines, last key") << 32766 << QByteArray("k32765") << found("v32765");
    QTest::newRow("32768 lines, first key") << 32767 << QByteArray("k0") << fails(LookupFailure::Overflow);
    QTest::newRow("32768 lines, missing key") << 32767 << QByteArray("none") << fails(LookupFailure::Overflow);
}

void TestDictionary::lineLimit()
{
    QFETCH(int, entries);
    QFETCH(QByteArray, key);
    QFETCH(Expected, expected);
    // Blank lines are not lines of the list, so they never push a file over.
    const QByteArray file = numberedEntries(entries) + "\r\n   \r\n\r\n";
    verifyScan(file, key, expected);
}

void TestDictionary::equalsPositionLimit_data()
{
    QTest::addColumn<qsizetype>("position");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Expected>("expected");
    const QByteArray k = "k";
    const QByteArray longKey = lineWithEqualsAt(32767, k).first(32766);
    const QByteArray shorterKey = lineWithEqualsAt(32766, k).first(32765);
    QTest::newRow("= at 32766, matching") << qsizetype(32766) << shorterKey << found("VALUE");
    QTest::newRow("= at 32767, matching") << qsizetype(32767) << longKey << fails(LookupFailure::Overflow);
    QTest::newRow("= at 32767, other key") << qsizetype(32767) << QByteArray("One") << found("YAAK");
    QTest::newRow("= at 32768, other key") << qsizetype(32768) << QByteArray("One") << fails(LookupFailure::Overflow);
}

void TestDictionary::equalsPositionLimit()
{
    QFETCH(qsizetype, position);
    QFETCH(QByteArray, key);
    QFETCH(Expected, expected);
    const QByteArray file = "[lexon]\r\n" + lineWithEqualsAt(position, "k") + "\r\nOne=YAAK\r\n";
    verifyScan(file, key, expected);
}

void TestDictionary::emptyKeyNeverOpensTheFile()
{
    Recorder reporter;
    QCOMPARE(LookupEntry("lexon", "", "none", QStringLiteral("/nonexistent/dicy.ini"), reporter), std::nullopt);
    QCOMPARE(reporter.calls, QStringList({"empty"}));
}

void TestDictionary::somethingOtherThanARegularFileIsNotFound()
{
    ProgramFolder folder;
    const auto failureFor = [&](const QString &path) -> std::optional<LookupFailure> {
        Recorder reporter;
        try {
            LookupEntry("lexon", "One", "none", path, reporter);
        } catch (const LookupError &error) {
            return error.failure();
        }
        return std::nullopt;
    };
    QCOMPARE(failureFor(folder.wordList()), std::optional(LookupFailure::FileNotFound));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("dicy.ini")));
    QCOMPARE(failureFor(folder.wordList()), std::optional(LookupFailure::FileNotFound));
#ifdef Q_OS_UNIX
    // Reading a FIFO nobody writes to would wait for ever.
    const QString fifo = folder.path() + QStringLiteral("/fifo.ini");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(failureFor(fifo), std::optional(LookupFailure::FileNotFound));
    QCOMPARE(failureFor(QStringLiteral("/dev/null")), std::optional(LookupFailure::FileNotFound));
#endif
}

void TestDictionary::fileIsClosedWhateverHappens()
{
#ifndef Q_OS_LINUX
    QSKIP("counts descriptors through /proc");
#endif
    ProgramFolder folder;
    const QByteArray files[] = {
        lines({"[lexon]", "One=YAAK"}),
        lines({"[lexon]", "note", "One=YAAK"}),
        numberedEntries(32767),
    };
    const int before = openDescriptors();
    for (const QByteArray &file : files) {
        folder.writeWordList(file);
        Recorder reporter;
        try {
            LookupEntry("lexon", "One", "none", folder.wordList(), reporter);
        } catch (const LookupError &) {
        }
    }
    QCOMPARE(openDescriptors(), before);
}

void TestDictionary::upperCasesAtTheTablesEdges_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("upper");
    const int rows[][2] = {{'`', '`'}, {'a', 'A'}, {'z', 'Z'}, {'{', '{'}, {0xDF, 0xDF}, {0xE0, 0xC0},
                           {0xF6, 0xD6}, {0xF7, 0xF7}, {0xF8, 0xD8}, {0xFE, 0xDE}, {0xFF, 0x9F}, {0x9A, 0x8A},
                           {0x9C, 0x8C}, {0x9E, 0x8E}, {0x9F, 0x9F}, {0xB5, 0xB5}, {0x83, 0x83}};
    for (const auto &[byte, upper] : rows)
        QTest::addRow("0x%02X", byte) << byte << upper;
}

void TestDictionary::upperCasesAtTheTablesEdges()
{
    QFETCH(int, byte);
    QFETCH(int, upper);
    QCOMPARE(int(codepage::upper(static_cast<unsigned char>(byte))), upper);
}

void TestDictionary::everyByteRoundTrips()
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

QTEST_APPLESS_MAIN(TestDictionary)
#include "test_dictionary.moc"
