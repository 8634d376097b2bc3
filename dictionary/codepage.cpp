#include "codepage.h"

#include <array>

namespace dictionary::codepage {
namespace {

// Characters 0x80-0x9F of Windows-1252; 0 marks the five undefined bytes,
// which map to the C1 control of the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr const std::array<unsigned char, 256> &kUpper = detail::kUpperTable;

char16_t toUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHighControls[byte - 0x80];
        return mapped != 0 ? mapped : char16_t(byte);
    }
    return char16_t(byte);
}

std::optional<char> fromUnicode(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return char(ch);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        const char16_t mapped = kHighControls[i];
        if (mapped == ch || (mapped == 0 && ch == char16_t(0x80 + i)))
            return char(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

QByteArray upper(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = char(kUpper[static_cast<unsigned char>(bytes[i])]);
    return out;
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

std::optional<QByteArray> encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const std::optional<char> byte = fromUnicode(ch.unicode());
        if (!byte)
            return std::nullopt;
        out.append(*byte);
    }
    return out;
}

QByteArray encodeLossy(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text)
        out.append(fromUnicode(ch.unicode()).value_or('?'));
    return out;
}

} // namespace dictionary::codepage
