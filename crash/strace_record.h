#pragma once

#include "disk.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Turns the output of `strace -f -y -xx -s N` into the ops one folder saw.
namespace crash {

struct Recording {
    QList<Op> ops;
    Disk end;            // the folder once every op has landed
    QStringList unknown; // calls on the folder the models do not cover; a recording with any is refused
};

// `folder` is the absolute path watched, `start` what it held before the
// writer ran, `marker` what the writer prints on its standard output once
// the add has succeeded.
Recording parseStrace(const QByteArray &trace, const QString &folder, const Disk &start, const QByteArray &marker);

} // namespace crash
