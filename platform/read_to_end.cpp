#include "read_to_end.h"

namespace platform::files {

std::optional<QByteArray> readToEnd(qint64 expected, const std::function<qint64(char *into, qint64 size)> &read)
{
    QByteArray bytes;
    // One spare byte, so that the end of a file read whole is seen without growing.
    bytes.resize(qsizetype(expected) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(filled + 65536);
        const qint64 got = read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += qsizetype(got);
    }
    bytes.truncate(filled);
    return bytes;
}

} // namespace platform::files
