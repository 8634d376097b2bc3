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
#endif

namespace dictionary::fastscan {

using Bits = std::uint64_t;

// What the scan needs of the file and the key, prepared once per scan.
struct ScanParams {
    const char *data = nullptr;
    std::int64_t size = 0;
    std::int64_t keyLength = 0;
    bool keyCanMatch = false;     // false for a key no line can match
    unsigned char keyLast[2] = {}; // the bytes that upper-case to the key's last byte
    Bits tailMask = 0;            // bits of the 8 bytes before "=" that a match fixes
    Bits tailExpected = 0;
    const void *context = nullptr; // handed back to the helpers below
};

struct BlockOutcome {
    enum Kind { NotFound, Found, NoEquals, Overflow } kind = NotFound;
    std::int64_t valueBegin = 0;
    std::int64_t valueEnd = 0;
};

// Line work done one line at a time, out of line in fast_scan.cpp.
// The position just past the header line starting at `start`, or -1 when
// that line is not the sought section's header.
std::int64_t headerLineEnd(const ScanParams &params, std::int64_t start);
// Whether the key matches the bytes [begin, begin + keyLength).
bool keyMatchesAt(const ScanParams &params, std::int64_t begin);
// The end of the value of the line whose "=" is at `equals`, spaces trimmed.
std::int64_t valueEnd(const ScanParams &params, std::int64_t equals);

// One bit per byte of a 64-byte block, bit i for byte i.
struct BlockMasks {
    Bits cr, lf, space, equals, bracket, keyLast;
};

namespace {

constexpr std::int64_t kLineLimit = 32767;
constexpr std::int64_t kEqualsLimit = 32767;
// Line starts of past blocks, for keys up to 32766 bytes: 513 blocks back at most.
constexpr std::int64_t kHistory = 1024;

// a + b + carry, with the carry out of bit 63 kept for the next block, so
// that additions run across blocks as one long number.
inline Bits addWithCarry(Bits a, Bits b, Bits &carry)
{
    Bits sum = 0;
    const bool first = __builtin_add_overflow(a, b, &sum);
    const bool second = __builtin_add_overflow(sum, carry, &sum);
    carry = Bits(first || second);
    return sum;
}

template<typename Classifier>
BlockOutcome scanBlocks(const ScanParams &in)
{
    const Classifier classifier(in.keyLast[0], in.keyLast[1]);
    Bits startHistory[kHistory] = {};
    enum class State { SeekingHeader, InBody, Done } state = State::SeekingHeader;
    BlockOutcome outcome;
    std::int64_t lines = 0;
    std::int64_t bodyBegin = 0; // first byte after the header line
    std::int64_t lastStart = 0; // first content byte of the latest line
    Bits crCarry = 0, startCarry = 1, stopCarry = 0, keyCarry = 0;

    for (std::int64_t base = 0, block = 0; base < in.size; base += 64, ++block) {
        BlockMasks m;
        Bits valid = ~Bits(0);
        if (in.size - base >= 64) {
            m = classifier.classify(in.data + base);
        } else {
            // The last, partial block is copied so nothing past the buffer is
            // read; its zero padding is none of the classified bytes, and
            // `valid` keeps padding out of every mask all the same.
            alignas(64) char tail[64] = {};
            std::memcpy(tail, in.data + base, std::size_t(in.size - base));
            m = classifier.classify(tail);
            valid = (Bits(1) << (in.size - base)) - 1;
            m.cr &= valid, m.lf &= valid, m.space &= valid, m.equals &= valid;
            m.bracket &= valid, m.keyLast &= valid;
        }

        // An LF right after a CR belongs to that line end; any other LF is text.
        const Bits eatenLf = m.lf & ((m.cr << 1) | crCarry);
        crCarry = m.cr >> 63;
        // Bytes that are no line content: spaces, CRs and eaten LFs. Each run
        // of them that holds a CR separates two lines. Adding the CR bits to
        // the run carries through it and sets the bit just past it: the first
        // content byte of the next non-blank line. A CR inside a run only
        // merges into the same carry, so blank lines leave no bit. The carry
        // into the very first byte stands for the start of the file.
        const Bits blank = m.space | m.cr | eatenLf;
        const Bits starts = addWithCarry(blank, m.cr, startCarry) & ~blank & valid;
        lines += __builtin_popcountll(starts);
        if (state == State::Done)
            continue;

        // The same trick finds each line's first "=": adding a start bit to
        // the run of bytes that are neither "=" nor CR carries it to the first
        // one that is. Landing on a CR means the line has no "="; a carry out
        // of the last block means the last line, unended, has none.
        const Bits stoppers = m.equals | m.cr;
        const Bits reached = addWithCarry(~stoppers, starts, stopCarry) & stoppers;
        const Bits firstEquals = reached & m.equals;
        const Bits noEquals = reached & m.cr;
        const Bits keyEnds = (m.keyLast << 1) | keyCarry; // bytes after one like the key's last
        keyCarry = m.keyLast >> 63;
        const std::int64_t previousStart = lastStart;
        if (starts)
            lastStart = base + 63 - __builtin_clzll(starts);
        startHistory[block % kHistory] = starts;

        const Bits brackets = starts & m.bracket;
        if (state == State::SeekingHeader) {
            for (Bits rest = brackets; rest; rest &= rest - 1) {
                const std::int64_t end = headerLineEnd(in, base + __builtin_ctzll(rest));
                if (end >= 0) {
                    state = State::InBody;
                    bodyBegin = end;
                    break;
                }
            }
            if (state != State::InBody)
                continue;
        }

        // A line is a candidate when its first "=" lies the key's length past
        // its start: the starts bitstream shifted by that length, taken from
        // the history of past blocks (entries not yet written are zero).
        Bits candidates = 0;
        if (in.keyCanMatch) {
            const std::int64_t from = base - in.keyLength;
            const std::int64_t word = from >> 6, shift = from & 63;
            Bits startsBack = startHistory[word & (kHistory - 1)] >> shift;
            if (shift)
                startsBack |= startHistory[(word + 1) & (kHistory - 1)] << (64 - shift);
            candidates = firstEquals & startsBack & (in.keyLength ? keyEnds : ~Bits(0));
        }
        // An "=" beyond position 32767 needs 32767 bytes without a line start,
        // so only a block that far from the latest start can hold one, and
        // only before its own first start.
        Bits tooFar = 0;
        const std::int64_t farFrom = previousStart + kEqualsLimit - base;
        if (farFrom < 64) {
            const Bits beforeFirstStart = (starts - 1) & ~starts;
            tooFar = firstEquals & beforeFirstStart & (farFrom <= 0 ? ~Bits(0) : ~Bits(0) << farFrom);
        }
        Bits events = brackets | noEquals | candidates | tooFar;
        if (bodyBegin > base)
            events &= bodyBegin - base >= 64 ? 0 : ~Bits(0) << (bodyBegin - base);

        // Events in file order: the first one that ends the section decides.
        for (; events && state != State::Done; events &= events - 1) {
            const Bits bit = events & (~events + 1);
            const std::int64_t at = base + __builtin_ctzll(events);
            if (bit & brackets) {
                state = State::Done;
            } else if (bit & noEquals) {
                outcome.kind = BlockOutcome::NoEquals;
                state = State::Done;
            } else if (bit & tooFar) {
                outcome.kind = BlockOutcome::Overflow;
                state = State::Done;
            } else {
                // Most candidates differ in the last 8 bytes of the key.
                Bits tail = 0;
                if (at >= 8)
                    std::memcpy(&tail, in.data + at - 8, 8);
                if (at >= 8 && ((tail ^ in.tailExpected) & in.tailMask))
                    continue;
                if (!keyMatchesAt(in, at - in.keyLength))
                    continue;
                // At 32767 the value would start one past the 16-bit counter.
                outcome.kind = in.keyLength + 1 == kEqualsLimit ? BlockOutcome::Overflow : BlockOutcome::Found;
                outcome.valueBegin = at + 1;
                outcome.valueEnd = valueEnd(in, at);
                state = State::Done;
            }
        }
    }

    if (lines > kLineLimit)
        return {BlockOutcome::Overflow};
    if (state == State::InBody && stopCarry && lastStart >= bodyBegin)
        outcome.kind = BlockOutcome::NoEquals;
    return outcome;
}

} // namespace
} // namespace dictionary::fastscan
