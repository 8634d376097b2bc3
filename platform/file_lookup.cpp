#include "file_lookup.h"

#include <QDir>

namespace platform {

std::optional<QString> storedFileName(const QString &folder, const QString &name)
{
    // Listed rather than asked for by name: a file system that ignores case
    // would answer for a name other than the stored one.
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.contains(name))
        return name;
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

} // namespace platform
