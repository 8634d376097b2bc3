// The block scan with SSE2, which every x86-64 processor has: four 16-byte
// compares per byte class. Built with -msse2 only.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <emmintrin.h>

namespace dictionary::fastscan {
namespace {

class Sse2Classifier {
public:
    Sse2Classifier(unsigned char keyLast, unsigned char keyLastOther)
        : m_key(_mm_set1_epi8(char(keyLast))), m_keyOther(_mm_set1_epi8(char(keyLastOther)))
    {
    }

    BlockMasks classify(const char *block) const
    {
        __m128i part[4];
        for (int i = 0; i < 4; ++i)
            part[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * i));
        const auto equal = [&](__m128i byte, __m128i other) {
            Bits bits = 0;
            for (int i = 0; i < 4; ++i) {
                const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(part[i], byte), _mm_cmpeq_epi8(part[i], other));
                bits |= Bits(unsigned(_mm_movemask_epi8(hit))) << (16 * i);
            }
            return bits;
        };
        const auto is = [&](char c) { return equal(_mm_set1_epi8(c), _mm_set1_epi8(c)); };
        return {is('\r'), is('\n'), is(' '), is('='), is('['), equal(m_key, m_keyOther)};
    }

private:
    __m128i m_key, m_keyOther;
};

} // namespace

BlockOutcome scanBlocksSse2(const ScanParams &params)
{
    return scanBlocks<Sse2Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
