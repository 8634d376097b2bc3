#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

// What the tests need of the system itself: memory, handles, files that are
// not regular, a save that fails. One implementation per system
// (system_faults_posix.cpp, system_faults_windows.cpp).
namespace testsystem {

// For a fixture's constructor, where QVERIFY would return from the
// constructor alone and let the test go on with a half-built fixture: a
// failed check ends the test program, naming what failed.
inline void require(bool ok, const char *what)
{
    if (!ok)
        qFatal("fixture not set up: %s", what);
}

// The open file descriptors (handles on Windows) of this process.
int openHandles();

// A copy of the bytes that ends right before a page that cannot be read, so
// a scan that reads one byte past the end crashes the test.
class GuardedBytes {
public:
    explicit GuardedBytes(const QByteArray &bytes);
    ~GuardedBytes();
    Q_DISABLE_COPY(GuardedBytes)
    QByteArrayView view() const { return m_view; }

private:
    char *m_base = nullptr;
    qsizetype m_length = 0;
    QByteArrayView m_view;
};

// Paths of things that are not regular files, made in `folder` where they
// need making, and reading them as a file would block or never end: a FIFO
// or a named pipe nobody writes to, the null device.
class NotRegularFiles {
public:
    explicit NotRegularFiles(const QString &folder);
    ~NotRegularFiles();
    Q_DISABLE_COPY(NotRegularFiles)
    QStringList paths;

private:
    struct Made; // what the system needed made, to be undone
    std::unique_ptr<Made> m_made;
};

// While this lives, this process cannot take a terabyte of memory, whatever
// the machine's overcommit setting.
class MemoryCap {
public:
    MemoryCap();
    ~MemoryCap();
    Q_DISABLE_COPY(MemoryCap)

private:
    unsigned long long m_saved = 0;
};

// While this lives, the system keeps a save of the word list at `path`,
// whose bytes are `current`, from going through, here and in the programs
// this process starts, as the system makes saves fail: the disk is full
// (POSIX, a file size limit just above `current`) or another program holds
// the file open (Windows). A save that gives up is what reason() tells the
// user in the Add-word dialog; on Windows, a save that is still waiting when
// this ends goes through.
class SaveBlocker {
public:
    SaveBlocker(const QString &path, const QByteArray &current);
    ~SaveBlocker();
    Q_DISABLE_COPY(SaveBlocker)
    static QString reason();

private:
    struct Saved; // what to restore: the limit and signal action, or the handle to close
    std::unique_ptr<Saved> m_saved;
};

} // namespace testsystem
