// The block scan with AVX2: two 32-byte compares per byte class. Built with
// -mavx2 -mbmi -mbmi2 -mpopcnt; run only where the processor has them all.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <immintrin.h>

namespace dictionary::fastscan {
namespace {

class Avx2Classifier {
public:
    Avx2Classifier(unsigned char keyLast, unsigned char keyLastOther)
        : m_key(_mm256_set1_epi8(char(keyLast))), m_keyOther(_mm256_set1_epi8(char(keyLastOther)))
    {
    }

    BlockMasks classify(const char *block) const
    {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + 32));
        const auto bits = [](__m256i lowHits, __m256i highHits) {
            return Bits(unsigned(_mm256_movemask_epi8(lowHits))) | Bits(unsigned(_mm256_movemask_epi8(highHits))) << 32;
        };
        const auto is = [&](char c) {
            const __m256i byte = _mm256_set1_epi8(c);
            return bits(_mm256_cmpeq_epi8(low, byte), _mm256_cmpeq_epi8(high, byte));
        };
        const auto isKey = [&](__m256i part) {
            return _mm256_or_si256(_mm256_cmpeq_epi8(part, m_key), _mm256_cmpeq_epi8(part, m_keyOther));
        };
        return {is('\r'), is('\n'), is(' '), is('='), is('['), bits(isKey(low), isKey(high))};
    }

private:
    __m256i m_key, m_keyOther;
};

} // namespace

BlockOutcome scanBlocksAvx2(const ScanParams &params)
{
    return scanBlocks<Avx2Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
