#pragma once

// What the writer's tests share: the shared ones (test_writer.cpp) and the
// ones only one system has (test_writer_posix.cpp, test_writer_windows.cpp).

#include "word_list_fixture.h"
#include "word_list_writer.h"

#include <QtTest>

#include <memory>

namespace writertest {

// Set by a row that could not run here; see main().
inline bool skippedRows = false;
#define SKIP_ROW(why) do { writertest::skippedRows = true; QSKIP(why); } while (false)

inline const QString kChild = QStringLiteral(WRITER_CHILD);

// "ok" or the failure's name, from a write in this process or from writer_child's exit status.
inline QString outcomeOf(const std::optional<dictionary::WriteError> &error, int status = 0)
{
    static const QStringList names = {"InvalidEntry", "Full",     "NoSpace", "AccessDenied",
                                      "FolderMissing", "NotAFile", "Busy",    "Other"};
    status = error ? 10 + int(error->failure) : status;
    return status == 0 ? QStringLiteral("ok") : names.value(status - 10, QString::number(status));
}

// Runs a program to its end: its exit status, -1 when it was killed, -2 when it hung.
inline int run(QStringList command)
{
    QProcess child;
    child.start(command.takeFirst(), command);
    return !child.waitForFinished(60000) ? -2 : child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

// A word list of n + 4 non-blank lines, with word0=V0 .. word<n-1>=V<n-1> as writer_child adds them.
inline QByteArray words(int n)
{
    QByteArray out = lines({"[lexon]", "One=YAAK"});
    for (int i = 0; i < n; ++i)
        out += "word" + QByteArray::number(i) + "=V" + QByteArray::number(i) + "\r\n";
    return out + lines({"", "[other]", "x=y"});
}

// After a child adding word<n> was killed, the file holds the n words before
// it or n + 1, byte for byte: returns how many, or -1.
inline int wordsAfterKill(const QByteArray &file, int n)
{
    return file == words(n) ? n : file == words(n + 1) ? n + 1 : -1;
}

// writer_child adding new0=V0 to `path`, giving up on the lock after lockMs.
inline QStringList childAdding(const QString &path, int lockMs = 10000)
{
    return {kChild, path, "new", "0", "1", QString::number(lockMs)};
}

// Runs `command` against the word list in `folder`, whose bytes are `file`,
// and checks that it ends in `outcome` with the folder as it was.
inline void expectFailure(const ProgramFolder &folder, const QByteArray &file, const QStringList &command,
                          const QString &outcome)
{
    const QStringList before = listing(folder.path());
    QCOMPARE(outcomeOf({}, run(command)), outcome);
    QCOMPARE(folder.readWordList(), file);
    QCOMPARE(listing(folder.path()), before);
}

} // namespace writertest

// The tests every system has (test_writer.cpp). Each system's own derive
// from it, so that one run, and its choice of test functions, takes both.
class TestWriter : public QObject {
    Q_OBJECT
private slots:
    void placesTheEntry_data();
    void placesTheEntry();
    void failsAndLeavesTheFileAlone_data();
    void failsAndLeavesTheFileAlone();
    void takesOverALockLeftUnderItsOwnId();
    void concurrentWritersAllLand_data();
    void concurrentWritersAllLand();
    void survivesBeingKilled();
};

// This system's tests, with the shared ones.
std::unique_ptr<TestWriter> writerTests();
