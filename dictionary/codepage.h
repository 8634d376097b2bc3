#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Windows-1252, the 8-bit code page of the word list on every platform.
// Keys are compared byte by byte after upper-casing with a fixed table, so
// matching never depends on the machine's locale.
namespace dictionary::codepage {

// Upper-cases one byte: a-z, the accented small letters and the four
// Windows-1252 specials; every other byte (0xDF, 0xB5, 0x83 ...) is kept.
namespace detail {

constexpr std::array<unsigned char, 256> makeUpperTable()
{
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 0x20);
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) // the division sign has no capital
            table[c] = static_cast<unsigned char>(c - 0x20);
    }
    table[0x9A] = 0x8A; // s caron
    table[0x9C] = 0x8C; // oe
    table[0x9E] = 0x8E; // z caron
    table[0xFF] = 0x9F; // y diaeresis
    return table;
}

inline constexpr std::array<unsigned char, 256> kUpperTable = makeUpperTable();

} // namespace detail

inline unsigned char upper(unsigned char byte)
{
    return detail::kUpperTable[byte];
}

QByteArray upper(QByteArrayView bytes);

// True when both sides are equal after upper-casing.
bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b);

// True when `text`, upper-cased, equals `upper`, which is upper-cased already.
// Inline: a lookup calls it for every line it passes.
inline bool equalsUpper(QByteArrayView text, QByteArrayView upperText)
{
    if (text.size() != upperText.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (upper(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(upperText[i]))
            return false;
    }
    return true;
}

// Every byte decodes, the five undefined ones to U+0081 and its kin, so
// decode(encode(x)) round-trips.
QString decode(QByteArrayView bytes);

// No value when the text holds a character that Windows-1252 cannot hold.
std::optional<QByteArray> encode(QStringView text);

// Like encode(), but a character that cannot be held becomes "?".
QByteArray encodeLossy(QStringView text);

} // namespace dictionary::codepage
