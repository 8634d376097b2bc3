#include "disk.h"

#include <algorithm>

namespace crash {

bool Op::changesNames() const
{
    switch (kind) {
    case OpKind::Create:
        return !name.isEmpty();
    case OpKind::Rename:
    case OpKind::Link:
    case OpKind::Unlink:
    case OpKind::Mkdir:
        return true;
    default:
        return false;
    }
}

int Disk::add(const QString &name, const QByteArray &bytes)
{
    const int number = files.isEmpty() ? 0 : files.lastKey() + 1;
    files.insert(number, bytes);
    if (!name.isEmpty())
        names.insert(name, number);
    return number;
}

std::optional<QByteArray> Disk::read(const QString &name) const
{
    const auto found = names.constFind(name);
    if (found == names.cend())
        return std::nullopt;
    return files.value(*found);
}

namespace {

void writeAt(QByteArray &file, qint64 offset, QByteArrayView bytes)
{
    if (file.size() < offset + bytes.size())
        file.resize(offset + bytes.size(), '\0');
    std::copy(bytes.begin(), bytes.end(), file.begin() + offset);
}

} // namespace

void apply(Disk &disk, const Op &op, const QList<int> *torn)
{
    switch (op.kind) {
    case OpKind::Create:
        // The recording numbers files in creation order, so a file created
        // here gets the number the later ops use.
        disk.files.insert(op.file, {});
        if (!op.name.isEmpty())
            disk.names.insert(op.name, op.file);
        break;
    case OpKind::Write:
        if (!disk.files.contains(op.file))
            break;
        if (!torn) {
            writeAt(disk.files[op.file], op.offset, op.bytes);
            break;
        }
        for (const int block : *torn) {
            const qint64 from = qint64(block) * kBlock;
            writeAt(disk.files[op.file], op.offset + from, QByteArrayView(op.bytes).sliced(from, std::min(kBlock, op.bytes.size() - from)));
        }
        break;
    case OpKind::Truncate:
        if (disk.files.contains(op.file))
            disk.files[op.file].resize(op.offset, '\0');
        break;
    case OpKind::Rename:
        if (disk.names.contains(op.name))
            disk.names.insert(op.to, disk.names.take(op.name));
        break;
    case OpKind::Link:
        if (disk.files.contains(op.file))
            disk.names.insert(op.name, op.file);
        break;
    case OpKind::Unlink:
        disk.names.remove(op.name);
        break;
    case OpKind::Mkdir:
        disk.folders.insert(op.name, true);
        break;
    case OpKind::SyncFile:
    case OpKind::SyncFolder:
    case OpKind::Confirm:
        break;
    }
}

QString describe(const Op &op, const Disk &names)
{
    QString file = names.names.key(op.file);
    if (file.isEmpty())
        file = QStringLiteral("#%1").arg(op.file);
    const QString failed = op.failed ? QStringLiteral(" (failed)") : QString();
    switch (op.kind) {
    case OpKind::Create:
        return QStringLiteral("create %1").arg(op.name.isEmpty() ? QStringLiteral("unnamed #%1").arg(op.file) : op.name);
    case OpKind::Write:
        return QStringLiteral("write %1 %2+%3").arg(file).arg(op.offset).arg(op.bytes.size());
    case OpKind::Truncate:
        return QStringLiteral("truncate %1 %2").arg(file).arg(op.offset);
    case OpKind::SyncFile:
        return QStringLiteral("sync %1%2").arg(file, failed);
    case OpKind::SyncFolder:
        return QStringLiteral("sync folder%1").arg(failed);
    case OpKind::Rename:
        return QStringLiteral("rename %1 %2%3").arg(op.name, op.to, op.writeThrough ? QStringLiteral(" write-through") : QString());
    case OpKind::Link:
        return QStringLiteral("link %1 %2").arg(file, op.name);
    case OpKind::Unlink:
        return QStringLiteral("unlink %1").arg(op.name);
    case OpKind::Mkdir:
        return QStringLiteral("mkdir %1").arg(op.name);
    case OpKind::Confirm:
        return QStringLiteral("confirmed");
    }
    return {};
}

} // namespace crash
