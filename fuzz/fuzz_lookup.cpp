// Arbitrary bytes as the word list and as the sought key: the scan must end
// in a value, "not found" or a typed failure, and never crash or hang.
//
// Input layout: the first byte gives the key's length (0-255, clipped to
// what is left); the key follows, then the file's bytes.

#include "lookup.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t keyLength = std::min<std::size_t>(data[0], size - 1);
    const auto *bytes = reinterpret_cast<const char *>(data + 1);
    const QByteArrayView key(bytes, qsizetype(keyLength));
    const QByteArrayView file(bytes + keyLength, qsizetype(size - 1 - keyLength));
    try {
        const dictionary::ScanResult result = dictionary::scanEntries(file, "lexon", key);
        // A value always lies inside the file.
        if (result.outcome == dictionary::ScanOutcome::Found && result.value.size() >= file.size())
            __builtin_trap();
    } catch (const dictionary::LookupError &) {
    }
    return 0;
}
