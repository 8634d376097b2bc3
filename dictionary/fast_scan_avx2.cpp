// The block scan with AVX2: 32 bytes per compare, two mask extractions per
// class. Built with -mavx2 -mbmi -mbmi2 -mpopcnt; run only where the
// processor has them all.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <immintrin.h>

namespace dictionary::fastscan {
namespace {

class Avx2Classifier {
public:
    explicit Avx2Classifier(const unsigned char (&keyEnd)[4])
    {
        for (int i = 0; i < 4; ++i)
            m_keyEnd[i] = _mm256_set1_epi8(char(keyEnd[i]));
    }

    BlockMasks classify(const char *block) const
    {
        BlockMasks masks{0, 0, 0};
        for (int i = 0; i < 2; ++i) {
            const __m256i bytes = load(block + 32 * i);
            const __m256i cr = is(bytes, '\r');
            // Loads one and two bytes earlier put the bytes before each byte in its lane.
            const __m256i lfAfterCr = _mm256_and_si256(is(bytes, '\n'), is(load(block + 32 * i - 1), '\r'));
            const __m256i blank = _mm256_or_si256(_mm256_or_si256(is(bytes, ' '), cr), lfAfterCr);
            const __m256i stoppers = _mm256_or_si256(is(bytes, '='), cr);
            const __m256i keyEnd = _mm256_and_si256(isKey(load(block + 32 * i - 1), 0), isKey(load(block + 32 * i - 2), 2));
            masks.blank |= bits(blank) << (32 * i);
            masks.stoppers |= bits(stoppers) << (32 * i);
            masks.marks |= bits(_mm256_or_si256(is(bytes, '['), keyEnd)) << (32 * i);
        }
        return masks;
    }

    Bits lineEnds(const char *block) const
    {
        return bits(is(load(block), '\r')) | bits(is(load(block + 32), '\r')) << 32;
    }

private:
    static __m256i load(const char *at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at)); }
    // The byte constants live in members: the compiler would rather rebuild
    // them in every block than keep so many in registers.
    __m256i is(__m256i bytes, char c) const
    {
        return _mm256_cmpeq_epi8(bytes, m_byte[c == '\r' ? 0 : c == '\n' ? 1 : c == ' ' ? 2 : c == '=' ? 3 : 4]);
    }
    static Bits bits(__m256i hits) { return Bits(unsigned(_mm256_movemask_epi8(hits))); }
    __m256i isKey(__m256i bytes, int end) const
    {
        return _mm256_cmpeq_epi8(_mm256_and_si256(bytes, m_keyEnd[end + 1]), m_keyEnd[end]);
    }

    __m256i m_keyEnd[4];
    const __m256i m_byte[5] = {_mm256_set1_epi8('\r'), _mm256_set1_epi8('\n'), _mm256_set1_epi8(' '), _mm256_set1_epi8('='), _mm256_set1_epi8('[')};
};

} // namespace

BlockOutcome scanBlocksAvx2(const ScanParams &params)
{
    return scanBlocks<Avx2Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
