#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace dictionary {

inline constexpr char kSection[] = "lexon";
inline constexpr char kFileName[] = "dicy.ini";

// The word list's path: the program folder, the platform's separator and
// "dicy.ini", appended as they are.
QString dictionaryPath(const QString &programFolder);

// The whole content of a regular file, or no value when the path does not
// name one (missing, unreadable, a folder, a FIFO, a device). The check is
// made on the opened handle, so nothing at the path can make the read block.
std::optional<QByteArray> readRegularFile(const QString &path);

} // namespace dictionary
