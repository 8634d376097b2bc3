// Every block scan this processor can run must end exactly as the reference
// scan does, on word lists made to hit each line rule at block boundaries.
#include "fast_scan.h"

#include <QtTest>

#include <random>

#include <sys/mman.h>
#include <unistd.h>

using namespace dictionary;
using namespace dictionary::fastscan;

namespace {

// The bytes end right before a page that cannot be read, so a scan that
// reads one byte past the end crashes the test.
class Guarded {
public:
    explicit Guarded(const QByteArray &bytes)
    {
        const qsizetype page = sysconf(_SC_PAGESIZE);
        const qsizetype data = (bytes.size() + page - 1) / page * page;
        m_length = std::size_t(data + page);
        m_base = static_cast<char *>(mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (m_base == MAP_FAILED || mprotect(m_base + data, std::size_t(page), PROT_NONE) != 0)
            qFatal("cannot map a guarded buffer");
        m_view = QByteArrayView(m_base + data - bytes.size(), bytes.size());
        std::memcpy(m_base + data - bytes.size(), bytes.constData(), std::size_t(bytes.size()));
    }
    ~Guarded() { munmap(m_base, m_length); }
    QByteArrayView view() const { return m_view; }

private:
    char *m_base;
    std::size_t m_length;
    QByteArrayView m_view;
};

QByteArray outcome(Path path, QByteArrayView file, QByteArrayView key)
{
    try {
        const ScanResult result = scan(path, file, "lexon", key);
        return result.outcome == ScanOutcome::Found ? "found\t" + result.value : "not found";
    } catch (const LookupError &error) {
        return "failure " + QByteArray::number(int(error.failure()));
    }
}

QList<Path> fastPaths()
{
    QList<Path> paths;
    for (Path path : {Path::Sse2, Path::Avx2, Path::Avx512}) {
        if (canRun(path))
            paths << path;
    }
    return paths;
}

// Compares every runnable path with the reference; returns the reference's outcome.
QByteArray verifyAllPaths(const QByteArray &bytes, const QByteArray &key)
{
    const Guarded file(bytes);
    const QByteArray expected = outcome(Path::Scalar, file.view(), key);
    for (Path path : fastPaths()) {
        const QByteArray actual = outcome(path, file.view(), key);
        if (actual != expected)
            qWarning("%s, key \"%s\", file \"%s\"", pathName(path), key.constData(), bytes.left(200).toPercentEncoding().constData());
        [&] { QCOMPARE(actual, expected); }();
    }
    return expected;
}

QByteArray numbered(int entries, const QByteArray &prefix)
{
    QByteArray out = "[lexon]\r\n";
    for (int i = 0; i < entries; ++i)
        out += prefix + QByteArray::number(i).rightJustified(5, '0') + "=v" + QByteArray::number(i) + (i % 97 ? "\r\n" : "\r\n  \r\r\n");
    return out;
}

} // namespace

class TestScanPaths : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (Path path : fastPaths())
            qInfo("compared with the line scan: %s", pathName(path));
    }
    void limits_data();
    void limits();
    void keyAtEveryOffset();
    void randomLists();
};

void TestScanPaths::limits_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("key");
    const QByteArray body = "[lexon]\r\n";
    for (qsizetype at : {32766, 32767, 32768}) {
        for (qsizetype lead : {0, 55}) { // 55: the line starts a block
            const QByteArray line = QByteArray(lead, ' ') + QByteArray(at - 1, 'k') + "=V \r\nOne=YAAK\r\n";
            const QByteArray name = "= at " + QByteArray::number(at) + ", lead " + QByteArray::number(lead);
            QTest::newRow(name + ", its key") << body + line << QByteArray(at - 1, 'K');
            QTest::newRow(name + ", other key") << body + line << QByteArray("one");
            QTest::newRow(name + ", above header") << line + body + "One=Y" << QByteArray("one");
        }
    }
    QTest::newRow("40000 bytes, no =") << body + QByteArray(40000, 'x') + "\rOne=Y" << QByteArray("one");
    QTest::newRow("32767 lines, last key") << numbered(32766, "english") << QByteArray("ENGLISH32765");
    QTest::newRow("32767 lines, line 2") << numbered(32766, "english") << QByteArray("english00000");
    QTest::newRow("32767 lines, missing") << numbered(32766, "english") << QByteArray("english99999");
    QTest::newRow("32768 lines, line 2") << numbered(32767, "english") << QByteArray("english00000");
    QTest::newRow("32768 lines, no blanks, unended") << numbered(32767, "e").replace("  \r\r\n", "").chopped(2) << QByteArray("e00000");
    QTest::newRow("32768 lines, no = first") << body + "note\r\n" + numbered(32767, "e") << QByteArray("e00001");
    QTest::newRow("32767 lines, unended") << numbered(32766, "e").chopped(2) << QByteArray("none");
}

void TestScanPaths::limits()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    verifyAllPaths(file, key);
}

void TestScanPaths::keyAtEveryOffset()
{
    // The key slides over two blocks, after a line that shares its length
    // and its last byte; the line ends vary with the offset. A key longer
    // than a block finds its line start blocks back.
    const char *ends[] = {"\r\n", "\r", " \r\n", "", "\n\r"};
    for (const QByteArray &stem : {QByteArray(), QByteArray(70, 'q')}) {
        for (int shift = 0; shift < 140; ++shift) {
            const QByteArray lead = shift % 2 ? QByteArray(shift, ' ') : QByteArray(shift / 2, 'x') + "=\r\n";
            const QByteArray file = "[lexon]\r\n" + lead + stem + "kE\xffy=a\r\n" + stem + "kE\xff\x9f=b" + ends[shift % 5];
            verifyAllPaths(file, stem + "ke\xff\xff");
            verifyAllPaths(file, stem + "ke\x9f\x9f");
        }
    }
}

void TestScanPaths::randomLists()
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
        outcomes << verifyAllPaths(file, keys[random() % keys.size()]).split('\t').first();
        if (QTest::currentTestFailed())
            return;
    }
    // The lists reach found, not found and a line without "=".
    QCOMPARE(outcomes.size(), 3);
}

QTEST_APPLESS_MAIN(TestScanPaths)
#include "test_scan_paths.moc"
