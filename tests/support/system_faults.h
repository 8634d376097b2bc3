#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the tests need of the system itself: memory, handles, files that are
// not regular, a save that fails. One implementation per system
// (system_faults_posix.cpp, system_faults_windows.cpp).
namespace testsystem {

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
    void *m_pipe = nullptr;
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

// While this lives, a save of the word list at `path`, whose bytes are
// `current`, fails here in this process as the system makes saves fail:
// the disk is full (POSIX, a file size limit just above `current`) or
// another program holds the file open (Windows). reason() is what the
// Add-word dialog then tells the user.
class FailingSave {
public:
    FailingSave(const QString &path, const QByteArray &current);
    ~FailingSave();
    Q_DISABLE_COPY(FailingSave)
    static QString reason();

private:
    unsigned long long m_saved = 0;
    void *m_state = nullptr; // the signal handler to restore, or the handle held
};

} // namespace testsystem
