#include "word_list_file.h"

#include "file_system.h"

#include <QDir>

namespace dictionary {

QString dictionaryPath(const QString &programFolder)
{
    return programFolder + QDir::separator() + QLatin1String(kFileName);
}

std::optional<QByteArray> readRegularFile(const QString &path)
{
    return platform::files::readRegularFile(path);
}

} // namespace dictionary
