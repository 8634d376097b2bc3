#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// What a writer asks of the file system in one folder, and the folder's
// contents rebuilt from any selection of those requests: the vocabulary the
// crash models speak. Names are bare file names in the one folder watched.
namespace crash {

enum class OpKind {
    Create,     // a new file: named, or unnamed (O_TMPFILE) until linked
    Write,      // bytes at an offset of a file
    Truncate,   // a file's size set
    SyncFile,   // fsync / fdatasync / FlushFileBuffers of a file
    SyncFolder, // fsync of the folder
    Rename,     // name -> to, replacing `to`; atomic in every model
    Link,       // a second name for a file (linkat of an unnamed file)
    Unlink,     // a name removed
    Mkdir,      // a folder made in the folder
    Confirm,    // the writer told its caller the add succeeded; not a disk change
};

struct Op {
    explicit Op(OpKind k = OpKind::Confirm) : kind(k) {}

    OpKind kind;
    int file = -1;        // Create, Write, Truncate, SyncFile, Link: which file
    QString name;         // Create (empty: unnamed), Rename's source, Link's new name, Unlink, Mkdir
    QString to;           // Rename's target
    qint64 offset = 0;    // Write: where; Truncate: the new size
    QByteArray bytes;     // Write
    bool failed = false;  // a sync that returned an error
    bool writeThrough = false; // a rename durable when it returns (MOVEFILE_WRITE_THROUGH)
    bool replaces = false;     // a rename over an existing name
    QString call;         // the call as recorded, for reports

    bool changesNames() const;
    bool changesData() const { return kind == OpKind::Write || kind == OpKind::Truncate; }
};

// Files by number, and the folder's names for them.
struct Disk {
    QMap<QString, int> names;
    QMap<int, QByteArray> files;
    QMap<QString, bool> folders;

    int add(const QString &name, const QByteArray &bytes);
    std::optional<QByteArray> read(const QString &name) const;
};

// A write with only some of its 4096-byte blocks on the disk.
struct Torn {
    int op = -1;
    QList<int> blocks;

    bool operator==(const Torn &other) const = default;
};

constexpr qint64 kBlock = 4096;

// Applies `op` to `disk`; an op that no longer applies (a rename of a name
// that never reached the disk) changes nothing. With `torn`, only the given
// blocks of the write land; the others read as zeros where the file reaches
// past them, as a hole would.
void apply(Disk &disk, const Op &op, const QList<int> *torn = nullptr);

// Short text for reports: "write dicy.ini.new 0+9024".
QString describe(const Op &op, const Disk &names);

} // namespace crash
