#include "models.h"

#include <algorithm>

namespace crash {

QString nameOf(Model model)
{
    switch (model) {
    case Model::WeakPosix:
        return QStringLiteral("weak POSIX");
    case Model::Ext4:
        return QStringLiteral("ext4 data=ordered, noauto_da_alloc");
    case Model::Ext4AutoDa:
        return QStringLiteral("ext4 data=ordered, auto_da_alloc");
    case Model::Ntfs:
        return QStringLiteral("NTFS");
    }
    return {};
}

namespace {

CrashState crashAt(int point, QSet<int> left = {}, Torn torn = {})
{
    CrashState state;
    state.point = point;
    state.left = std::move(left);
    state.torn = std::move(torn);
    return state;
}

bool changesDisk(const Op &op)
{
    return op.changesNames() || op.changesData();
}

// Data ops of a file that a completed sync of that file before `point` has
// put on the disk. A failed sync loses what was written before it for good:
// Linux drops the dirty pages and a later sync reports success, so only a
// sync after the last failure counts for anything written before it.
QSet<int> syncedData(const QList<Op> &ops, int point)
{
    QSet<int> synced;
    for (int sync = 0; sync < point; ++sync) {
        const Op &s = ops[sync];
        if (s.kind != OpKind::SyncFile || s.failed)
            continue;
        int from = 0;
        for (int i = sync - 1; i >= 0; --i) {
            if (ops[i].kind == OpKind::SyncFile && ops[i].file == s.file && ops[i].failed) {
                from = i + 1;
                break;
            }
        }
        for (int i = from; i < sync; ++i) {
            if (ops[i].changesData() && ops[i].file == s.file)
                synced.insert(i);
        }
    }
    return synced;
}

// Name ops made durable by a completed sync of the folder, under the same
// rule for failures.
QSet<int> syncedNames(const QList<Op> &ops, int point)
{
    QSet<int> synced;
    int from = 0;
    for (int sync = 0; sync < point; ++sync) {
        if (ops[sync].kind != OpKind::SyncFolder)
            continue;
        if (ops[sync].failed) {
            from = sync + 1;
            continue;
        }
        for (int i = from; i < sync; ++i) {
            if (ops[i].changesNames())
                synced.insert(i);
        }
    }
    return synced;
}

QList<CrashState> weakStates(const QList<Op> &ops)
{
    QList<CrashState> states;
    for (int point = 0; point <= ops.size(); ++point) {
        const QSet<int> durable = syncedData(ops, point) | syncedNames(ops, point);
        states.append(crashAt(point));
        int lastWrite = -1;
        for (int i = 0; i < point; ++i) {
            if (changesDisk(ops[i]) && !durable.contains(i))
                states.append(crashAt(point, {i}));
            if (ops[i].kind == OpKind::Write && !durable.contains(i))
                lastWrite = i;
        }
        if (lastWrite < 0)
            continue;
        const int blocks = int((ops[lastWrite].bytes.size() + kBlock - 1) / kBlock);
        for (int kept = 1; kept < blocks; ++kept) {
            Torn torn{lastWrite, {}};
            for (int b = 0; b < kept; ++b)
                torn.blocks.append(b);
            states.append(crashAt(point, {}, torn));
        }
        for (int b = 1; b < blocks; ++b) {
            states.append(crashAt(point, {}, Torn{lastWrite, {b}}));
        }
    }
    return states;
}

// Journaling file systems: the metadata ops reach the disk as a prefix, in
// order, and at least up to the last commit that a sync forced; each file's
// unsynced data reaches it as a prefix of its writes. `forced` says which
// more data a committed metadata op brings with it.
template <typename ForcedData>
QList<CrashState> journaledStates(const QList<Op> &ops, bool ntfs, ForcedData forced)
{
    QList<CrashState> states;
    for (int point = 0; point <= ops.size(); ++point) {
        QList<int> metadata;
        int committed = 0; // metadata ops that are in the log for sure
        for (int i = 0; i < point; ++i) {
            const Op &op = ops[i];
            if (op.changesNames() || op.kind == OpKind::Truncate)
                metadata.append(i);
            const bool commits = ((op.kind == OpKind::SyncFile || op.kind == OpKind::SyncFolder) && !op.failed)
                || (ntfs && op.kind == OpKind::Rename && op.writeThrough);
            if (commits)
                committed = int(metadata.size());
        }
        const QSet<int> synced = syncedData(ops, point);
        for (int kept = committed; kept <= metadata.size(); ++kept) {
            QSet<int> durable = synced;
            QSet<int> leftMetadata;
            for (int m = 0; m < metadata.size(); ++m) {
                if (m < kept)
                    durable |= forced(metadata[m]);
                else
                    leftMetadata.insert(metadata[m]);
            }
            // Each file's writes that nothing made durable, in order.
            QMap<int, QList<int>> loose;
            for (int i = 0; i < point; ++i) {
                if (ops[i].kind == OpKind::Write && !durable.contains(i))
                    loose[ops[i].file].append(i);
            }
            // Every combination of how far each file's writes got.
            QList<CrashState> partial{crashAt(point, leftMetadata)};
            for (const QList<int> &writes : std::as_const(loose)) {
                QList<CrashState> next;
                for (const CrashState &base : partial) {
                    for (int landed = 0; landed <= writes.size(); ++landed) {
                        CrashState state = base;
                        for (int w = landed; w < writes.size(); ++w)
                            (ntfs ? state.zeroed : state.left).insert(writes[w]);
                        next.append(state);
                    }
                }
                partial = next;
            }
            states += partial;
        }
    }
    return states;
}

// Writes of `file` before op `before` that a failed sync has not lost.
QSet<int> writesBefore(const QList<Op> &ops, int file, int before)
{
    QSet<int> writes;
    for (int i = 0; i < before; ++i) {
        if (ops[i].kind == OpKind::SyncFile && ops[i].file == file && ops[i].failed)
            writes.clear();
        else if (ops[i].changesData() && ops[i].file == file)
            writes.insert(i);
    }
    return writes;
}

} // namespace

QList<CrashState> crashStates(const QList<Op> &ops, Model model)
{
    QList<CrashState> states;
    switch (model) {
    case Model::WeakPosix:
        states = weakStates(ops);
        break;
    case Model::Ext4:
        states = journaledStates(ops, false, [](int) { return QSet<int>(); });
        break;
    case Model::Ext4AutoDa:
        // A rename over an existing file commits only once the renamed
        // file's data is written.
        states = journaledStates(ops, false, [&ops](int m) {
            const Op &op = ops[m];
            return op.kind == OpKind::Rename && op.replaces ? writesBefore(ops, op.file, m) : QSet<int>();
        });
        break;
    case Model::Ntfs:
        states = journaledStates(ops, true, [](int) { return QSet<int>(); });
        break;
    }
    QList<CrashState> unique;
    for (const CrashState &state : std::as_const(states)) {
        if (!unique.contains(state))
            unique.append(state);
    }
    return unique;
}

Disk rebuild(const Disk &start, const QList<Op> &ops, const CrashState &state)
{
    Disk disk = start;
    for (int i = 0; i < state.point; ++i) {
        if (state.left.contains(i))
            continue;
        if (state.zeroed.contains(i)) {
            Op zeros = ops[i];
            zeros.bytes.fill('\0');
            apply(disk, zeros);
        } else {
            apply(disk, ops[i], state.torn.op == i ? &state.torn.blocks : nullptr);
        }
    }
    return disk;
}

bool confirmedBy(const QList<Op> &ops, const CrashState &state)
{
    return std::any_of(ops.begin(), ops.begin() + state.point, [](const Op &op) { return op.kind == OpKind::Confirm; });
}

} // namespace crash
