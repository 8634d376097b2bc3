// Arbitrary bytes as the word list and as the sought key: the scan must end
// in a value, "not found" or a typed failure, and never crash or hang; and
// every block scan this processor runs must end exactly as the line scan.
//
// Input layout: the first byte gives the key's length (0-255, clipped to
// what is left); the key follows, then the file's bytes.

#include "fast_scan.h"
#include "lookup.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using dictionary::fastscan::Path;

// The outcome as one byte string: "F" + value, "N", or "E" + failure.
QByteArray outcome(Path path, QByteArrayView file, QByteArrayView key)
{
    try {
        const dictionary::ScanResult result = dictionary::fastscan::scan(path, file, "lexon", key);
        // A value always lies inside the file.
        if (result.outcome == dictionary::ScanOutcome::Found && result.value.size() >= file.size())
            __builtin_trap();
        return result.outcome == dictionary::ScanOutcome::Found ? "F" + result.value : QByteArray("N");
    } catch (const dictionary::LookupError &error) {
        return "E" + QByteArray::number(int(error.failure()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t keyLength = std::min<std::size_t>(data[0], size - 1);
    const auto *bytes = reinterpret_cast<const char *>(data + 1);
    const QByteArrayView key(bytes, qsizetype(keyLength));
    const QByteArrayView file(bytes + keyLength, qsizetype(size - 1 - keyLength));
    const QByteArray expected = outcome(Path::Scalar, file, key);
    for (Path path : {Path::Sse2, Path::Avx2, Path::Avx512}) {
        if (dictionary::fastscan::canRun(path) && outcome(path, file, key) != expected)
            __builtin_trap();
    }
    return 0;
}
