#pragma once

// The block scan, written once over a classifier and compiled once per
// instruction set (fast_scan_<set>.cpp, each with its own compiler flags).
// Everything here has internal linkage and calls nothing inline from other
// headers, so no function compiled for a newer instruction set can be picked
// by the linker for code that runs on any processor.

#include <cstdint>
#include <cstring>

// The block scans exist for x86-64 with GCC or clang; elsewhere only the
// reference scan is built.
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
#define PARLANTA_FAST_SCAN_X86 1
#include <immintrin.h>
#endif

namespace dictionary::fastscan {

using Bits = std::uint64_t;

// What the scan needs of the file and the key, prepared once per scan.
struct ScanParams {
    const char *data = nullptr;
    std::int64_t size = 0;
    std::int64_t keyLength = 0;
    // The key's last byte and the one before it, as the bits every byte that
    // upper-cases to it shares: (byte & keyEnd[1]) == keyEnd[0] for the last,
    // [2] and [3] likewise for the one before. A byte the key lacks is 0 and
    // 0, which every byte matches; a key no line can match has 1 and 0 for
    // its last, which none does, so that it has no candidate at all.
    unsigned char keyEnd[4] = {};
    Bits tailMask = 0;            // bits of the 8 bytes before "=" that a match fixes
    Bits tailExpected = 0;
    const void *context = nullptr; // handed back to the helpers below
};

// A plain aggregate: a constructor would be an inline function compiled in
// every instruction set's file, and the linker may keep any one of them.
struct BlockOutcome {
    enum Kind { NotFound, Found, NoEquals, Overflow } kind;
    std::int64_t valueBegin;
    std::int64_t valueEnd;
};

// Line work done one line at a time, out of line in fast_scan.cpp.
// The position just past the header line starting at `start`, or -1 when
// that line is not the sought section's header.
std::int64_t headerLineEnd(const ScanParams &params, std::int64_t start);
// Whether the key matches the bytes [begin, begin + keyLength).
bool keyMatchesAt(const ScanParams &params, std::int64_t begin);
// The end of the value of the line whose "=" is at `equals`, spaces trimmed.
std::int64_t valueEnd(const ScanParams &params, std::int64_t equals);

// One bit per byte of a 64-byte block, bit i for byte i. Three masks are
// all the block scan needs, and each costs the vector code a mask extraction
// per 32 or 16 bytes, the dearest step, so the byte classes come folded:
// CRs are the bytes both blank and stoppers, "=" the stoppers that are not.
struct BlockMasks {
    Bits blank;    // no line content: space, CR, and an LF right after a CR
    Bits stoppers; // "=" and CR: where the search for a line's first "=" stops
    // "[", and the bytes whose two before may upper-case to the key's last
    // two: at a line start only "[" is looked for, at an "=" only the key's end.
    Bits marks;
};
// A classifier has classify(block), which reads block[-2] to block[63], and
// lineEnds(block), the CRs alone, reading block[0] to block[63].

// The block step itself, in intrinsics that exist on x86-64 only.
#ifdef PARLANTA_FAST_SCAN_X86
namespace {

constexpr std::int64_t kLineLimit = 32767;
constexpr std::int64_t kEqualsLimit = 32767;
// Line starts of past blocks, for keys up to 32766 bytes: 513 blocks back at most.
constexpr std::int64_t kHistory = 1024;

// a + b + carry, with the carry out of bit 63 kept for the next block, so
// that additions run across blocks as one long number: one add-with-carry.
inline Bits addWithCarry(Bits a, Bits b, unsigned char &carry)
{
    unsigned long long sum = 0;
    carry = _addcarry_u64(carry, a, b, &sum);
    return sum;
}

// Bits set in a mask. Without the popcnt instruction the compiler would call
// a library routine, once per block; this is the usual sum of bit fields.
inline std::int64_t countBits(Bits x)
{
#ifdef __POPCNT__
    return __builtin_popcountll(x);
#else
    x = x - ((x >> 1) & 0x5555555555555555);
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0f;
    return std::int64_t((x * 0x0101010101010101) >> 56);
#endif
}

// What runs from block to block: the two carries, the lines counted so far
// and where the latest began. The scan loops keep it in a local copy, so
// that it stays in registers.
struct Running {
    unsigned char startCarry = 1; // the file's start acts as a line end before byte 0
    unsigned char stopCarry = 0;
    std::int64_t lines = 0;
    // The latest block with a line start, and its starts: the latest line's
    // first content byte is found from them only when it is needed.
    std::int64_t startBlock = 0;
    Bits startBits = 0;
    // The previous block's starts, kept by the body's scan only: no line
    // start before the body is a body line's, so it begins there at 0.
    Bits previousStarts = 0;

    std::int64_t lastStart() const { return startBits ? startBlock + 63 - __builtin_clzll(startBits) : 0; }
};

// The lines of one block: where they start, and where each line's search for
// its first "=" stopped.
struct BlockLines {
    Bits starts;
    Bits reached;
};

inline BlockLines linesOf(const BlockMasks &m, std::int64_t base, Running &run)
{
    // Each run of blank bytes that holds a CR separates two lines. Adding the
    // CR bits to the blank mask carries through the run and sets the bit just
    // past it: the first content byte of the next non-blank line. A second CR
    // in the same run only merges into that carry, so blank lines leave no
    // bit. The carry into byte 0 is the file's start.
    const Bits starts = addWithCarry(m.blank, m.blank & m.stoppers, run.startCarry) & ~m.blank;
    run.lines += countBits(starts);
    // The same trick finds each line's first "=": adding a start bit to the
    // run of bytes that are neither "=" nor CR carries it to the first one
    // that is. Landing on a CR means the line has no "="; a carry out of the
    // last block means the last line, unended, has none.
    const Bits reached = addWithCarry(~m.stoppers, starts, run.stopCarry) & m.stoppers;
    run.startBlock = starts ? base : run.startBlock;
    run.startBits = starts ? starts : run.startBits;
    return {starts, reached};
}

template<typename Classifier>
class BlockScan {
public:
    explicit BlockScan(const ScanParams &in) : m_in(in), m_classifier(in.keyEnd) {}

    BlockOutcome run()
    {
        std::int64_t base = seekHeader();
        if (base < m_in.size)
            base = m_in.keyLength < 64 ? scanBody<false>(base) : scanBody<true>(base);
        if (base < m_in.size)
            countRest(base);
        if (m_run.lines > kLineLimit)
            return {BlockOutcome::Overflow, 0, 0};
        return m_outcome;
    }

private:
    // The first block and the last, partial one are copied to `m_edge`,
    // after the two bytes before them, so nothing outside the buffer is read.
    // Padding is made blank: no line starts in it, and no stopper ends a line
    // there.
    BlockMasks classify(std::int64_t base)
    {
        const std::int64_t left = m_in.size - base;
        if (base > 0 && left >= 64)
            return m_classifier.classify(m_in.data + base);
        std::memset(m_edge, 0, sizeof m_edge);
        for (std::int64_t i = 1; i <= 2 && i <= base; ++i)
            m_edge[64 - i] = m_in.data[base - i];
        std::memcpy(m_edge + 64, m_in.data + base, std::size_t(left < 64 ? left : 64));
        BlockMasks m = m_classifier.classify(m_edge + 64);
        const Bits valid = left < 64 ? (Bits(1) << left) - 1 : ~Bits(0);
        m.blank |= ~valid;
        m.marks &= valid;
        return m;
    }

    // Returns the block that holds the header, or the end of the file.
    std::int64_t seekHeader()
    {
        Running run;
        for (std::int64_t base = 0; base < m_in.size; base += 64) {
            const Running before = run;
            const BlockMasks m = classify(base);
            const BlockLines l = linesOf(m, base, run);
            // Lines that begin with a mark; only those that begin with "[" count.
            for (Bits marked = l.starts & m.marks; marked; marked &= marked - 1) {
                const std::int64_t at = base + __builtin_ctzll(marked);
                m_bodyBegin = m_in.data[at] == '[' ? headerLineEnd(m_in, at) : -1;
                if (m_bodyBegin >= 0) {
                    m_run = before; // the body scan takes this block again
                    return base;
                }
            }
        }
        m_run = run;
        return m_in.size;
    }

    // Returns the block after the one that decided the outcome, or the end.
    template<bool kLongKey>
    std::int64_t scanBody(std::int64_t base)
    {
        const std::int64_t size = m_in.size;
        Running run = m_run;
        while (base < size) {
            BodyEvents kinds{};
            if (base > 0 && size - base >= 64 && base >= m_bodyBegin)
                base = quietBlocks<kLongKey>(base, run, kinds);
            Bits events = kinds.marked | kinds.noEquals | kinds.candidates;
            if (!events) {
                if (base >= size)
                    break;
                // One block at a time: one far from the latest line start,
                // one that is copied, or one that holds the header's end.
                kinds = eventsOf<kLongKey>(classify(base), base, run, m_in.keyLength);
                events = kinds.marked | kinds.noEquals | kinds.tooFar | kinds.candidates;
                if (m_bodyBegin > base)
                    events &= m_bodyBegin - base >= 64 ? 0 : ~Bits(0) << (m_bodyBegin - base);
            }
            if (events && decide(events, kinds, base)) {
                m_run = run;
                return base + 64;
            }
            base += 64;
        }
        if (run.stopCarry && run.lastStart() >= m_bodyBegin)
            m_outcome.kind = BlockOutcome::NoEquals;
        m_run = run;
        return base;
    }

    // What may end the section in one block, one bit per byte.
    struct BodyEvents {
        Bits marked;     // lines that begin with a mark, "[" or not
        Bits noEquals;   // line ends reached before any "="
        Bits tooFar;     // first "=" beyond position 32767
        Bits candidates; // first "=" the key's length after the line start
    };

    // The hot loop: whole blocks read in place, until one has an event
    // (returned, taken, its events in `kinds`) or one lies far enough from
    // the latest line start to hold a far "=" (returned, not taken). Out of
    // line, and with its own copies of what it reads, so that the state and
    // the classifier's constants stay in registers: the compiler would
    // otherwise reload members after every store, in case it changed them.
    template<bool kLongKey>
    [[gnu::noinline]] std::int64_t quietBlocks(std::int64_t base, Running &out, BodyEvents &kinds)
    {
        const Classifier classifier = m_classifier;
        const char *const data = m_in.data;
        const std::int64_t last = m_in.size - 64, length = m_in.keyLength;
        Running run = out;
        for (; base <= last && base - run.startBlock <= kEqualsLimit - 64; base += 64) {
            const BodyEvents block = eventsOf<kLongKey>(classifier.classify(data + base), base, run, length);
            if (block.marked | block.noEquals | block.candidates) {
                kinds = block;
                break;
            }
        }
        out = run;
        return base;
    }

    template<bool kLongKey>
    [[gnu::always_inline]] BodyEvents eventsOf(const BlockMasks &m, std::int64_t base, Running &run, std::int64_t length)
    {
        const Running before = run;
        const BlockLines l = linesOf(m, base, run);
        // A line is a candidate when its first "=" lies the key's length
        // past its start: the starts bitstream shifted by that length, from
        // this block and the one before, or for a long key from the history
        // of past blocks (unwritten entries are 0).
        Bits startsBack = 0;
        if constexpr (kLongKey) {
            m_history[(base >> 6) & (kHistory - 1)] = l.starts;
            const std::int64_t from = base - length;
            const std::int64_t word = from >> 6, shift = from & 63;
            startsBack = m_history[word & (kHistory - 1)] >> shift;
            if (shift)
                startsBack |= m_history[(word + 1) & (kHistory - 1)] << (64 - shift);
        } else {
            // Two shifts, so that a length of 0 shifts the previous block out whole.
            startsBack = (l.starts << length) | ((run.previousStarts >> 1) >> (63 - length));
            run.previousStarts = l.starts;
        }
        const Bits equals = l.reached & ~m.blank;
        return {l.starts & m.marks, l.reached & m.blank, tooFar(equals, l.starts, base, before),
                equals & startsBack & m.marks};
    }

    // An "=" beyond position 32767 needs 32767 bytes without a line start,
    // so only a block that far from the latest start can hold one, and only
    // before the block's own first start.
    static Bits tooFar(Bits equals, Bits starts, std::int64_t base, const Running &before)
    {
        if (base - before.startBlock <= kEqualsLimit - 64)
            return 0;
        const std::int64_t farFrom = before.lastStart() + kEqualsLimit - base;
        if (farFrom >= 64)
            return 0;
        return equals & (starts - 1) & ~starts & (farFrom <= 0 ? ~Bits(0) : ~Bits(0) << farFrom);
    }

    // Takes the events of one block in file order; true when one of them
    // ends the section. A line that begins with "=" may be both marked and
    // a candidate.
    [[gnu::noinline]] bool decide(Bits events, BodyEvents kinds, std::int64_t base)
    {
        for (; events; events &= events - 1) {
            const Bits bit = events & (~events + 1);
            const std::int64_t at = base + __builtin_ctzll(events);
            if ((bit & kinds.marked) && m_in.data[at] == '[')
                return true;
            if (bit & kinds.noEquals) {
                m_outcome.kind = BlockOutcome::NoEquals;
                return true;
            }
            if (bit & kinds.tooFar) {
                m_outcome.kind = BlockOutcome::Overflow;
                return true;
            }
            if (bit & kinds.candidates) {
                // Most candidates differ in the last 8 bytes of the key.
                Bits tail = 0;
                if (at >= 8)
                    std::memcpy(&tail, m_in.data + at - 8, 8);
                if (at >= 8 && ((tail ^ m_in.tailExpected) & m_in.tailMask))
                    continue;
                if (!keyMatchesAt(m_in, at - m_in.keyLength))
                    continue;
                // At 32767 the value would start one past the 16-bit counter.
                m_outcome.kind = m_in.keyLength + 1 == kEqualsLimit ? BlockOutcome::Overflow : BlockOutcome::Found;
                m_outcome.valueBegin = at + 1;
                m_outcome.valueEnd = valueEnd(m_in, at);
                return true;
            }
        }
        return false;
    }

    // Once the outcome is known, the lines left still count against the
    // limit. Each follows a CR of its own after the latest line counted, and
    // the last CR has none after it when only blanks follow it, so those CRs
    // bound them; only a bound past the limit needs the exact count.
    void countRest(std::int64_t base)
    {
        const std::int64_t lastStart = m_run.lastStart();
        std::int64_t crs = 0;
        for (std::int64_t at = lastStart & ~std::int64_t(63); at < m_in.size; at += 64) {
            Bits ends = 0;
            if (m_in.size - at >= 64) {
                ends = m_classifier.lineEnds(m_in.data + at);
            } else {
                std::memset(m_edge, 0, sizeof m_edge);
                std::memcpy(m_edge, m_in.data + at, std::size_t(m_in.size - at));
                ends = m_classifier.lineEnds(m_edge);
            }
            crs += countBits(at < lastStart ? ends & (~Bits(1) << (lastStart - at)) : ends);
        }
        std::int64_t tail = m_in.size;
        while (tail > 0 && m_in.data[tail - 1] == ' ')
            --tail;
        if (tail > 1 && m_in.data[tail - 1] == '\n' && m_in.data[tail - 2] == '\r')
            --tail;
        if (crs > 0 && tail > 0 && m_in.data[tail - 1] == '\r')
            --crs;
        if (m_run.lines + crs <= kLineLimit)
            return;
        for (; base < m_in.size; base += 64)
            linesOf(classify(base), base, m_run);
    }

    const ScanParams &m_in;
    const Classifier m_classifier;
    BlockOutcome m_outcome{};
    Running m_run;
    std::int64_t m_bodyBegin = 0; // first byte after the header line
    Bits m_history[kHistory] = {};
    alignas(64) char m_edge[128];
};

template<typename Classifier>
BlockOutcome scanBlocks(const ScanParams &in)
{
    return BlockScan<Classifier>(in).run();
}

} // namespace
#endif
} // namespace dictionary::fastscan
