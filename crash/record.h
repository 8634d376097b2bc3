#pragma once

#include "models.h"
#include "strace_record.h"

#include <optional>

// Recording one save of the writer on this system: under strace on Linux,
// through the writer's recording seam on Windows. One file per system.
namespace crash {

// A sync the recording makes fail: none, the new file's, or the folder's.
enum class FailedSync { None, File, Folder };

// Runs `child` (save_once) to add `entry` ("key=value") to the list in
// `folder`, which holds `start`. No value when it could not be recorded;
// `why` then says why.
std::optional<Recording> recordSave(const QString &child, const QString &folder, const Disk &start, const QByteArray &entry,
                                    FailedSync failing, QString &why);

// Why this system cannot record a save at all (no strace), or "".
QString whyCannotRecord();

// The syncs this system's writer makes, that a recording can make fail.
QList<FailedSync> failingSyncs();

// The models of this system's file systems.
QList<Model> modelsHere();

// What the writer prints on its standard output once an add has succeeded.
inline const QByteArray kConfirmation = "confirmed\n";

} // namespace crash
