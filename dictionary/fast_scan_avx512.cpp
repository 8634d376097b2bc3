// The block scan with AVX-512BW: one 64-byte compare per byte class, which
// gives the 64-bit mask directly. Built with -mavx512bw and the AVX2 set's
// flags; run only where the processor has AVX-512BW.
#include "fast_scan_blocks.h"

#ifdef PARLANTA_FAST_SCAN_X86
#include <immintrin.h>

namespace dictionary::fastscan {
namespace {

class Avx512Classifier {
public:
    Avx512Classifier(unsigned char keyLast, unsigned char keyLastOther)
        : m_key(_mm512_set1_epi8(char(keyLast))), m_keyOther(_mm512_set1_epi8(char(keyLastOther)))
    {
    }

    BlockMasks classify(const char *block) const
    {
        const __m512i bytes = _mm512_loadu_si512(block);
        const auto is = [&](char c) { return Bits(_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(c))); };
        const Bits key = _mm512_cmpeq_epi8_mask(bytes, m_key) | _mm512_cmpeq_epi8_mask(bytes, m_keyOther);
        return {is('\r'), is('\n'), is(' '), is('='), is('['), key};
    }

private:
    __m512i m_key, m_keyOther;
};

} // namespace

BlockOutcome scanBlocksAvx512(const ScanParams &params)
{
    return scanBlocks<Avx512Classifier>(params);
}

} // namespace dictionary::fastscan
#endif
