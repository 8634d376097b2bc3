#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

namespace platform::files {

// Reads a file to its end through `read`, which fills up to `size` bytes at
// `into` and returns how many it read, 0 at the end, or -1 when the read
// failed (errno then says why). `expected` is the file's size when it was
// opened; a file that grows since is read on to its end all the same.
std::optional<QByteArray> readToEnd(qint64 expected, const std::function<qint64(char *into, qint64 size)> &read);

} // namespace platform::files
