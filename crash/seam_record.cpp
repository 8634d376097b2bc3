#include "seam_record.h"

#include <QDir>
#include <QHash>

namespace crash {

namespace {

constexpr int kCreateAlways = 2;     // CREATE_ALWAYS
constexpr int kTruncateExisting = 5; // TRUNCATE_EXISTING
constexpr int kWriteThrough = 8;     // MOVEFILE_WRITE_THROUGH

// A path from the notes (UTF-16, hexadecimal) as a bare name in `folder`, or "".
QString nameIn(const QByteArray &hexPath, const QString &folder)
{
    const QByteArray raw = QByteArray::fromHex(hexPath);
    QString path = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), raw.size() / 2);
    if (path.startsWith(QLatin1String("\\\\?\\")))
        path = path.mid(4);
    path = QDir::cleanPath(path.replace(u'\\', u'/'));
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash).compare(QDir::cleanPath(folder), Qt::CaseInsensitive) == 0 ? path.mid(slash + 1) : QString();
}

} // namespace

Recording parseSeamRecord(const QByteArray &notes, const QString &folder, const Disk &start)
{
    Recording recording;
    recording.end = start;
    struct Open {
        int file;
        qint64 offset;
    };
    QHash<QByteArray, Open> handles;
    const auto record = [&recording](Op op) {
        op.call = describe(op, recording.end);
        if (op.kind == OpKind::Rename) {
            op.replaces = recording.end.names.contains(op.to);
            op.file = recording.end.names.value(op.name, -1);
        }
        apply(recording.end, op);
        recording.ops.append(op);
    };
    for (const QByteArray &line : notes.split('\n')) {
        const QList<QByteArray> word = line.trimmed().split(' ');
        if (word[0] == "create" && word.size() == 4) {
            const QString name = nameIn(word[3], folder);
            if (name.isEmpty())
                continue;
            const int disposition = word[2].toInt();
            const auto existing = recording.end.names.constFind(name);
            if (existing == recording.end.names.cend()) {
                Op op(OpKind::Create);
                op.name = name;
                op.file = recording.end.files.isEmpty() ? 0 : recording.end.files.lastKey() + 1;
                handles.insert(word[1], {op.file, 0});
                record(op);
                continue;
            }
            handles.insert(word[1], {*existing, 0});
            if (disposition == kCreateAlways || disposition == kTruncateExisting) {
                Op op(OpKind::Truncate);
                op.file = *existing;
                record(op);
            }
        } else if (word[0] == "write" && word.size() == 3 && handles.contains(word[1])) {
            Open &open = handles[word[1]];
            Op op(OpKind::Write);
            op.file = open.file;
            op.offset = open.offset;
            op.bytes = QByteArray::fromHex(word[2]);
            open.offset += op.bytes.size();
            record(op);
        } else if (word[0] == "flush" && word.size() == 3 && handles.contains(word[1])) {
            Op op(OpKind::SyncFile);
            op.file = handles[word[1]].file;
            op.failed = word[2] != "1";
            record(op);
        } else if (word[0] == "move" && word.size() == 4) {
            Op op(OpKind::Rename);
            op.name = nameIn(word[2], folder);
            op.to = nameIn(word[3], folder);
            op.writeThrough = word[1].toInt() & kWriteThrough;
            if (!op.name.isEmpty() || !op.to.isEmpty())
                record(op);
        } else if (word[0] == "delete" && word.size() == 2) {
            Op op(OpKind::Unlink);
            op.name = nameIn(word[1], folder);
            if (!op.name.isEmpty())
                record(op);
        } else if (word[0] == "close" && word.size() == 2) {
            handles.remove(word[1]);
        } else if (word[0] == "confirmed") {
            record(Op(OpKind::Confirm));
        }
    }
    return recording;
}

} // namespace crash
