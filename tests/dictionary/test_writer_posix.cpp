#include "file_system.h"
#include "system_faults.h"
#include "writer_test.h"

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace dictionary;
using namespace writertest;

namespace {

// strace, when it is installed and may trace here.
QString strace()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("strace"));
    return !program.isEmpty() && QProcess::execute(program, {"-qq", "-o", "/dev/null", "true"}) == 0 ? program : QString();
}

} // namespace

class TestWriterPosix : public TestWriter {
    Q_OBJECT
private slots:
    void systemFailuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QString>("how"); // held lock, blocked save, other user, or what strace injects
        QTest::addColumn<QString>("outcome");
        // Every path to the file shares the lock beside the file itself.
        QTest::newRow("held lock, through a link") << "held lock" << "Busy";
        // A writer at work whose lock file looks stale, as every lock does to a
        // writer whose clock is off or that runs under an emulator.
        QTest::newRow("lock file taken for stale, its writer at work") << "held turn" << "Busy";
        QTest::newRow("file size limit") << "blocked save" << "NoSpace";
        // The child's first write is its "start" line, then the lock, then the word list.
        QTest::newRow("ENOSPC writing the file") << "inject=write:error=ENOSPC:when=3" << "NoSpace";
        QTest::newRow("EIO syncing the file") << "inject=fsync:error=EIO:when=1" << "Other";
        QTest::newRow("read-only folder, other user") << "other user" << "AccessDenied";
    }

    void systemFailuresLeaveTheFileAlone()
    {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        // Larger than a lock file, so that a size limit between the two stops the word list only.
        const QByteArray file = words(40);
        ProgramFolder folder;
        folder.writeWordList(file);
        QVERIFY(QFile::link(QStringLiteral("dicy.ini"), folder.path() + QStringLiteral("/link")));
        QLockFile held(folder.wordList() + QStringLiteral(".lock"));
        QVERIFY(how != QLatin1String("held lock") || held.tryLock(0));
        platform::files::FolderTurn turn;
        if (how == QLatin1String("held turn")) {
            QVERIFY(turn.tryTake(folder.path()));
            folder.write(QStringLiteral("dicy.ini.lock"), "4194305\nwriter_child\n"); // no such process
        }
        QStringList command = childAdding(folder.path() + QStringLiteral("/link"), how.startsWith(QLatin1String("held")) ? 100 : 10000);
        std::optional<testsystem::SaveBlocker> blocked;
        if (how == QLatin1String("blocked save")) {
            blocked.emplace(folder.wordList(), file);
        } else if (how.startsWith(QLatin1String("inject="))) {
            if (strace().isEmpty())
                SKIP_ROW("strace is missing or may not trace here");
            command = QStringList{strace(), "-qq", "-o", "/dev/null", "-e", how} + command;
        } else if (how == QLatin1String("other user")) {
            // Root ignores permissions, so root drops to nobody; anyone else runs as is.
            // A copy of the child, as the build folder may be closed to nobody.
            command[0] = folder.path() + QStringLiteral("/child");
            QVERIFY(QFile::copy(kChild, command[0]) && ::chmod(QFile::encodeName(folder.path()).constData(), 0555) == 0);
            if (::geteuid() == 0) {
                const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
                if (setpriv.isEmpty())
                    SKIP_ROW("root needs setpriv to drop to another user");
                command = QStringList{setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"} + command;
            }
        }
        expectFailure(folder, file, command, outcome);
    }

    void keepsTheFileItself_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner"); // -1: ours
        QTest::addColumn<bool>("link"); // dicy.ini links to real.ini
        // Only root may write a read-only file (and it stays read-only) or give
        // a file to another user: for anyone else (the package build's user)
        // these rows do not exist, rather than being skipped.
        if (::geteuid() == 0) {
            QTest::newRow("read-only file") << 0444 << -1 << false;
            QTest::newRow("another user's file") << 0640 << 65534 << false;
        }
        QTest::newRow("symbolic link") << 0600 << -1 << true;
    }

    void keepsTheFileItself()
    {
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(bool, link);
        ProgramFolder folder;
        const QString name = link ? QStringLiteral("real.ini") : QStringLiteral("dicy.ini");
        folder.write(name, lines({"[lexon]"}));
        QVERIFY(!link || QFile::link(name, folder.wordList()));
        const QByteArray path = QFile::encodeName(folder.wordList());
        QVERIFY(::chmod(path.constData(), mode_t(mode)) == 0 && (owner < 0 || ::chown(path.constData(), owner, owner) == 0));
        struct stat before {}, after {};
        QCOMPARE(::stat(path.constData(), &before), 0);

        QCOMPARE(outcomeOf(writeEntry("lexon", "a", "B", folder.wordList())), QStringLiteral("ok"));
        QCOMPARE(folder.read(name), lines({"[lexon]", "a=B"}));
        QCOMPARE(listing(folder.path()), (link ? QStringList{"dicy.ini", "real.ini"} : QStringList{"dicy.ini"}));
        QVERIFY2(::stat(path.constData(), &after) == 0 && after.st_ino != before.st_ino, "replaced, not written in place");
        QCOMPARE(after.st_mode & 07777, mode_t(mode));
        QVERIFY(after.st_uid == before.st_uid && after.st_gid == before.st_gid);
    }

    void survivesBeingKilledAtEachStep()
    {
        // The random kills mostly land while the lock is taken; here strace kills
        // a child on entry to each file call of one write in turn.
        const QString program = strace();
        if (program.isEmpty())
            SKIP_ROW("strace is missing or may not trace here");
        ProgramFolder folder;
        folder.writeWordList(words(0));
        const QStringList child = {kChild, folder.wordList(), "word"};
        const QString calls = "trace=openat,close,write,fsync,fchmod,fchown,linkat,rename,unlink";
        QCOMPARE(run(QStringList{program, "-qq", "-o", folder.path() + "/trace", "-e", calls} + child << "0" << "1"), 0);
        QStringList steps; // each call from the lock on, with its ordinal
        QHash<QByteArray, int> counts;
        for (const QByteArray &line : folder.read(QStringLiteral("trace")).split('\n')) {
            const QByteArray call = line.left(line.indexOf('('));
            const int ordinal = line.contains('(') ? ++counts[call] : 0;
            if (ordinal && (!steps.isEmpty() || line.contains(".lock\"")))
                steps << QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(QString::fromLatin1(call)).arg(ordinal);
        }

        int written = 1;
        for (const QString &step : steps) {
            const QStringList killed = QStringList{program, "-qq", "-o", "/dev/null", "-e", step} + child;
            QVERIFY2(run(killed + QStringList{QString::number(written), "1"}) == -1, qPrintable(step));
            written = wordsAfterKill(folder.readWordList(), written);
            QVERIFY2(written >= 0, qPrintable(step));
            // No stale lock or leftover link, so that the next child makes the same calls.
            for (const QString &name : listing(folder.path()))
                QVERIFY(name == QLatin1String("dicy.ini") || QFile::remove(folder.path() + u'/' + name));
        }
        QVERIFY2(written > 1 && written <= steps.size(), "killed both before and after the new file was in place");
    }
};

std::unique_ptr<TestWriter> writerTests()
{
    return std::make_unique<TestWriterPosix>();
}

#include "test_writer_posix.moc"
