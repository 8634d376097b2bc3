#pragma once

#include "disk.h"

#include <QList>
#include <QSet>
#include <QString>

// The states a crash may leave on the disk, under each model of what a file
// system promises (docs/power-cut.md says where each comes from).
namespace crash {

enum class Model {
    WeakPosix,  // only completed syncs guarantee anything; writes tear at blocks
    Ext4,       // data=ordered, noauto_da_alloc
    Ext4AutoDa, // data=ordered, auto_da_alloc (the default)
    Ntfs,       // metadata logged in order, data unordered until flushed
};

QString nameOf(Model model);

// One crash: the first `point` ops were issued; of them, those in `left`
// never reached the disk, those in `zeroed` reached it as zeros (the size
// did, the data did not), and `torn` landed in part.
struct CrashState {
    int point = 0;
    QSet<int> left;
    QSet<int> zeroed;
    Torn torn;

    bool operator==(const CrashState &other) const = default;
};

QList<CrashState> crashStates(const QList<Op> &ops, Model model);

// The folder after the crash.
Disk rebuild(const Disk &start, const QList<Op> &ops, const CrashState &state);

// Whether the writer had confirmed the add by the crash.
bool confirmedBy(const QList<Op> &ops, const CrashState &state);

} // namespace crash
