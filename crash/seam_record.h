#pragma once

#include "strace_record.h"

// Turns the notes of the Windows writer's recording seam (win32_recorder.h)
// into the ops one folder saw.
namespace crash {

Recording parseSeamRecord(const QByteArray &notes, const QString &folder, const Disk &start);

} // namespace crash
