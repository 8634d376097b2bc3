// The block scan with AVX-512BW: one 64-byte compare per byte class gives
// the 64-bit mask directly. Built with the AVX2 set's flags and -mavx512bw;
// run only where the processor has AVX-512BW.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <immintrin.h>

namespace dictionary::fastscan {
namespace {

class Avx512Classifier {
public:
    explicit Avx512Classifier(const unsigned char (&keyEnd)[4])
    {
        for (int i = 0; i < 4; ++i)
            m_keyEnd[i] = _mm512_set1_epi8(char(keyEnd[i]));
    }

    BlockMasks classify(const char *block) const
    {
        const __m512i bytes = _mm512_loadu_si512(block);
        const Bits cr = is(bytes, '\r');
        // Loads one and two bytes earlier put the bytes before each byte in its lane.
        const Bits lfAfterCr = is(bytes, '\n') & is(_mm512_loadu_si512(block - 1), '\r');
        const auto isKey = [&](const char *at, int end) {
            const __m512i before = _mm512_loadu_si512(at);
            return Bits(_mm512_cmpeq_epi8_mask(_mm512_and_si512(before, m_keyEnd[end + 1]), m_keyEnd[end]));
        };
        const Bits keyEnd = isKey(block - 1, 0) & isKey(block - 2, 2);
        return {is(bytes, ' ') | cr | lfAfterCr, is(bytes, '=') | cr, is(bytes, '[') | keyEnd};
    }

    Bits lineEnds(const char *block) const { return is(_mm512_loadu_si512(block), '\r'); }

private:
    static Bits is(__m512i bytes, char c) { return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(c)); }

    __m512i m_keyEnd[4];
};

} // namespace

BlockOutcome scanBlocksAvx512(const ScanParams &params)
{
    return scanBlocks<Avx512Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
