#include "file_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

std::optional<QString> storedFileName(const QString &folder, const QString &name)
{
    const QFileInfo exact(QDir(folder), name);
    if (exact.isFile() && !exact.isHidden())
        return exact.fileName();

    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

} // namespace platform
