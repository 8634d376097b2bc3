// Arbitrary bytes as the word list, the key and the value. Whenever the
// lookup of the key ends in "not found" and checkEntry accepts the entry,
// writing it must succeed (or refuse a full file), the lookup must then find
// it, every other lookup must end as before, and taking out what the write
// added must give back the original bytes.
//
// Input layout: the first byte gives the key's length, the second the
// value's (0-255 each, clipped to what is left); the key, the value, then
// the file's bytes. No file bytes at all means no file.

#include "codepage.h"
#include "line_model.h"
#include "lookup.h"
#include "word_list_writer.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

using namespace dictionary;

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// One folder per process, made once and removed at exit. Every write is
// synced to disk, so a memory file system keeps the runs fast.
class Scratch {
public:
    Scratch()
    {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        m_folder = QStringLiteral("%1/parlanta_fuzz_writer.%2").arg(base).arg(::getpid());
        require(QDir().mkpath(m_folder));
        m_wordList = m_folder + QStringLiteral("/dicy.ini");
    }
    ~Scratch() { QDir(m_folder).removeRecursively(); }
    const QString &folder() const { return m_folder; }
    const QString &wordList() const { return m_wordList; }

private:
    QString m_folder;
    QString m_wordList;
};

const Scratch &scratch()
{
    static const Scratch instance;
    return instance;
}

// A lookup's outcome as one comparable text: the value, "not found" or the failure.
QByteArray outcome(QByteArrayView file, QByteArrayView key)
{
    try {
        const ScanResult result = scanEntries(file, "lexon", key);
        return result.outcome == ScanOutcome::Found ? "=" + result.value : QByteArray("not found");
    } catch (const LookupError &error) {
        return "failed " + QByteArray::number(int(error.failure()));
    }
}

bool hasHeader(QByteArrayView file)
{
    bool found = false;
    forEachLine(file, [&](const Line &line) {
        found = isSectionHeader(line.text(file), "lexon");
        return !found;
    });
    return found;
}

// `after` is `before` with the entry put in at one place. A header may come
// before it only when `before` has none, and a line end only for an unended
// last line; both only at the end of the file.
bool isInsertion(QByteArrayView before, QByteArrayView after, QByteArrayView entry)
{
    const bool unended = !before.isEmpty() && !before.endsWith('\r') && !before.endsWith("\r\n");
    const bool missing = !hasHeader(before);
    struct Extra {
        QByteArrayView bytes;
        bool allowed;
    };
    const Extra extras[] = {
        {"", !unended || !missing},
        {"\r\n", unended && !missing},
        {"[lexon]\r\n", missing && !unended},
        {"\r\n[lexon]\r\n", missing && unended},
    };
    for (qsizetype at = after.indexOf(entry); at >= 0; at = after.indexOf(entry, at + 1)) {
        const QByteArrayView head = after.first(at);
        const QByteArrayView tail = after.sliced(at + entry.size());
        for (const Extra &extra : extras) {
            if (!extra.allowed || !head.endsWith(extra.bytes) || (!extra.bytes.isEmpty() && !tail.isEmpty()))
                continue;
            const QByteArrayView kept = head.chopped(extra.bytes.size());
            if (before.size() == kept.size() + tail.size() && before.startsWith(kept) && before.endsWith(tail))
                return true;
        }
    }
    return false;
}

QByteArray withoutTrailingSpaces(QByteArrayView bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && bytes[end - 1] == ' ')
        --end;
    return bytes.first(end).toByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::size_t left = size - 2;
    const std::size_t keyLength = std::min<std::size_t>(data[0], left);
    left -= keyLength;
    const std::size_t valueLength = std::min<std::size_t>(data[1], left);
    left -= valueLength;
    const auto *bytes = reinterpret_cast<const char *>(data + 2);
    const QByteArrayView key(bytes, qsizetype(keyLength));
    const QByteArrayView value(bytes + keyLength, qsizetype(valueLength));
    const QByteArrayView file(bytes + keyLength + valueLength, qsizetype(left));

    if (key.isEmpty() || checkEntry(key, value) || outcome(file, key) != "not found")
        return 0;

    const QString &path = scratch().wordList();
    QFile::remove(path);
    if (!file.isEmpty()) {
        QFile out(path);
        require(out.open(QIODevice::WriteOnly) && out.write(file.data(), file.size()) == file.size());
    }

    const std::optional<WriteError> error = writeEntry("lexon", key, value, path);
    QFile in(path);
    const QByteArray after = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    require(QDir(scratch().folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            == QStringList{QStringLiteral("dicy.ini")} || (error && file.isEmpty()));
    if (error) {
        require(error->failure == WriteFailure::Full && after == file);
        return 0;
    }

    // Lines are trimmed: a key with leading spaces is found only without them.
    if (!key.startsWith(' '))
        require(outcome(after, key) == "=" + withoutTrailingSpaces(value));
    require(isInsertion(file, after, key.toByteArray() + '=' + value.toByteArray() + "\r\n"));

    // The key as the new line reads back.
    qsizetype spaces = 0;
    while (spaces < key.size() && key[spaces] == ' ')
        ++spaces;
    const QByteArrayView readBack = key.sliced(spaces);
    int checked = 0;
    forEachLine(file, [&](const Line &line) {
        const QByteArrayView text = line.text(file);
        const qsizetype equals = text.indexOf('=');
        if (equals > 0) {
            const QByteArrayView other = text.first(equals);
            if (!codepage::equalsIgnoringCase(other, readBack))
                require(outcome(file, other) == outcome(after, other));
        }
        return ++checked < 32;
    });
    return 0;
}
