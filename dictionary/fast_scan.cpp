#include "fast_scan.h"

#include "codepage.h"
#include "fast_scan_blocks.h"
#include "line_scan.h"
#include "line_model.h"

#include <array>
#include <cstring>

namespace dictionary::fastscan {

#ifdef PARLANTA_FAST_SCAN_X86
// One per instruction set, each in its own file built with that set's flags.
BlockOutcome scanBlocksSse2(const ScanParams &params);
BlockOutcome scanBlocksAvx2(const ScanParams &params);
BlockOutcome scanBlocksAvx512(const ScanParams &params);
#endif

namespace {

struct Context {
    QByteArrayView section;
    QByteArray upperKey;
};

const Context &contextOf(const ScanParams &params)
{
    return *static_cast<const Context *>(params.context);
}

std::int64_t lineEnd(const ScanParams &params, std::int64_t from)
{
    const void *cr = std::memchr(params.data + from, '\r', std::size_t(params.size - from));
    return cr ? static_cast<const char *>(cr) - params.data : params.size;
}

std::int64_t trimmedEnd(const ScanParams &params, std::int64_t begin, std::int64_t end)
{
    while (end > begin && params.data[end - 1] == ' ')
        --end;
    return end;
}

#ifdef PARLANTA_FAST_SCAN_X86
ScanParams prepare(QByteArrayView file, const Context &context)
{
    ScanParams params;
    params.data = file.data();
    params.size = file.size();
    params.context = &context;
    const QByteArray &key = context.upperKey;
    params.keyLength = key.size();
    // A line's key holds no CR and no "=", and its "=" must lie within 32767.
    if (key.contains('\r') || key.contains('=') || key.size() >= kMaxEqualsPosition) {
        params.keyEnd[0] = 1;
        return params;
    }

    // For each upper-cased byte, the bits in which the bytes that upper-case
    // to it differ from it.
    static const std::array<unsigned char, 256> varying = [] {
        std::array<unsigned char, 256> bits{};
        for (int byte = 0; byte < 256; ++byte) {
            const unsigned char target = codepage::upper(static_cast<unsigned char>(byte));
            bits[target] |= static_cast<unsigned char>(byte ^ target);
        }
        return bits;
    }();
    for (qsizetype i = 0; i < qMin<qsizetype>(key.size(), 8); ++i) {
        const auto target = static_cast<unsigned char>(key[key.size() - 1 - i]);
        const auto fixed = static_cast<unsigned char>(~varying[target]);
        if (i < 2) {
            params.keyEnd[2 * i] = target & fixed;
            params.keyEnd[2 * i + 1] = fixed;
        }
        const int shift = 8 * (7 - i); // little-endian: the byte before "=" is the top one
        params.tailMask |= Bits(fixed) << shift;
        params.tailExpected |= Bits(target & fixed) << shift;
    }
    return params;
}
#endif

} // namespace

std::int64_t headerLineEnd(const ScanParams &params, std::int64_t start)
{
    const std::int64_t end = lineEnd(params, start);
    const QByteArrayView line(params.data + start, trimmedEnd(params, start, end) - start);
    return isSectionHeader(line, contextOf(params).section) ? end + 1 : -1;
}

bool keyMatchesAt(const ScanParams &params, std::int64_t begin)
{
    return codepage::equalsUpper(QByteArrayView(params.data + begin, params.keyLength), contextOf(params).upperKey);
}

std::int64_t valueEnd(const ScanParams &params, std::int64_t equals)
{
    return trimmedEnd(params, equals + 1, lineEnd(params, equals + 1));
}

const char *pathName(Path path)
{
    switch (path) {
    case Path::Scalar:
        return "scalar";
    case Path::Sse2:
        return "SSE2";
    case Path::Avx2:
        return "AVX2";
    case Path::Avx512:
        return "AVX-512BW";
    }
    return "?";
}

bool canRun(Path path)
{
#ifdef PARLANTA_FAST_SCAN_X86
    static const bool once = (__builtin_cpu_init(), true);
    (void)once;
    switch (path) {
    case Path::Scalar:
        return true;
    case Path::Sse2:
        return __builtin_cpu_supports("sse2");
    case Path::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2")
            && __builtin_cpu_supports("popcnt");
    case Path::Avx512:
        return __builtin_cpu_supports("avx512bw") && canRun(Path::Avx2);
    }
    return false;
#else
    return path == Path::Scalar;
#endif
}

Path bestPath()
{
    static const Path best = [] {
        for (Path path : {Path::Avx512, Path::Avx2, Path::Sse2}) {
            if (canRun(path))
                return path;
        }
        return Path::Scalar;
    }();
    return best;
}

ScanResult scan(Path path, QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    if (path == Path::Scalar || !canRun(path))
        return scanEntriesReference(file, section, key);
#ifdef PARLANTA_FAST_SCAN_X86
    const Context context{section, codepage::upper(key)};
    const ScanParams params = prepare(file, context);
    BlockOutcome outcome{};
    switch (path) {
    case Path::Avx512:
        outcome = scanBlocksAvx512(params);
        break;
    case Path::Avx2:
        outcome = scanBlocksAvx2(params);
        break;
    default:
        outcome = scanBlocksSse2(params);
        break;
    }
    switch (outcome.kind) {
    case BlockOutcome::NoEquals:
        throw LookupError(LookupFailure::InvalidArgument);
    case BlockOutcome::Overflow:
        throw LookupError(LookupFailure::Overflow);
    case BlockOutcome::Found:
        return {ScanOutcome::Found, file.sliced(outcome.valueBegin, outcome.valueEnd - outcome.valueBegin).toByteArray()};
    case BlockOutcome::NotFound:
        break;
    }
    return {};
#else
    return scanEntriesReference(file, section, key);
#endif
}

} // namespace dictionary::fastscan
