// The block scan with SSE2, which every x86-64 processor has: 16 bytes per
// compare, four mask extractions per class. Built with -msse2 only.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <emmintrin.h>

namespace dictionary::fastscan {
namespace {

class Sse2Classifier {
public:
    explicit Sse2Classifier(const unsigned char (&keyEnd)[4])
    {
        for (int i = 0; i < 4; ++i)
            m_keyEnd[i] = _mm_set1_epi8(char(keyEnd[i]));
    }

    BlockMasks classify(const char *block) const
    {
        BlockMasks masks{0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = load(block + 16 * i);
            const __m128i cr = is(bytes, '\r');
            // Loads one and two bytes earlier put the bytes before each byte in its lane.
            const __m128i lfAfterCr = _mm_and_si128(is(bytes, '\n'), is(load(block + 16 * i - 1), '\r'));
            const __m128i blank = _mm_or_si128(_mm_or_si128(is(bytes, ' '), cr), lfAfterCr);
            const __m128i stoppers = _mm_or_si128(is(bytes, '='), cr);
            const __m128i keyEnd = _mm_and_si128(isKey(load(block + 16 * i - 1), 0), isKey(load(block + 16 * i - 2), 2));
            masks.blank |= bits(blank) << (16 * i);
            masks.stoppers |= bits(stoppers) << (16 * i);
            masks.marks |= bits(_mm_or_si128(is(bytes, '['), keyEnd)) << (16 * i);
        }
        return masks;
    }

    Bits lineEnds(const char *block) const
    {
        Bits crs = 0;
        for (int i = 0; i < 4; ++i)
            crs |= bits(is(load(block + 16 * i), '\r')) << (16 * i);
        return crs;
    }

private:
    static __m128i load(const char *at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)); }
    // The byte constants live in members: the compiler would rather rebuild
    // them in every block than keep so many in registers.
    __m128i is(__m128i bytes, char c) const
    {
        return _mm_cmpeq_epi8(bytes, m_byte[c == '\r' ? 0 : c == '\n' ? 1 : c == ' ' ? 2 : c == '=' ? 3 : 4]);
    }
    static Bits bits(__m128i hits) { return Bits(unsigned(_mm_movemask_epi8(hits))); }
    __m128i isKey(__m128i bytes, int end) const
    {
        return _mm_cmpeq_epi8(_mm_and_si128(bytes, m_keyEnd[end + 1]), m_keyEnd[end]);
    }

    __m128i m_keyEnd[4];
    const __m128i m_byte[5] = {_mm_set1_epi8('\r'), _mm_set1_epi8('\n'), _mm_set1_epi8(' '), _mm_set1_epi8('='), _mm_set1_epi8('[')};
};

} // namespace

BlockOutcome scanBlocksSse2(const ScanParams &params)
{
    return scanBlocks<Sse2Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
