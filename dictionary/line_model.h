#pragma once

#include <QByteArrayView>

#include <cstring>

// How the word list's bytes fall into lines. The reader and the writer share
// this model, so whatever the writer puts in is what the reader sees.
//
// A line ends at CR LF or at a lone CR; a lone LF is part of the line. Lines
// are trimmed of spaces (byte 0x20 only) at both ends, and lines that are
// empty after trimming are skipped.
namespace dictionary {

// The counters over the file are 16-bit: at most this many non-blank lines,
// and the first "=" of a line must lie within this many characters.
inline constexpr qsizetype kMaxLines = 32767;
inline constexpr qsizetype kMaxEqualsPosition = 32767;

struct Line {
    qsizetype begin = 0; // first byte after the leading spaces
    qsizetype end = 0;   // one past the last byte before the trailing spaces
    qsizetype next = 0;  // first byte of the following physical line
    bool terminated = false; // ends in CR or CR LF (false only for the last line)

    QByteArrayView text(QByteArrayView file) const { return file.sliced(begin, end - begin); }
};

// Calls visit(const Line &) for every non-blank line in file order; stops
// early when visit returns false.
template<typename Visit>
void forEachLine(QByteArrayView bytes, Visit &&visit)
{
    const char *const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        const void *cr = std::memchr(data + pos, '\r', std::size_t(size - pos));
        const qsizetype lineEnd = cr ? static_cast<const char *>(cr) - data : size;
        Line line;
        line.terminated = cr != nullptr;
        line.next = lineEnd;
        if (cr) {
            ++line.next;
            if (line.next < size && data[line.next] == '\n')
                ++line.next;
        }
        qsizetype begin = pos;
        qsizetype end = lineEnd;
        while (begin < end && data[begin] == ' ')
            ++begin;
        while (end > begin && data[end - 1] == ' ')
            --end;
        pos = line.next;
        if (begin == end)
            continue;
        line.begin = begin;
        line.end = end;
        if (!visit(line))
            return;
    }
}

// The header of `section`: "[" + section + "]", letter case ignored.
bool isSectionHeader(QByteArrayView line, QByteArrayView section);

// Any line whose first character is "[" ends a section body.
inline bool startsSection(QByteArrayView line)
{
    return !line.isEmpty() && line.front() == '[';
}

} // namespace dictionary
