#include "system_faults.h"
#include "writer_test.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>

using namespace dictionary;
using namespace writertest;

namespace {

// The file at `path` held open by another program, sharing it as `share`
// says, for as long as this lives.
class HeldOpen {
public:
    HeldOpen(const QString &path, DWORD share)
        : m_handle(CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ, share, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
        testsystem::require(m_handle != INVALID_HANDLE_VALUE, "the word list held open");
    }
    ~HeldOpen() { CloseHandle(m_handle); }
    Q_DISABLE_COPY(HeldOpen)

private:
    HANDLE m_handle;
};

// Wine's name for `path` on the machine it runs on, or "" where this is not Wine.
QString unixPath(const QString &path)
{
    using Convert = char *(CDECL *)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char *name = convert ? convert(QDir::toNativeSeparators(path).toStdWString().c_str()) : nullptr;
    const QString out = name ? QString::fromLocal8Bit(name) : QString();
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// While this lives, the machine Wine runs on refuses to replace the file at
// `path` (it is marked immutable), as Windows refuses a file its permissions
// keep from this user: Wine, run as root, ignores a file's permissions. Wine
// does not tell when a program of the machine's own ends, so each change is
// waited for until opening the file for writing shows it.
class RefusedBySystem {
public:
    explicit RefusedBySystem(const QString &path) : m_path(path) { mark(true); }
    ~RefusedBySystem() { mark(false); }
    Q_DISABLE_COPY(RefusedBySystem)

private:
    bool writable() const
    {
        const HANDLE file = CreateFileW(QDir::toNativeSeparators(m_path).toStdWString().c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE && CloseHandle(file);
    }
    void mark(bool on) const
    {
        QProcess::startDetached(QStringLiteral("Z:/usr/bin/chattr"), {on ? "+i" : "-i", unixPath(m_path)});
        for (int wait = 0; wait < 1000 && writable() == on; ++wait)
            QTest::qWait(10);
        testsystem::require(writable() != on, "the word list marked immutable, and unmarked after");
    }
    QString m_path;
};

} // namespace

class TestWriterWindows : public TestWriter {
    Q_OBJECT
private slots:
    void systemFailuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("held lock") << "held lock" << "Busy";
        // A virus scanner or an editor with the file open: waited for, then reported.
        QTest::newRow("held open by another program") << "blocked save" << "Other";
        QTest::newRow("read-only file") << "read-only" << "AccessDenied";
        // Waited for as a file on its way out may be, then reported as what it is.
        QTest::newRow("replace refused by the system") << "refused" << "AccessDenied";
    }

    void systemFailuresLeaveTheFileAlone()
    {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        const QByteArray file = words(40);
        ProgramFolder folder;
        folder.writeWordList(file);
        QLockFile held(folder.wordList() + QStringLiteral(".lock"));
        QVERIFY(how != QLatin1String("held lock") || held.tryLock(0));
        std::optional<testsystem::SaveBlocker> blocked;
        if (how == QLatin1String("blocked save"))
            blocked.emplace(folder.wordList(), file);
        else if (how == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(folder.wordList(), QFile::ReadOwner | QFile::ReadUser));
        std::optional<RefusedBySystem> refused;
        if (how == QLatin1String("refused")) {
            if (unixPath(folder.wordList()).isEmpty())
                SKIP_ROW("only Wine lets a test mark a file immutable");
            refused.emplace(folder.wordList());
        }
        expectFailure(folder, file, childAdding(folder.wordList(), how == QLatin1String("held lock") ? 100 : 10000), outcome);
    }

    void keepsTheFileItself_data()
    {
        QTest::addColumn<int>("attributes");
        QTest::addColumn<QString>("folderName"); // the program folder, inside the temporary one
        QTest::addColumn<bool>("leftover");      // a killed save's new file is there
        QTest::newRow("plain file") << 0 << "Parlanta" << false;
        QTest::newRow("hidden file") << int(FILE_ATTRIBUTE_HIDDEN) << "Parlanta" << false;
        QTest::newRow("folder named in other letters") << 0 << QStringLiteral("Zahr\u0101 \u041F\u0430\u0440\u043B\u0430\u043D\u0442\u0430") << false;
        QTest::newRow("a killed save's hidden leftover") << 0 << "Parlanta" << true;
    }

    void keepsTheFileItself()
    {
        QFETCH(int, attributes);
        QFETCH(QString, folderName);
        QFETCH(bool, leftover);
        ProgramFolder outer;
        const QString folder = outer.path() + u'/' + folderName;
        const QString path = folder + QStringLiteral("/dicy.ini");
        const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
        QVERIFY(QDir(outer.path()).mkdir(folderName));
        outer.write(folderName + QStringLiteral("/dicy.ini"), lines({"[lexon]"}));
        if (leftover) // killed after giving its copy the list's attributes
            outer.write(folderName + QStringLiteral("/dicy.ini.new"), "half a");
        const std::wstring left = QDir::toNativeSeparators(path + QStringLiteral(".new")).toStdWString();
        QVERIFY(!leftover || SetFileAttributesW(left.c_str(), FILE_ATTRIBUTE_HIDDEN));
        QVERIFY(!attributes || SetFileAttributesW(native.c_str(), DWORD(attributes)));

        QCOMPARE(outcomeOf(writeEntry("lexon", "a", "B", path)), QStringLiteral("ok"));
        QCOMPARE(outer.read(folderName + QStringLiteral("/dicy.ini")), lines({"[lexon]", "a=B"}));
        QCOMPARE(listing(folder), QStringList{"dicy.ini"});
        QCOMPARE(int(GetFileAttributesW(native.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY)), attributes);
    }

    void waitsForAFileHeldAMoment_data()
    {
        QTest::addColumn<bool>("reading");
        // Shared with nobody while the child reads the list, right after taking the lock.
        QTest::newRow("read") << true;
        // Shared for reading until the child has written its new copy whole, and so replaces the list.
        QTest::newRow("replace") << false;
    }

    void waitsForAFileHeldAMoment()
    {
        QFETCH(bool, reading);
        ProgramFolder folder;
        folder.writeWordList(words(0));
        std::optional<HeldOpen> held(std::in_place, folder.wordList(), reading ? 0 : FILE_SHARE_READ);
        QProcess child;
        child.start(kChild, {folder.wordList(), "word", "0", "1"});
        const QString lock = folder.wordList() + QStringLiteral(".lock"), copy = folder.wordList() + QStringLiteral(".new");
        QTRY_VERIFY_WITH_TIMEOUT((reading ? QFileInfo::exists(lock) : QFileInfo(copy).size() == words(1).size())
                                     || child.state() == QProcess::NotRunning, 10000);
        // The step waits for the file to be let go instead of failing.
        held.reset();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(outcomeOf({}, child.exitCode()), QStringLiteral("ok"));
        QCOMPARE(folder.readWordList(), words(1));
        QCOMPARE(listing(folder.path()), QStringList{"dicy.ini"});
    }
};

std::unique_ptr<TestWriter> writerTests()
{
    return std::make_unique<TestWriterWindows>();
}

#include "test_writer_windows.moc"
