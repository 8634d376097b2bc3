#pragma once

#include <QString>

#include <optional>

namespace platform {

// The name under which a regular, visible file is stored in `folder`, found
// by its name without regard to letter case; no value when there is none.
// Folders, hidden files and anything else that is not a regular file do not
// count. Where several names differ only in case, the exact one wins.
std::optional<QString> storedFileName(const QString &folder, const QString &name);

} // namespace platform
