#include "word_list_writer.h"

#include "file_system.h"
#include "line_model.h"
#include "lookup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <mutex>
#include <optional>

namespace dictionary {

namespace {

namespace files = platform::files;

// The one place where the system's error codes become our failures.
WriteFailure failureFor(int code)
{
    switch (code) {
    case ENOSPC:
    case EFBIG:
        return WriteFailure::NoSpace;
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteFailure::AccessDenied;
    case ENOENT:
    case ENOTDIR:
        return WriteFailure::FolderMissing;
    case EISDIR:
        return WriteFailure::NotAFile;
    default:
        return WriteFailure::Other;
    }
}

// Qt reports most file errors only as text; the errno of the failed call,
// taken right after it, says which failure it was. Without one, Qt's text
// is all there is.
WriteError systemError(int code, const QString &qtDetail = {})
{
    if (code == 0)
        return {WriteFailure::Other, qtDetail};
    return {failureFor(files::sharedErrorCode(code)), files::describeError(code)};
}

qsizetype countLines(QByteArrayView bytes)
{
    qsizetype count = 0;
    forEachLine(bytes, [&](const Line &) {
        ++count;
        return true;
    });
    return count;
}

// Where the new entry goes in the bytes read under the lock.
struct Placement {
    qsizetype offset = 0;
    bool lineEndFirst = false; // the line before it has no line end yet
    bool headerFirst = false;  // the section is missing
};

Placement placeEntry(QByteArrayView file, QByteArrayView section)
{
    // The header, then each non-blank line of its body: the entry goes right
    // after the last of them, so the lookup meets it before the next section
    // and after every line it already scans.
    std::optional<Line> last;
    forEachLine(file, [&](const Line &line) {
        const QByteArrayView text = line.text(file);
        if (!last) {
            if (isSectionHeader(text, section))
                last = line;
            return true;
        }
        if (startsSection(text))
            return false;
        last = line;
        return true;
    });
    if (last)
        return {last->next, !last->terminated, false};
    // Appended: a header glued to an unended last line (a lone LF included)
    // would not be a line of its own.
    const bool ended = file.isEmpty() || file.endsWith('\r') || file.endsWith("\r\n");
    return {file.size(), !ended, true};
}

QByteArray withEntry(QByteArrayView file, const Placement &at, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value)
{
    QByteArray out;
    out.reserve(file.size() + section.size() + key.size() + value.size() + 16);
    out.append(file.first(at.offset));
    if (at.lineEndFirst)
        out.append("\r\n");
    if (at.headerFirst)
        out.append('[').append(section).append("]\r\n");
    out.append(key).append('=').append(value).append("\r\n");
    out.append(file.sliced(at.offset));
    return out;
}

// The file replaced is the link's target, and the lock sits beside it, so
// that every path to it shares one lock.
QString linkTarget(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

std::optional<WriteError> takeLock(files::FolderTurn &turn, QLockFile &lock, std::chrono::milliseconds timeout)
{
    // QLockFile::tryLock(timeout) doubles its pause between attempts up to
    // 5 s, so a writer that loses a few times in a row would wait far longer
    // than any write takes. Short pauses with a little jitter keep several
    // writers fair.
    const QDeadlineTimer deadline(timeout);
    // A lock file naming no process is a writer's of a moment ago, which
    // names itself right after making the file, or one a power cut left
    // before its contents reached the disk; QLockFile would wait for it to
    // grow old. Seen nameless for this long, it is the second, and QLockFile
    // removes it only if no process holds it.
    constexpr qint64 kNamelessMs = 1000;
    QElapsedTimer nameless;
    const QString folder = QFileInfo(lock.fileName()).absolutePath();
    const auto busy = [&lock] {
        qint64 holder = 0;
        return WriteError{WriteFailure::Busy, lock.getLockInfo(&holder, nullptr, nullptr)
                                                  ? QStringLiteral("locked by process %1").arg(holder)
                                                  : QString()};
    };
    for (;;) {
        // Writers that take turns at the folder first never meet at the lock
        // file, so none can take another's live lock for a stale one.
        if (!turn.tryTake(folder)) {
            if (deadline.hasExpired())
                return busy();
            QThread::msleep(QRandomGenerator::global()->bounded(2, 20));
            continue;
        }
        errno = 0;
        if (lock.tryLock(0))
            return std::nullopt;
        const int code = errno;
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            break;
        case QLockFile::PermissionError:
            return systemError(code ? code : EACCES);
        default:
            // Not every system's lock says why; a missing folder is the common case.
            if (code == 0 && !QFileInfo(QFileInfo(lock.fileName()).absolutePath()).isDir())
                return WriteError{WriteFailure::FolderMissing, {}};
            return systemError(code, QStringLiteral("the lock file could not be created"));
        }
        // Writes in this process take turns (writeEntry), so a lock naming this
        // process was left by an earlier one that had the same id, as Windows
        // hands ids out again soon; QLockFile would take it for a live holder.
        qint64 holder = 0;
        const bool named = lock.getLockInfo(&holder, nullptr, nullptr);
        if (named && holder == QCoreApplication::applicationPid() && lock.removeStaleLockFile())
            continue;
        if (named)
            nameless.invalidate();
        else if (!nameless.isValid())
            nameless.start();
        else if (nameless.hasExpired(kNamelessMs) && lock.removeStaleLockFile())
            continue;
        if (deadline.hasExpired())
            return busy();
        QThread::msleep(QRandomGenerator::global()->bounded(2, 20));
    }
}

bool breaksLine(QByteArrayView bytes)
{
    return bytes.contains('\r') || bytes.contains('\n');
}

} // namespace

std::optional<EntryProblem> checkEntry(QByteArrayView key, QByteArrayView value)
{
    if (key.contains('='))
        return EntryProblem::KeyHasEquals;
    qsizetype first = 0;
    while (first < key.size() && key[first] == ' ')
        ++first;
    if (first < key.size() && key[first] == '[')
        return EntryProblem::KeyStartsSection;
    if (breaksLine(key) || breaksLine(value))
        return EntryProblem::LineBreak;
    // The lookup fails on a line whose "=" lies past the counter, and on the
    // matching line when it lies at character 32767.
    if (key.size() >= kMaxEqualsPosition - 1)
        return EntryProblem::KeyTooLong;
    return std::nullopt;
}

std::optional<WriteError> writeEntry(QByteArrayView section, QByteArrayView key, QByteArrayView value,
                                     const QString &path, std::chrono::milliseconds lockTimeout)
{
    // An empty key passes checkEntry, but the lookup never looks one up.
    if (key.isEmpty() || checkEntry(key, value) || section.isEmpty() || breaksLine(section))
        return WriteError{WriteFailure::InvalidEntry, {}};

    // One write at a time in this process too: the lock file is shared by
    // processes, not by threads.
    static std::mutex writing;
    const std::lock_guard<std::mutex> turn(writing);
    const QString target = linkTarget(path);
    // Released after the lock file, which goes first.
    files::FolderTurn folderTurn;
    QLockFile lock(target + QStringLiteral(".lock"));
    if (std::optional<WriteError> error = takeLock(folderTurn, lock, lockTimeout))
        return error;

    // Read again under the lock: the caller's lookup may be out of date.
    const files::FileState state = files::examine(target);
    if (state.error)
        return systemError(state.error);
    QByteArray file;
    if (state.exists) {
        if (!state.regular)
            return WriteError{WriteFailure::NotAFile, {}};
        errno = 0;
        std::optional<QByteArray> bytes = files::readRegularFile(target);
        if (!bytes)
            return systemError(errno, QStringLiteral("the word list could not be read"));
        file = std::move(*bytes);
    }

    try {
        const ScanResult existing = scanEntries(file, section, key);
        if (existing.outcome == ScanOutcome::Found) {
            if (QByteArrayView(existing.value) == value)
                return std::nullopt;
            return WriteError{WriteFailure::Other, QStringLiteral("the word is already in the word list")};
        }
    } catch (const LookupError &error) {
        if (countLines(file) > kMaxLines)
            return WriteError{WriteFailure::Full, {}};
        return WriteError{WriteFailure::Other, QString::fromLatin1(error.what())};
    }

    const QByteArray updated = withEntry(file, placeEntry(file, section), section, key, value);
    if (countLines(updated) > kMaxLines)
        return WriteError{WriteFailure::Full, {}};
    if (std::optional<files::Failure> failure = files::replaceWhole(target, updated, state))
        return systemError(failure->code, failure->detail);
    return std::nullopt;
}

std::optional<WriteError> addToOwnList(QByteArrayView section, QByteArrayView key, QByteArrayView value,
                                       const platform::WordListPlaces &places, std::chrono::milliseconds lockTimeout)
{
    if (places.own.isEmpty())
        return WriteError{WriteFailure::FolderMissing, {}};
    // The folder in the profile may not be there yet; where it cannot be
    // made, the lock beside the list fails and says why.
    if (places.separate())
        QDir().mkpath(QFileInfo(places.own).absolutePath());
    return writeEntry(section, key, value, places.own, lockTimeout);
}

} // namespace dictionary
